#include "library_test_support.h"

#include "fixture/fixture_reader.h"
#include "library/background_scan.h"
#include "library/entry_reader.h"
#include "library/folder_walk.h"
#include "library/library_folders.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <mutex>
#include <set>

namespace {

using namespace librarytest;
using library::Entry;
using library::Format;

QByteArray gdtfSpot()
{
    using namespace fixture_samples;
    return description(mode("Standard", channel("1,2", "Pan", "Yoke") + channel("3,4", "Tilt") + channel("5", "Dimmer")) +
                       mode("Scroller", channel("1", "Dimmer") + channel("1", "Color2", "Head", R"( DMXBreak="2")")));
}

// One tree of every kind of file a library folder holds.
void layOutMixedLibrary(const Tree& tree)
{
    tree.write("ofl/fixtures/manufacturers.json",
               R"({"$schema": "https://example.invalid/manufacturers.json", "strix": {"name": "Strix Lighting", "website": "x"},
                   "rigtest": {"name": "Rigtest\tLabs"}})");
    tree.copySample("spot.json", "ofl/fixtures/strix/spot.json");
    tree.copySample("pixelbar.json", "ofl/fixtures/nameless/pixelbar.json");
    tree.copySample("spot.json", "loose.json");
    tree.copySample("wash.qxf", "qlc/wash.qxf");
    tree.copySample("scanner.qxf", "qlc/Scanner.QXF");
    tree.writeGdtf("gdtf/Rigtest@Spot_400.gdtf", gdtfSpot());
    tree.write("gdtf/unpacked/description.xml", gdtfSpot());
    // Not fixtures: kept quiet. Broken fixtures: problems.
    tree.write("ofl/package.json", R"({"name": "checkout", "version": "1.0.0", "dependencies": {}})");
    tree.write("ofl/list.json", "[1, 2, 3]");
    tree.write("broken.json", R"({"name": "Half", "modes": [)");
    tree.write("qlc/broken.qxf", "<FixtureDefinition>\n<Model>");
    tree.write("gdtf/fake.gdtf", "not an archive");
    tree.write("notes.txt", "ignored");
    tree.copySample("spot.json", ".hidden/spot.json");
    tree.copySample("spot.json", "qlc/.spot.json");
}

