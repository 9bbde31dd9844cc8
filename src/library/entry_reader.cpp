#include "library/entry_reader.h"

#include "base/file_io.h"
#include "base/rig_error.h"
#include "fixture/fixture_reader.h"
#include "fixture/gdtf_archive.h"
#include "fixture/xml_walker.h"
#include "qtcore/file_names.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <strings.h>

namespace library {

namespace {

constexpr qint64 mebibyte = 1024 * 1024;

std::atomic<void (*)(const std::string&)> g_afterRead{nullptr};

// A failure that makes the file a problem entry.
struct Refused {
    QString reason;
};

QString errnoText(int err)
{
    return QString::fromStdString(rig::errorFromErrno(err).description());
}

qint64 modifiedNs(const struct stat& info)
{
    return static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

class OpenFile final {
public:
    // Non-blocking, so that a pipe put in the file's place meanwhile cannot hold the scan.
    explicit OpenFile(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    [[nodiscard]] int fd() const noexcept { return m_fd; }

    // Appends up to `wanted` bytes; fewer only at the end of the file.
    void readInto(QByteArray& data, qint64 wanted) const
    {
        while (wanted > 0) {
            const qsizetype start = data.size();
            const auto chunk = static_cast<qsizetype>(std::min<qint64>(wanted, 1 << 20));
            data.resize(start + chunk);
            const ssize_t got = ::read(m_fd, data.data() + start, static_cast<std::size_t>(chunk));
            if (got < 0 && errno == EINTR) {
                data.resize(start);
                continue;
            }
            if (got < 0)
                throw Refused{QStringLiteral("the file cannot be read: %1").arg(errnoText(errno))};
            data.resize(start + got);
            if (got == 0)
                return;
            wanted -= got;
        }
    }

private:
    int m_fd = -1;
};

char firstSignificant(const QByteArray& data)
{
    for (const char ch : data)
        if (ch != ' ' && ch != '\t' && ch != '\r' && ch != '\n' && ch != '\xEF' && ch != '\xBB' && ch != '\xBF')
            return ch;
    return 0;
}

// A JSON document of some other kind: valid JSON, but no object with modes or channels.
bool isOtherJson(const QByteArray& data)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError)
        return false;
    if (!document.isObject())
        return true;
    const QJsonObject root = document.object();
    return !root.contains(QStringLiteral("modes")) && !root.contains(QStringLiteral("availableChannels"));
}

rig::FixtureDescription parse(const FoundFile& file, const OpenFile& open, qint64 size, Format& format, bool& otherJson)
{
    QByteArray data;
    open.readInto(data, 4);
    if (fixture::gdtf::hasZipSignature(data.constData(), static_cast<std::size_t>(data.size()))) {
        // Archives are opened where they lie; only their description.xml is unpacked.
        format = Format::Gdtf;
        return fixture::readGdtfArchive(file.path);
    }
    if (size > fixture::maxGdtfDescriptionSize)
        throw Refused{QStringLiteral("the file is larger than %1 MiB; no fixture definition is that large")
                          .arg(fixture::maxGdtfDescriptionSize / mebibyte)};
    // One byte more than allowed tells an over-long file from one that fits exactly.
    open.readInto(data, fixture::maxGdtfDescriptionSize + 1 - data.size());
    const char first = firstSignificant(data);
    if (first == '<' && fixture::rootElementName(data) == QLatin1String("GDTF")) {
        format = Format::Gdtf;
        return fixture::parseGdtfDescription(data);
    }
    if (data.size() > fixture::maxDefinitionSize)
        throw Refused{QStringLiteral("the file is larger than %1 MiB; no fixture definition is that large")
                          .arg(fixture::maxDefinitionSize / mebibyte)};
    if (first == '<') {
        format = Format::Qlc;
        return fixture::parseQxfDefinition(data);
    }
    if (first == '[') {
        otherJson = isOtherJson(data);
        throw Refused{QStringLiteral("a JSON list, not a fixture definition")};
    }
    if (first == '{') {
        format = Format::Ofl;
        try {
            return fixture::parseOflDefinition(data);
        } catch (const rig::RigError&) {
            otherJson = isOtherJson(data);
            throw;
        }
    }
    // The readers' words for a file that is none of the formats.
    if (file.relative.size() > 5 && ::strcasecmp(file.relative.c_str() + file.relative.size() - 5, ".gdtf") == 0)
        throw Refused{QStringLiteral("GDTF: not a ZIP archive, as a .gdtf file must be")};
    throw Refused{QStringLiteral("not a fixture definition (neither JSON, XML nor a GDTF archive)")};
}

}  // namespace

Entry readEntry(const FoundFile& file)
{
    Entry entry;
    entry.path = rig::fromPath(file.path);
    entry.size = file.size;
    entry.modifiedNs = file.modifiedNs;
    const auto refuse = [&entry](const QString& reason) {
        entry.kind = Entry::Kind::Problem;
        entry.problem = oneLineText(reason);
        return entry;
    };

    const OpenFile open(file.path);
    if (open.fd() < 0)
        return refuse(errno == ENOENT ? QStringLiteral("the file was removed while the library was read")
                                      : QStringLiteral("the file cannot be opened: %1").arg(errnoText(errno)));
    struct stat before {};
    if (::fstat(open.fd(), &before) != 0)
        return refuse(QStringLiteral("the file cannot be opened: %1").arg(errnoText(errno)));
    if (!S_ISREG(before.st_mode))
        return refuse(QStringLiteral("the file changed while the library was read"));
    // What is read is what the index remembers, also when the file changed since the walk.
    entry.size = static_cast<qint64>(before.st_size);
    entry.modifiedNs = modifiedNs(before);

    rig::FixtureDescription fixture;
    bool otherJson = false;
    QString refusal;
    try {
        fixture = parse(file, open, entry.size, entry.format, otherJson);
    } catch (const Refused& refused) {
        refusal = refused.reason;
    } catch (const rig::RigError& error) {
        refusal = QString::fromStdString(error.description());
    } catch (const std::exception& error) {
        refusal = QString::fromUtf8(error.what());
    }

    if (auto* hook = g_afterRead.load())
        hook(file.path);

    // A file written to meanwhile may have been read half old, half new; one replaced
    // or removed meanwhile is not the file that was found.
    struct stat after {};
    struct stat now {};
    if (::stat(file.path.c_str(), &now) != 0)
        return refuse(QStringLiteral("the file was removed while the library was read"));
    if (::fstat(open.fd(), &after) != 0 || after.st_size != before.st_size || modifiedNs(after) != entry.modifiedNs ||
        now.st_ino != before.st_ino || now.st_dev != before.st_dev)
        return refuse(QStringLiteral("the file changed while the library was read"));

    if (otherJson) {
        entry.kind = Entry::Kind::NotFixture;
        return entry;
    }
    if (!refusal.isEmpty())
        return refuse(refusal);
    describe(entry, fixture);
    return entry;
}

void testing::setAfterRead(void (*hook)(const std::string& path))
{
    g_afterRead = hook;
}

}  // namespace library
