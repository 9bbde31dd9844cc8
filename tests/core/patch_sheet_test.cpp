#include "core/patch_sheet.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace rig {
namespace {

PatchEntry placed(int lampType, int startDmx, int row, int col)
{
    PatchEntry entry;
    entry.LampType = static_cast<std::int16_t>(lampType);
    entry.StartDMX = static_cast<std::int16_t>(startDmx);
    entry.ScreenRow = static_cast<std::uint8_t>(row);
    entry.ScreenCol = static_cast<std::uint8_t>(col);
    return entry;
}

// A damaged or hand-made file can name any slot, flag value and cell: each row says
// what it found instead of trusting it.
TEST(PatchSheetRows, DamagedEntriesAreDescribedNotTrusted)
{
    StagePatch patch;
    patch.lmpLamps[0].LampName.assign(" Spot\x01");
    patch.lmpLamps[0].NumberChannel = 4;
    patch.patchEntries[0] = placed(20, 10, 0, 0);  // past the lamp table
    patch.patchEntries[1] = placed(-1, 30, 0, 0);
    patch.patchEntries[2] = placed(3, 5, 0, 0);    // a slot that was never filled
    patch.patchEntries[4] = placed(0, 40, 30, 2);  // a row off the grid
    patch.patchEntries[4].PanInvert = 2;
    patch.patchEntries[4].TiltInvert = 1;
    patch.patchEntries[5] = placed(0, 50, 23, 19);  // the grid's last cell
    patch.patchEntries[6] = placed(0, 0, 1, 1);     // not in use: no row

    const std::vector<PatchSheetRow> rows = patchSheetRows(patch, SheetOrder::ByLamp);
    ASSERT_EQ(rows.size(), 5u);
    const struct {
        int lamp;
        const char *note, *range, *position;
        int channels;
    } expected[] = {
        {1, "(no lamp type 20)", "10", "A1", 0}, {2, "(no lamp type -1)", "30", "A1", 0}, {3, "(empty slot 3)", "5", "A1", 0},
        {5, "", "40-43", "row 31 col 3", 4},     {6, "", "50-53", "X20", 4},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].lamp, expected[i].lamp);
        EXPECT_EQ(rows[i].typeNote, expected[i].note) << i;
        EXPECT_EQ(rows[i].dmxRange, expected[i].range) << i;
        EXPECT_EQ(rows[i].position, expected[i].position) << i;
        EXPECT_EQ(rows[i].channels, expected[i].channels) << i;
    }
    // The name is handed over as stored; how it is shown is the renderer's affair.
    EXPECT_EQ(rows[3].typeName.str(), " Spot\x01          ");
    EXPECT_TRUE(rows[0].typeName.isAllZero());
    EXPECT_EQ(rows[3].panInvert + rows[3].tiltInvert + rows[3].swap, "2yesno");
}

TEST(PatchSheetRows, ByDmxKeepsLampOrderAmongEqualStarts)
{
    StagePatch patch;
    patch.lmpLamps[1].LampName.assign("Wash");
    patch.lmpLamps[1].NumberChannel = 2;
    const int starts[] = {9, 3, 9, 1, 3};
    for (std::size_t k = 0; k < std::size(starts); ++k)
        patch.patchEntries[k] = placed(1, starts[k], 0, static_cast<int>(k));

    std::string order;
    for (const PatchSheetRow& row : patchSheetRows(patch, SheetOrder::ByDmx))
        order += std::to_string(row.lamp) + (row.conflict.empty() ? " " : "* ");
    EXPECT_EQ(order, "4 2* 5* 1* 3* ");
    EXPECT_EQ(patchSheetRows(patch, SheetOrder::ByLamp).front().conflict, "DMX overlaps lamp 3");
}

// The heading's totals: shared addresses count once, addresses past the line none, and
// the types listed are the filled slots placed lamps use, each with its lamps in order.
TEST(PatchSheetRows, CountsAndTypesInUse)
{
    StagePatch patch;
    patch.lmpLamps[2].LampName.assign("Wash");
    patch.lmpLamps[2].NumberChannel = 10;
    patch.lmpLamps[0].LampName.assign("Spot");
    patch.lmpLamps[0].NumberChannel = 4;
    patch.patchEntries[0] = placed(2, 505, 0, 0);  // 505-514: 8 addresses on the line, past its end
    patch.patchEntries[1] = placed(2, 1, 0, 1);    // 1-10
    patch.patchEntries[2] = placed(0, 8, 0, 2);    // 8-11: overlaps lamp 2, adds only 11
    patch.patchEntries[3] = placed(5, 40, 0, 3);   // an empty slot: no channels, no type
    patch.patchEntries[6] = placed(0, -3, 0, 4);   // below the line: -3 to 0, no address
    patch.patchEntries[8] = placed(0, 100, 0, 0);  // 100-103

    const std::vector<PatchSheetRow> rows = patchSheetRows(patch, SheetOrder::ByDmx);
    const PatchSheetCounts counts = patchSheetCounts(rows);
    EXPECT_EQ(counts.lampsPlaced, 6);
    EXPECT_EQ(counts.dmxChannelsUsed, 8 + 10 + 1 + 4);
    EXPECT_EQ(counts.conflicts, 3);

    const std::vector<LampTypeUse> types = lampTypesUsed(rows);
    ASSERT_EQ(types.size(), 2u);
    EXPECT_EQ(types[0].slot, 0);
    EXPECT_EQ(types[0].lamps, (std::vector<int>{3, 7, 9}));
    EXPECT_EQ(types[1].slot, 2);
    EXPECT_EQ(types[1].lamps, (std::vector<int>{1, 2}));
    EXPECT_EQ(patchSheetCounts({}).dmxChannelsUsed, 0);
}

}  // namespace
}  // namespace rig
