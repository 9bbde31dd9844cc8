#pragma once

// Hidden files beside a target: new content on its way in, or a kept original.
#include <string>

#include <sys/types.h>

namespace rig::detail {

// A hidden name beside the target, hard to predict: ".NAME.XXXXXX", or ".NAME.XXXXXX~"
// for a kept original.
[[nodiscard]] std::string hiddenName(const std::string& target, bool backup);

// A hidden file beside the target, made exclusively under a name from hiddenName and
// removed again unless released. New content (not `backup`) is also listed for the
// signal handler of removeTemporariesOnSignals; a kept original never is.
class TemporaryFile final {
public:
    // Throws RigError.
    TemporaryFile(int folder, const std::string& target, mode_t mode, bool backup);
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile();

    [[nodiscard]] int fd() const noexcept { return m_fd; }
    [[nodiscard]] const std::string& name() const noexcept { return m_name; }

    // Closes and reports a failure, which can mean lost data. Throws RigError.
    void close();
    // The file now lives under another name, or is to stay: it is no longer removed.
    void release() noexcept;

private:
    int m_folder = -1;
    int m_fd = -1;
    int m_slot = -1;
    std::string m_name;
};

}  // namespace rig::detail
