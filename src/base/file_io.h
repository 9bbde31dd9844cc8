#pragma once

// Files as the program reads and writes them; the one header callers include. Reading
// and looking up: file_read.cpp; errors and shown names: file_errors.cpp; writes:
// file_write.cpp; transactions: file_transaction.cpp; the signal clean-up:
// temporary_file.cpp; the test seam: file_test_seam.cpp.
#include "base/rig_error.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rig {

// Maps an errno value onto the program's error numbers: permission denied or a
// read-only file system is 70, a missing file 53, an existing one 58, a full disk 61,
// anything else 75.
[[nodiscard]] RigError errorFromErrno(int err);

// A file name as it can be shown on one line: control characters and bytes that are
// not UTF-8 become \xHH, everything else stays as it is.
[[nodiscard]] std::string printableName(const std::string& name);

// Reads at most maxBytes from the start of an existing file. Throws RigError.
[[nodiscard]] std::vector<std::uint8_t> readFileBytes(const std::string& path, std::size_t maxBytes);

// True when something other than a folder exists at `path`.
[[nodiscard]] bool fileExists(const std::string& path);

// The folder part of a path: "." for a bare name, "/" for a file in the root.
[[nodiscard]] std::string folderOfPath(const std::string& path);
// The last component of a path.
[[nodiscard]] std::string nameOfPath(const std::string& path);

// The file a chain of symbolic links at `path` ends in (`path` itself when it is no
// link or does not exist). A link whose end does not exist is refused with 53 and a
// message that says where it points. Throws RigError.
[[nodiscard]] std::string resolveLinks(const std::string& path);

// What a write does when the target already exists.
enum class Existing { Replace, Refuse };

class FileTransaction;

// A folder held open, so that names written into it stay inside it whatever happens
// to its path meanwhile. Throws RigError when it cannot be opened.
class Folder final {
public:
    explicit Folder(const std::string& path);
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    ~Folder();

    enum class Entry { None, RegularFile, Other };
    // What `name` is, without following a symbolic link (a link is Other).
    [[nodiscard]] Entry entry(const std::string& name) const;
    // Device and inode of the regular file `name`, to spot two names of one file.
    [[nodiscard]] std::pair<std::uint64_t, std::uint64_t> identity(const std::string& name) const;

    [[nodiscard]] int fd() const noexcept { return m_fd; }
    [[nodiscard]] const std::string& path() const noexcept { return m_path; }

private:
    int m_fd = -1;
    std::string m_path;
};

// Replaces or creates the file `name` in `folder` with exactly `data`. Anything of that
// name but a regular file (a symbolic link, never followed, a folder, a device) is
// refused with 75, and an entry swapped in meanwhile is replaced by the rename, not
// written through. An existing regular file keeps its owner,
// group, permissions and other hard links:
//  - normally a temporary file beside it is written, flushed, given the old file's
//    owner, group and mode, and renamed over it, so the file is either old or new;
//  - when the owner cannot be given to a new file, the file has other hard links, or
//    no new file can be made in the folder, the file is updated in place after a
//    flushed copy of it was made beside it (or, in a folder that is not writable, in
//    the temporary folder); the copy is removed on success and put back on failure.
// With Existing::Refuse a file that exists, or appears meanwhile, is refused with 58
// and never replaced. With a transaction the
// replaced original is kept on disk until the transaction ends. Throws RigError.
void writeFileInFolder(const Folder& folder, const std::string& name, const std::vector<std::uint8_t>& data,
                       Existing existing = Existing::Replace, FileTransaction* transaction = nullptr);

// writeFileInFolder for a path; a symbolic link at `path` is followed (see
// resolveLinks), so the file it points to is written and the link stays a link. An
// existing file that is not writable is refused with 70.
void writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& data,
                         Existing existing = Existing::Replace, FileTransaction* transaction = nullptr);

// Creates an empty file when none exists at `path`. Throws RigError.
void createEmptyFileIfMissing(const std::string& path);

// The files a command writes, kept undoable until it ends: every replaced original
// stays on disk beside its target (renamed there, or as the in-place update's copy),
// never in memory. Commit removes the originals; rollback puts them back and removes
// the files made new.
class FileTransaction final {
public:
    FileTransaction() = default;
    FileTransaction(const FileTransaction&) = delete;
    FileTransaction& operator=(const FileTransaction&) = delete;
    // Rolls back when neither commit nor rollback ran.
    ~FileTransaction();

    // Returns one line for each kept original that could not be removed (it stays on disk).
    std::vector<std::string> commit() noexcept;
    // Returns one line for each file that could not be put back as it was, naming the
    // file and where its original is kept; an empty list means all is as before.
    std::vector<std::string> rollback() noexcept;

    struct Kept;
    void keep(Kept kept);

private:
    std::vector<std::shared_ptr<Kept>> m_kept;
    bool m_done = false;
};

// Removes the temporary files of writes under way when the program gets SIGINT,
// SIGTERM or SIGHUP, then ends it by that signal as before. A signal that was ignored
// stays ignored.
void removeTemporariesOnSignals();

namespace testing {
// Test seam: once `after` more low-level writes of new content have gone through, the
// next `count` fail with errno `errnoValue`, as a full disk or a failing device would.
// Count 0 clears it.
void failNextWrites(int errnoValue, int count, int after = 0);
// The same for the steps that put a replaced original back.
void failNextPutBacks(int errnoValue, int count);
// Called once a new file is complete, just before it is put in place; null for none.
void setBeforePublish(void (*hook)());
// Behaves as on a file system without hard links or a no-replace rename (FAT).
void setWithoutLinks(bool without);
}  // namespace testing

}  // namespace rig
