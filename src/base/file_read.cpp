// Reading and looking up: a file's bytes, whether it exists, where its links lead,
// the parts of a path, and folders held open for the writers.
#include "base/file_io.h"

#include "base/file_support.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rig {

using detail::Descriptor;

std::vector<std::uint8_t> readFileBytes(const std::string& path, std::size_t maxBytes)
{
    // Non-blocking so that a named pipe cannot hang the open; it is refused below.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0)
        throw errorFromErrno(errno);

    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        throw errorFromErrno(errno);
    if (!S_ISREG(info.st_mode))
        throw errorFromErrno(EISDIR);

    std::vector<std::uint8_t> bytes;
    const auto expected = static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0);
    bytes.reserve(expected < maxBytes ? expected : maxBytes);

    constexpr std::size_t chunkSize = 65536;
    std::uint8_t chunk[chunkSize];
    while (bytes.size() < maxBytes) {
        const std::size_t wanted = maxBytes - bytes.size() < chunkSize ? maxBytes - bytes.size() : chunkSize;
        const std::size_t got = detail::readAt(file.get(), chunk, wanted, static_cast<off_t>(bytes.size()));
        if (got == 0)
            break;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
}

bool fileExists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::string resolveLinks(const std::string& path)
{
    std::string current = path;
    std::string pointsTo;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0) {
            if (hop > 0 && errno == ENOENT)
                throw RigError(errc::fileNotFound, "The link points to " + printableName(pointsTo) +
                                                       ", which does not exist");
            return current;  // the write reports what is wrong with the path itself
        }
        if (!S_ISLNK(info.st_mode))
            return current;
        std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0) + 256, '\0');
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length < 0)
            throw errorFromErrno(errno);
        target.resize(static_cast<std::size_t>(length));
        pointsTo = target;
        current = !target.empty() && target.front() == '/' ? target : detail::joined(folderOfPath(current), target);
    }
    throw errorFromErrno(ELOOP);
}

Folder::Folder(const std::string& path) : m_path(path)
{
    m_fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        throw errorFromErrno(errno);
}

Folder::~Folder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

Folder::Entry Folder::entry(const std::string& name) const
{
    struct stat info {};
    if (::fstatat(m_fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return Entry::None;
        throw errorFromErrno(errno);
    }
    return S_ISREG(info.st_mode) ? Entry::RegularFile : Entry::Other;
}

std::pair<std::uint64_t, std::uint64_t> Folder::identity(const std::string& name) const
{
    struct stat info {};
    if (::fstatat(m_fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        throw errorFromErrno(errno);
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

std::string folderOfPath(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string nameOfPath(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace rig
