// import and patch-sheet against console and patch files laid out byte by byte.
#include "cli_test_support.h"

#include <iterator>

using namespace clitest;

namespace {

Bytes payloadOf(const std::vector<std::pair<int, Bytes>>& slots)
{
    Bytes payload(25952, 0);
    for (const auto& [slot, image] : slots)
        std::copy(image.begin(), image.end(), payload.begin() + 1622 * slot);
    return payload;
}

class ImportTest : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        write("lamp.dat", consoleFile(payloadOf({{0, m_spot}, {2, m_wash}})));
    }

    // Palette codes 6, 8, 5 and 0 on channels 1 to 4.
    const Bytes m_spot = lampImage("Spot", {{6, 1, 1}, {8, 2, 1}, {5, 13, 1}, {0, 21, 1}}, {{2, 13}}, 2);
    const Bytes m_wash = lampImage("Wash Me", {{3, 21, 1}});
};

TEST_F(ImportTest, ListSlotAndAllWriteTheLampsWithThePaletteRule)
{
    const Result list = run("import @lamp.dat --list");
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out, "0\tSpot            \n2\tWash Me         \n");
    write("empty.dat", {});
    const Result empty = run("import @empty.dat --list");
    EXPECT_TRUE(empty.status == 0 && empty.out.isEmpty()) << empty.err;

    Bytes spot = m_spot;
    put(spot, 790, {0x05});  // channel 1 palette 6 -> 5
    put(spot, 796, {0x05});  // channel 2 palette 8 -> 5
    EXPECT_EQ(run("import @lamp.dat --slot 0 -o @spot.lmp").status, 0);
    EXPECT_EQ(read("spot.lmp"), spot);
    EXPECT_EQ(run("import @lamp.dat --all -o @new").status, 0);
    EXPECT_EQ(read("new/Spot.lmp"), spot);
    EXPECT_EQ(read("new/Wash Me.lmp"), m_wash);

    // An existing file is kept unless --force is given.
    write("keep.lmp", {'k'});
    const Result refused = run("import @lamp.dat --slot 2 -o @keep.lmp");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.errLines(), QStringList{failure("keep.lmp", "File exists; use --force to replace it")});
    EXPECT_EQ(read("keep.lmp"), Bytes{'k'});
    EXPECT_EQ(run("import @lamp.dat --slot 2 -o @keep.lmp --force").status, 0);
    EXPECT_EQ(read("keep.lmp"), m_wash);

    // Free, out-of-range and malformed slots, and a folder that cannot be made: nothing is left.
    for (const char* args : {"--slot 1 -o @x.lmp", "--slot 16 -o @x.lmp", "--slot -1 -o @x.lmp", "--slot two -o @x.lmp",
                             "--all -o @x.lmp/sub"}) {
        const Result bad = run(QStringLiteral("import @lamp.dat ") + args);
        EXPECT_EQ(bad.status, 2) << args;
        EXPECT_EQ(bad.errLines().size(), 1) << args;
        EXPECT_FALSE(exists("x.lmp")) << args;
    }
}

TEST_F(ImportTest, AllKeepsHostileNamesInsideTheFolder)
{
    const std::vector<std::pair<int, Bytes>> lamps = {
        {0, lampImage("../x", {{1, 1, 1}})}, {1, lampImage("a/b", {{1, 2, 1}})},   {2, lampImage("Dup", {{1, 3, 1}})},
        {3, lampImage("dup", {{1, 4, 1}})},  {4, lampImage("..", {{1, 5, 1}})},    {5, lampImage("", {{1, 6, 1}})},
        {6, lampImage("\x01" "ctl\\..", {{1, 7, 1}})}, {9, lampImage("Dup", {{1, 8, 1}})},
        {10, lampImage("Dup_2", {{1, 9, 1}})},
    };
    const QStringList names = {"__x.lmp", "a_b.lmp", "Dup.lmp", "dup_2.lmp", "_.lmp", "slot5.lmp", "_ctl__.lmp",
                               "Dup_3.lmp", "Dup_2_2.lmp"};
    write("hostile.dat", consoleFile(payloadOf(lamps)));

    const Result result = run("import @hostile.dat --all -o @lamps");
    ASSERT_EQ(result.status, 0) << result.err;
    QStringList expectedOut;
    for (std::size_t i = 0; i < lamps.size(); ++i) {
        const QString name = "lamps/" + names[static_cast<qsizetype>(i)];
        EXPECT_EQ(read(name), lamps[i].second) << name;
        expectedOut << QString::number(lamps[i].first) + '\t' + path(name);
    }
    EXPECT_EQ(result.outLines(), expectedOut);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"app", "hostile.dat", "lamp.dat", "lamps"}));
    EXPECT_EQ(QDir(path("lamps")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), names.size());

    // A second run would overwrite: refused as a whole, nothing written.
    write("lamps/a_b.lmp", {'k'});
    ASSERT_TRUE(QFile::remove(path("lamps/Dup.lmp")));
    const Result refused = run("import @hostile.dat --all -o @lamps");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.errLines().size(), 1);
    EXPECT_FALSE(exists("lamps/Dup.lmp"));
    EXPECT_EQ(read("lamps/a_b.lmp"), Bytes{'k'});
    EXPECT_EQ(run("import @hostile.dat --all -o @lamps --force").status, 0);
    EXPECT_EQ(read("lamps/a_b.lmp"), lamps[1].second);
    EXPECT_TRUE(exists("lamps/Dup.lmp"));
}

