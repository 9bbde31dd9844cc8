// show --json and the text form, and how commands fail, against files laid out byte by byte.
#include "cli_test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

using namespace clitest;

namespace {

QString zeros(int count) { return QString(count, QChar(u'\0')); }
QString hexZeros(int bytes) { return QString(bytes * 2, QLatin1Char('0')); }
QString compact(const QJsonValue& value) { return QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact); }
QJsonObject object(const char* json) { return QJsonDocument::fromJson(json).object(); }

// A field of the JSON output, named by a path such as "Channel/35/Step"; "#" counts an array.
struct Field {
    const char* where;
    QJsonValue expected;
};

// Every field holds something different from its neighbours, so a field read from
// the wrong offset shows.
Bytes handcraftedLamp()
{
    Bytes b(1622, 0);
    put(b, 0, {0x02, 0xAB});                            // Icon, Reserved1
    put(b, 2, "Beam\xE9");                              // LampName: 5 characters, then 11 zero bytes
    put(b, 18, {0x07, 0x03, 0x03, 0x11});               // Reserved2, NumberChannel and copy, Reserved3
    put(b, 24, {0x0D, 0x00});                           // WheelFunction(1) = 13
    put(b, 116, {0xFF, 0xFF});                          // WheelFunction(47) = -1
    put(b, 132, "Open\x80");                            // Wheel(1).WheelName
    put(b, 144, {0x01, 0x02});                          // Wheel(1).Reserved1, Reserved2
    put(b, 790, {0x08, 0x00, 0x0D, 0x00, 0x55, 0xFF});  // Channel(0): Palette 8, Function 13, Reserved, Step 255
    put(b, 1005, {0x09, 0xDE});                         // Channel(35).Step, ReservedTable(0) first byte
    put(b, 1365, {0xAD, 0x0F});                         // ReservedTable(9) last byte, ReservedArea1 first
    put(b, 1621, {0xF0});                               // ReservedArea2, last byte
    return b;
}

class ShowTest : public CliFixture {
protected:
    // Writes `bytes` as `name`, runs show --json on it and checks `fields`; returns the text.
    QString expectJson(const QString& name, const Bytes& bytes, std::initializer_list<Field> fields)
    {
        write(name, bytes);
        const Result result = run("show --json @" + name);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(result.err.isEmpty()) << result.err;
        QJsonParseError error{};
        const QJsonObject root = QJsonDocument::fromJson(result.out.toUtf8(), &error).object();
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString();
        for (const Field& field : fields) {
            QJsonValue value = root;
            for (const QString& key : QString(field.where).split(QLatin1Char('/')))
                value = key == "#"        ? QJsonValue(value.toArray().size())
                        : value.isArray() ? value.toArray().at(key.toInt())
                                          : value.toObject().value(key);
            EXPECT_EQ(compact(value), compact(field.expected)) << field.where;
        }
        return result.out;
    }
};

TEST_F(ShowTest, LampJsonHoldsEveryFieldAsStored)
{
    const QString out = expectJson(
        "beam.lmp", handcraftedLamp(),
        {{"Icon", 2}, {"Reserved1", 0xAB}, {"LampName", QStringLiteral("Beam\u00E9") + zeros(11)}, {"Reserved2", 7},
         {"NumberChannel", 3}, {"NumberChannelCopy", 3}, {"Reserved3", 0x11}, {"WheelFunction/#", 48},
         {"WheelFunction/0", 0}, {"WheelFunction/1", 13}, {"WheelFunction/47", -1}, {"Wheel/#", 48},
         {"Wheel/0/WheelName", zeros(12)}, {"Wheel/1", object(R"({"Reserved1": 1, "Reserved2": 2,
                                    "WheelName": "Open\u20AC\u0000\u0000\u0000\u0000\u0000\u0000\u0000"})")},
         {"Channel/#", 36}, {"Channel/0", object(R"({"Palette": 8, "Function": 13, "Reserved": 85, "Step": 255})")},
         {"Channel/35/Step", 9}, {"Channel/35/Function", 0}, {"ReservedTable/#", 10},
         {"ReservedTable/0", "de" + hexZeros(35)}, {"ReservedTable/9", hexZeros(35) + "ad"},
         {"ReservedArea1", "0f" + hexZeros(127)}, {"ReservedArea2", hexZeros(127) + "f0"}});
    // Fields in record order; zero bytes written as \u0000.
    EXPECT_TRUE(out.startsWith("{\n  \"Icon\": 2,\n  \"Reserved1\": 171,\n  \"LampName\": \"Beam\u00E9\\u0000\\u0000")) << out;
}

