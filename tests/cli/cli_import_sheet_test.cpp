// import and patch-sheet against console and patch files laid out byte by byte.
#include "cli_test_support.h"

#include <QFileInfo>

using namespace clitest;

namespace {

Bytes payloadOf(const std::vector<std::pair<int, Bytes>>& slots)
{
    Bytes payload(25952, 0);
    for (const auto& [slot, image] : slots)
        std::copy(image.begin(), image.end(), payload.begin() + 1622 * slot);
    return payload;
}

}  // namespace

class ImportTest : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        // Palette codes 6 and 8 on channels 1 and 2; 5 and 0 on channels 3 and 4.
        m_spot = lampImage("Spot", {{6, 1, 1}, {8, 2, 1}, {5, 13, 1}, {0, 21, 1}}, {{2, 13}}, 2);
        m_wash = lampImage("Wash Me", {{3, 21, 1}}, {}, 1);
        write(QStringLiteral("lamp.dat"), consoleFile(payloadOf({{0, m_spot}, {2, m_wash}})));
    }

    Bytes m_spot;
    Bytes m_wash;
};

TEST_F(ImportTest, ListShowsSlotsInUseWithStoredNames)
{
    const Result result = run({QStringLiteral("import"), path(QStringLiteral("lamp.dat")), QStringLiteral("--list")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, QStringLiteral("0\tSpot            \n2\tWash Me         \n"));
    EXPECT_TRUE(result.err.isEmpty());

    write(QStringLiteral("empty.dat"), {});
    const Result empty = run({QStringLiteral("import"), path(QStringLiteral("empty.dat")), QStringLiteral("--list")});
    EXPECT_EQ(empty.status, 0);
    EXPECT_TRUE(empty.out.isEmpty());
}

TEST_F(ImportTest, SlotIsWrittenWithThePaletteRule)
{
    const Result result = run({QStringLiteral("import"), path(QStringLiteral("lamp.dat")), QStringLiteral("--slot"),
                               QStringLiteral("0"), QStringLiteral("-o"), path(QStringLiteral("spot.lmp"))});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    Bytes expected = m_spot;
    put(expected, 790, {0x05, 0x00});  // channel 1 palette 6 -> 5
    put(expected, 796, {0x05, 0x00});  // channel 2 palette 8 -> 5
    EXPECT_EQ(read(QStringLiteral("spot.lmp")), expected);

    // An existing file is kept unless --force is given.
    write(QStringLiteral("keep.lmp"), {'k'});
    const QStringList toKeep = {QStringLiteral("import"), path(QStringLiteral("lamp.dat")), QStringLiteral("--slot"),
                                QStringLiteral("2"),      QStringLiteral("-o"),             path(QStringLiteral("keep.lmp"))};
    const Result refused = run(toKeep);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.errLines().size(), 1);
    EXPECT_EQ(read(QStringLiteral("keep.lmp")), Bytes({'k'}));
    const Result forced = run(QStringList(toKeep) << QStringLiteral("--force"));
    EXPECT_EQ(forced.status, 0);
    EXPECT_EQ(read(QStringLiteral("keep.lmp")), m_wash);

    for (const char* slot : {"1", "16", "-1", "two"}) {
        SCOPED_TRACE(slot);
        const Result bad = run({QStringLiteral("import"), path(QStringLiteral("lamp.dat")), QStringLiteral("--slot"),
                                QString::fromLatin1(slot), QStringLiteral("-o"), path(QStringLiteral("x.lmp"))});
        EXPECT_EQ(bad.status, 2);
        EXPECT_EQ(bad.errLines().size(), 1);
        EXPECT_FALSE(exists(QStringLiteral("x.lmp")));
    }
}

TEST_F(ImportTest, AllKeepsHostileNamesInsideTheFolder)
{
    const std::vector<std::pair<int, Bytes>> lamps = {
        {0, lampImage("../x", {{1, 1, 1}})},     {1, lampImage("a/b", {{1, 2, 1}})},
        {2, lampImage("Dup", {{1, 3, 1}})},      {3, lampImage("dup", {{1, 4, 1}})},
        {4, lampImage("..", {{1, 5, 1}})},       {5, lampImage("", {{1, 6, 1}})},
        {6, lampImage("\x01" "ctl\\..", {{1, 7, 1}})}, {9, lampImage("Dup", {{1, 8, 1}})},
    };
    write(QStringLiteral("hostile.dat"), consoleFile(payloadOf(lamps)));
    const QStringList args = {QStringLiteral("import"), path(QStringLiteral("hostile.dat")), QStringLiteral("--all"),
                              QStringLiteral("-o"), path(QStringLiteral("lamps"))};

    const Result result = run(args);
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QStringList expectedNames = {QStringLiteral("__x.lmp"), QStringLiteral("a_b.lmp"),   QStringLiteral("Dup.lmp"),
                                       QStringLiteral("dup_2.lmp"), QStringLiteral("_.lmp"),   QStringLiteral("slot5.lmp"),
                                       QStringLiteral("_ctl__.lmp"), QStringLiteral("Dup_3.lmp")};
    QStringList expectedOut;
    for (std::size_t i = 0; i < lamps.size(); ++i) {
        const QString name = expectedNames[static_cast<qsizetype>(i)];
        EXPECT_EQ(read(QStringLiteral("lamps/") + name), lamps[i].second) << name.toStdString();
        expectedOut << QString::number(lamps[i].first) + QLatin1Char('\t') + path(QStringLiteral("lamps/") + name);
    }
    EXPECT_EQ(result.outLines(), expectedOut);
    EXPECT_EQ(QDir(path(QStringLiteral("lamps"))).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot).size(),
              8);
    EXPECT_FALSE(exists(QStringLiteral("x.lmp")));
    EXPECT_FALSE(exists(QStringLiteral("a")));

    // A second run would overwrite: refused as a whole, nothing written.
    write(QStringLiteral("lamps/a_b.lmp"), {'k'});
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("lamps/Dup.lmp"))));
    const Result refused = run(args);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.errLines().size(), 1);
    EXPECT_FALSE(exists(QStringLiteral("lamps/Dup.lmp")));
    EXPECT_EQ(read(QStringLiteral("lamps/a_b.lmp")), Bytes({'k'}));

    const Result forced = run(QStringList(args) << QStringLiteral("--force"));
    EXPECT_EQ(forced.status, 0);
    EXPECT_EQ(read(QStringLiteral("lamps/a_b.lmp")), lamps[1].second);
    EXPECT_TRUE(exists(QStringLiteral("lamps/Dup.lmp")));
}

