#pragma once

// The low-level pieces the file readers, the writers and the transaction share. Not for
// callers: they include base/file_io.h.
#include "base/file_io.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include <sys/types.h>
#include <unistd.h>

namespace rig::detail {

// Closes the descriptor it holds.
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

private:
    int m_fd = -1;
};

// A second descriptor of `fd`, for a record that outlives the original. Throws RigError.
[[nodiscard]] std::shared_ptr<Descriptor> duplicate(int fd);

// Writes all of `data` at `offset`; `injectable` lets the test seam fail it as new
// content would fail. Throws RigError.
void writeAll(int fd, const std::uint8_t* data, std::size_t size, off_t offset, bool injectable);

// One read of up to `size` bytes at `offset`, again when a signal interrupts it; 0 at
// the end of the file. Throws RigError.
[[nodiscard]] std::size_t readAt(int fd, std::uint8_t* buffer, std::size_t size, off_t offset);

// Copies the whole content of `from` over `to` through a fixed buffer, so memory
// does not grow with the file, and flushes it. Throws RigError.
void copyContents(int from, int to);

// Makes a rename in `folder` durable; the new content is already in place if this fails.
void syncFolder(int folder) noexcept;

// `name` in `folder` as a path: the bare name for "." or an empty folder.
[[nodiscard]] std::string joined(const std::string& folder, const std::string& name);

}  // namespace rig::detail

namespace rig {

// A file replaced or made under a transaction, and where its original is kept.
struct FileTransaction::Kept {
    std::shared_ptr<detail::Descriptor> folder;
    std::string folderPath;
    std::string name;
    bool created = false;  // there was no file: put back means remove
    bool inPlace = false;  // updated in place: put back means copy the original's content back
    std::shared_ptr<detail::Descriptor> backupFolder;
    std::string backupFolderPath;
    std::string backupName;

    [[nodiscard]] std::string target() const { return printableName(detail::joined(folderPath, name)); }
    [[nodiscard]] std::string backup() const { return printableName(detail::joined(backupFolderPath, backupName)); }
};

}  // namespace rig
