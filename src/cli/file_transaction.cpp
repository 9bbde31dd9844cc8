#include "cli/file_transaction.h"

#include "lamp/file_io.h"
#include "lamp/rig_error.h"

#include <cstdio>
#include <limits>

#include <sys/stat.h>

namespace cli {

namespace {

bool exists(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace

FileTransaction::~FileTransaction()
{
    if (!m_committed)
        rollback();
}

void FileTransaction::protect(const std::string& path)
{
    Saved saved;
    saved.path = path;
    saved.existed = exists(path);
    if (saved.existed)
        saved.bytes = rig::readFileBytes(path, std::numeric_limits<std::size_t>::max());
    m_saved.push_back(std::move(saved));
}

void FileTransaction::rollback() noexcept
{
    m_committed = true;  // once only
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
        try {
            if (!it->existed) {
                std::remove(it->path.c_str());
                continue;
            }
            bool same = false;
            try {
                same = rig::readFileBytes(it->path, std::numeric_limits<std::size_t>::max()) == it->bytes;
            } catch (const rig::RigError&) {
                same = false;
            }
            if (!same)
                rig::writeFileAtomically(it->path, it->bytes);
        } catch (...) {
            // Nothing more can be done for this file; go on with the others.
        }
    }
}

}  // namespace cli
