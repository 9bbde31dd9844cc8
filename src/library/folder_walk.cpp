#include "library/folder_walk.h"

#include "base/file_io.h"
#include "fixture/fixture_reader.h"
#include "qtcore/file_names.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace library {

namespace {

const char* const manufacturersFile = "manufacturers.json";

bool endsWithNoCase(const std::string& name, const char* ending)
{
    const std::size_t length = std::strlen(ending);
    return name.size() > length && ::strncasecmp(name.c_str() + name.size() - length, ending, length) == 0;
}

std::string joined(const std::string& folder, const std::string& name)
{
    return folder.empty() || folder.back() == '/' ? folder + name : folder + '/' + name;
}

Entry problemEntry(const std::string& path, const QString& reason)
{
    Entry entry;
    entry.kind = Entry::Kind::Problem;
    entry.path = rig::fromPath(path);
    entry.problem = reason;
    return entry;
}

QString errnoText(int err)
{
    return QString::fromStdString(rig::errorFromErrno(err).description());
}

// The keys and names of a manufacturers.json; a file that is not one is a problem.
void readManufacturers(const std::string& path, const std::string& folder, FolderWalk& into)
{
    QHash<QString, QString> names;
    try {
        const std::vector<std::uint8_t> bytes = rig::readFileBytes(path, static_cast<std::size_t>(fixture::maxDefinitionSize) + 1);
        if (bytes.size() > static_cast<std::size_t>(fixture::maxDefinitionSize)) {
            into.problems.push_back(problemEntry(path, QStringLiteral("the file is larger than 4 MiB; no list of manufacturers is that large")));
            return;
        }
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(
            QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())), &error);
        if (!document.isObject()) {
            into.problems.push_back(problemEntry(path, error.error != QJsonParseError::NoError
                                                           ? QStringLiteral("not JSON: %1").arg(error.errorString())
                                                           : QStringLiteral("not a list of manufacturers (a JSON object)")));
            return;
        }
        const QJsonObject list = document.object();
        for (auto it = list.begin(); it != list.end(); ++it) {
            const QString name = oneLineText(it.value().toObject().value(QStringLiteral("name")).toString());
            if (!name.isEmpty())
                names.insert(it.key(), name);
        }
    } catch (const rig::RigError& error) {
        into.problems.push_back(problemEntry(path, QString::fromStdString(error.description())));
        return;
    }
    into.manufacturerNames.insert(rig::fromPath(folder), names);
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

bool isDefinitionName(const std::string& name)
{
    if (name == manufacturersFile)
        return false;
    return endsWithNoCase(name, ".json") || endsWithNoCase(name, ".qxf") || endsWithNoCase(name, ".gdtf") ||
           ::strcasecmp(name.c_str(), "description.xml") == 0;
}

void FolderWalker::walk(const std::string& folder, bool optional, FolderWalk& into)
{
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        if (!(optional && errno == ENOENT))
            into.problems.push_back(problemEntry(folder, QStringLiteral("the library folder cannot be opened: %1").arg(errnoText(errno))));
        return;
    }
    if (!S_ISDIR(info.st_mode)) {
        if (!optional)
            into.problems.push_back(problemEntry(folder, QStringLiteral("not a folder")));
        return;
    }
    if (!m_visited.insert({info.st_dev, info.st_ino}).second)
        return;

    struct Pending {
        std::string path;
        std::string relative;
        int depth;
    };
    std::vector<Pending> pending{{folder, std::string(), 0}};
    std::size_t found = 0;
    bool capped = false;
    while (!pending.empty()) {
        const Pending here = std::move(pending.back());
        pending.pop_back();
        const int fd = ::open(here.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        std::unique_ptr<DIR, DirCloser> dir(fd >= 0 ? ::fdopendir(fd) : nullptr);
        if (!dir) {
            const int err = errno;
            if (fd >= 0)
                ::close(fd);
            into.problems.push_back(problemEntry(here.path, QStringLiteral("the folder cannot be read: %1").arg(errnoText(err))));
            continue;
        }
        // Sorted, so that every walk of an unchanged tree finds its files in one order.
        std::vector<std::string> names;
        errno = 0;
        while (const dirent* item = ::readdir(dir.get()))
            if (item->d_name[0] != '.')
                names.emplace_back(item->d_name);
        if (errno != 0)
            into.problems.push_back(problemEntry(here.path, QStringLiteral("the folder cannot be read to its end: %1").arg(errnoText(errno))));
        std::sort(names.begin(), names.end());

        std::vector<Pending> subfolders;
        for (const std::string& name : names) {
            const std::string path = joined(here.path, name);
            struct stat entry {};
            if (::fstatat(::dirfd(dir.get()), name.c_str(), &entry, 0) != 0) {
                // A link that points nowhere, or a name gone meanwhile: worth a word only for a definition.
                if (isDefinitionName(name))
                    into.problems.push_back(problemEntry(path, QStringLiteral("the file cannot be opened: %1").arg(errnoText(errno))));
                continue;
            }
            if (S_ISDIR(entry.st_mode)) {
                if (here.depth + 1 > maxFolderDepth)
                    into.problems.push_back(problemEntry(path, QStringLiteral("more than %1 folders deep; not read").arg(maxFolderDepth)));
                else if (m_visited.insert({entry.st_dev, entry.st_ino}).second)
                    subfolders.push_back({path, joined(here.relative, name), here.depth + 1});
                continue;
            }
            if (!S_ISREG(entry.st_mode))
                continue;
            if (name == manufacturersFile) {
                readManufacturers(path, here.path, into);
                continue;
            }
            if (!isDefinitionName(name))
                continue;
            if (++found > maxFilesPerFolder) {
                if (!capped)
                    into.problems.push_back(problemEntry(folder, QStringLiteral("more than %1 definition files; the rest is not read").arg(maxFilesPerFolder)));
                capped = true;
                continue;
            }
            into.files.push_back({path, joined(here.relative, name), static_cast<qint64>(entry.st_size),
                                  static_cast<qint64>(entry.st_mtim.tv_sec) * 1000000000 + entry.st_mtim.tv_nsec});
        }
        // Taken from the back: the first subfolder is walked next.
        pending.insert(pending.end(), subfolders.rbegin(), subfolders.rend());
    }
}

QString oflManufacturer(const FolderWalk& walk, const QString& path, const std::string& relative)
{
    // A file right in the library folder sits in no manufacturer's folder.
    if (relative.find('/') == std::string::npos)
        return {};
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = path.left(slash);
    const qsizetype above = folder.lastIndexOf(QLatin1Char('/'));
    const QString key = folder.mid(above + 1);
    const QString name = walk.manufacturerNames.value(folder.left(above)).value(key);
    return name.isEmpty() ? key : name;
}

}  // namespace library
