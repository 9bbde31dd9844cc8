#include "cli_test_support.h"

#include <QDir>

namespace {

using namespace clitest;

class FixtureCommandTest : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        for (const char* name : {"spot.json", "pixelbar.json", "wash.qxf"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(FIXTURE_DATA_DIR "/") + QLatin1String(name), path(QLatin1String(name))));
    }
    void writeText(const QString& name, const std::string& text) const { write(name, Bytes(text.begin(), text.end())); }
    [[nodiscard]] QStringList folder(const QString& name) const
    {
        return QDir(path(name)).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }
};

TEST_F(FixtureCommandTest, ListModesInFileOrderWithChannelCounts)
{
    Result r = run("fixture @spot.json --list-modes");
    EXPECT_EQ(r.status, cli::exitOk);
    EXPECT_EQ(r.out, "1\t8\tBasic\n2\t16\tExtended\n");
    // A mode too large for the console is listed all the same.
    r = run("fixture @pixelbar.json --list-modes");
    EXPECT_EQ(r.out, "1\t10\tHalves\n2\t41\tPixels\n3\t7\tTwo pixels\n");
    // A line break in a name cannot break the one-line-per-mode promise.
    writeText("lines.json", R"({"name": "L", "availableChannels": {"D": {"capability": {"type": "Intensity"}}},
        "modes": [{"name": "A\nB\tC", "channels": ["D"]}]})");
    EXPECT_EQ(run("fixture @lines.json --list-modes").out, "1\t1\tA?B?C\n");
}

TEST_F(FixtureCommandTest, OneModeGivesTheLampImageByteForByte)
{
    Result r = run("fixture @spot.json --mode Basic -o @basic.lmp");
    ASSERT_EQ(r.status, cli::exitOk) << r.err;
    EXPECT_EQ(r.err, "");
    // Palette and function per channel, then the wheel slots of every channel a wheel needs.
    Bytes expected = lampImage("Spot300", {{1, 3, 1}, {1, 6, 1}, {4, 21, 1}, {2, 22, 1}, {3, 7, 1}, {2, 13, 1}, {0, 0, 1}, {2, 18, 1}},
                               {{0, 22}, {1, 7}, {2, 13}, {3, 18}});
    put(expected, 0, {4});  // a moving head
    put(expected, 118, "Shutter     ");
    put(expected, 118 + 14, "Color Wheel ");
    put(expected, 118 + 28, "Gobo Wheel  ");
    put(expected, 118 + 42, "Zoom        ");
    EXPECT_EQ(read("basic.lmp"), expected);

    // The same mode by its number; the name is matched ignoring case as well.
    EXPECT_EQ(run("fixture @spot.json --mode 1 -o @one.lmp").status, cli::exitOk);
    EXPECT_EQ(run("fixture @spot.json --mode basic -o @two.lmp").status, cli::exitOk);
    EXPECT_EQ(read("one.lmp"), expected);
    EXPECT_EQ(read("two.lmp"), expected);
}

TEST_F(FixtureCommandTest, NotesGoToStandardErrorWithoutChangingTheStatus)
{
    const Result r = run("fixture @spot.json --mode 2 -o @ext.lmp");
    EXPECT_EQ(r.status, cli::exitOk);
    const QString head = "rigsmith-cli: " + path("spot.json") + ": mode 2: ";
    EXPECT_EQ(r.errLines(),
              QStringList({head + "channel 6 \"Dimmer fine\": fine channel of channel 5 \"Dimmer\", no console function, became Aux1",
                           head + "channel 13 \"Program Speed\": switches between speed and effect, became Aux2",
                           head + "channel 16 \"Dimmer\": no free console function for another dimmer, became Aux3"}));
    EXPECT_EQ(read("ext.lmp").size(), 1622u);
}

