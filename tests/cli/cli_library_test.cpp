#include "cli_test_support.h"
#include "../common/fixture_samples.h"

#include <QDir>
#include <QStandardPaths>

#include <cstdlib>

namespace {

using namespace clitest;

// A library of the three formats in the scratch folder; the cache goes to a scratch
// cache folder, never the user's.
class LibraryCommandTest : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        ASSERT_EQ(::setenv("XDG_CACHE_HOME", path("cache").toLocal8Bit().constData(), 1), 0);
        copy("spot.json", "lib/fixtures/strix/spot.json");
        copy("pixelbar.json", "lib/fixtures/strix/pixelbar.json");
        copy("wash.qxf", "lib/qlc/wash.qxf");
        copy("scanner.qxf", "lib/qlc/scanner.qxf");
        text("lib/fixtures/manufacturers.json", R"({"strix": {"name": "Strix Lighting"}})");
        std::string nulls;
        for (int i = 0; i < 39; ++i)
            nulls += ", null";
        // One mode of 40 channels: listed, but no mode fits the console.
        text("lib/wide.json", R"({"name": "Wide Éclair", "availableChannels": {"D": {"capability": {"type": "Intensity"}}},
            "modes": [{"name": "Wide", "channels": ["D")" + nulls + R"(]}]})");
        using namespace fixture_samples;
        ASSERT_TRUE(QDir().mkpath(path("lib/gdtf")));
        writeGdtf(path("lib/gdtf/spot-400.gdtf"),
                  description(mode("Standard", channel("1,2", "Pan", "Yoke") + channel("3,4", "Tilt") + channel("5", "Dimmer")) +
                              mode("Scroller", channel("1", "Dimmer") + channel("1", "Color2", "Head", R"( DMXBreak="2")"))));
    }
    void TearDown() override { ::unsetenv("XDG_CACHE_HOME"); }

    void copy(const char* sample, const QString& to) const
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path(to)).path()));
        ASSERT_TRUE(QFile::copy(fixture_samples::sampleFile(sample), path(to)));
    }
    void text(const QString& to, const std::string& content) const
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path(to)).path()));
        write(to, Bytes(content.begin(), content.end()));
    }
    [[nodiscard]] Result library(const QString& rest) const { return run("library --no-defaults --dir @lib " + rest); }
    [[nodiscard]] QString line(const char* manufacturer, const char* model, const char* format, const char* modes,
                               const char* file) const
    {
        return QStringList{manufacturer, model, format, modes, path(QStringLiteral("lib/") + file)}.join('\t') + '\n';
    }
};

TEST_F(LibraryCommandTest, ListsEveryFixtureByManufacturerThenModel)
{
    const Result r = library("list");
    EXPECT_EQ(r.status, cli::exitOk) << r.err;
    EXPECT_EQ(r.out, line("", "Wide Éclair", "ofl", "40", "wide.json") +
                         line("Rigtest", "LED Wash 7x10", "qlc", "13", "qlc/wash.qxf") +
                         line("Rigtest", "Mirror Scan 250 & More", "qlc", "6,10", "qlc/scanner.qxf") +
                         line("Rigtest", "Rigtest Spot 400", "gdtf", "5,?", "gdtf/spot-400.gdtf") +
                         line("Strix Lighting", "Rigtest Pixel Bar 10", "ofl", "10,41,7", "fixtures/strix/pixelbar.json") +
                         line("Strix Lighting", "Rigtest Spot 300 Profile", "ofl", "8,16", "fixtures/strix/spot.json"));
    EXPECT_EQ(r.err, "");
    // The cache is where the window keeps it, and a second run gives the same.
    const QDir cache(path("cache/Rigsmith/fixture-library"));
    EXPECT_EQ(cache.entryList(QDir::Files).size(), 1);
    EXPECT_EQ(library("list").out, r.out);

    const Result fits = library("list --fits");
    EXPECT_FALSE(fits.out.contains("Wide")) << fits.out;
    EXPECT_EQ(fits.out.count('\n'), 5);
}

