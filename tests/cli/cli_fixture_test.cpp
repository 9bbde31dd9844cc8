#include "cli_test_support.h"
#include "../fixture/gdtf_samples.h"

#include <QDir>

namespace {

using namespace clitest;

class FixtureCommandTest : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        for (const char* name : {"spot.json", "pixelbar.json", "wash.qxf", "led_spot.qxf"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(FIXTURE_DATA_DIR "/") + QLatin1String(name), path(QLatin1String(name))));
    }
    void writeText(const QString& name, const std::string& text) const { write(name, Bytes(text.begin(), text.end())); }
    [[nodiscard]] QStringList folder(const QString& name) const
    {
        return QDir(path(name)).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }
};

// Number, channel count, name and, for a mode that cannot be converted, why.
TEST_F(FixtureCommandTest, ListModesInFileOrderWithChannelCountsAndReasons)
{
    Result r = run("fixture @spot.json --list-modes");
    EXPECT_EQ(r.status, cli::exitOk);
    EXPECT_EQ(r.out, "1\t8\tBasic\t\n2\t16\tExtended\t\n");
    // A mode too large for the console, or one that cannot be read, is listed all the same.
    r = run("fixture @pixelbar.json --list-modes");
    EXPECT_EQ(r.out, "1\t10\tHalves\t\n2\t41\tPixels\t41 channels, more than 36\n3\t7\tTwo pixels\t\n");
    r = run("fixture @led_spot.qxf --list-modes");
    EXPECT_EQ(r.status, cli::exitOk);
    EXPECT_EQ(r.out, "1\t18\tStandard\t\n2\t3\tService\tundefined channel \"Lamp Reset\" (line 48)\n3\t3\t3 channel\t\n");
    // A line break in a name cannot break the one-line-per-mode promise.
    writeText("lines.json", R"({"name": "L", "availableChannels": {"D": {"capability": {"type": "Intensity"}}},
        "modes": [{"name": "A\nB\tC", "channels": ["D"]}, {"name": "M", "channels": ["D", "E\nF"]}]})");
    EXPECT_EQ(run("fixture @lines.json --list-modes").out, "1\t1\tA?B?C\t\n2\t2\tM\tundefined channel \"E?F\" (modes[1].channels[1])\n");
}

// The content decides the format, and the messages speak of what the user gave.
TEST_F(FixtureCommandTest, FormatByContentAndPlainMessages)
{
    ASSERT_TRUE(QFile::copy(path("spot.json"), path("spot-json.qxf")));
    EXPECT_EQ(run("fixture @spot-json.qxf --list-modes").out, "1\t8\tBasic\t\n2\t16\tExtended\t\n");
    writeText("empty.json", "{}");
    Result r = run("fixture @empty.json --list-modes");
    EXPECT_EQ(r.status, cli::exitFailure);
    EXPECT_EQ(r.err.trimmed(), failure("empty.json", "not an Open Fixture Library definition: it has no name"));
    ASSERT_TRUE(QDir(path("")).mkdir("defs"));
    r = run("fixture @defs --list-modes");
    EXPECT_EQ(r.status, cli::exitFailure);
    EXPECT_EQ(r.err.trimmed(), failure("defs", "it is a folder, not a fixture definition"));
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

// A plain number is a mode's place; anything else its name. A number some mode's name
// starts with gets a hint when it is not a place.
TEST_F(FixtureCommandTest, ModeByPlaceOrByNameWithAHintForNumberedNames)
{
    writeText("numbered.json", R"({"name": "N", "availableChannels": {"D": {"capability": {"type": "Intensity"}}},
        "modes": [{"name": "8ch", "channels": ["D"]}, {"name": "16ch", "channels": ["D", null]}, {"name": "24", "channels": ["D", null, null]}]})");
    EXPECT_EQ(run("fixture @numbered.json --mode 2 -o @place.lmp").status, cli::exitOk);
    EXPECT_EQ(read("place.lmp")[19], 2);  // the channel count
    EXPECT_EQ(run("fixture @numbered.json --mode 16CH -o @name.lmp").status, cli::exitOk);
    EXPECT_EQ(read("name.lmp"), read("place.lmp"));

    const QString head = "No mode %1: the fixture has 3 modes";
    Result r = run("fixture @numbered.json --mode 16 -o @x.lmp");
    EXPECT_EQ(r.status, cli::exitFailure);
    EXPECT_EQ(r.err.trimmed(), failure("numbered.json", head.arg(16) + "; mode 2 \"16ch\" starts with 16, choose it with "
                                                                        "--mode 2 or its whole name"));
    // A name that is a plain number is never taken for a place, nor a place for it.
    r = run("fixture @numbered.json --mode 24 -o @x.lmp");
    EXPECT_EQ(r.err.trimmed(), failure("numbered.json", head.arg(24) + "; mode 3 \"24\" starts with 24, choose it with --mode 3"));
    r = run("fixture @numbered.json --mode 0 -o @x.lmp");
    EXPECT_EQ(r.err.trimmed(), failure("numbered.json", head.arg(0) + " (see --list-modes)"));
    EXPECT_FALSE(exists("x.lmp"));
}