TEST(LibraryIndex, ReadsTheThreeFormatsAndNamesOflManufacturersFromTheirFolder)
{
    Tree tree;
    layOutMixedLibrary(tree);
    const library::ScanResult result = scan({tree.path()});
    EXPECT_EQ(result.filesFound, 12);
    EXPECT_EQ(result.filesRead, 12);

    const Entry& spot = entryOf(result, "strix/spot.json");
    EXPECT_EQ(spot.kind, Entry::Kind::Fixture);
    EXPECT_EQ(spot.format, Format::Ofl);
    EXPECT_EQ(spot.manufacturer, "Strix Lighting");
    EXPECT_EQ(spot.model, "Rigtest Spot 300 Profile");
    EXPECT_EQ(spot.shortName, "Spot300");
    EXPECT_EQ(spot.type, "Moving Head");
    EXPECT_EQ(spot.channelCounts(), "8, 16");
    EXPECT_TRUE(spot.fits());
    // A key manufacturers.json does not name is shown as it is; a file right in the
    // library folder has no manufacturer's folder.
    EXPECT_EQ(entryOf(result, "nameless/pixelbar.json").manufacturer, "nameless");
    EXPECT_EQ(entryOf(result, "loose.json").manufacturer, "");

    const Entry& wash = entryOf(result, "qlc/wash.qxf");
    EXPECT_EQ(wash.format, Format::Qlc);
    EXPECT_EQ(wash.manufacturer, "Rigtest");
    EXPECT_EQ(wash.model, "LED Wash 7x10");
    EXPECT_EQ(entryOf(result, "qlc/Scanner.QXF").format, Format::Qlc);

    // A GDTF mode on a second DMX break cannot be read as one lamp: "?" and not fitting.
    for (const char* gdtf : {"Rigtest@Spot_400.gdtf", "unpacked/description.xml"}) {
        const Entry& entry = entryOf(result, QLatin1String(gdtf));
        EXPECT_EQ(entry.format, Format::Gdtf) << gdtf;
        EXPECT_EQ(entry.manufacturer, "Rigtest");
        EXPECT_EQ(entry.model, "Rigtest Spot 400");
        EXPECT_EQ(entry.shortName, "Spot400");
        EXPECT_EQ(entry.channelCounts(), "5, ?");
        ASSERT_EQ(entry.modes.size(), 2u);
        EXPECT_TRUE(entry.modes[0].fits);
        EXPECT_FALSE(entry.modes[1].readable || entry.modes[1].fits);
    }

    // The index says what the readers say, mode by mode.
    for (const Entry& entry : result.entries) {
        if (entry.kind != Entry::Kind::Fixture)
            continue;
        const rig::FixtureDescription read = fixture::readFixtureDefinition(entry.path);
        ASSERT_EQ(entry.modes.size(), read.modes.size()) << entry.path;
        for (std::size_t m = 0; m < read.modes.size(); ++m)
            EXPECT_EQ(entry.modes[m].channels, static_cast<int>(read.modes[m].channels.size())) << entry.path;
    }

    EXPECT_EQ(pathsOf(result, Entry::Kind::Problem),
              QStringList({tree.path("broken.json"), tree.path("gdtf/fake.gdtf"), tree.path("qlc/broken.qxf")}));
    EXPECT_EQ(entryOf(result, "gdtf/fake.gdtf").problem, "GDTF: not a ZIP archive, as a .gdtf file must be");
    EXPECT_TRUE(entryOf(result, "qlc/broken.qxf").problem.startsWith("line 2")) << entryOf(result, "qlc/broken.qxf").problem;
    EXPECT_EQ(pathsOf(result, Entry::Kind::Fixture).size(), 7);
    EXPECT_EQ(pathsOf(result, Entry::Kind::NotFixture).size(), 0) << "other JSON files are not listed";

    // Listed by manufacturer, then model.
    QStringList order;
    for (const Entry& entry : result.entries)
        if (entry.kind == Entry::Kind::Fixture)
            order << entry.manufacturer + "/" + entry.model;
    EXPECT_EQ(order.first(), "/Rigtest Spot 300 Profile");
    EXPECT_EQ(order.last(), "Strix Lighting/Rigtest Spot 300 Profile");
}

// A manufacturers.json that cannot be read is a problem; its fixtures are listed under their keys.
TEST(LibraryIndex, ABrokenManufacturerListLeavesTheKeys)
{
    Tree tree;
    tree.write("fixtures/manufacturers.json", "{\"strix\": ");
    tree.copySample("spot.json", "fixtures/strix/spot.json");
    const library::ScanResult result = scan({tree.path()});
    EXPECT_EQ(entryOf(result, "spot.json").manufacturer, "strix");
    EXPECT_TRUE(entryOf(result, "manufacturers.json").problem.startsWith("not JSON")) << entryOf(result, "manufacturers.json").problem;
}

// Links are followed, but no folder twice: a link back up the tree, a second name of a
// folder, and a library folder inside another end no walk and list no file twice.
TEST(LibraryIndex, SymbolicLinkLoopsAndFoldersNamedTwiceAreWalkedOnce)
{
    Tree tree;
    tree.copySample("spot.json", "lib/a/spot.json");
    tree.copySample("wash.qxf", "elsewhere/wash.qxf");
    tree.mkdir("lib/a/b");
    tree.link(tree.path("lib"), "lib/a/b/up");
    tree.link("..", "lib/a/parent");
    tree.link(tree.path("lib/a"), "lib/again");
    tree.link(tree.path("elsewhere"), "lib/outside");
    tree.link(tree.path("lib/a/spot.json"), "lib/linked.json");
    tree.link(tree.path("nowhere.json"), "lib/gone.json");
    const library::ScanResult result = scan({tree.path("lib"), tree.path("lib/a"), tree.path("lib/../lib/")});
    EXPECT_EQ(pathsOf(result, Entry::Kind::Fixture),
              QStringList({tree.path("lib/a/spot.json"), tree.path("lib/linked.json"), tree.path("lib/outside/wash.qxf")}));
    EXPECT_EQ(entryOf(result, "gone.json").problem, "the file cannot be opened: File not found");
}

