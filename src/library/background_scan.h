#pragma once

#include "library/library_scan.h"

#include <QObject>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace library {

// A scan on a thread of its own, for a window that must stay responsive: what it finds
// arrives through the signals, on the thread that owns this object, gathered into as
// few deliveries as that thread's event loop allows. Starting again, or destroying
// this object, stops the scan under way first; nothing of a stopped scan arrives.
class BackgroundScan final : public QObject {
    Q_OBJECT

public:
    explicit BackgroundScan(QObject* parent = nullptr);
    ~BackgroundScan() override;

    void start(const ScanRequest& request);
    void stop();
    [[nodiscard]] bool running() const noexcept { return m_running; }

Q_SIGNALS:
    void filesFound(int total);
    void entriesReady(const std::vector<library::Entry>& entries, int done);
    // The scan is over; the entries have all arrived through entriesReady.
    void finished(const library::ScanResult& result);

private:
    class Observer;
    void deliver(unsigned generation);

    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
    unsigned m_generation = 0;

    // Filled by the scan's threads, emptied by deliver().
    std::mutex m_mutex;
    std::vector<Entry> m_pending;
    int m_done = 0;
    int m_total = -1;
    bool m_deliveryPosted = false;
};

}  // namespace library
