#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cli {

// Keeps the files a command is about to replace as they were, so a command that
// fails half way leaves nothing behind: rollback puts every protected file back
// (or removes it when it did not exist). Destruction without commit rolls back.
class FileTransaction final {
public:
    FileTransaction() = default;
    FileTransaction(const FileTransaction&) = delete;
    FileTransaction& operator=(const FileTransaction&) = delete;
    ~FileTransaction();

    // Remembers `path` as it is now. Throws RigError when an existing file there
    // cannot be read (it could not be put back).
    void protect(const std::string& path);

    void commit() noexcept { m_committed = true; }
    // Best effort: every file is tried, failures are swallowed.
    void rollback() noexcept;

private:
    struct Saved {
        std::string path;
        bool existed = false;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Saved> m_saved;
    bool m_committed = false;
};

}  // namespace cli