TEST_F(FixtureCommandTest, RefusalsWriteNothing)
{
    // Two modes and no --mode: a hint, no file.
    Result r = run("fixture @spot.json -o @x.lmp");
    EXPECT_EQ(r.status, cli::exitFailure);
    EXPECT_EQ(r.err.trimmed(), failure("spot.json", "The fixture has 2 modes; choose one with --mode (see --list-modes)"));
    // A single mode needs none.
    EXPECT_EQ(run("fixture @wash.qxf -o @wash.lmp").status, cli::exitOk);

    r = run("fixture @pixelbar.json --mode 2 -o @x.lmp");
    EXPECT_EQ(r.status, cli::exitFailure);
    EXPECT_EQ(r.err.trimmed(), failure("pixelbar.json", "mode 2: the mode has 41 channels, the console takes at most 36"));
    r = run("fixture @spot.json --mode Sideways -o @x.lmp");
    EXPECT_EQ(r.err.trimmed(), failure("spot.json", "No mode \"Sideways\"; see --list-modes"));
    EXPECT_FALSE(exists("x.lmp"));

    // An existing lamp file is replaced only with --force.
    const Bytes before = read("wash.lmp");
    EXPECT_EQ(run("fixture @spot.json --mode 1 -o @wash.lmp").status, cli::exitFailure);
    EXPECT_EQ(read("wash.lmp"), before);
    EXPECT_EQ(run("fixture @spot.json --mode 1 -o @wash.lmp --force").status, cli::exitOk);
    EXPECT_NE(read("wash.lmp"), before);
}

TEST_F(FixtureCommandTest, AllModesFromEveryFileIntoOneFolder)
{
    writeText("hostile.json", R"({"name": "H", "shortName": "../../up", "availableChannels": {"D": {"capability": {"type": "Intensity"}}},
        "modes": [{"name": "a/b", "channels": ["D"]}, {"name": "A/B", "channels": ["D", "D"]}]})");
    Result r = run("fixture @spot.json @pixelbar.json @wash.qxf @hostile.json --all-modes -o @out");
    ASSERT_EQ(r.status, cli::exitOk) << r.err;
    EXPECT_EQ(folder("out"), QStringList({"LED Wash 7x10 - Standard.lmp", "Rigtest Pixel Bar 10 - Halves.lmp",
                                          "Rigtest Pixel Bar 10 - Two pixels.lmp", "Spot300 - Basic.lmp",
                                          "Spot300 - Extended.lmp", "____up - A_B_2.lmp", "____up - a_b.lmp"}));
    EXPECT_TRUE(r.err.contains("rigsmith-cli: warning: " + path("pixelbar.json") +
                               ": mode 2: skipped: the mode has 41 channels, the console takes at most 36"));
    EXPECT_TRUE(r.out.startsWith(path("spot.json") + "\t1\t" + path("out/Spot300 - Basic.lmp") + "\n"));
    EXPECT_EQ(folder(""), QStringList({"app", "hostile.json", "out", "pixelbar.json", "spot.json", "wash.qxf"}));

    // One existing name refuses the whole run; nothing else is touched.
    ASSERT_TRUE(QFile::remove(path("out/Spot300 - Basic.lmp")));
    const Bytes extended = read("out/Spot300 - Extended.lmp");
    write("out/Spot300 - Extended.lmp", {1, 2, 3});
    r = run("fixture @spot.json --all-modes -o @out");
    EXPECT_EQ(r.status, cli::exitFailure);
    EXPECT_FALSE(exists("out/Spot300 - Basic.lmp"));
    EXPECT_EQ(read("out/Spot300 - Extended.lmp"), Bytes({1, 2, 3}));
    EXPECT_EQ(run("fixture @spot.json --all-modes -o @out --force").status, cli::exitOk);
    EXPECT_EQ(read("out/Spot300 - Extended.lmp"), extended);

    // An unreadable definition among several stops the run before the folder is made.
    r = run("fixture @spot.json @missing.json --all-modes -o @fresh");
    EXPECT_EQ(r.status, cli::exitFailure);
    EXPECT_FALSE(exists("fresh"));
}

}  // namespace