TEST_F(ShowTest, LampTextNamesCodesAndReservedData)
{
    write("beam.lmp", handcraftedLamp());
    const Result result = run("show @beam.lmp");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Lamp file: " + path("beam.lmp") +
                              "\n\nLampName           Beam\u00E9\nIcon               2 (Scan 1)\n"
                              "NumberChannel      3\nNumberChannelCopy  3\n\n"
                              "Channel  Function  Palette  Step\n"
                              "      1  Gobo 1    Max       255\n"
                              "      2  None      None        0\n"
                              "      3  None      None        0\n\n"
                              "Wheel  Function   WheelName\n"
                              "    2  Gobo 1     Open\u20AC\n"
                              "   48  (code -1)\n\n"
                              "Reserved fields holding data: Reserved1, Reserved2, Reserved3, Wheel(1), Channel(0).Reserved, "
                              "ReservedTable(0), ReservedTable(9), ReservedArea1, ReservedArea2\n");
}

TEST_F(ShowTest, PatchJsonHoldsLampsEntriesAndCounters)
{
    Bytes p(29056, 0);
    put(p, 3244, {0x01});                // slot 2 (at 2 * 1622): Icon
    put(p, 3246, "Wash            ");    // LampName
    put(p, 3263, {12});                  // NumberChannel
    put(p, 25952 + 31 * 4, "ABCDEFGH");  // entry 4, then its fields from Spare1 to Spare5
    put(p, 25952 + 31 * 4 + 8, {0x09, 0x02, 0x00, 0x19, 0x00, 0x2C, 0x01, 0x01, 0x00, 0x01, 0x03, 0xFE,
                                0xFF, 0x01, 0x02, 0x03, 0x04, 0x03, 0x01, 0x34, 0x12, 0xAA, 0xBB});
    put(p, 29052, {0x50, 0x01, 0x05, 0x00});  // nNextDMX 336, nNextEntry 5

    expectJson("stage.pat", p,
               {{"lmpLamps/#", 16}, {"lmpLamps/0/LampName", zeros(16)}, {"lmpLamps/2/Icon", 1},
                {"lmpLamps/2/LampName", "Wash            "}, {"lmpLamps/2/NumberChannel", 12}, {"patchEntries/#", 100},
                {"patchEntries/4", object(R"({"EntryText": "ABCDEFGH", "Spare1": 9, "LampType": 2, "StartChannel": 25,
                    "StartDMX": 300, "PanInvert": 1, "TiltInvert": 0, "PanTiltSwap": 1, "Spare2": 3, "Spare3": -2,
                    "Spare4": "01020304", "ScreenCol": 3, "ScreenRow": 1, "Point": 4660, "Spare5": "aabb"})")},
                {"patchEntries/3/EntryText", zeros(8)}, {"patchEntries/5/StartDMX", 0}, {"nNextDMX", 336},
                {"nNextEntry", 5}});
}

