#include "lamp/file_io.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rig {

namespace {

// Failures injected by the test seam: after `after` writes, the next `count` fail with `errnoValue`.
int g_injectedErrno = 0;
int g_injectedCount = 0;
int g_injectedAfter = 0;

bool takeInjectedFailure()
{
    if (g_injectedCount <= 0)
        return false;
    if (g_injectedAfter > 0) {
        --g_injectedAfter;
        return false;
    }
    --g_injectedCount;
    errno = g_injectedErrno;
    return true;
}

// Closes the descriptor it holds unless released.
class Descriptor final {
public:
    explicit Descriptor(int fd) noexcept : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    [[nodiscard]] int get() const noexcept { return m_fd; }

    // Closes now and reports the result; a failed close can mean lost data.
    [[nodiscard]] int close() noexcept
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd);
    }

private:
    int m_fd = -1;
};

// Removes the temporary file on every way out except a successful rename.
class TempFileGuard final {
public:
    explicit TempFileGuard(std::string path) : m_path(std::move(path)) {}
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;
    ~TempFileGuard()
    {
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    void release() noexcept { m_path.clear(); }

private:
    std::string m_path;
};


mode_t currentUmask()
{
    // The program has one thread, so briefly changing the mask is harmless.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

void writeAll(int fd, const std::vector<std::uint8_t>& data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        if (takeInjectedFailure())
            throw errorFromErrno(errno);
        const ssize_t written = ::write(fd, data.data() + done, data.size() - done);
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

// A symbolic link is written through, so the link itself stays in place.
std::string resolveTarget(const std::string& path)
{
    struct stat linkInfo {};
    if (::lstat(path.c_str(), &linkInfo) != 0 || !S_ISLNK(linkInfo.st_mode))
        return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return path;  // a dangling link: replace the link itself
    std::string result(resolved);
    std::free(resolved);
    return result;
}

}  // namespace

namespace testing {

void failNextWrites(int errnoValue, int count, int after)
{
    g_injectedErrno = errnoValue;
    g_injectedCount = count;
    g_injectedAfter = count > 0 ? after : 0;
}

}  // namespace testing

RigError errorFromErrno(int err)
{
    switch (err) {
    case EACCES:
    case EPERM:
    case EROFS:
        return RigError(errc::permissionDenied, "Permission denied");
    case ENOENT:
        return RigError(errc::fileNotFound, "File not found");
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return RigError(errc::diskFull, "Disk full");
    default:
        return RigError(errc::pathFileAccess, "Path/File access error");
    }
}

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
        const ssize_t got = ::read(file.get(), chunk, wanted);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw errorFromErrno(errno);
        }
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

void writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& data)
{
    if (path.empty())
        throw errorFromErrno(ENOENT);
    const std::string target = resolveTarget(path);

    mode_t mode = 0;
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            throw errorFromErrno(EISDIR);
        // Renaming over a device or a pipe would replace the node itself with a plain file.
        if (!S_ISREG(info.st_mode))
            throw errorFromErrno(EINVAL);
        // The permission bits are checked as well because a privileged user passes access().
        if (::access(target.c_str(), W_OK) != 0)
            throw errorFromErrno(errno);
        if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            throw errorFromErrno(EACCES);
        mode = info.st_mode & 07777;
    } else if (errno == ENOENT) {
        mode = static_cast<mode_t>(0666 & ~currentUmask());
    } else {
        throw errorFromErrno(errno);
    }

    // An exclusive, unpredictable name beside the target, so the rename stays on one file system.
    std::string name = nameOfPath(target);
    if (name.size() > 100)
        name.resize(100);
    std::string tempPath = folderOfPath(target) + "/." + name + ".XXXXXX";
    const int fd = ::mkstemp(tempPath.data());
    if (fd < 0)
        throw errorFromErrno(errno);
    Descriptor temp(fd);
    TempFileGuard guard(tempPath);

    if (::fchmod(temp.get(), mode) != 0)
        throw errorFromErrno(errno);
    writeAll(temp.get(), data);
    if (::fsync(temp.get()) != 0)
        throw errorFromErrno(errno);
    if (temp.close() != 0)
        throw errorFromErrno(errno);
    if (::rename(tempPath.c_str(), target.c_str()) != 0)
        throw errorFromErrno(errno);
    guard.release();

    // Make the rename itself durable; the new content is already in place if this fails.
    Descriptor folder(::open(folderOfPath(target).c_str(), O_RDONLY | O_CLOEXEC | O_DIRECTORY));
    if (folder.get() >= 0)
        ::fsync(folder.get());
}

void createEmptyFileIfMissing(const std::string& path)
{
    Descriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.get() >= 0)
        return;
    if (errno == EEXIST)
        return;
    throw errorFromErrno(errno);
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
