// show --json and the text form, against files laid out byte by byte.
#include "cli_test_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

using namespace clitest;

namespace {

QJsonObject parseObject(const Result& result)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(result.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return document.object();
}

QString zeros(int count)
{
    return QString(count, QChar(u'\0'));
}

QString hexZeros(int bytes)
{
    return QString(bytes * 2, QLatin1Char('0'));
}

// Every field holds something different from its neighbours, so a field read from
// the wrong offset shows.
Bytes handcraftedLamp()
{
    Bytes b(1622, 0);
    put(b, 0, {0x02, 0xAB});              // Icon, Reserved1
    putText(b, 2, "Beam\xE9");            // LampName: 5 characters, then 11 zero bytes
    put(b, 18, {0x07, 0x03, 0x03, 0x11});  // Reserved2, NumberChannel, NumberChannelCopy, Reserved3
    put(b, 24, {0x0D, 0x00});             // WheelFunction(1) = 13
    put(b, 116, {0xFF, 0xFF});            // WheelFunction(47) = -1
    putText(b, 132, "Open\x80");          // Wheel(1).WheelName
    put(b, 144, {0x01, 0x02});            // Wheel(1).Reserved1, Reserved2
    put(b, 790, {0x08, 0x00, 0x0D, 0x00, 0x55, 0xFF});  // Channel(0): Palette 8, Function 13, Reserved, Step 255
    put(b, 1005, {0x09});                 // Channel(35).Step
    put(b, 1006, {0xDE});                 // ReservedTable(0), first byte
    put(b, 1365, {0xAD});                 // ReservedTable(9), last byte
    put(b, 1366, {0x0F});                 // ReservedArea1, first byte
    put(b, 1621, {0xF0});                 // ReservedArea2, last byte
    return b;
}

}  // namespace

class ShowTest : public CliFixture {};

