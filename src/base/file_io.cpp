#include "base/file_io.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace rig {

namespace {

// Failures injected by the test seam: after `after` writes, the next `count` fail with `errnoValue`.
int g_injectedErrno = 0;
int g_injectedCount = 0;
int g_injectedAfter = 0;
int g_putBackErrno = 0;
int g_putBackCount = 0;
void (*g_beforePublish)() = nullptr;
bool g_withoutLinks = false;

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

bool takeInjectedPutBackFailure()
{
    if (g_putBackCount <= 0)
        return false;
    --g_putBackCount;
    errno = g_putBackErrno;
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

// Temporary files under way, in a fixed table so that a signal handler can remove
// them without allocating or locking.
struct TemporarySlot {
    volatile std::sig_atomic_t used = 0;
    int folder = -1;
    char name[256] = {};
};
TemporarySlot g_temporaries[16];

int registerTemporary(int folder, const std::string& name)
{
    if (name.size() >= sizeof(TemporarySlot::name))
        return -1;
    for (int i = 0; i < static_cast<int>(std::size(g_temporaries)); ++i) {
        TemporarySlot& slot = g_temporaries[i];
        if (slot.used)
            continue;
        name.copy(slot.name, name.size());
        slot.name[name.size()] = '\0';
        slot.folder = folder;
        std::atomic_signal_fence(std::memory_order_seq_cst);
        slot.used = 1;
        return i;
    }
    return -1;
}

void unregisterTemporary(int index)
{
    if (index >= 0)
        g_temporaries[index].used = 0;
}

extern "C" void removeTemporariesAndEnd(int signalNumber)
{
    for (const TemporarySlot& slot : g_temporaries)
        if (slot.used)
            ::unlinkat(slot.folder, slot.name, 0);
    // The handler was reset on entry: the signal now ends the program as it would have.
    ::raise(signalNumber);
}

// A hidden name beside the target, hard to predict: ".NAME.XXXXXX", or ".NAME.XXXXXX~"
// for a kept original.
std::string hiddenName(const std::string& target, bool backup)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static unsigned long long counter = 0;
    unsigned long long seed =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<unsigned long long>(::getpid()) << 32) ^ (++counter * 0x9E3779B97F4A7C15ull);
    std::string suffix;
    for (int i = 0; i < 6; ++i) {
        suffix += letters[seed % 62];
        seed /= 62;
    }
    return "." + (target.size() > 100 ? target.substr(0, 100) : target) + "." + suffix + (backup ? "~" : "");
}

// A hidden file beside the target, made exclusively under a name from hiddenName.
class TemporaryFile final {
public:
    TemporaryFile(int folder, const std::string& target, mode_t mode, bool backup) : m_folder(folder)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = hiddenName(target, backup);
            // Registered before it exists, so no moment passes in which a signal would leave it.
            const int slot = backup ? -1 : registerTemporary(folder, name);
            const int fd = ::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
            if (fd >= 0) {
                m_fd = fd;
                m_slot = slot;
                m_name = std::move(name);
                return;
            }
            const int err = errno;
            unregisterTemporary(slot);
            if (err != EEXIST)
                throw errorFromErrno(err);
        }
        throw errorFromErrno(EEXIST);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_name.empty())
            ::unlinkat(m_folder, m_name.c_str(), 0);
        unregisterTemporary(m_slot);
    }

    [[nodiscard]] int fd() const noexcept { return m_fd; }
    [[nodiscard]] const std::string& name() const noexcept { return m_name; }

    // Closes and reports a failure, which can mean lost data.
    void close()
    {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            throw errorFromErrno(errno);
    }
    // The file now lives under another name, or is to stay: it is no longer removed.
    void release() noexcept
    {
        m_name.clear();
        unregisterTemporary(m_slot);
        m_slot = -1;
    }

private:
    int m_folder = -1;
    int m_fd = -1;
    int m_slot = -1;
    std::string m_name;
};

