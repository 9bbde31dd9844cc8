// Writing a file: atomically by a rename, or in place behind a flushed copy where a
// rename would lose the owner or the other hard links (docs/reliability.md).
#include "base/file_io.h"

#include "base/file_support.h"
#include "base/file_test_seam.h"
#include "base/temporary_file.h"

#include <cerrno>
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

using detail::copyContents;
using detail::Descriptor;
using detail::duplicate;
using detail::hiddenName;
using detail::joined;
using detail::syncFolder;
using detail::TemporaryFile;
using detail::writeAll;

namespace {

bool folderRefusesNewFiles(int err)
{
    return err == EACCES || err == EPERM;
}

// linkat and the no-replace rename, or, under the test seam, a file system with neither
// (as the FAT disks that consoles read).
int linkAt(int folder, const char* from, const char* to)
{
    if (detail::withoutLinks()) {
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
    if (detail::withoutLinks())
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

std::string temporaryFolderPath()
{
    const char* fromEnvironment = std::getenv("TMPDIR");
    return fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment : "/tmp";
}

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
        detail::runBeforePublish();
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
    detail::runBeforePublish();

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

}  // namespace rig
