#pragma once

#include "library/library_entry.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <vector>

// Indexing the library: walk its folders, take what the cache still knows, read every
// new or changed definition file on every core, write the caches back. The window runs
// it in the background and shows entries as they come; the command line waits for it.
namespace library {

struct LibraryFolder {
    QString path;
    bool optional = false;  // a default folder: used when present, no problem when not
};

struct ScanRequest {
    std::vector<LibraryFolder> folders;
    QString cacheFolder;  // empty: no cache is read or written
    QString programVersion;
    int threads = 0;  // readers at once; 0 for one per core
};

struct ScanResult {
    // Fixtures and problems in listing order (listedBefore); other JSON files left out.
    std::vector<Entry> entries;
    int filesFound = 0;  // definition files the walk found
    int filesRead = 0;   // of those, read because the cache did not know them as they are
    QStringList cacheProblems;  // caches that could not be written, and why
    bool cancelled = false;
};

// Told what a scan finds while it runs. Calls come from the scan's threads, one at a time.
class ScanObserver {
public:
    virtual ~ScanObserver() = default;
    // Once the walk is over: how many definition files there are to list.
    virtual void filesFound(int total) = 0;
    // Entries ready to list (fixtures and problems), and how many files are done so far.
    virtual void entriesReady(std::vector<Entry> entries, int done) = 0;
};

// Runs a scan to its end, or until `cancel` is set (then no cache is written).
[[nodiscard]] ScanResult scanLibrary(const ScanRequest& request, ScanObserver* observer = nullptr,
                                     const std::atomic<bool>* cancel = nullptr);

}  // namespace library