TEST_F(ShowTest, LampJsonHoldsEveryFieldAsStored)
{
    write(QStringLiteral("beam.lmp"), handcraftedLamp());
    const Result result = run({QStringLiteral("show"), path(QStringLiteral("beam.lmp")), QStringLiteral("--json")});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.isEmpty());
    const QJsonObject lamp = parseObject(result);

    EXPECT_EQ(lamp[QStringLiteral("Icon")].toInt(), 2);
    EXPECT_EQ(lamp[QStringLiteral("Reserved1")].toInt(), 0xAB);
    EXPECT_EQ(lamp[QStringLiteral("LampName")].toString(), QStringLiteral("Beam\u00E9") + zeros(11));
    EXPECT_EQ(lamp[QStringLiteral("Reserved2")].toInt(), 7);
    EXPECT_EQ(lamp[QStringLiteral("NumberChannel")].toInt(), 3);
    EXPECT_EQ(lamp[QStringLiteral("NumberChannelCopy")].toInt(), 3);
    EXPECT_EQ(lamp[QStringLiteral("Reserved3")].toInt(), 0x11);

    const QJsonArray wheelFunctions = lamp[QStringLiteral("WheelFunction")].toArray();
    ASSERT_EQ(wheelFunctions.size(), 48);
    EXPECT_EQ(wheelFunctions[0].toInt(), 0);
    EXPECT_EQ(wheelFunctions[1].toInt(), 13);
    EXPECT_EQ(wheelFunctions[47].toInt(), -1);

    const QJsonArray wheels = lamp[QStringLiteral("Wheel")].toArray();
    ASSERT_EQ(wheels.size(), 48);
    EXPECT_EQ(wheels[0].toObject()[QStringLiteral("WheelName")].toString(), zeros(12));
    const QJsonObject wheel1 = wheels[1].toObject();
    EXPECT_EQ(wheel1[QStringLiteral("WheelName")].toString(), QStringLiteral("Open\u20AC") + zeros(7));
    EXPECT_EQ(wheel1[QStringLiteral("Reserved1")].toInt(), 1);
    EXPECT_EQ(wheel1[QStringLiteral("Reserved2")].toInt(), 2);

    const QJsonArray channels = lamp[QStringLiteral("Channel")].toArray();
    ASSERT_EQ(channels.size(), 36);
    const QJsonObject channel0 = channels[0].toObject();
    EXPECT_EQ(channel0[QStringLiteral("Palette")].toInt(), 8);
    EXPECT_EQ(channel0[QStringLiteral("Function")].toInt(), 13);
    EXPECT_EQ(channel0[QStringLiteral("Reserved")].toInt(), 0x55);
    EXPECT_EQ(channel0[QStringLiteral("Step")].toInt(), 255);
    EXPECT_EQ(channels[35].toObject()[QStringLiteral("Step")].toInt(), 9);
    EXPECT_EQ(channels[35].toObject()[QStringLiteral("Function")].toInt(), 0);

    const QJsonArray tables = lamp[QStringLiteral("ReservedTable")].toArray();
    ASSERT_EQ(tables.size(), 10);
    EXPECT_EQ(tables[0].toString(), QStringLiteral("de") + hexZeros(35));
    EXPECT_EQ(tables[9].toString(), hexZeros(35) + QStringLiteral("ad"));
    EXPECT_EQ(lamp[QStringLiteral("ReservedArea1")].toString(), QStringLiteral("0f") + hexZeros(127));
    EXPECT_EQ(lamp[QStringLiteral("ReservedArea2")].toString(), hexZeros(127) + QStringLiteral("f0"));

    // Zero bytes are written as \u0000, and the fields come in record order.
    EXPECT_TRUE(result.out.contains(QStringLiteral("\"Beam\u00E9\\u0000\\u0000")));
    const QStringList order = {QStringLiteral("\"Icon\""),          QStringLiteral("\"Reserved1\""),
                               QStringLiteral("\"LampName\""),      QStringLiteral("\"NumberChannel\""),
                               QStringLiteral("\"WheelFunction\""), QStringLiteral("\"Wheel\""),
                               QStringLiteral("\"Channel\""),       QStringLiteral("\"ReservedTable\""),
                               QStringLiteral("\"ReservedArea1\""), QStringLiteral("\"ReservedArea2\"")};
    qsizetype last = -1;
    for (const QString& key : order) {
        const qsizetype at = result.out.indexOf(key);
        EXPECT_GT(at, last) << key.toStdString();
        last = at;
    }
}

TEST_F(ShowTest, LampTextNamesCodesAndReservedData)
{
    write(QStringLiteral("beam.lmp"), handcraftedLamp());
    const Result result = run({QStringLiteral("show"), path(QStringLiteral("beam.lmp"))});
    ASSERT_EQ(result.status, 0);
    EXPECT_TRUE(result.out.contains(QStringLiteral("LampName           Beam\u00E9\n")));
    EXPECT_TRUE(result.out.contains(QStringLiteral("Icon               2 (Scan 1)\n")));
    // Channel 1: function 13, palette 8, step 255; the wheel slot numbered from 1.
    EXPECT_TRUE(result.out.contains(QRegularExpression(QStringLiteral("\\n\\s+1  Gobo 1\\s+Max\\s+255\\n"))));
    EXPECT_TRUE(result.out.contains(QRegularExpression(QStringLiteral("\\n\\s+2  Gobo 1\\s+Open\u20AC\\n"))));
    EXPECT_TRUE(result.out.contains(QStringLiteral(
        "Reserved fields holding data: Reserved1, Reserved2, Reserved3, Wheel(1), Channel(0).Reserved, "
        "ReservedTable(0), ReservedTable(9), ReservedArea1, ReservedArea2\n")));
}