TEST_F(FixtureCommandTest, NotesNameTheModeAndGoToStandardErrorWithoutChangingTheStatus)
{
    const Result r = run("fixture @spot.json --mode 2 -o @ext.lmp");
    EXPECT_EQ(r.status, cli::exitOk);
    const QString head = "rigsmith-cli: " + path("spot.json") + ": mode 2 \"Extended\": ";
    EXPECT_EQ(r.errLines(),
              QStringList({head + "channel 6 \"Dimmer fine\": fine channel of channel 5 \"Dimmer\", no console function, became Aux2",
                           head + "channel 10 \"Gobo Rotation\": wheel name shortened to \"GoboRotation\"",
                           head + "channel 13 \"Program Speed\": wheel name shortened to \"ProgramSpeed\"",
                           head + "channel 16 \"Dimmer\": no free console function for another dimmer, became Aux1"}));
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
    EXPECT_EQ(r.err.trimmed(), failure("pixelbar.json", "mode 2 \"Pixels\": 41 channels, more than 36"));
    r = run("fixture @led_spot.qxf --mode Service -o @x.lmp");
    EXPECT_EQ(r.status, cli::exitFailure);
    EXPECT_EQ(r.err.trimmed(), failure("led_spot.qxf", "mode 2 \"Service\": undefined channel \"Lamp Reset\" (line 48)"));
    r = run("fixture @spot.json --mode Sideways -o @x.lmp");
    EXPECT_EQ(r.err.trimmed(), failure("spot.json", "No mode \"Sideways\"; see --list-modes"));
    EXPECT_FALSE(exists("x.lmp"));

    // An existing lamp file is replaced only with --force, and refused before any note.
    const Bytes before = read("wash.lmp");
    r = run("fixture @spot.json --mode 2 -o @wash.lmp");
    EXPECT_EQ(r.status, cli::exitFailure);
    EXPECT_EQ(r.errLines(), QStringList({failure("wash.lmp", "File exists; use --force to replace it")}));
    EXPECT_EQ(read("wash.lmp"), before);
    r = run("fixture @spot.json --mode 2 -o @wash.lmp --force");
    EXPECT_EQ(r.status, cli::exitOk);
    EXPECT_EQ(r.errLines().size(), 4);
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
    // A mode too large is named, and leaves the status alone; notes are counted, not listed.
    EXPECT_EQ(r.errLines(), QStringList({"rigsmith-cli: warning: " + path("pixelbar.json") +
                                         ": mode 2 \"Pixels\": skipped: 41 channels, more than 36"}));
    const QString wrote = "wrote " + path("out/");
    EXPECT_EQ(r.out.split('\n', Qt::SkipEmptyParts),
              QStringList({wrote + "Spot300 - Basic.lmp",
                           wrote + "Spot300 - Extended.lmp: 2 channels without a console function, 2 more notes",
                           wrote + "Rigtest Pixel Bar 10 - Halves.lmp: 5 channels without a console function, 1 more note",
                           wrote + "Rigtest Pixel Bar 10 - Two pixels.lmp: 3 channels without a console function, 1 more note",
                           wrote + "LED Wash 7x10 - Standard.lmp: 3 channels without a console function",
                           wrote + "____up - a_b.lmp",
                           wrote + "____up - A_B_2.lmp: 1 channel without a console function"}));
    EXPECT_EQ(folder(""), QStringList({"app", "hostile.json", "led_spot.qxf", "out", "pixelbar.json", "spot.json", "wash.qxf"}));

    // --notes lists every note as a single conversion does, after the lamps are written.
    r = run("fixture @spot.json --all-modes -o @listed --notes");
    EXPECT_EQ(r.status, cli::exitOk);
    EXPECT_EQ(r.errLines(), run("fixture @spot.json --mode 2 -o @single.lmp").errLines());

    // One existing name refuses the whole run, before any note; nothing else is touched.
    ASSERT_TRUE(QFile::remove(path("out/Spot300 - Basic.lmp")));
    const Bytes extended = read("out/Spot300 - Extended.lmp");
    write("out/Spot300 - Extended.lmp", {1, 2, 3});
    r = run("fixture @spot.json --all-modes -o @out --notes");
    EXPECT_EQ(r.status, cli::exitFailure);
    EXPECT_EQ(r.errLines(), QStringList({failure("out/Spot300 - Extended.lmp", "File exists; use --force to replace it")}));
    EXPECT_FALSE(exists("out/Spot300 - Basic.lmp"));
    EXPECT_EQ(read("out/Spot300 - Extended.lmp"), Bytes({1, 2, 3}));
    EXPECT_EQ(run("fixture @spot.json --all-modes -o @out --force").status, cli::exitOk);
    EXPECT_EQ(read("out/Spot300 - Extended.lmp"), extended);
}

