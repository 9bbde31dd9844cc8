// show --json and the text form, and how commands fail, against files laid out byte by byte.
#include "cli_test_support.h"

#include <QJsonDocument>
#include <QRegularExpression>

using namespace clitest;

namespace {

QString hexZeros(int bytes) { return QString(bytes * 2, QLatin1Char('0')); }
const QString nul = QStringLiteral("\\u0000");  // a zero byte as show --json writes it

// The member names written at one indentation, in output order.
QStringList keysAt(const QString& json, int indent)
{
    QStringList keys;
    const QRegularExpression key("^" + QString(indent, ' ') + "\"(\\w+)\": ", QRegularExpression::MultilineOption);
    for (auto it = key.globalMatch(json); it.hasNext();)
        keys << it.next().captured(1);
    return keys;
}

class ShowTest : public CliFixture {
protected:
    // Writes `bytes` as `name`, runs show --json on it and checks the output is a JSON object with the
    // members `keys`, in this order, and holding `lines`.
    QString expectJson(const QString& name, const Bytes& bytes, const QString& keys, std::initializer_list<QString> lines)
    {
        write(name, bytes);
        const Result result = run("show --json @" + name);
        EXPECT_TRUE(result.status == 0 && result.err.isEmpty()) << result.err;
        EXPECT_TRUE(QJsonDocument::fromJson(result.out.toUtf8()).isObject());
        EXPECT_EQ(keysAt(result.out, 2), keys.split(' '));
        for (const QString& line : lines)
            EXPECT_TRUE(result.out.contains(line)) << line;
        return result.out;
    }
};

TEST_F(ShowTest, LampAsJsonAndText)
{
    // Every field holds something different from its neighbours, so a field read from the wrong offset shows.
    Bytes b(1622, 0);
    put(b, 0, {0x02, 0xAB});                            // Icon, Reserved1
    put(b, 2, "Beam\xE9");                              // LampName: 5 characters, then 11 zero bytes
    put(b, 18, {0x07, 0x01, 0x01, 0x11});               // Reserved2, NumberChannel and copy, Reserved3
    put(b, 24, {0x0D, 0x00});                           // WheelFunction(1) = 13
    put(b, 116, {0xFF, 0xFF});                          // WheelFunction(47) = -1
    put(b, 132, "Open\x80");                            // Wheel(1).WheelName
    put(b, 144, {0x01, 0x02});                          // Wheel(1).Reserved1, Reserved2
    put(b, 790, {0x08, 0x00, 0x0D, 0x00, 0x55, 0xFF});  // Channel(0): Palette 8, Function 13, Reserved, Step 255
    put(b, 1006, {0xDE});                               // ReservedTable(0) first byte
    put(b, 1621, {0xF0});                               // ReservedArea2, last byte
    // Full-width text with zero bytes as \u0000; one line per record; reserved areas in lower-case hex.
    expectJson(
        "beam.lmp", b,
        "Icon Reserved1 LampName Reserved2 NumberChannel NumberChannelCopy Reserved3 WheelFunction Wheel Channel "
        "ReservedTable ReservedArea1 ReservedArea2",
        {"{\n  \"Icon\": 2,\n  \"Reserved1\": 171,\n  \"LampName\": \"Beam\u00E9" + nul.repeated(11) + "\",\n",
         "  \"WheelFunction\": [0, 13, " + QString("0, ").repeated(45) + "-1],\n",
         "    {\"WheelName\": \"Open\u20AC" + nul.repeated(7) + "\", \"Reserved1\": 1, \"Reserved2\": 2},\n",
         "    {\"Palette\": 8, \"Function\": 13, \"Reserved\": 85, \"Step\": 255},\n",
         "  \"ReservedTable\": [\n    \"de" + hexZeros(35) + "\",\n",
         "  \"ReservedArea2\": \"" + hexZeros(127) + "f0\"\n}\n"});

    const Result text = run("show @beam.lmp");
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, "Lamp file: " + path("beam.lmp") +
                            "\n\nLampName           Beam\u00E9\nIcon               2 (Scan 1)\n"
                            "NumberChannel      1\nNumberChannelCopy  1\n\n"
                            "Channel  Function  Palette  Step\n"
                            "      1  Gobo 1    Max       255\n\n"
                            "Wheel  Function   WheelName\n"
                            "    2  Gobo 1     Open\u20AC\n"
                            "   48  (code -1)\n\n"
                            "Reserved fields holding data: Reserved1, Reserved2, Reserved3, Wheel(1), Channel(0).Reserved, "
                            "ReservedTable(0), ReservedArea2\n");
}