TEST_F(LibraryCommandTest, SearchTakesEveryWordIgnoringCaseAndAccents)
{
    EXPECT_EQ(library("search strix spot").out, line("Strix Lighting", "Rigtest Spot 300 Profile", "ofl", "8,16", "fixtures/strix/spot.json"));
    EXPECT_EQ(library("search RIGTEST spot").out.count('\n'), 2);
    EXPECT_EQ(library("search eclair").out, line("", "Wide Éclair", "ofl", "40", "wide.json"));
    EXPECT_EQ(library("search eclair --fits").out, "");
    EXPECT_EQ(library("search spot400").out.count('\n'), 1) << "the short name counts";
    const Result none = library("search nothing here");
    EXPECT_EQ(none.status, cli::exitOk);
    EXPECT_EQ(none.out, "");
}

TEST_F(LibraryCommandTest, JsonGivesEveryModeWithItsChannelsAndFit)
{
    const Result r = library("search spot 400 --json");
    EXPECT_EQ(r.status, cli::exitOk);
    EXPECT_EQ(r.out, QStringLiteral("[\n"
                                    "  {\n"
                                    "    \"manufacturer\": \"Rigtest\",\n"
                                    "    \"model\": \"Rigtest Spot 400\",\n"
                                    "    \"shortName\": \"Spot400\",\n"
                                    "    \"type\": \"\",\n"
                                    "    \"format\": \"gdtf\",\n"
                                    "    \"path\": \"%1\",\n"
                                    "    \"modes\": [\n"
                                    "      {\"name\": \"Standard\", \"channels\": 5, \"fits\": true},\n"
                                    "      {\"name\": \"Scroller\", \"channels\": null, \"fits\": false}\n"
                                    "    ]\n"
                                    "  }\n"
                                    "]\n")
                         .arg(path("lib/gdtf/spot-400.gdtf")));
    EXPECT_EQ(library("search nothing --json").out, "[]\n");
}

TEST_F(LibraryCommandTest, ProblemsAreListedAndCountedWithoutFailing)
{
    text("lib/broken.json", "{\"name\": ");
    text("lib/fixtures/strix/bad\tname.qxf", "<FixtureDefinition>");
    text("lib/package.json", R"({"name": "some tool", "version": "1.0"})");
    const Result listed = library("list");
    EXPECT_EQ(listed.status, cli::exitOk);
    EXPECT_EQ(listed.out.count('\n'), 6);
    EXPECT_EQ(listed.err, "rigsmith-cli: 2 files of the library cannot be read (see: rigsmith-cli library problems)\n");

    const Result problems = library("problems");
    EXPECT_EQ(problems.status, cli::exitOk);
    const QStringList lines = problems.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << problems.out;
    EXPECT_TRUE(lines[0].startsWith(path("lib/broken.json") + "\tline 1, column 10: ")) << lines[0];
    EXPECT_TRUE(lines[1].startsWith(path("lib/fixtures/strix/bad\\x09name.qxf") + "\t")) << lines[1];

    // A folder that is not there is a problem too; a default one would be passed over.
    const Result missing = run("library --no-defaults --dir @nowhere problems");
    EXPECT_EQ(missing.out, path("nowhere") + "\tthe library folder cannot be opened: File not found\n");
}

TEST_F(LibraryCommandTest, WrongArgumentsAreUsageErrors)
{
    for (const char* args : {"", "lists", "search", "list extra", "problems --json", "problems --fits", "list --mode 2"}) {
        const Result r = library(QLatin1String(args));
        EXPECT_EQ(r.status, cli::exitFailure) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_TRUE(r.err.endsWith("(see rigsmith-cli --help)\n")) << args << ": " << r.err;
    }
    EXPECT_TRUE(run("--help").out.contains("library [--dir DIR]... [--no-defaults] search WORDS... [--fits] [--json]"));
}

}  // namespace