TEST_F(ImportTest, AllAppliesThePaletteRuleAndTidiesAFailedFolder)
{
    const Result result = run({QStringLiteral("import"), path(QStringLiteral("lamp.dat")), QStringLiteral("--all"),
                               QStringLiteral("-o"), path(QStringLiteral("new"))});
    ASSERT_EQ(result.status, 0);
    const Bytes spot = read(QStringLiteral("new/Spot.lmp"));
    ASSERT_EQ(spot.size(), 1622u);
    EXPECT_EQ(spot[790], 5);
    EXPECT_EQ(spot[796], 5);
    EXPECT_EQ(spot[802], 5);
    EXPECT_EQ(spot[808], 0);
    EXPECT_EQ(read(QStringLiteral("new/Wash Me.lmp")), m_wash);

    // A folder whose parent does not exist cannot be made; nothing is left.
    const Result failed = run({QStringLiteral("import"), path(QStringLiteral("lamp.dat")), QStringLiteral("--all"),
                               QStringLiteral("-o"), path(QStringLiteral("no/such"))});
    EXPECT_EQ(failed.status, 2);
    EXPECT_EQ(failed.errLines().size(), 1);
    EXPECT_FALSE(exists(QStringLiteral("no")));
}

class PatchSheetTest : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        Bytes p(29056, 0);
        put(p, 0, {0x01});                 // slot 0: Icon
        putText(p, 2, "Spot, 250       ");  // a comma, so CSV must quote it
        put(p, 19, {16});                  // NumberChannel
        put(p, 1622, {0x01});              // slot 1
        putText(p, 1624, "Wash            ");
        put(p, 1641, {12});
        // Entries, 31 bytes each from 25952: LampType at +9, StartChannel +11, StartDMX +13,
        // PanInvert +15, TiltInvert +16, PanTiltSwap +17, ScreenCol +25, ScreenRow +26.
        const auto entry = [&p](int k, int type, int channel, int dmx, int pan, int tilt, int swap, int col, int row) {
            const std::size_t e = 25952 + 31 * static_cast<std::size_t>(k);
            putInt16(p, e + 9, type);
            putInt16(p, e + 11, channel);
            putInt16(p, e + 13, dmx);
            put(p, e + 15, {pan, tilt, swap});
            put(p, e + 25, {col, row});
        };
        entry(0, 0, 1, 100, 1, 0, 0, 2, 0);   // lamp 1: 100-115, overlaps lamp 3
        entry(1, 1, 2, 1, 0, 1, 0, 0, 1);     // lamp 2: 1-12
        entry(2, 1, 0, 110, 0, 0, 1, 19, 23);  // lamp 3: 110-121
        entry(3, 0, 0, 505, 0, 0, 0, 0, 0);   // lamp 4: 505-520, past 512
        entry(4, 0, 9, 0, 1, 1, 1, 5, 5);     // lamp 5: not in use
        entry(5, 7, 0, 300, 0, 0, 0, 0, 0);   // lamp 6: a slot without a lamp
        write(QStringLiteral("stage.pat"), p);
    }
};

TEST_F(PatchSheetTest, CsvIsOrderedByDmxWithConflicts)
{
    const Result result = run({QStringLiteral("patch-sheet"), path(QStringLiteral("stage.pat")), QStringLiteral("--csv")});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, QStringLiteral("Lamp,Type,Channels,Start channel,DMX,Position,Pan invert,Tilt invert,Swap,Conflict\n"
                                         "2,Wash,12,2,1-12,B1,no,yes,no,\n"
                                         "1,\"Spot, 250\",16,1,100-115,A3,yes,no,no,DMX overlaps lamp 3\n"
                                         "3,Wash,12,0,110-121,X20,no,no,yes,DMX overlaps lamp 1\n"
                                         "6,(empty slot 7),0,0,300,A1,no,no,no,\n"
                                         "4,\"Spot, 250\",16,0,505-520,A1,no,no,no,DMX runs past 512\n"));
}

TEST_F(PatchSheetTest, TextIsATableInTheSameOrder)
{
    const Result result = run({QStringLiteral("patch-sheet"), path(QStringLiteral("stage.pat"))});
    ASSERT_EQ(result.status, 0);
    const QStringList rows = result.outLines();
    ASSERT_EQ(rows.size(), 6);
    EXPECT_TRUE(rows[0].startsWith(QStringLiteral("Lamp  Type")));
    QStringList lampNumbers;
    for (qsizetype i = 1; i < rows.size(); ++i)
        lampNumbers << rows[i].section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    EXPECT_EQ(lampNumbers, QStringList({QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("6"),
                                        QStringLiteral("4")}));
    EXPECT_TRUE(rows[2].endsWith(QStringLiteral("A3        yes         no           no    DMX overlaps lamp 3")));
    EXPECT_TRUE(rows[1].endsWith(QStringLiteral("no")));  // no trailing blanks when there is no conflict
}