TEST_F(ShowTest, PatchAndConsoleFilesAsJson)
{
    Bytes p(29056, 0);
    put(p, 3246, "Wash            ");    // slot 2 (at 2 * 1622): LampName
    put(p, 25952 + 31 * 4, "ABCDEFGH");  // entry 4, then its fields from Spare1 to Spare5
    put(p, 25952 + 31 * 4 + 8, {0x09, 0x02, 0x00, 0x19, 0x00, 0x2C, 0x01, 0x01, 0x00, 0x01, 0x03, 0xFE,
                                0xFF, 0x01, 0x02, 0x03, 0x04, 0x03, 0x01, 0x34, 0x12, 0xAA, 0xBB});
    put(p, 29052, {0x50, 0x01, 0x05, 0x00});  // nNextDMX 336, nNextEntry 5
    expectJson(
        "stage.pat", p, "lmpLamps patchEntries nNextDMX nNextEntry",
        {"      \"LampName\": \"Wash            \",\n",
         R"(    {"EntryText": "ABCDEFGH", "Spare1": 9, "LampType": 2, "StartChannel": 25, "StartDMX": 300, )"
         R"("PanInvert": 1, "TiltInvert": 0, "PanTiltSwap": 1, "Spare2": 3, "Spare3": -2, )"
         R"("Spare4": "01020304", "ScreenCol": 3, "ScreenRow": 1, "Point": 4660, "Spare5": "aabb"},)",
         "  ],\n  \"nNextDMX\": 336,\n  \"nNextEntry\": 5\n}\n"});

    // A console-written file: slot 0 free, slot 1 in use and running across the first
    // block boundary, the patch block between the two lamp blocks.
    Bytes lamps(4040, 0);
    put(lamps, 1622, {0x02, 0x00, 'Y', 'o', 'k', 'e'});  // slot 1 Icon, Reserved1, LampName
    put(lamps, 1641, {0x02});                             // NumberChannel
    put(lamps, 2412, {0x07});                             // Channel(0).Palette = 7, in the second block
    Bytes entries(62, 0);
    put(entries, 31 + 9, {0x01, 0x00, 0x00, 0x00, 0x01});  // entry 1: LampType 1, StartDMX 1
    Bytes file = testbytes::join({consoleBlock(1, 0, 2020, lamps), consoleBlock(0, 0, 62, entries),
                                  consoleBlock(1, 1, 2020, Bytes(lamps.begin() + 2020, lamps.end()))});
    // Shown as stored: the import's palette rule (7 -> 5) is not applied here.
    const QString console = expectJson(
        "console.dat", file, "lampPayloadSize patchPayloadSize slots patchEntries",
        {"{\n  \"lampPayloadSize\": 4040,\n  \"patchPayloadSize\": 62,\n", "      \"slot\": 1,\n      \"lamp\": {\n",
         "        \"LampName\": \"Yoke" + nul.repeated(12) + "\",\n", "{\"Palette\": 7, \"Function\": 0,",
         "\"Spare1\": 0, \"LampType\": 1, \"StartChannel\": 0, \"StartDMX\": 1,"});
    EXPECT_EQ(keysAt(console, 6), (QStringList{"slot", "lamp"}));  // one slot in use
    EXPECT_TRUE(run("show @console.dat").out.contains(QRegularExpression("\\n\\s+1  Yoke\\s+2 \\(Scan 1\\)\\s+2\\n")));

    // What the reading rules ignore after the last whole block is said, and is no failure.
    file.insert(file.end(), 5, 0xEE);
    write("console.dat", file);
    write("junk.dat", {'x', 'y'});
    for (const auto& [name, rest] : {std::pair{"console.dat", 5}, std::pair{"junk.dat", 2}}) {
        const Result result = run(QStringLiteral("show @") + name);
        EXPECT_EQ(result.status, 0) << name;
        EXPECT_EQ(result.errLines(), QStringList{QStringLiteral("rigsmith-cli: warning: %1: %2 bytes after the last whole "
                                                                "block were ignored").arg(path(name)).arg(rest)});
    }
}