TEST_F(ShowTest, PatchJsonHoldsLampsEntriesAndCounters)
{
    Bytes p(29056, 0);
    put(p, 3244, {0x01});                    // slot 2 (at 2 * 1622): Icon
    putText(p, 3246, "Wash            ");    // LampName
    put(p, 3263, {12});                      // NumberChannel
    const std::size_t e = 25952 + 31 * 4;    // entry 4
    putText(p, e, "ABCDEFGH");
    put(p, e + 8, {0x09, 0x02, 0x00, 0x19, 0x00, 0x2C, 0x01, 0x01, 0x00, 0x01, 0x03, 0xFE, 0xFF,
                   0x01, 0x02, 0x03, 0x04, 0x03, 0x01, 0x34, 0x12, 0xAA, 0xBB});
    put(p, 29052, {0x50, 0x01, 0x05, 0x00});  // nNextDMX 336, nNextEntry 5
    write(QStringLiteral("stage.pat"), p);

    const Result result = run({QStringLiteral("show"), QStringLiteral("--json"), path(QStringLiteral("stage.pat"))});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QJsonObject patch = parseObject(result);

    const QJsonArray lamps = patch[QStringLiteral("lmpLamps")].toArray();
    ASSERT_EQ(lamps.size(), 16);
    EXPECT_EQ(lamps[0].toObject()[QStringLiteral("LampName")].toString(), zeros(16));
    const QJsonObject wash = lamps[2].toObject();
    EXPECT_EQ(wash[QStringLiteral("Icon")].toInt(), 1);
    EXPECT_EQ(wash[QStringLiteral("LampName")].toString(), QStringLiteral("Wash            "));
    EXPECT_EQ(wash[QStringLiteral("NumberChannel")].toInt(), 12);

    const QJsonArray entries = patch[QStringLiteral("patchEntries")].toArray();
    ASSERT_EQ(entries.size(), 100);
    const QJsonObject entry = entries[4].toObject();
    EXPECT_EQ(entry[QStringLiteral("EntryText")].toString(), QStringLiteral("ABCDEFGH"));
    EXPECT_EQ(entry[QStringLiteral("Spare1")].toInt(), 9);
    EXPECT_EQ(entry[QStringLiteral("LampType")].toInt(), 2);
    EXPECT_EQ(entry[QStringLiteral("StartChannel")].toInt(), 25);
    EXPECT_EQ(entry[QStringLiteral("StartDMX")].toInt(), 300);
    EXPECT_EQ(entry[QStringLiteral("PanInvert")].toInt(), 1);
    EXPECT_EQ(entry[QStringLiteral("TiltInvert")].toInt(), 0);
    EXPECT_EQ(entry[QStringLiteral("PanTiltSwap")].toInt(), 1);
    EXPECT_EQ(entry[QStringLiteral("Spare2")].toInt(), 3);
    EXPECT_EQ(entry[QStringLiteral("Spare3")].toInt(), -2);
    EXPECT_EQ(entry[QStringLiteral("Spare4")].toString(), QStringLiteral("01020304"));
    EXPECT_EQ(entry[QStringLiteral("ScreenCol")].toInt(), 3);
    EXPECT_EQ(entry[QStringLiteral("ScreenRow")].toInt(), 1);
    EXPECT_EQ(entry[QStringLiteral("Point")].toInt(), 0x1234);
    EXPECT_EQ(entry[QStringLiteral("Spare5")].toString(), QStringLiteral("aabb"));
    EXPECT_EQ(entries[3].toObject()[QStringLiteral("EntryText")].toString(), zeros(8));
    EXPECT_EQ(entries[5].toObject()[QStringLiteral("StartDMX")].toInt(), 0);

    EXPECT_EQ(patch[QStringLiteral("nNextDMX")].toInt(), 336);
    EXPECT_EQ(patch[QStringLiteral("nNextEntry")].toInt(), 5);
}

