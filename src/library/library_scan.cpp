#include "library/library_scan.h"

#include "library/entry_reader.h"
#include "library/folder_walk.h"
#include "library/index_cache.h"
#include "qtcore/file_names.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <mutex>
#include <numeric>
#include <unordered_set>

namespace library {

namespace {

// Files read by one task: few enough that results come steadily, enough that a task
// is worth starting.
constexpr std::size_t filesPerTask = 8;

// A folder as an absolute path without "." or ".." parts or a trailing separator,
// so that one folder named two ways is one cache and one walk.
std::string cleanFolder(const QString& path)
{
    return rig::toPath(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

struct Root {
    std::string folder;
    bool optional = false;
    FolderWalk walk;
    CachedEntries cached;
    bool cacheLoaded = false;
    std::string cacheFile;
    bool cacheStale = false;  // something was read or dropped: the cache is written again
};

struct Pending {
    std::size_t root;
    const FoundFile* file;
};

bool listed(const Entry& entry)
{
    return entry.kind != Entry::Kind::NotFixture;
}

// The open fixture library's files are listed under their folder's manufacturer.
void finish(Entry& entry, const Root& root, const FoundFile& file)
{
    if (entry.kind == Entry::Kind::Fixture && entry.format == Format::Ofl && (entry.manufacturer.isEmpty() || entry.manufacturerFromFolder)) {
        entry.manufacturer = oflManufacturer(root.walk, entry.path, file.relative);
        entry.manufacturerFromFolder = true;
    }
    prepareForSearch(entry);
}

class Reporter final {
public:
    explicit Reporter(ScanObserver* observer) : m_observer(observer) {}

    void report(std::vector<Entry> entries, int files)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_done += files;
        if (m_observer != nullptr)
            m_observer->entriesReady(std::move(entries), m_done);
    }

private:
    ScanObserver* m_observer;
    std::mutex m_mutex;
    int m_done = 0;
};

std::vector<Entry> listedCopies(const std::vector<Entry>& entries)
{
    std::vector<Entry> copies;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(copies), listed);
    return copies;
}

}  // namespace

ScanResult scanLibrary(const ScanRequest& request, ScanObserver* observer, const std::atomic<bool>* cancel)
{
    const auto cancelled = [cancel] { return cancel != nullptr && cancel->load(std::memory_order_relaxed); };
    ScanResult result;

    // Walk every folder once, whatever names it was given by.
    std::vector<Root> roots;
    std::unordered_set<std::string> named;
    FolderWalker walker;
    for (const LibraryFolder& folder : request.folders) {
        Root root;
        root.folder = cleanFolder(folder.path);
        if (!named.insert(root.folder).second)
            continue;
        root.optional = folder.optional;
        walker.walk(root.folder, folder.optional, root.walk);
        if (!request.cacheFolder.isEmpty()) {
            root.cacheFile = cacheFileFor(request.cacheFolder, root.folder);
            root.cacheLoaded = loadCache(root.cacheFile, root.folder, request.programVersion, root.cached);
        }
        roots.push_back(std::move(root));
    }
    for (const Root& root : roots)
        result.filesFound += static_cast<int>(root.walk.files.size());
    if (observer != nullptr)
        observer->filesFound(result.filesFound);
    Reporter reporter(observer);

    // What the cache knows as it is now comes first; the walk's problems with it.
    std::vector<Entry> known;
    std::vector<Pending> pending;
    for (std::size_t r = 0; r < roots.size(); ++r) {
        Root& root = roots[r];
        known.insert(known.end(), root.walk.problems.begin(), root.walk.problems.end());
        std::size_t reused = 0;
        for (const FoundFile& file : root.walk.files) {
            const auto cached = root.cached.find(file.relative);
            if (cached != root.cached.end() && cached->second.size == file.size && cached->second.modifiedNs == file.modifiedNs) {
                finish(cached->second, root, file);
                known.push_back(cached->second);
                ++reused;
            } else {
                pending.push_back({r, &file});
            }
        }
        // A cache that could not be used, or knows files that went or changed, is written again.
        root.cacheStale = !root.cacheLoaded || reused != root.cached.size();
    }
    const int reusedFiles = result.filesFound - static_cast<int>(pending.size());
    reporter.report(listedCopies(known), reusedFiles);

    // The rest is read in tasks of a few files on as many threads as asked for.
    std::vector<Entry> read(pending.size());
    std::vector<std::size_t> tasks((pending.size() + filesPerTask - 1) / filesPerTask);
    std::iota(tasks.begin(), tasks.end(), std::size_t{0});
    const auto runTask = [&](std::size_t task) {
        const std::size_t first = task * filesPerTask;
        const std::size_t last = std::min(first + filesPerTask, pending.size());
        std::vector<Entry> batch;
        for (std::size_t i = first; i < last; ++i) {
            if (cancelled())
                return;
            const Root& root = roots[pending[i].root];
            read[i] = readEntry(*pending[i].file);
            finish(read[i], root, *pending[i].file);
            if (listed(read[i]))
                batch.push_back(read[i]);
        }
        reporter.report(std::move(batch), static_cast<int>(last - first));
    };
    const int threads = request.threads > 0 ? request.threads : QThread::idealThreadCount();
    if (threads <= 1 || tasks.size() <= 1) {
        for (const std::size_t task : tasks)
            runTask(task);
    } else {
        QThreadPool pool;
        pool.setMaxThreadCount(threads);
        QtConcurrent::blockingMap(&pool, tasks, runTask);
    }
    result.filesRead = static_cast<int>(pending.size());
    if (cancelled()) {
        result.cancelled = true;
        return result;
    }

    // Back into each folder's cache: every file as the walk found it now. Problems are
    // not kept: a file that could not be read is tried again next time.
    std::vector<std::vector<std::pair<std::string, const Entry*>>> perRoot(roots.size());
    for (std::size_t i = 0; i < pending.size(); ++i) {
        if (read[i].kind == Entry::Kind::Problem)
            continue;
        perRoot[pending[i].root].emplace_back(pending[i].file->relative, &read[i]);
        roots[pending[i].root].cacheStale = true;
    }
    for (std::size_t r = 0; r < roots.size(); ++r) {
        Root& root = roots[r];
        // A folder with nothing in it (a default folder that is not there) needs no index.
        if (root.cacheFile.empty() || !root.cacheStale || (root.walk.files.empty() && root.cached.empty()))
            continue;
        for (const FoundFile& file : root.walk.files) {
            const auto cached = root.cached.find(file.relative);
            if (cached != root.cached.end() && cached->second.size == file.size && cached->second.modifiedNs == file.modifiedNs)
                perRoot[r].emplace_back(file.relative, &cached->second);
        }
        if (const QString problem = saveCache(root.cacheFile, root.folder, request.programVersion, perRoot[r]); !problem.isEmpty())
            result.cacheProblems << problem;
    }

    result.entries = listedCopies(known);
    for (Entry& entry : read)
        if (listed(entry))
            result.entries.push_back(std::move(entry));
    std::sort(result.entries.begin(), result.entries.end(), listedBefore);
    return result;
}

}  // namespace library
