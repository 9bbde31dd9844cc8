#include "library/index_cache.h"

#include "base/file_io.h"
#include "fixture/fixture_reader.h"
#include "library/folder_walk.h"
#include "library/search_text.h"
#include "qtcore/file_names.h"

#include <QCryptographicHash>
#include <QDir>
#include <QStringDecoder>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

namespace library {

namespace {

const char magic[8] = {'R', 'S', 'F', 'X', 'I', 'D', 'X', '1'};
constexpr std::uint32_t layoutVersion = 1;
constexpr int consoleChannels = 36;
// The least an entry takes: an empty path, size, time, kind.
constexpr std::size_t smallestEntry = 4 + 8 + 8 + 1;

std::uint64_t fnv1a(const std::uint8_t* data, std::size_t size)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= data[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

class Writer final {
public:
    explicit Writer(std::vector<std::uint8_t>& out) : m_out(out) {}

    void u8(std::uint8_t value) { m_out.push_back(value); }
    void u32(std::uint32_t value) { unsigned64(value, 4); }
    void u64(std::uint64_t value) { unsigned64(value, 8); }
    void i64(qint64 value) { unsigned64(static_cast<std::uint64_t>(value), 8); }
    void bytes(const char* data, std::size_t size)
    {
        u32(static_cast<std::uint32_t>(size));
        m_out.insert(m_out.end(), data, data + size);
    }
    void text(const QString& value)
    {
        const QByteArray utf8 = value.toUtf8();
        bytes(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    }

private:
    void unsigned64(std::uint64_t value, int count)
    {
        for (int i = 0; i < count; ++i)
            m_out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }

    std::vector<std::uint8_t>& m_out;
};

// Every read is checked against the end; the first failure sticks.
class Reader final {
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    [[nodiscard]] bool ok() const { return m_ok; }
    [[nodiscard]] std::size_t left() const { return m_ok ? m_size - m_pos : 0; }
    void fail() { m_ok = false; }

    std::uint8_t u8() { return static_cast<std::uint8_t>(unsigned64(1)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(unsigned64(4)); }
    std::uint64_t u64() { return unsigned64(8); }
    qint64 i64() { return static_cast<qint64>(unsigned64(8)); }

    std::string bytes()
    {
        const std::uint32_t size = u32();
        if (!m_ok || size > maxCachedString || size > left()) {
            m_ok = false;
            return {};
        }
        std::string value(reinterpret_cast<const char*>(m_data + m_pos), size);
        m_pos += size;
        return value;
    }

    // Well-formed UTF-8 without control characters: a name for one line or one field.
    QString text()
    {
        const std::string utf8 = bytes();
        QStringDecoder decoder(QStringDecoder::Utf8);
        QString value = decoder.decode(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
        if (decoder.hasError())
            m_ok = false;
        for (const QChar ch : value)
            if (ch.category() == QChar::Other_Control)
                m_ok = false;
        return m_ok ? value : QString();
    }

private:
    std::uint64_t unsigned64(int count)
    {
        if (!m_ok || left() < static_cast<std::size_t>(count)) {
            m_ok = false;
            return 0;
        }
        std::uint64_t value = 0;
        for (int i = 0; i < count; ++i)
            value |= static_cast<std::uint64_t>(m_data[m_pos + static_cast<std::size_t>(i)]) << (8 * i);
        m_pos += static_cast<std::size_t>(count);
        return value;
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

// A path below the library folder, as the walk makes them: no leading or doubled
// slash, no "." or ".." component, no NUL.
bool isRelativePath(const std::string& path)
{
    if (path.empty() || path.front() == '/' || path.back() == '/' || path.find('\0') != std::string::npos)
        return false;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
}

bool readEntry(Reader& in, const std::string& libraryFolder, std::string& relative, Entry& entry)
{
    relative = in.bytes();
    entry.size = in.i64();
    entry.modifiedNs = in.i64();
    const std::uint8_t kind = in.u8();
    if (!in.ok() || !isRelativePath(relative) || !isDefinitionName(relative.substr(relative.rfind('/') + 1)) || entry.size < 0 ||
        kind > static_cast<std::uint8_t>(Entry::Kind::NotFixture))
        return false;
    entry.kind = static_cast<Entry::Kind>(kind);
    entry.path = rig::fromPath(libraryFolder + '/' + relative);
    if (entry.kind == Entry::Kind::Problem)
        return false;
    if (entry.kind == Entry::Kind::NotFixture)
        return true;

    const std::uint8_t format = in.u8();
    if (format > static_cast<std::uint8_t>(Format::Gdtf))
        return false;
    entry.format = static_cast<Format>(format);
    entry.manufacturer = in.text();
    entry.model = in.text();
    entry.shortName = in.text();
    entry.type = in.text();
    const std::uint32_t modes = in.u32();
    // Each mode takes at least nine bytes, so a count the rest cannot hold is a lie.
    if (!in.ok() || modes > maxCachedModes || modes > in.left() / 9)
        return false;
    entry.modes.resize(modes);
    for (ModeSummary& mode : entry.modes) {
        mode.name = in.text();
        const std::uint32_t channels = in.u32();
        const std::uint8_t flags = in.u8();
        if (!in.ok() || channels > fixture::maxExpandedChannels || (flags & ~3u) != 0)
            return false;
        mode.channels = static_cast<int>(channels);
        mode.readable = (flags & 1u) != 0;
        mode.fits = (flags & 2u) != 0;
        if (mode.fits && (!mode.readable || channels == 0 || channels > consoleChannels))
            return false;
    }
    prepareForSearch(entry);
    return in.ok();
}

}  // namespace

std::vector<std::uint8_t> encodeCache(const std::string& libraryFolder, const QString& programVersion,
                                      const std::vector<std::pair<std::string, const Entry*>>& entries)
{
    std::vector<std::uint8_t> bytes(std::begin(magic), std::end(magic));
    Writer out(bytes);
    out.u32(layoutVersion);
    out.text(programVersion);
    out.bytes(libraryFolder.data(), libraryFolder.size());
    const auto kept = [](const std::pair<std::string, const Entry*>& item) { return item.second->kind != Entry::Kind::Problem; };
    out.u32(static_cast<std::uint32_t>(std::count_if(entries.begin(), entries.end(), kept)));
    for (const auto& item : entries) {
        if (!kept(item))
            continue;
        const auto& [relative, entry] = item;
        out.bytes(relative.data(), relative.size());
        out.i64(entry->size);
        out.i64(entry->modifiedNs);
        out.u8(static_cast<std::uint8_t>(entry->kind));
        if (entry->kind == Entry::Kind::Fixture) {
            out.u8(static_cast<std::uint8_t>(entry->format));
            // A manufacturer taken from the folder is taken again on loading: its name may change.
            out.text(entry->manufacturerFromFolder ? QString() : entry->manufacturer);
            for (const QString* text : {&entry->model, &entry->shortName, &entry->type})
                out.text(*text);
            out.u32(static_cast<std::uint32_t>(entry->modes.size()));
            for (const ModeSummary& mode : entry->modes) {
                out.text(mode.name);
                out.u32(static_cast<std::uint32_t>(mode.channels));
                out.u8(static_cast<std::uint8_t>((mode.readable ? 1u : 0u) | (mode.fits ? 2u : 0u)));
            }
        }
    }
    out.u64(fnv1a(bytes.data(), bytes.size()));
    return bytes;
}

bool decodeCache(const std::vector<std::uint8_t>& bytes, const std::string& libraryFolder, const QString& programVersion,
                 CachedEntries& entries)
{
    entries.clear();
    if (bytes.size() < sizeof magic + 8 || bytes.size() > maxCacheFileSize || std::memcmp(bytes.data(), magic, sizeof magic) != 0)
        return false;
    const std::size_t payload = bytes.size() - 8;
    Reader sum(bytes.data() + payload, 8);
    if (sum.u64() != fnv1a(bytes.data(), payload))
        return false;

    Reader in(bytes.data() + sizeof magic, payload - sizeof magic);
    if (in.u32() != layoutVersion || in.text() != programVersion || in.bytes() != libraryFolder)
        return false;
    const std::uint32_t count = in.u32();
    if (!in.ok() || count > maxFilesPerFolder || count > in.left() / smallestEntry)
        return false;
    entries.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string relative;
        Entry entry;
        if (!readEntry(in, libraryFolder, relative, entry)) {
            entries.clear();
            return false;
        }
        entries.insert_or_assign(std::move(relative), std::move(entry));
    }
    if (!in.ok() || in.left() != 0) {
        entries.clear();
        return false;
    }
    return true;
}

std::string cacheFileFor(const QString& cacheFolder, const std::string& libraryFolder)
{
    const QByteArray hash = QCryptographicHash::hash(QByteArray(libraryFolder.data(), static_cast<qsizetype>(libraryFolder.size())),
                                                     QCryptographicHash::Sha1)
                                .toHex();
    return rig::toPath(cacheFolder) + '/' + hash.toStdString() + ".index";
}

bool loadCache(const std::string& cacheFile, const std::string& libraryFolder, const QString& programVersion,
               CachedEntries& entries)
{
    entries.clear();
    struct stat info {};
    if (::stat(cacheFile.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || static_cast<std::uint64_t>(info.st_size) > maxCacheFileSize)
        return false;
    try {
        return decodeCache(rig::readFileBytes(cacheFile, maxCacheFileSize + 1), libraryFolder, programVersion, entries);
    } catch (const rig::RigError&) {
        entries.clear();
        return false;
    }
}

QString saveCache(const std::string& cacheFile, const std::string& libraryFolder, const QString& programVersion,
                  const std::vector<std::pair<std::string, const Entry*>>& entries)
{
    const std::string folder = rig::folderOfPath(cacheFile);
    if (!QDir().mkpath(rig::fromPath(folder)))
        return QStringLiteral("%1: the folder cannot be made").arg(rig::fromPath(rig::printableName(folder)));
    try {
        rig::writeFileAtomically(cacheFile, encodeCache(libraryFolder, programVersion, entries));
    } catch (const rig::RigError& error) {
        return QStringLiteral("%1: %2").arg(rig::fromPath(rig::printableName(cacheFile)), QString::fromStdString(error.description()));
    }
    return {};
}

}  // namespace library