TEST_F(ShowTest, ConsoleJsonListsSlotsInUseAsStored)
{
    // A console-written file: slot 0 free, slot 1 in use and running across the
    // first block boundary; the patch block sits between the two lamp blocks.
    Bytes lampPayload(4040, 0);
    put(lampPayload, 1622, {0x04});               // slot 1 Icon
    putText(lampPayload, 1624, "Yoke One        ");
    put(lampPayload, 1641, {0x02});               // slot 1 NumberChannel
    put(lampPayload, 2412, {0x07, 0x00});         // slot 1 Channel(0).Palette = 7, in the second block
    Bytes patchPayload(62, 0);
    put(patchPayload, 31 + 9, {0x01, 0x00});      // entry 1 LampType 1
    put(patchPayload, 31 + 13, {0x01, 0x00});     // entry 1 StartDMX 1

    Bytes file = consoleBlock(1, 0, Bytes(lampPayload.begin(), lampPayload.begin() + 2020));
    const Bytes patchBlock = consoleBlock(0, 0, patchPayload);
    const Bytes secondLamp = consoleBlock(1, 1, Bytes(lampPayload.begin() + 2020, lampPayload.end()));
    file.insert(file.end(), patchBlock.begin(), patchBlock.end());
    file.insert(file.end(), secondLamp.begin(), secondLamp.end());
    ASSERT_EQ(file[2048 * 2 + 20 + 392], 0x07);  // where the palette lands in the file
    write(QStringLiteral("console.dat"), file);

    const Result result = run({QStringLiteral("show"), QStringLiteral("--json"), path(QStringLiteral("console.dat"))});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QJsonObject console = parseObject(result);
    EXPECT_EQ(console[QStringLiteral("lampPayloadSize")].toInt(), 4040);
    EXPECT_EQ(console[QStringLiteral("patchPayloadSize")].toInt(), 62);

    const QJsonArray slots = console[QStringLiteral("slots")].toArray();
    ASSERT_EQ(slots.size(), 1);
    EXPECT_EQ(slots[0].toObject()[QStringLiteral("slot")].toInt(), 1);
    const QJsonObject lamp = slots[0].toObject()[QStringLiteral("lamp")].toObject();
    EXPECT_EQ(lamp[QStringLiteral("Icon")].toInt(), 4);
    EXPECT_EQ(lamp[QStringLiteral("LampName")].toString(), QStringLiteral("Yoke One        "));
    EXPECT_EQ(lamp[QStringLiteral("NumberChannel")].toInt(), 2);
    // Shown as stored: the import's palette rule is not applied here.
    EXPECT_EQ(lamp[QStringLiteral("Channel")].toArray()[0].toObject()[QStringLiteral("Palette")].toInt(), 7);

    const QJsonArray entries = console[QStringLiteral("patchEntries")].toArray();
    ASSERT_EQ(entries.size(), 100);
    EXPECT_EQ(entries[1].toObject()[QStringLiteral("LampType")].toInt(), 1);
    EXPECT_EQ(entries[1].toObject()[QStringLiteral("StartDMX")].toInt(), 1);
    EXPECT_EQ(entries[2].toObject()[QStringLiteral("EntryText")].toString(), zeros(8));
}

TEST_F(ShowTest, ConsoleTextListsLampsAndPlacedLamps)
{
    Bytes lampPayload(25952, 0);
    const Bytes spot = lampImage("Spot", {{1, 1, 1}, {1, 2, 1}}, {}, 2);
    std::copy(spot.begin(), spot.end(), lampPayload.begin() + 1622 * 3);
    Bytes patchPayload(3000, 0);
    put(patchPayload, 9, {0x03, 0x00, 0x05, 0x00, 0x0A, 0x00});  // entry 0: slot 3, channel 5, DMX 10
    write(QStringLiteral("lamp.dat"), consoleFile(lampPayload, patchPayload));

    const Result result = run({QStringLiteral("show"), path(QStringLiteral("lamp.dat"))});
    ASSERT_EQ(result.status, 0);
    EXPECT_TRUE(result.out.contains(QStringLiteral("Lamp payload   25952 bytes\n")));
    EXPECT_TRUE(result.out.contains(QRegularExpression(QStringLiteral("\\n\\s+3  Spot\\s+2 \\(Scan 1\\)\\s+2\\n"))));
    EXPECT_TRUE(result.out.contains(QRegularExpression(QStringLiteral("\\n\\s+1  Spot\\s+2\\s+5  10-11  A1"))));
}

