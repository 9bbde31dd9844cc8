#include "core/dmx_conflicts.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Placed { std::size_t index; std::int16_t lampType, startDMX; };
// One entry's expected conflict; entries not listed must have none.
struct Expected { std::size_t index; int overlapsWith; bool passesEnd; };

TEST(DmxConflicts, RangesTable)
{
    // Lamp slot 0: 12 channels, slot 1: 1 channel, slot 2: 36 channels.
    const struct {
        const char* name;
        std::vector<Placed> placed;
        std::vector<Expected> expected;
    } cases[] = {
        {"touching ranges", {{0, 0, 1}, {1, 0, 13}}, {}},
        {"last channel shared", {{0, 0, 1}, {1, 0, 12}}, {{0, 2, false}, {1, 1, false}}},
        {"one range inside another", {{3, 2, 100}, {7, 1, 120}}, {{3, 8, false}, {7, 4, false}}},
        {"first overlapping lamp is named", {{0, 0, 10}, {1, 1, 15}, {2, 1, 11}}, {{0, 2, false}, {1, 1, false}, {2, 1, false}}},
        {"ends exactly at 512", {{0, 0, 501}}, {}},
        {"passes 512 by one", {{0, 0, 502}}, {{0, 0, true}}},
        {"type out of range has no range", {{0, 16, 1}, {1, -1, 600}, {2, 0, 1}}, {}},
        {"near the 16-bit limit does not wrap", {{0, 2, 32767}}, {{0, 0, true}}},
        {"overlap and past the end together", {{0, 2, 500}, {1, 1, 530}}, {{0, 2, true}, {1, 1, true}}},
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        rig::StagePatch patch;
        patch.lmpLamps[0].NumberChannel = 12;
        patch.lmpLamps[1].NumberChannel = 1;
        patch.lmpLamps[2].NumberChannel = 36;
        for (const auto& p : c.placed) {
            patch.patchEntries[p.index].LampType = p.lampType;
            patch.patchEntries[p.index].StartDMX = p.startDMX;
        }
        const auto conflicts = rig::findDmxConflicts(patch);
        std::array<rig::DmxConflict, rig::patchEntryCount> expected{};
        for (const auto& e : c.expected)
            expected[e.index] = {e.overlapsWith, e.passesEnd};
        for (std::size_t i = 0; i < rig::patchEntryCount; ++i) {
            EXPECT_EQ(conflicts[i].overlapsWith, expected[i].overlapsWith) << "entry " << i;
            EXPECT_EQ(conflicts[i].passesEnd, expected[i].passesEnd) << "entry " << i;
        }
    }
}

TEST(DmxConflicts, Description)
{
    EXPECT_EQ(rig::describeConflict({}), "");
    EXPECT_EQ(rig::describeConflict({3, false}), "DMX overlaps lamp 3");
    EXPECT_EQ(rig::describeConflict({0, true}), "DMX runs past 512");
    EXPECT_EQ(rig::describeConflict({12, true}), "DMX overlaps lamp 12; DMX runs past 512");
}

}  // namespace
