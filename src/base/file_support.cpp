#include "base/file_support.h"

#include "base/file_test_seam.h"

#include <cerrno>
#include <vector>

#include <fcntl.h>

namespace rig::detail {

std::shared_ptr<Descriptor> duplicate(int fd)
{
    auto copy = std::make_shared<Descriptor>(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
    if (copy->get() < 0)
        throw errorFromErrno(errno);
    return copy;
}

void writeAll(int fd, const std::uint8_t* data, std::size_t size, off_t offset, bool injectable)
{
    std::size_t done = 0;
    while (done < size) {
        if (injectable && takeInjectedWriteFailure())
            throw errorFromErrno(errno);
        const ssize_t written = ::pwrite(fd, data + done, size - done, offset + static_cast<off_t>(done));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw errorFromErrno(errno);
        }
        if (written == 0)
            throw errorFromErrno(ENOSPC);
        done += static_cast<std::size_t>(written);
    }
}

std::size_t readAt(int fd, std::uint8_t* buffer, std::size_t size, off_t offset)
{
    for (;;) {
        const ssize_t got = ::pread(fd, buffer, size, offset);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            throw errorFromErrno(errno);
    }
}

void copyContents(int from, int to)
{
    std::vector<std::uint8_t> buffer(65536);
    off_t offset = 0;
    while (const std::size_t got = readAt(from, buffer.data(), buffer.size(), offset)) {
        writeAll(to, buffer.data(), got, offset, false);
        offset += static_cast<off_t>(got);
    }
    if (::ftruncate(to, offset) != 0 || ::fsync(to) != 0)
        throw errorFromErrno(errno);
}

void syncFolder(int folder) noexcept
{
    ::fsync(folder);
}

std::string joined(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder == ".")
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace rig::detail