void writeAll(int fd, const std::uint8_t* data, std::size_t size, off_t offset, bool injectable)
{
    std::size_t done = 0;
    while (done < size) {
        if (injectable && takeInjectedFailure())
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

// One read of up to `size` bytes at `offset`, again when a signal interrupts it; 0 at
// the end of the file. Throws RigError.
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

// Copies the whole content of `from` over `to` through a fixed buffer, so memory
// does not grow with the file, and flushes it.
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

void syncFolder(int folder)
{
    // Makes a rename durable; the new content is already in place if this fails.
    ::fsync(folder);
}

std::string joined(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder == ".")
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool folderRefusesNewFiles(int err)
{
    return err == EACCES || err == EPERM;
}

// linkat and the no-replace rename, or, under the test seam, a file system with neither
// (as the FAT disks that consoles read).
int linkAt(int folder, const char* from, const char* to)
{
    if (g_withoutLinks) {
        errno = EPERM;
        return -1;
    }
    return ::linkat(folder, from, folder, to, 0);
}

bool unsupported(int err)
{
    return err == EINVAL || err == ENOSYS || err == EPERM || err == EOPNOTSUPP || err == EMLINK;
}

// Publishes `temp` as `name` unless something of that name exists; false when it does.
bool publishNoReplace(int folder, const std::string& temp, const std::string& name)
{
    if (g_withoutLinks)
        errno = EINVAL;
    else if (::syscall(SYS_renameat2, folder, temp.c_str(), folder, name.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    if (!unsupported(errno))
        throw errorFromErrno(errno);
    // File systems without the flag: a hard link never replaces an existing name either.
    if (linkAt(folder, temp.c_str(), name.c_str()) == 0) {
        ::unlinkat(folder, temp.c_str(), 0);
        return true;
    }
    if (errno == EEXIST)
        return false;
    if (!unsupported(errno))
        throw errorFromErrno(errno);
    // Neither (FAT): look, then rename; only a writer in the same instant can slip between.
    struct stat info {};
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0)
        return false;
    if (errno != ENOENT)
        throw errorFromErrno(errno);
    if (::renameat(folder, temp.c_str(), folder, name.c_str()) != 0)
        throw errorFromErrno(errno);
    return true;
}

std::shared_ptr<Descriptor> duplicate(int fd)
{
    auto copy = std::make_shared<Descriptor>(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
    if (copy->get() < 0)
        throw errorFromErrno(errno);
    return copy;
}

std::string temporaryFolderPath()
{
    const char* fromEnvironment = std::getenv("TMPDIR");
    return fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment : "/tmp";
}

}  // namespace

// A file replaced or made under a transaction, and where its original is kept.
struct FileTransaction::Kept {
    std::shared_ptr<Descriptor> folder;
    std::string folderPath;
    std::string name;
    bool created = false;  // there was no file: put back means remove
    bool inPlace = false;  // updated in place: put back means copy the original's content back
    std::shared_ptr<Descriptor> backupFolder;
    std::string backupFolderPath;
    std::string backupName;

    [[nodiscard]] std::string target() const { return printableName(joined(folderPath, name)); }
    [[nodiscard]] std::string backup() const { return printableName(joined(backupFolderPath, backupName)); }
};

namespace testing {

void failNextWrites(int errnoValue, int count, int after)
{
    g_injectedErrno = errnoValue;
    g_injectedCount = count;
    g_injectedAfter = count > 0 ? after : 0;
}

void failNextPutBacks(int errnoValue, int count)
{
    g_putBackErrno = errnoValue;
    g_putBackCount = count;
}

void setBeforePublish(void (*hook)()) { g_beforePublish = hook; }

void setWithoutLinks(bool without) { g_withoutLinks = without; }

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
    case EEXIST:
        return RigError(errc::fileExists, "File exists");
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return RigError(errc::diskFull, "Disk full");
    default:
        return RigError(errc::pathFileAccess, "Path/File access error");
    }
}

std::string printableName(const std::string& name)
{
    static const char hex[] = "0123456789abcdef";
    std::string shown;
    const auto escape = [&](unsigned char byte) {
        shown += "\\x";
        shown += hex[byte >> 4];
        shown += hex[byte & 0xF];
    };
    const auto* bytes = reinterpret_cast<const unsigned char*>(name.data());
    const std::size_t size = name.size();
    for (std::size_t i = 0; i < size;) {
        const unsigned char lead = bytes[i];
        if (lead < 0x20 || lead == 0x7F) {
            escape(lead);
            ++i;
            continue;
        }
        if (lead < 0x80) {
            shown += static_cast<char>(lead);
            ++i;
            continue;
        }
        // The length of a well-formed UTF-8 sequence, and the range of its second byte.
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        bool wellFormed = length > 0 && i + length <= size && bytes[i + 1] >= low && bytes[i + 1] <= high;
        for (std::size_t k = 2; wellFormed && k < length; ++k)
            wellFormed = bytes[i + k] >= 0x80 && bytes[i + k] <= 0xBF;
        // C1 control characters (U+0080 to U+009F) are escaped byte by byte as well.
        const bool control = wellFormed && lead == 0xC2 && bytes[i + 1] <= 0x9F;
        if (!wellFormed || control) {
            escape(lead);
            if (control)
                escape(bytes[i + 1]);
            i += control ? 2 : 1;
            continue;
        }
        shown.append(name, i, length);
        i += length;
    }
    return shown;
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
        const std::size_t got = readAt(file.get(), chunk, wanted, static_cast<off_t>(bytes.size()));
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
        current = !target.empty() && target.front() == '/' ? target : joined(folderOfPath(current), target);
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

namespace {

// The replaced file's content is first copied beside it (or, where the folder takes
// no new file, into the temporary folder), then overwritten.
void updateInPlace(const Folder& folder, const std::string& name, const struct stat& before,
                   const std::vector<std::uint8_t>& data, FileTransaction* transaction, FileTransaction::Kept& kept)
{
    Descriptor file(::openat(folder.fd(), name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0)
        throw errorFromErrno(errno);
    struct stat now {};
    if (::fstat(file.get(), &now) != 0)
        throw errorFromErrno(errno);
    if (!S_ISREG(now.st_mode) || now.st_dev != before.st_dev || now.st_ino != before.st_ino)
        throw errorFromErrno(EINVAL);  // the name was swapped meanwhile

    std::shared_ptr<Descriptor> backupFolder = duplicate(folder.fd());
    std::string backupFolderPath = folder.path();
    std::unique_ptr<TemporaryFile> backup;
    try {
        backup = std::make_unique<TemporaryFile>(backupFolder->get(), name, 0600, true);
    } catch (const RigError& error) {
        if (error.number() != errc::permissionDenied)
            throw;
        backupFolderPath = temporaryFolderPath();
        backupFolder = std::make_shared<Descriptor>(
            ::open(backupFolderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (backupFolder->get() < 0)
            throw errorFromErrno(errno);
        backup = std::make_unique<TemporaryFile>(backupFolder->get(), name, 0600, true);
    }
    copyContents(file.get(), backup->fd());
    syncFolder(backupFolder->get());

    try {
        writeAll(file.get(), data.data(), data.size(), 0, true);
        if (::ftruncate(file.get(), static_cast<off_t>(data.size())) != 0 || ::fsync(file.get()) != 0)
            throw errorFromErrno(errno);
    } catch (const RigError& error) {
        try {
            copyContents(backup->fd(), file.get());
        } catch (const RigError&) {
            const std::string keptAs = printableName(joined(backupFolderPath, backup->name()));
            backup->release();
            throw RigError(error.number(), error.description() + "; the original is kept as " + keptAs);
        }
        throw;  // put back; the copy goes with `backup`
    }
    if (transaction != nullptr) {
        kept.inPlace = true;
        kept.backupFolder = backupFolder;
        kept.backupFolderPath = backupFolderPath;
        kept.backupName = backup->name();
        backup->release();
    }
}

}  // namespace

void writeFileInFolder(const Folder& folder, const std::string& name, const std::vector<std::uint8_t>& data,
                       Existing existing, FileTransaction* transaction)
{
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        throw errorFromErrno(EISDIR);

    FileTransaction::Kept kept;
    kept.folderPath = folder.path();
    kept.name = name;

    struct stat info {};
    const bool exists = ::fstatat(folder.fd(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT)
        throw errorFromErrno(errno);

    if (!exists) {
        TemporaryFile temp(folder.fd(), name, 0666, false);  // the umask gives a new file its mode
        writeAll(temp.fd(), data.data(), data.size(), 0, true);
        if (::fsync(temp.fd()) != 0)
            throw errorFromErrno(errno);
        temp.close();
        if (g_beforePublish != nullptr)
            g_beforePublish();
        if (!publishNoReplace(folder.fd(), temp.name(), name)) {
            if (existing == Existing::Refuse)
                throw errorFromErrno(EEXIST);
            // Someone made the file meanwhile: replace it as any existing file.
            writeFileInFolder(folder, name, data, existing, transaction);
            return;
        }
        temp.release();
        syncFolder(folder.fd());
        if (transaction != nullptr) {
            kept.folder = duplicate(folder.fd());
            kept.created = true;
            transaction->keep(std::move(kept));
        }
        return;
    }

    if (S_ISDIR(info.st_mode))
        throw errorFromErrno(EISDIR);
    // A link is replaced by whoever asked to follow it; renaming over a device or a
    // pipe would replace the node itself with a plain file.
    if (!S_ISREG(info.st_mode))
        throw errorFromErrno(EINVAL);
    if (existing == Existing::Refuse)
        throw errorFromErrno(EEXIST);
    // The permission bits are checked as well because a privileged user passes access().
    if (::faccessat(folder.fd(), name.c_str(), W_OK, AT_EACCESS) != 0)
        throw errorFromErrno(errno);
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        throw errorFromErrno(EACCES);

    if (transaction != nullptr)
        kept.folder = duplicate(folder.fd());

    // Other hard links must see the new content: only an update in place gives them that.
    bool inPlace = info.st_nlink > 1;
    std::unique_ptr<TemporaryFile> temp;
    if (!inPlace) {
        try {
            temp = std::make_unique<TemporaryFile>(folder.fd(), name, 0600, false);
        } catch (const RigError& error) {
            if (error.number() != errc::permissionDenied)
                throw;
            inPlace = true;  // a writable file in a folder that takes no new file
        }
    }
    if (temp) {
        struct stat made {};
        if (::fstat(temp->fd(), &made) != 0)
            throw errorFromErrno(errno);
        if ((made.st_uid != info.st_uid || made.st_gid != info.st_gid) &&
            ::fchown(temp->fd(), info.st_uid, info.st_gid) != 0) {
            if (!folderRefusesNewFiles(errno))
                throw errorFromErrno(errno);
            temp.reset();  // the owner cannot be kept this way
            inPlace = true;
        }
    }
    if (inPlace) {
        updateInPlace(folder, name, info, data, transaction, kept);
        if (transaction != nullptr)
            transaction->keep(std::move(kept));
        return;
    }

    // After the owner: changing it clears the set-user and set-group bits.
    if (::fchmod(temp->fd(), info.st_mode & 07777) != 0)
        throw errorFromErrno(errno);
    writeAll(temp->fd(), data.data(), data.size(), 0, true);
    if (::fsync(temp->fd()) != 0)
        throw errorFromErrno(errno);
    temp->close();
    if (g_beforePublish != nullptr)
        g_beforePublish();

    std::unique_ptr<TemporaryFile> original;
    if (transaction != nullptr) {
        // The original stays on disk under a second name until the transaction ends; on a
        // file system without hard links, as a copy.
        for (int attempt = 0; attempt < 100 && kept.backupName.empty(); ++attempt) {
            std::string backupName = hiddenName(name, true);
            if (linkAt(folder.fd(), name.c_str(), backupName.c_str()) == 0) {
                kept.backupName = backupName;
            } else if (unsupported(errno)) {
                Descriptor source(::openat(folder.fd(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
                if (source.get() < 0)
                    throw errorFromErrno(errno);
                TemporaryFile copy(folder.fd(), name, 0600, true);
                copyContents(source.get(), copy.fd());
                (void)::fchmod(copy.fd(), info.st_mode & 07777);  // a copy: what the disk allows
                kept.backupName = copy.name();
                copy.release();
            } else if (errno != EEXIST) {
                throw errorFromErrno(errno);
            }
        }
        if (kept.backupName.empty())
            throw errorFromErrno(EEXIST);
        kept.backupFolder = kept.folder;
        kept.backupFolderPath = folder.path();
    }
    if (::renameat(folder.fd(), temp->name().c_str(), folder.fd(), name.c_str()) != 0) {
        const int err = errno;
        if (!kept.backupName.empty())
            ::unlinkat(folder.fd(), kept.backupName.c_str(), 0);
        throw errorFromErrno(err);
    }
    temp->release();
    syncFolder(folder.fd());
    if (transaction != nullptr)
        transaction->keep(std::move(kept));
}

void writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& data, Existing existing,
                         FileTransaction* transaction)
{
    if (path.empty())
        throw errorFromErrno(ENOENT);
    const std::string target = resolveLinks(path);
    const Folder folder(folderOfPath(target));
    writeFileInFolder(folder, nameOfPath(target), data, existing, transaction);
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

// FileTransaction ------------------------------------------------------------------

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

void removeTemporariesOnSignals()
{
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        if (::sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;  // started with the signal ignored (nohup, a background job): keep it so
        struct sigaction action {};
        action.sa_handler = removeTemporariesAndEnd;
        ::sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND | SA_NODEFER;
        ::sigaction(signalNumber, &action, nullptr);
    }
}

}  // namespace rig
