#include "library_test_support.h"

#include "library/index_cache.h"
#include "library/search_text.h"

#include <utime.h>

namespace {

using namespace librarytest;
using library::Entry;

void layOut(const Tree& tree)
{
    tree.write("lib/fixtures/manufacturers.json", R"({"strix": {"name": "Strix Lighting"}})");
    tree.copySample("spot.json", "lib/fixtures/strix/spot.json");
    tree.copySample("pixelbar.json", "lib/fixtures/strix/pixelbar.json");
    tree.copySample("wash.qxf", "lib/wash.qxf");
    tree.copySample("scanner.qxf", "lib/scanner.qxf");
    tree.write("lib/package.json", R"({"name": "not a fixture"})");
    tree.write("lib/broken.json", "{");
}

QStringList listing(const library::ScanResult& result)
{
    QStringList lines;
    for (const Entry& entry : result.entries)
        lines << QStringList{entry.path, entry.manufacturer, entry.model, entry.shortName, entry.type, entry.channelCounts(),
                             QString::number(entry.fits()), entry.problem, entry.searchText}
                     .join('|');
    return lines;
}

std::string cacheFileOf(const Tree& tree)
{
    return library::cacheFileFor(tree.path("cache"), rig::toPath(tree.path("lib")));
}

void setModified(const QString& path, long seconds)
{
    const struct utimbuf times = {seconds, seconds};
    ASSERT_EQ(::utime(rig::toPath(path).c_str(), &times), 0);
}

TEST(LibraryCache, AnUnchangedLibraryIsNotReadAgainAndNothingIsWrittenInIt)
{
    Tree tree;
    layOut(tree);
    const auto before = tree.snapshot();
    const library::ScanResult first = scan({tree.path("lib")}, tree.path("cache"));
    EXPECT_EQ(first.filesFound, 6);
    EXPECT_EQ(first.filesRead, 6);
    EXPECT_TRUE(first.cacheProblems.isEmpty());

    const library::ScanResult second = scan({tree.path("lib")}, tree.path("cache"));
    // The broken file alone is read again: problems are not cached.
    EXPECT_EQ(second.filesRead, 1);
    EXPECT_EQ(listing(second), listing(first));
    const auto cacheTime = QFileInfo(rig::fromPath(cacheFileOf(tree))).lastModified();

    // A new name in manufacturers.json reaches cached entries.
    tree.write("lib/fixtures/manufacturers.json", R"({"strix": {"name": "Strix"}})");
    const library::ScanResult renamed = scan({tree.path("lib")}, tree.path("cache"));
    EXPECT_EQ(renamed.filesRead, 1);
    EXPECT_EQ(entryOf(renamed, "strix/spot.json").manufacturer, "Strix");
    EXPECT_TRUE(library::matchesWords(entryOf(renamed, "strix/spot.json").searchText, library::searchWords("strix spot")));
    EXPECT_EQ(QFileInfo(rig::fromPath(cacheFileOf(tree))).lastModified(), cacheTime) << "nothing changed: no write";

    // The library itself is as it was, but for the one file this test rewrote.
    auto after = tree.snapshot();
    for (const QString& path : {tree.path("cache"), tree.path("cache/" + QFileInfo(rig::fromPath(cacheFileOf(tree))).fileName()),
                                tree.path("lib/fixtures/manufacturers.json")}) {
        after.erase(path);
    }
    auto expected = before;
    expected.erase(tree.path("lib/fixtures/manufacturers.json"));
    EXPECT_EQ(after, expected);
}

TEST(LibraryCache, OnlyChangedAndAddedFilesAreReadAndRemovedOnesDropOut)
{
    Tree tree;
    layOut(tree);
    setModified(tree.path("lib/scanner.qxf"), 1000000000);
    ASSERT_EQ(scan({tree.path("lib")}, tree.path("cache")).filesRead, 6);

    tree.copySample("wash.qxf", "lib/fixtures/strix/spot.json");  // new content
    setModified(tree.path("lib/scanner.qxf"), 1000000001);          // same content, new time
    tree.copySample("spot.json", "lib/added/new.json");
    ASSERT_TRUE(QFile::remove(tree.path("lib/wash.qxf")));
    const library::ScanResult second = scan({tree.path("lib")}, tree.path("cache"));
    EXPECT_EQ(second.filesFound, 6);
    EXPECT_EQ(second.filesRead, 4);  // changed, touched, added, and the broken one
    EXPECT_EQ(entryOf(second, "strix/spot.json").model, "LED Wash 7x10");
    EXPECT_EQ(entryOf(second, "added/new.json").model, "Rigtest Spot 300 Profile");
    EXPECT_EQ(entryOf(second, "added/new.json").manufacturer, "added");
    for (const Entry& entry : second.entries)
        EXPECT_FALSE(entry.path.endsWith("wash.qxf")) << entry.path;

    // What the second run learnt is cached: the third reads only the broken file.
    const library::ScanResult third = scan({tree.path("lib")}, tree.path("cache"));
    EXPECT_EQ(third.filesRead, 1);
    EXPECT_EQ(listing(third), listing(second));
}

using rig::test::readBytes;
using rig::test::writeBytes;

// The checksum the cache ends in, so that a test can make a lie that passes it.
void reseal(std::vector<std::uint8_t>& bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i + 8 < bytes.size() + 0 && i < bytes.size() - 8; ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
    for (int i = 0; i < 8; ++i)
        bytes[bytes.size() - 8 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(hash >> (8 * i));
}

std::size_t find(const std::vector<std::uint8_t>& bytes, const std::string& text)
{
    const auto at = std::search(bytes.begin(), bytes.end(), text.begin(), text.end());
    return at == bytes.end() ? std::string::npos : static_cast<std::size_t>(at - bytes.begin());
}

// A cache cut short, changed, sealed around a lie, of another version or folder, or
// too large is never believed: the folder is read whole again and the cache rewritten.
TEST(LibraryCache, ACacheThatFailsAnyCheckIsIgnoredAndRebuilt)
{
    Tree tree;
    layOut(tree);
    const library::ScanResult fresh = scan({tree.path("lib")}, tree.path("cache"));
    const std::string file = cacheFileOf(tree);
    const std::vector<std::uint8_t> good = readBytes(file);
    ASSERT_GT(good.size(), 100u);

    using Corruption = std::function<void(std::vector<std::uint8_t>&)>;
    const auto patchU32 = [](std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    const std::vector<std::pair<const char*, Corruption>> corruptions = {
        {"cut short", [](auto& b) { b.resize(b.size() - 1); }},
        {"one byte changed", [](auto& b) { b[b.size() / 2] ^= 0x20; }},
        {"empty", [](auto& b) { b.clear(); }},
        {"another magic", [](auto& b) { b[0] = 'X'; reseal(b); }},
        {"another program version", [](auto& b) { b[find(b, "test 1") + 5] = '2'; reseal(b); }},
        {"an entry count beyond the file",
         [&](auto& b) { patchU32(b, find(b, rig::toPath(tree.path("lib"))) + rig::toPath(tree.path("lib")).size(), 0xFFFFFFF0u); reseal(b); }},
        {"a string longer than the file",
         [&](auto& b) { patchU32(b, find(b, "LED Wash") - 4, 0x7FFFFFFFu); reseal(b); }},
        {"a tab in a model name", [](auto& b) { b[find(b, "LED Wash") + 3] = '\t'; reseal(b); }},
        {"a path out of the folder", [](auto& b) { const std::size_t at = find(b, "wash.qxf"); b[at - 1] = '.'; b[at - 2] = '.'; reseal(b); }},
        {"a mode that fits with 41 channels",
         [](auto& b) { const std::size_t at = find(b, "Pixels") + 6; b[at] = 41; b[at + 4] |= 2; reseal(b); }},
        {"bytes after the last entry", [](auto& b) { b.insert(b.end() - 8, 0); reseal(b); }},
    };
    for (const auto& [what, corrupt] : corruptions) {
        std::vector<std::uint8_t> bytes = good;
        corrupt(bytes);
        writeBytes(file, bytes);
        library::CachedEntries entries;
        EXPECT_FALSE(library::decodeCache(bytes, rig::toPath(tree.path("lib")), "test 1", entries)) << what;
        EXPECT_TRUE(entries.empty()) << what;
        const library::ScanResult again = scan({tree.path("lib")}, tree.path("cache"));
        EXPECT_EQ(again.filesRead, 6) << what;
        EXPECT_EQ(listing(again), listing(fresh)) << what;
        EXPECT_EQ(readBytes(file), good) << what << ": the cache is written again";
    }

    // Another folder's cache under this folder's name, and a file too large to be a cache.
    tree.copySample("spot.json", "other/spot.json");
    (void)scan({tree.path("other")}, tree.path("cache"));
    writeBytes(file, readBytes(library::cacheFileFor(tree.path("cache"), rig::toPath(tree.path("other")))));
    EXPECT_EQ(scan({tree.path("lib")}, tree.path("cache")).filesRead, 6);
    ASSERT_EQ(::truncate(file.c_str(), static_cast<off_t>(library::maxCacheFileSize + 1)), 0);
    EXPECT_EQ(scan({tree.path("lib")}, tree.path("cache")).filesRead, 6);
    EXPECT_EQ(readBytes(file), good);
}

TEST(LibraryCache, ACacheThatCannotBeWrittenIsSaidAndTheIndexStillWorks)
{
    Tree tree;
    layOut(tree);
    tree.write("cache", "a file where the cache folder should be");
    const library::ScanResult result = scan({tree.path("lib")}, tree.path("cache"));
    EXPECT_EQ(result.cacheProblems.size(), 1);
    EXPECT_EQ(pathsOf(result, Entry::Kind::Fixture).size(), 4);
}

TEST(LibraryCache, EveryFieldComesBack)
{
    Entry entry;
    entry.path = "/lib/Ünïcode/x.gdtf";
    entry.size = 123456789012;
    entry.modifiedNs = -5;
    entry.format = library::Format::Gdtf;
    entry.manufacturer = "Mäker";
    entry.model = "Model ✓";
    entry.shortName = "M";
    entry.type = "Moving Head";
    entry.modes = {{"A", 36, true, true}, {"B", 37, true, false}, {"C", 0, false, false}};
    Entry other;
    other.kind = Entry::Kind::NotFixture;
    other.path = "/lib/package.json";
    Entry fromFolder = entry;
    fromFolder.path = "/lib/strix/y.json";
    fromFolder.manufacturerFromFolder = true;
    Entry problem;
    problem.kind = Entry::Kind::Problem;
    const std::vector<std::uint8_t> bytes = library::encodeCache(
        "/lib", "v", {{"Ünïcode/x.gdtf", &entry}, {"package.json", &other}, {"strix/y.json", &fromFolder}, {"broken.json", &problem}});

    library::CachedEntries back;
    ASSERT_TRUE(library::decodeCache(bytes, "/lib", "v", back));
    ASSERT_EQ(back.size(), 3u) << "problems are not cached";
    const Entry& read = back.at("Ünïcode/x.gdtf");
    EXPECT_EQ(read.path, entry.path);
    EXPECT_EQ(read.size, entry.size);
    EXPECT_EQ(read.modifiedNs, entry.modifiedNs);
    EXPECT_EQ(read.format, entry.format);
    EXPECT_EQ(QStringList({read.manufacturer, read.model, read.shortName, read.type}),
              QStringList({entry.manufacturer, entry.model, entry.shortName, entry.type}));
    EXPECT_EQ(read.modes, entry.modes);
    EXPECT_EQ(read.searchText, "maker\nmodel ✓\nm");
    EXPECT_EQ(back.at("package.json").kind, Entry::Kind::NotFixture);
    EXPECT_EQ(back.at("strix/y.json").manufacturer, "") << "a folder's name is taken again when loaded";
    EXPECT_FALSE(library::decodeCache(bytes, "/lib2", "v", back));
    EXPECT_FALSE(library::decodeCache(bytes, "/lib", "w", back));
}

}  // namespace