TEST_F(ShowTest, ConsoleFileListsSlotsInUseAsStored)
{
    // A console-written file: slot 0 free, slot 1 in use and running across the
    // first block boundary; the patch block sits between the two lamp blocks.
    Bytes lamps(4040, 0);
    put(lamps, 1622, {0x02});        // slot 1 Icon
    put(lamps, 1624, "Yoke One        ");
    put(lamps, 1641, {0x02});        // slot 1 NumberChannel
    put(lamps, 2412, {0x07, 0x00});  // slot 1 Channel(0).Palette = 7, in the second block
    Bytes patch(62, 0);
    put(patch, 31 + 9, {0x01, 0x00, 0x00, 0x00, 0x01, 0x00});  // entry 1: LampType 1, StartDMX 1
    const Bytes file = join({consoleBlock(1, 0, Bytes(lamps.begin(), lamps.begin() + 2020)), consoleBlock(0, 0, patch),
                             consoleBlock(1, 1, Bytes(lamps.begin() + 2020, lamps.end()))});
    ASSERT_EQ(file[2048 * 2 + 20 + 392], 0x07);  // where the palette lands in the file

    // Shown as stored: the import's palette rule is not applied here.
    expectJson("console.dat", file,
               {{"lampPayloadSize", 4040}, {"patchPayloadSize", 62}, {"slots/#", 1}, {"slots/0/slot", 1},
                {"slots/0/lamp/Icon", 2}, {"slots/0/lamp/LampName", "Yoke One        "},
                {"slots/0/lamp/NumberChannel", 2}, {"slots/0/lamp/Channel/0/Palette", 7}, {"patchEntries/#", 100},
                {"patchEntries/1/LampType", 1}, {"patchEntries/1/StartDMX", 1}, {"patchEntries/2/EntryText", zeros(8)}});

    const Result text = run("show @console.dat");
    ASSERT_EQ(text.status, 0);
    EXPECT_TRUE(text.out.contains("Lamp payload   4040 bytes\n")) << text.out;
    EXPECT_TRUE(text.out.contains(QRegularExpression("\\n\\s+1  Yoke One\\s+2 \\(Scan 1\\)\\s+2\\n")));
    EXPECT_TRUE(text.out.contains(QRegularExpression("\\n\\s+2  Yoke One\\s+2\\s+0  1-2  A1")));
}

// Every unreadable or malformed input: status 2, nothing on standard output, one
// line on standard error naming the file and the reason, nothing created.
TEST_F(ShowTest, UnreadableMalformedFilesAndWrongArgumentsFail)
{
    write("bad.dat", consoleBlock(1, 0, Bytes(10, 1), 0x3F41));
    write("type2.dat", consoleBlock(1, 0, Bytes(10, 1), 0x3F40, 2));
    write("long.dat", consoleBlock(1, 0, Bytes(2021, 1)));
    mkdir("folder.lmp");

    const QString notValid = "This is not a valid Dornick Data File or the data file is corrupt";
    const struct {
        const char* line;
        const char* file;
        QString reason;
    } cases[] = {
        {"show @bad.dat", "bad.dat", notValid},
        {"show @long.dat --json", "long.dat", notValid},
        {"import @type2.dat --list", "type2.dat", "Sorry this version of Tarsen Rigsmith only supports lamp files"},
        {"import @bad.dat --all -o @out", "bad.dat", notValid},
        {"show @missing.lmp", "missing.lmp", "File not found"},
        {"patch-sheet @missing.pat", "missing.pat", "File not found"},
        {"verify @folder.lmp", "folder.lmp", "Path/File access error"},
        {"show @folder.lmp", "folder.lmp", "Path/File access error"},
    };
    for (const auto& c : cases) {
        const Result result = run(c.line);
        EXPECT_EQ(result.status, 2) << c.line;
        EXPECT_TRUE(result.out.isEmpty()) << c.line;
        EXPECT_EQ(result.errLines(), QStringList{failure(c.file, c.reason)}) << c.line;
    }
    for (const char* name : {"out", "missing.lmp", "missing.pat"})
        EXPECT_FALSE(exists(name)) << name;

    // Wrong arguments: status 2 and a word on standard error; help is no error.
    for (const char* line : {"", "frobnicate", "show", "show a.lmp b.lmp", "show --bogus a.lmp", "export a.lmp",
                             "import lamp.dat", "import lamp.dat --list --all", "import lamp.dat --all"}) {
        const Result result = run(line);
        EXPECT_TRUE(result.status == 2 && result.out.isEmpty() && !result.err.isEmpty()) << line;
    }
    const Result help = run("show --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: rigsmith-cli") && help.out.contains("patch-sheet FILE.pat [--csv]"));
}

}  // namespace