// Over many files every mode that can be read is converted, and each file or mode left
// out is named: status 1 when something could not be read, 2 when nothing was converted.
TEST_F(FixtureCommandTest, AllModesSkipsWhatCannotBeReadAndSaysSo)
{
    Result r = run("fixture @spot.json @missing.json @led_spot.qxf --all-modes -o @fresh");
    EXPECT_EQ(r.status, cli::exitFindings);
    EXPECT_EQ(r.errLines(), QStringList({failure("missing.json", "skipped: File not found"),
                                         failure("led_spot.qxf", "mode 2 \"Service\": skipped: undefined channel \"Lamp Reset\" (line 48)")}));
    EXPECT_EQ(folder("fresh"), QStringList({"LED Spot 250 - 3 channel.lmp", "LED Spot 250 - Standard.lmp", "Spot300 - Basic.lmp",
                                            "Spot300 - Extended.lmp"}));

    // Modes that only do not fit leave the status at 0: too many channels, or a GDTF mode
    // read whole with a channel on a second DMX break.
    EXPECT_EQ(run("fixture @pixelbar.json --all-modes -o @bars").status, cli::exitOk);
    using namespace gdtf_samples;
    writeText("description.xml",
              description(mode("Standard", channel("1", "Dimmer")) +
                          mode("Two breaks", channel("1", "Dimmer") + channel("1", "Color1", "Head", R"( DMXBreak="2")")))
                  .toStdString());
    r = run("fixture @description.xml --all-modes -o @gdtf");
    EXPECT_EQ(r.status, cli::exitOk);
    ASSERT_EQ(r.errLines().size(), 1);
    EXPECT_TRUE(r.errLines()[0].contains("mode 2 \"Two breaks\": skipped: channel \"Head_Color1\"")) << r.err.toStdString();

    // Nothing to convert: status 2, and no folder made.
    writeText("broken.qxf", "<FixtureDefinition><Model>B</Model><Mode Name=\"M\"><Channel Number=\"0\">X</Channel></Mode></FixtureDefinition>");
    r = run("fixture @missing.json @broken.qxf --all-modes -o @none");
    EXPECT_EQ(r.status, cli::exitFailure);
    EXPECT_EQ(r.errLines().last(), failure("none", "No mode could be converted; nothing was written"));
    EXPECT_FALSE(exists("none"));
}

}  // namespace