using PatchSheetTest = CliFixture;

TEST_F(PatchSheetTest, OrderedByDmxWithConflictsAsCsvAndText)
{
    Bytes p(29056, 0);
    const Bytes spot = lampImage("Spot, 250", {}), wash = lampImage("Wash", {});  // a comma, so CSV must quote it
    std::copy(spot.begin(), spot.end(), p.begin());
    std::copy(wash.begin(), wash.end(), p.begin() + 1622);
    put(p, 19, {16});         // NumberChannel of slot 0
    put(p, 1622 + 19, {12});  // and of slot 1
    // Entries, 31 bytes each from 25952: LampType, StartChannel and StartDMX from +9, PanInvert,
    // TiltInvert and PanTiltSwap from +15, ScreenCol and ScreenRow from +25.
    const int entries[][8] = {
        {0, 1, 100, 1, 0, 0, 2, 0},    // lamp 1: 100-115, overlaps lamp 3
        {1, 2, 1, 0, 1, 0, 0, 1},      // lamp 2: 1-12
        {1, 0, 110, 0, 0, 1, 19, 23},  // lamp 3: 110-121
        {0, 0, 505, 0, 0, 0, 0, 0},    // lamp 4: 505-520, past 512
        {0, 9, 0, 1, 1, 1, 5, 5},      // lamp 5: not in use
        {7, 0, 300, 0, 0, 0, 0, 0},    // lamp 6: a slot without a lamp
    };
    for (std::size_t k = 0; k < std::size(entries); ++k) {
        const int* e = entries[k];
        put(p, 25952 + 31 * k + 9, {e[0], 0, e[1], 0, e[2] & 0xFF, e[2] >> 8, e[3], e[4], e[5]});
        put(p, 25952 + 31 * k + 25, {e[6], e[7]});
    }
    write("stage.pat", p);

    const Result csv = run("patch-sheet @stage.pat --csv");
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out, "Lamp,Type,Channels,Start channel,DMX,Position,Pan invert,Tilt invert,Swap,Conflict\n"
                       "2,Wash,12,2,1-12,B1,no,yes,no,\n"
                       "1,\"Spot, 250\",16,1,100-115,A3,yes,no,no,DMX overlaps lamp 3\n"
                       "3,Wash,12,0,110-121,X20,no,no,yes,DMX overlaps lamp 1\n"
                       "6,(empty slot 7),0,0,300,A1,no,no,no,\n"
                       "4,\"Spot, 250\",16,0,505-520,A1,no,no,no,DMX runs past 512\n");

    // The text table: columns padded, no blanks at the ends of lines.
    EXPECT_EQ(run("patch-sheet @stage.pat").out,
              "Lamp  Type            Channels  Start channel  DMX      Position  Pan invert  Tilt invert  Swap  Conflict\n"
              "   2  Wash                  12              2  1-12     B1        no          yes          no\n"
              "   1  Spot, 250             16              1  100-115  A3        yes         no           no    DMX overlaps lamp 3\n"
              "   3  Wash                  12              0  110-121  X20       no          no           yes   DMX overlaps lamp 1\n"
              "   6  (empty slot 7)         0              0  300      A1        no          no           no\n"
              "   4  Spot, 250             16              0  505-520  A1        no          no           no    DMX runs past 512\n");
}

}  // namespace