// Every unreadable or malformed input: status 2, nothing on standard output, one
// line on standard error naming the file and the reason, nothing created.
TEST_F(ShowTest, UnreadableMalformedFilesAndWrongArgumentsFail)
{
    write("bad.dat", consoleBlock(1, 0, 10, Bytes(10, 1), 0, 0x3F41));
    write("type2.dat", consoleBlock(1, 0, 10, Bytes(10, 1), 0, 0x3F40, 2));
    ASSERT_TRUE(QDir(m_dir.path()).mkpath("folder.lmp"));

    const QString notValid = "This is not a valid Dornick Data File or the data file is corrupt";
    const struct { const char *line, *file; QString reason; } cases[] = {
        {"show @bad.dat --json", "bad.dat", notValid},
        {"import @type2.dat --list", "type2.dat", "Sorry this version of Tarsen Rigsmith only supports lamp files"},
        {"import @bad.dat --all -o @out", "bad.dat", notValid},
        {"patch-sheet @missing.pat", "missing.pat", "File not found"},
        {"verify @folder.lmp", "folder.lmp", "Path/File access error"},
    };
    for (const auto& c : cases) {
        const Result result = run(c.line);
        EXPECT_TRUE(result.status == 2 && result.out.isEmpty()) << c.line;
        EXPECT_EQ(result.err, failure(c.file, c.reason) + '\n') << c.line;
    }
    EXPECT_FALSE(exists("out"));

    // Wrong arguments: status 2 and a word on standard error.
    for (const char* line : {"", "frobnicate", "show --bogus a.lmp", "export a.lmp", "import lamp.dat --list --all"}) {
        const Result result = run(line);
        EXPECT_TRUE(result.status == 2 && result.out.isEmpty() && !result.err.isEmpty()) << line;
    }
}

// The help is made from the command table: every command it names must run (a missing
// argument is its own complaint, never "unknown command"), in the order users know.
TEST_F(ShowTest, HelpNamesEveryCommandAndEachOneRuns)
{
    const Result help = run("--help");
    ASSERT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: rigsmith-cli COMMAND [OPTIONS] FILE...\n\nCommands:\n  show FILE [--json]\n"));
    EXPECT_TRUE(help.out.endsWith("or is malformed, the arguments are wrong, or nothing was written.\n"));
    QStringList named;
    const QRegularExpression commandLine("^  ([a-z][a-z-]*) ", QRegularExpression::MultilineOption);
    for (auto it = commandLine.globalMatch(help.out); it.hasNext();) {
        const QString name = it.next().captured(1);
        if (!named.contains(name))
            named << name;
    }
    EXPECT_EQ(named, (QStringList{"show", "verify", "export", "import", "patch-sheet", "fixture", "library"}));
    for (const QString& name : named) {
        const Result bare = run(name);
        EXPECT_EQ(bare.status, 2) << name;
        EXPECT_TRUE(bare.err.startsWith("rigsmith-cli: " + name + " ")) << bare.err;
        EXPECT_FALSE(bare.err.contains("unknown command")) << name;
    }
}

}  // namespace