// A folder that cannot be read is a problem and the walk goes on; as root, which reads
// every folder, this part runs as the user nobody.
TEST(LibraryIndex, AnUnreadableFolderIsAProblemAndTheRestIsListed)
{
    Tree tree;
    tree.copySample("spot.json", "lib/locked/spot.json");
    tree.copySample("wash.qxf", "lib/open/wash.qxf");
    for (const char* folder : {"", "lib", "lib/open"})
        ASSERT_EQ(::chmod(rig::toPath(tree.path(folder)).c_str(), 0755), 0);
    ASSERT_EQ(::chmod(rig::toPath(tree.path("lib/locked")).c_str(), 0), 0);
    const std::string found = asUnprivileged([&] {
        library::FolderWalk walk;
        library::FolderWalker().walk(rig::toPath(tree.path("lib")), false, walk);
        std::string text;
        for (const library::FoundFile& file : walk.files)
            text += "file " + file.relative + "\n";
        for (const Entry& problem : walk.problems)
            text += "problem " + rig::toPath(problem.path) + ": " + problem.problem.toStdString() + "\n";
        return text;
    });
    ::chmod(rig::toPath(tree.path("lib/locked")).c_str(), 0755);
    EXPECT_EQ(found, "file open/wash.qxf\nproblem " + rig::toPath(tree.path("lib/locked")) +
                         ": the folder cannot be read: Permission denied\n");
}

TEST(LibraryIndex, MissingFoldersAreProblemsUnlessTheyAreDefaults)
{
    Tree tree;
    tree.write("file.json", "{}");
    library::ScanRequest request;
    request.folders = library::libraryFolders({tree.path("no-default")}, {tree.path("no-added"), tree.path("file.json")});
    const library::ScanResult result = library::scanLibrary(request);
    EXPECT_EQ(pathsOf(result, Entry::Kind::Problem), QStringList({tree.path("file.json"), tree.path("no-added")}));
    EXPECT_EQ(entryOf(result, "no-added").problem, "the library folder cannot be opened: File not found");
    EXPECT_EQ(entryOf(result, "file.json").problem, "not a folder");
}

// Files are read on several threads; the observer hears of each file once, and of the
// count before any entry.
TEST(LibraryIndex, ManyFilesOnEveryThreadReachTheObserverOnce)
{
    class Counting final : public library::ScanObserver {
    public:
        void filesFound(int count) override
        {
            const std::lock_guard<std::mutex> lock(mutex);
            total = count;
        }
        void entriesReady(std::vector<Entry> entries, int count) override
        {
            const std::lock_guard<std::mutex> lock(mutex);
            EXPECT_GE(total, 0) << "entries before the count";
            EXPECT_GE(count, done);
            done = count;
            for (const Entry& entry : entries)
                EXPECT_TRUE(paths.insert(entry.path).second) << entry.path;
        }
        std::mutex mutex;
        int total = -1;
        int done = 0;
        std::set<QString> paths;
    } observer;

    Tree tree;
    for (int i = 0; i < 60; ++i)
        tree.copySample(i % 2 == 0 ? "spot.json" : "wash.qxf", QStringLiteral("m%1/f%2.%3").arg(i % 7).arg(i).arg(i % 2 == 0 ? "json" : "qxf"));
    tree.write("m3/bad.json", "{");
    const library::ScanResult result = scan({tree.path()}, QString(), 4, &observer);
    EXPECT_EQ(observer.total, 61);
    EXPECT_EQ(observer.done, 61);
    EXPECT_EQ(observer.paths.size(), 61u);
    EXPECT_EQ(result.entries.size(), 61u);
    EXPECT_TRUE(std::is_sorted(result.entries.begin(), result.entries.end(), library::listedBefore));
}

