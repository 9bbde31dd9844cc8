// Hidden temporary files, and the signal handler that removes those under way.
#include "base/temporary_file.h"

#include "base/file_io.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <iterator>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace rig {

namespace {

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

}  // namespace

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

namespace detail {

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

TemporaryFile::TemporaryFile(int folder, const std::string& target, mode_t mode, bool backup) : m_folder(folder)
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

TemporaryFile::~TemporaryFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_name.empty())
        ::unlinkat(m_folder, m_name.c_str(), 0);
    unregisterTemporary(m_slot);
}

void TemporaryFile::close()
{
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        throw errorFromErrno(errno);
}

void TemporaryFile::release() noexcept
{
    m_name.clear();
    unregisterTemporary(m_slot);
    m_slot = -1;
}

}  // namespace detail

}  // namespace rig
