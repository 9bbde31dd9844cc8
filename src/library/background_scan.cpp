#include "library/background_scan.h"

namespace library {

class BackgroundScan::Observer final : public ScanObserver {
public:
    Observer(BackgroundScan& owner, unsigned generation) : m_owner(owner), m_generation(generation) {}

    void filesFound(int total) override
    {
        const std::lock_guard<std::mutex> lock(m_owner.m_mutex);
        m_owner.m_total = total;
        post();
    }

    void entriesReady(std::vector<Entry> entries, int done) override
    {
        const std::lock_guard<std::mutex> lock(m_owner.m_mutex);
        std::move(entries.begin(), entries.end(), std::back_inserter(m_owner.m_pending));
        m_owner.m_done = done;
        post();
    }

private:
    // One delivery at a time is queued; whatever comes meanwhile goes with it.
    void post()
    {
        if (m_owner.m_deliveryPosted)
            return;
        m_owner.m_deliveryPosted = true;
        BackgroundScan* owner = &m_owner;
        const unsigned generation = m_generation;
        QMetaObject::invokeMethod(owner, [owner, generation] { owner->deliver(generation); }, Qt::QueuedConnection);
    }

    BackgroundScan& m_owner;
    unsigned m_generation;
};

BackgroundScan::BackgroundScan(QObject* parent) : QObject(parent) {}

BackgroundScan::~BackgroundScan() { stop(); }

void BackgroundScan::start(const ScanRequest& request)
{
    stop();
    m_running = true;
    const unsigned generation = ++m_generation;
    m_cancel = false;
    m_thread = std::thread([this, request, generation] {
        Observer observer(*this, generation);
        auto result = std::make_shared<ScanResult>(scanLibrary(request, &observer, &m_cancel));
        if (result->cancelled)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, result, generation] {
                if (generation != m_generation)
                    return;
                deliver(generation);
                m_running = false;
                Q_EMIT finished(*result);
            },
            Qt::QueuedConnection);
    });
}

void BackgroundScan::stop()
{
    m_cancel = true;
    if (m_thread.joinable())
        m_thread.join();
    // Deliveries still queued belong to the stopped scan; they find another generation.
    ++m_generation;
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_pending.clear();
    m_done = 0;
    m_total = -1;
    m_deliveryPosted = false;
    m_running = false;
}

void BackgroundScan::deliver(unsigned generation)
{
    std::vector<Entry> entries;
    int done = 0;
    int total = -1;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (generation != m_generation)
            return;
        entries.swap(m_pending);
        done = m_done;
        std::swap(total, m_total);
        m_deliveryPosted = false;
    }
    if (total >= 0)
        Q_EMIT filesFound(total);
    if (!entries.empty() || done > 0)
        Q_EMIT entriesReady(entries, done);
}

}  // namespace library
