// The files one command writes, undoable until it ends: the originals stay on disk and
// are removed on commit, or put back on rollback.
#include "base/file_io.h"

#include "base/file_support.h"
#include "base/file_test_seam.h"

#include <cerrno>
#include <exception>

#include <fcntl.h>
#include <unistd.h>

namespace rig {

using detail::copyContents;
using detail::Descriptor;
using detail::syncFolder;
using detail::takeInjectedPutBackFailure;

FileTransaction::~FileTransaction()
{
    if (!m_done)
        (void)rollback();
}

void FileTransaction::keep(Kept kept) { m_kept.push_back(std::make_shared<Kept>(std::move(kept))); }

std::vector<std::string> FileTransaction::commit() noexcept
{
    m_done = true;
    std::vector<std::string> leftovers;
    for (const auto& kept : m_kept) {
        if (kept->backupName.empty())
            continue;
        if (::unlinkat(kept->backupFolder->get(), kept->backupName.c_str(), 0) != 0)
            leftovers.push_back(kept->backup() + ": the replaced original of " + kept->target() +
                                " could not be removed");
    }
    m_kept.clear();
    return leftovers;
}

std::vector<std::string> FileTransaction::rollback() noexcept
{
    m_done = true;
    std::vector<std::string> unexpected;
    // Last written first, so a file written twice ends as it was before the first write.
    for (auto it = m_kept.rbegin(); it != m_kept.rend(); ++it) {
        const Kept& kept = **it;
        const int folder = kept.folder->get();
        try {
            if (kept.created) {
                if (takeInjectedPutBackFailure() || ::unlinkat(folder, kept.name.c_str(), 0) != 0)
                    throw errorFromErrno(errno);
            } else if (!kept.inPlace) {
                if (takeInjectedPutBackFailure() ||
                    ::renameat(kept.backupFolder->get(), kept.backupName.c_str(), folder, kept.name.c_str()) != 0)
                    throw errorFromErrno(errno);
                syncFolder(folder);
            } else {
                Descriptor file(::openat(folder, kept.name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
                Descriptor original(::openat(kept.backupFolder->get(), kept.backupName.c_str(),
                                             O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
                if (takeInjectedPutBackFailure() || file.get() < 0 || original.get() < 0)
                    throw errorFromErrno(errno);
                copyContents(original.get(), file.get());
                ::unlinkat(kept.backupFolder->get(), kept.backupName.c_str(), 0);
            }
        } catch (const std::exception& error) {
            if (kept.created)
                unexpected.push_back(kept.target() + ": made by this command, could not be removed (" +
                                     error.what() + ")");
            else
                unexpected.push_back(kept.target() + ": could not be put back (" + error.what() +
                                     "); the original is kept as " + kept.backup());
        }
    }
    m_kept.clear();
    return unexpected;
}

}  // namespace rig