struct ChangeWhileRead {
    static inline std::string target;
    static inline void (*change)(const std::string&) = nullptr;
    static void hook(const std::string& path)
    {
        if (path == target && change != nullptr)
            change(path);
    }
};

// A file written to, replaced or removed while it is read is a problem, not a half-read entry.
TEST(LibraryIndex, AFileThatChangesOrGoesWhileReadIsAProblem)
{
    Tree tree;
    tree.copySample("spot.json", "spot.json");
    const std::string path = rig::toPath(tree.path("spot.json"));
    library::FolderWalk walk;
    library::FolderWalker().walk(rig::toPath(tree.path()), false, walk);
    ASSERT_EQ(walk.files.size(), 1u);
    const library::FoundFile found = walk.files.front();

    library::testing::setAfterRead(&ChangeWhileRead::hook);
    ChangeWhileRead::target = path;
    const std::vector<std::pair<void (*)(const std::string&), const char*>> changes = {
        {[](const std::string& p) { QFile f(rig::fromPath(p)); ASSERT_TRUE(f.open(QIODevice::Append)); f.write("\n"); },
         "the file changed while the library was read"},
        {[](const std::string& p) { ASSERT_EQ(::rename((p + ".new").c_str(), p.c_str()), 0); },
         "the file changed while the library was read"},
        {[](const std::string& p) { ASSERT_EQ(::unlink(p.c_str()), 0); }, "the file was removed while the library was read"},
    };
    for (const auto& [change, reason] : changes) {
        tree.copySample("spot.json", "spot.json");
        tree.copySample("spot.json", "spot.json.new");
        ChangeWhileRead::change = change;
        const Entry entry = library::readEntry(found);
        EXPECT_EQ(entry.kind, Entry::Kind::Problem);
        EXPECT_EQ(entry.problem, reason);
    }
    library::testing::setAfterRead(nullptr);

    // Gone before it is opened.
    const Entry gone = library::readEntry(found);
    EXPECT_EQ(gone.problem, "the file was removed while the library was read");
    // A pipe in its place is not waited on.
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(library::readEntry(found).problem, "the file changed while the library was read");
    ASSERT_EQ(::unlink(path.c_str()), 0);
    // Changed between the walk and the read: read as it is now.
    tree.copySample("wash.qxf", "spot.json");
    const Entry now = library::readEntry(found);
    EXPECT_EQ(now.model, "LED Wash 7x10");
    EXPECT_NE(now.size, found.size);
}

TEST(LibraryIndex, OversizedFilesAreRefusedUnread)
{
    Tree tree;
    tree.write("big.json", QByteArray(fixture::maxDefinitionSize + 1, ' '));
    tree.write("huge.qxf", QByteArray());
    ASSERT_EQ(::truncate(rig::toPath(tree.path("huge.qxf")).c_str(), fixture::maxGdtfDescriptionSize + 1), 0);
    const library::ScanResult result = scan({tree.path()});
    EXPECT_EQ(entryOf(result, "big.json").problem, "the file is larger than 4 MiB; no fixture definition is that large");
    EXPECT_EQ(entryOf(result, "huge.qxf").problem, "the file is larger than 32 MiB; no fixture definition is that large");
}

