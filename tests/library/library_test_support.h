#pragma once

// Folder trees of definition files laid out by the tests, and the scans over them.
#include "../common/child_process.h"
#include "../common/fixture_samples.h"
#include "../common/qt_helpers.h"
#include "library/library_scan.h"
#include "qtcore/file_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>

namespace librarytest {

class Tree {
public:
    Tree() { EXPECT_TRUE(m_dir.isValid()); }

    [[nodiscard]] QString path(const QString& relative = QString()) const
    {
        return relative.isEmpty() ? m_dir.path() : m_dir.filePath(relative);
    }
    void write(const QString& relative, const QByteArray& content) const
    {
        EXPECT_TRUE(QDir().mkpath(QFileInfo(path(relative)).path()));
        rig::test::writeData(path(relative), content);
    }
    void copySample(const char* sample, const QString& relative) const
    {
        const QByteArray content = rig::test::readData(fixture_samples::sampleFile(sample));
        ASSERT_FALSE(content.isEmpty()) << sample;
        write(relative, content);
    }
    void writeGdtf(const QString& relative, const QByteArray& description) const
    {
        EXPECT_TRUE(QDir().mkpath(QFileInfo(path(relative)).path()));
        fixture_samples::writeGdtf(path(relative), description, ZIP_CM_DEFLATE);
    }
    void link(const QString& target, const QString& relative) const
    {
        ASSERT_EQ(::symlink(rig::toPath(target).c_str(), rig::toPath(path(relative)).c_str()), 0) << relative;
    }
    void mkdir(const QString& relative) const { EXPECT_TRUE(QDir().mkpath(path(relative))); }

    // Every file and folder below the tree with its size and modification time.
    [[nodiscard]] std::map<QString, std::pair<qint64, qint64>> snapshot() const
    {
        std::map<QString, std::pair<qint64, qint64>> found;
        std::function<void(const QString&)> walk = [&](const QString& folder) {
            const QFileInfoList items =
                QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            for (const QFileInfo& info : items) {
                found[info.filePath()] = {info.isSymLink() ? -1 : info.size(), info.lastModified().toMSecsSinceEpoch()};
                if (info.isDir() && !info.isSymLink())
                    walk(info.filePath());
            }
        };
        walk(path());
        return found;
    }

private:
    QTemporaryDir m_dir;
};

inline library::ScanResult scan(const QStringList& folders, const QString& cacheFolder = QString(), int threads = 0,
                                library::ScanObserver* observer = nullptr)
{
    library::ScanRequest request;
    for (const QString& folder : folders)
        request.folders.push_back({folder, false});
    request.cacheFolder = cacheFolder;
    request.programVersion = QStringLiteral("test 1");
    request.threads = threads;
    return library::scanLibrary(request, observer);
}

// The entry whose path ends in `ending`; fails the test when there is none or several.
inline const library::Entry& entryOf(const library::ScanResult& result, const QString& ending)
{
    const library::Entry* found = nullptr;
    int count = 0;
    for (const library::Entry& entry : result.entries)
        if (entry.path.endsWith(ending)) {
            found = &entry;
            ++count;
        }
    EXPECT_EQ(count, 1) << ending;
    static const library::Entry none;
    return found != nullptr ? *found : none;
}

inline QStringList pathsOf(const library::ScanResult& result, library::Entry::Kind kind)
{
    QStringList paths;
    for (const library::Entry& entry : result.entries)
        if (entry.kind == kind)
            paths << entry.path;
    paths.sort();
    return paths;
}

// Runs `part` as the user nobody, where root could read anything, and gives back what
// it returns; runs it as it is for any other user.
inline std::string asUnprivileged(const std::function<std::string()>& part)
{
    if (::geteuid() != 0)
        return part();
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return "pipe failed";
    const pid_t child = rig::test::startChild([&] {
        ::close(pipeEnds[0]);
        std::string text = "cannot become nobody";
        if (::setgid(65534) == 0 && ::setuid(65534) == 0)
            text = part();
        const ssize_t written = ::write(pipeEnds[1], text.data(), text.size());
        return written == static_cast<ssize_t>(text.size()) ? 0 : 1;
    });
    ::close(pipeEnds[1]);
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    (void)rig::test::waitForChild(child);
    return text;
}

}  // namespace librarytest