// Every unreadable or malformed input: status 2, nothing on standard output, one
// line on standard error naming the file and the reason, nothing created.
TEST_F(ShowTest, UnreadableAndMalformedFilesFailWithOneLine)
{
    Bytes badSignature = consoleBlock(1, 0, Bytes(10, 1));
    put(badSignature, 0, {0x41, 0x3F});
    write(QStringLiteral("bad.dat"), badSignature);
    write(QStringLiteral("type2.dat"), consoleBlock(1, 0, Bytes(10, 1), 0x3F40, 2));
    Bytes tooLong = consoleBlock(1, 0, Bytes(10, 1));
    putInt16(tooLong, 8, 2021);
    write(QStringLiteral("long.dat"), tooLong);
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder.lmp")));

    const QString notValid = QStringLiteral("This is not a valid Dornick Data File or the data file is corrupt");
    const QString onlyLamps = QStringLiteral("Sorry this version of Tarsen Rigsmith only supports lamp files");
    const struct {
        QStringList args;
        QString file;
        QString reason;
    } cases[] = {
        {{QStringLiteral("show"), path(QStringLiteral("bad.dat"))}, QStringLiteral("bad.dat"), notValid},
        {{QStringLiteral("show"), path(QStringLiteral("long.dat")), QStringLiteral("--json")}, QStringLiteral("long.dat"), notValid},
        {{QStringLiteral("import"), path(QStringLiteral("type2.dat")), QStringLiteral("--list")}, QStringLiteral("type2.dat"), onlyLamps},
        {{QStringLiteral("import"), path(QStringLiteral("bad.dat")), QStringLiteral("--all"), QStringLiteral("-o"),
          path(QStringLiteral("out"))},
         QStringLiteral("bad.dat"), notValid},
        {{QStringLiteral("show"), path(QStringLiteral("missing.lmp"))}, QStringLiteral("missing.lmp"), QStringLiteral("File not found")},
        {{QStringLiteral("patch-sheet"), path(QStringLiteral("missing.pat"))}, QStringLiteral("missing.pat"),
         QStringLiteral("File not found")},
        {{QStringLiteral("verify"), path(QStringLiteral("folder.lmp"))}, QStringLiteral("folder.lmp"),
         QStringLiteral("Path/File access error")},
        {{QStringLiteral("show"), path(QStringLiteral("folder.lmp"))}, QStringLiteral("folder.lmp"),
         QStringLiteral("Path/File access error")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const Result result = run(c.args);
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(result.out.isEmpty());
        ASSERT_EQ(result.errLines().size(), 1) << result.err.toStdString();
        EXPECT_EQ(result.errLines().first(), QStringLiteral("rigsmith-cli: ") + path(c.file) + QStringLiteral(": ") + c.reason);
    }
    EXPECT_FALSE(exists(QStringLiteral("out")));
    EXPECT_FALSE(exists(QStringLiteral("missing.lmp")));
    EXPECT_FALSE(exists(QStringLiteral("missing.pat")));
}

TEST_F(ShowTest, ArgumentsHelpAndVersion)
{
    const Result version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, QStringLiteral("1.0.19\n"));

    const Result help = run({QStringLiteral("show"), QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: rigsmith-cli")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("patch-sheet FILE.pat [--csv]")));

    const QList<QStringList> wrong = {
        {},
        {QStringLiteral("frobnicate")},
        {QStringLiteral("show")},
        {QStringLiteral("show"), QStringLiteral("a.lmp"), QStringLiteral("b.lmp")},
        {QStringLiteral("show"), QStringLiteral("--bogus"), QStringLiteral("a.lmp")},
        {QStringLiteral("export"), QStringLiteral("a.lmp")},
        {QStringLiteral("import"), QStringLiteral("lamp.dat")},
        {QStringLiteral("import"), QStringLiteral("lamp.dat"), QStringLiteral("--list"), QStringLiteral("--all")},
        {QStringLiteral("import"), QStringLiteral("lamp.dat"), QStringLiteral("--all")},
    };
    for (const QStringList& args : wrong) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const Result result = run(args);
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_FALSE(result.err.isEmpty());
    }
}