// A scan in the background delivers on the thread that owns it, every entry once and the
// end once; a scan stopped or replaced delivers nothing more.
TEST(BackgroundScan, DeliversOnItsOwnersThreadAndNothingOfAStoppedScan)
{
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "library_tests";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);  // lives to the end of the run
    }
    Tree tree;
    for (int i = 0; i < 30; ++i)
        tree.copySample("wash.qxf", QStringLiteral("a/w%1.qxf").arg(i));
    tree.copySample("spot.json", "b/spot.json");
    const auto request = [&](const char* folder) {
        library::ScanRequest made;
        made.folders = {{tree.path(folder), false}};
        made.programVersion = "test 1";
        return made;
    };

    library::BackgroundScan scan;
    std::set<QString> paths;
    int duplicates = 0;
    int finished = 0;
    int total = -1;
    bool elsewhere = false;
    QObject::connect(&scan, &library::BackgroundScan::filesFound, [&](int count) { total = count; });
    QObject::connect(&scan, &library::BackgroundScan::entriesReady, [&](const std::vector<Entry>& entries, int) {
        elsewhere = elsewhere || QThread::currentThread() != QCoreApplication::instance()->thread();
        for (const Entry& entry : entries)
            duplicates += paths.insert(entry.path).second ? 0 : 1;
    });
    QObject::connect(&scan, &library::BackgroundScan::finished, [&](const library::ScanResult& result) {
        ++finished;
        EXPECT_EQ(result.entries.size(), paths.size());
    });
    const auto waitForEnd = [&] {
        QElapsedTimer timer;
        timer.start();
        while (scan.running() && timer.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::processEvents();
    };

    scan.start(request("a"));
    scan.stop();
    QCoreApplication::processEvents();
    EXPECT_TRUE(paths.empty());
    EXPECT_EQ(finished, 0);

    // Started over on another folder before the first is done: only the second arrives.
    scan.start(request("a"));
    scan.start(request("b"));
    waitForEnd();
    EXPECT_FALSE(scan.running());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(total, 1);
    EXPECT_EQ(paths, std::set<QString>{tree.path("b/spot.json")});

    paths.clear();
    scan.start(request("a"));
    waitForEnd();
    EXPECT_EQ(finished, 2);
    EXPECT_EQ(total, 30);
    EXPECT_EQ(paths.size(), 30u);
    EXPECT_EQ(duplicates, 0);
    EXPECT_FALSE(elsewhere);
}

TEST(LibraryFolders, DefaultsAndSavedFoldersComeBackAsTheSameBytes)
{
    const QStringList defaults = library::defaultFolders("/opt/rigsmith/bin");
    EXPECT_EQ(defaults.value(0), "/usr/share/qlcplus/fixtures");
    EXPECT_EQ(defaults.value(1), "/opt/rigsmith/share/qlcplus/fixtures");
    EXPECT_EQ(defaults.value(2), QDir::homePath() + "/.qlcplus/fixtures");
    EXPECT_TRUE(defaults.value(3).endsWith("/Rigsmith/fixtures"));
    // Beside a program in /usr/bin, the system folder is named once.
    EXPECT_EQ(library::defaultFolders("/usr/bin").count("/usr/share/qlcplus/fixtures"), 1);

    const QStringList folders = {QStringLiteral("/home/jo/Lichter/Gerätedateien"), QStringLiteral("/mnt/100%/a\nb"),
                                 rig::fromPath(std::string("/srv/\xff\xfe latin1")), QStringLiteral("/x/%41")};
    const QString setting = library::foldersToSetting(folders);
    EXPECT_EQ(setting.count('\n'), 3);
    EXPECT_TRUE(setting.startsWith("/home/jo/Lichter/Gerätedateien\n/mnt/100%25/a%0Ab\n/srv/%FF%FE latin1\n")) << setting;
    const QStringList back = library::foldersFromSetting(setting);
    ASSERT_EQ(back.size(), folders.size());
    for (qsizetype i = 0; i < folders.size(); ++i)
        EXPECT_EQ(rig::toPath(back[i]), rig::toPath(folders[i]));
    EXPECT_TRUE(library::foldersFromSetting(QString()).isEmpty());
}

}  // namespace
