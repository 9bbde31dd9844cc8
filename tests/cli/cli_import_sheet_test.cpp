// import and patch-sheet against console and patch files laid out byte by byte.
#include "cli_test_support.h"

#include <iterator>

using namespace clitest;

namespace {

using ImportTest = CliFixture;

TEST_F(ImportTest, ListAndSlotWriteTheLampWithThePaletteRule)
{
    const Bytes wash = lampImage("Wash Me", {{3, 21, 1}});
    write("lamp.dat", consoleFile({{0, lampImage("Spot", {{6, 1, 1}, {8, 2, 1}})}, {2, wash}}));
    EXPECT_EQ(run("import @lamp.dat --list").out, "0\tSpot            \n2\tWash Me         \n");

    const Bytes spot = lampImage("Spot", {{5, 1, 1}, {5, 2, 1}});  // palettes 6 and 8 are stored as 5
    EXPECT_EQ(run("import @lamp.dat --slot 0 -o @spot.lmp").status, 0);
    EXPECT_EQ(read("spot.lmp"), spot);

    // An existing file is kept.
    write("keep.lmp", {'k'});
    EXPECT_EQ(run("import @lamp.dat --slot 2 -o @keep.lmp").errLines(),
              QStringList{failure("keep.lmp", "File exists; use --force to replace it")});
    EXPECT_EQ(read("keep.lmp"), Bytes{'k'});

    // Free, out-of-range and malformed slots, and a folder that cannot be made: nothing is left.
    for (const char* args : {"--slot 1 -o @x.lmp", "--slot 16 -o @x.lmp", "--slot two -o @x.lmp", "--all -o @x.lmp/sub"}) {
        const Result bad = run(QStringLiteral("import @lamp.dat ") + args);
        EXPECT_TRUE(bad.status == 2 && bad.errLines().size() == 1 && !exists("x.lmp")) << args;
    }
}

TEST_F(ImportTest, AllKeepsHostileNamesInsideTheFolder)
{
    const struct { int slot; const char *name, *file; } lamps[] = {
        {0, "../x", "__x.lmp"}, {1, "a/b", "a_b.lmp"},  {2, "Dup", "Dup.lmp"},       {3, "dup", "dup_2.lmp"},
        {4, "..", "_.lmp"},     {5, "", "slot5.lmp"},   {6, "\x01" "ctl\\..", "_ctl__.lmp"}, {7, "con.txt", "con_.txt.lmp"},
        {9, "Dup", "Dup_3.lmp"},
        {10, "Dup_2", "Dup_2_2.lmp"},
    };
    std::vector<std::pair<int, Bytes>> slots;
    for (const auto& lamp : lamps)
        slots.emplace_back(lamp.slot, lampImage(lamp.name, {{1, lamp.slot, 1}}));  // each image differs
    write("hostile.dat", consoleFile(slots));

    const Result result = run("import @hostile.dat --all -o @lamps");
    ASSERT_EQ(result.status, 0) << result.err;
    QString expectedOut;
    for (std::size_t i = 0; i < std::size(lamps); ++i) {
        const QString name = QString("lamps/") + lamps[i].file;
        EXPECT_EQ(read(name), slots[i].second) << name;
        expectedOut += QString::number(lamps[i].slot) + '\t' + path(name) + '\n';
    }
    EXPECT_EQ(result.out, expectedOut);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"app", "hostile.dat", "lamps"}));
    EXPECT_EQ(QDir(path("lamps")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
              std::size(lamps));

    // A second run would overwrite one file: refused as a whole, nothing written.
    write("lamps/a_b.lmp", {'k'});
    ASSERT_TRUE(QFile::remove(path("lamps/Dup.lmp")));
    EXPECT_EQ(run("import @hostile.dat --all -o @lamps").status, 2);
    EXPECT_FALSE(exists("lamps/Dup.lmp"));
    EXPECT_EQ(read("lamps/a_b.lmp"), Bytes{'k'});
}

using PatchSheetTest = CliFixture;

TEST_F(PatchSheetTest, OrderedByDmxWithConflictsAsCsvAndText)
{
    Bytes p(29056, 0);
    put(p, 2, "Spot, 250");  // slot 0 LampName, with a comma so CSV must quote it
    put(p, 19, {16});        // and NumberChannel
    put(p, 1624, "Wash");    // slot 1
    put(p, 1641, {12});
    // Entries, 31 bytes each from 25952: LampType, StartChannel and StartDMX from +9, PanInvert,
    // TiltInvert and PanTiltSwap from +15, ScreenCol and ScreenRow from +25.
    const int entries[][8] = {
        {0, 1, 100, 1, 0, 0, 2, 0},    // lamp 1: 100-115, overlaps lamp 3
        {1, 2, 1, 0, 1, 0, 0, 1},      // lamp 2: 1-12
        {1, 0, 110, 0, 0, 1, 19, 23},  // lamp 3: 110-121
        {0, 0, 505, 0, 0, 0, 0, 0},    // lamp 4: 505-520, past 512
        {0, 9, 0, 1, 1, 1, 5, 5},      // lamp 5: not in use
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
                       "4,\"Spot, 250\",16,0,505-520,A1,no,no,no,DMX runs past 512\n");

    // The text table: columns padded, no blanks at the ends of lines.
    EXPECT_EQ(run("patch-sheet @stage.pat").out,
              "Lamp  Type       Channels  Start channel  DMX      Position  Pan invert  Tilt invert  Swap  Conflict\n"
              "   2  Wash             12              2  1-12     B1        no          yes          no\n"
              "   1  Spot, 250        16              1  100-115  A3        yes         no           no    DMX overlaps lamp 3\n"
              "   3  Wash             12              0  110-121  X20       no          no           yes   DMX overlaps lamp 1\n"
              "   4  Spot, 250        16              0  505-520  A1        no          no           no    DMX runs past 512\n");
}

}  // namespace
