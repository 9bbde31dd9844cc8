#include "lamp/verify.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

using rig::Finding;
using rig::FindingKind;
using rig::Lamp;

// Function codes as the console numbers them.
constexpr int None = 0, PanCoarse = 1, PanFine = 2, Pan8 = 3, TiltCoarse = 4, TiltFine = 5, Tilt8 = 6,
              Gobo1 = 13, Zoom = 18, Iris = 19, Dimmer = 21;
constexpr std::int16_t Position = 1;

Finding W(std::string text) { return {FindingKind::Warning, 0, std::move(text)}; }
Finding E(int code, std::string text) { return {FindingKind::Error, code, std::move(text)}; }

// Channels with the given functions and palettes; wheel slots as (slot index, function).
Lamp makeLamp(std::initializer_list<int> functions, std::int16_t palette,
              std::initializer_list<std::pair<int, int>> wheels = {})
{
    Lamp lamp = rig::newLamp();
    lamp.NumberChannel = static_cast<std::uint8_t>(functions.size());
    std::size_t c = 0;
    for (int function : functions) {
        lamp.Channel[c].Function = static_cast<std::int16_t>(function);
        lamp.Channel[c].Palette = palette;
        lamp.Channel[c].Step = 1;
        ++c;
    }
    for (const auto& [slot, function] : wheels)
        lamp.WheelFunction[static_cast<std::size_t>(slot)] = static_cast<std::int16_t>(function);
    return lamp;
}

struct Case {
    const char* name;
    Lamp lamp;
    std::vector<Finding> expected;
};

bool same(const std::vector<Finding>& a, const std::vector<Finding>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].kind != b[i].kind || a[i].code != b[i].code || a[i].text != b[i].text)
            return false;
    return true;
}

std::string describe(const std::vector<Finding>& findings)
{
    std::string out;
    for (const auto& f : findings)
        out += (f.kind == FindingKind::Error ? "E" + std::to_string(f.code) : std::string("W")) + ": " + f.text + "\n";
    return out;
}

std::vector<Case> cases()
{
    std::vector<Case> list;
    list.push_back({"new lamp", rig::newLamp(),
                    {W("Warning: No dimmer channel assignment"), W("Warning: No pan channel assignment"),
                     W("Warning: No tilt channel assignment"), W("Warning: Channel 1 has palette set to None")}});
    list.push_back({"channels 2 and 5 share Zoom", makeLamp({None, Zoom, None, None, Zoom}, 0),
                    {E(1042, "Error: Duplicate function on channels 2 and 5")}});
    list.push_back({"balanced lamp with its wheel",
                    makeLamp({PanCoarse, PanFine, Tilt8, Dimmer}, Position, {{0, PanFine}}), {}});
    list.push_back({"pan fine without a wheel", makeLamp({PanCoarse, PanFine, Tilt8, Dimmer}, Position),
                    {E(1047, "Error: Channel 2 has no wheel assignment")}});
    list.push_back({"pan 8-bit with pan fine", makeLamp({Pan8, PanFine}, Position),
                    {W("Warning: No dimmer channel assignment"),
                     E(1044, "Error: Pan Coarse or Pan Fine used with Pan 8-bit")}});
    // Slot 4 is the first slot of the second wheel page: beyond the lamp's four slots.
    list.push_back({"wheel on page 2 does not count", makeLamp({None, None, Gobo1, None}, Position, {{4, Gobo1}}),
                    {W("Warning: No dimmer channel assignment"), W("Warning: No pan channel assignment"),
                     W("Warning: No tilt channel assignment"), E(1047, "Error: Channel 3 has no wheel assignment")}});
    list.push_back({"duplicate wheels beyond the count",
                    makeLamp({PanCoarse, PanFine, Tilt8, Dimmer}, Position, {{0, PanFine}, {5, Zoom}, {9, Zoom}}),
                    {}});
    list.push_back({"duplicate wheels within the count",
                    makeLamp({PanCoarse, PanFine, Tilt8, Dimmer}, Position, {{1, Iris}, {3, Iris}}),
                    {E(1042, "Error: Duplicate function on wheels 2 and 4")}});
    list.push_back({"lowest sharing channel is named first", makeLamp({Iris, Zoom, Zoom, Iris}, 0),
                    {E(1042, "Error: Duplicate function on channels 1 and 4")}});
    list.push_back({"pan coarse alone", makeLamp({PanCoarse, Dimmer}, Position),
                    {E(1043, "Error: Unbalanced Pan Coarse and Pan Fine assignments")}});
    list.push_back({"tilt fine alone", makeLamp({Pan8, TiltFine, Dimmer}, Position, {{0, TiltFine}}),
                    {E(1045, "Error: Unbalanced Tilt Coarse and Tilt Fine assignments")}});
    list.push_back({"tilt 8-bit with coarse and fine",
                    makeLamp({Pan8, Tilt8, TiltCoarse, TiltFine}, Position, {{0, TiltFine}}),
                    {W("Warning: No dimmer channel assignment"),
                     E(1046, "Error: Tilt Coarse or Tilt Fine used with Tilt 8-bit")}});
    list.push_back({"palette warnings in channel order", makeLamp({Pan8, Tilt8, Dimmer}, Position),
                    {}});
    list.back().lamp.Channel[0].Palette = 0;
    list.back().lamp.Channel[2].Palette = 0;
    list.back().expected = {W("Warning: Channel 1 has palette set to None"),
                            W("Warning: Channel 3 has palette set to None")};
    // Codes outside the table are ordinary, non-exempt functions.
    list.push_back({"unknown code needs a wheel", makeLamp({Pan8, Tilt8, Dimmer, 300}, Position),
                    {E(1047, "Error: Channel 4 has no wheel assignment")}});
    list.push_back({"unknown code found on a wheel", makeLamp({Pan8, Tilt8, Dimmer, -7}, Position, {{2, -7}}),
                    {}});
    return list;
}

TEST(VerifyLamp, ReportsTheExactFindingsInOrder)
{
    for (const Case& c : cases()) {
        const std::vector<Finding> got = rig::verifyLamp(c.lamp);
        EXPECT_TRUE(same(got, c.expected)) << c.name << "\n got:\n"
                                           << describe(got) << " expected:\n"
                                           << describe(c.expected);
        EXPECT_EQ(rig::hasError(got), !c.expected.empty() && c.expected.back().kind == FindingKind::Error)
            << c.name;
    }
}

TEST(VerifyLamp, LeavesTheLampUnchanged)
{
    const Lamp before = makeLamp({PanCoarse, PanFine, Gobo1}, 0, {{7, Gobo1}});
    Lamp lamp = before;
    (void)rig::verifyLamp(lamp);
    EXPECT_EQ(lamp, before);
}

// A loaded count beyond the channel array must not read past channel 36 or wheel slot 36.
TEST(VerifyLamp, CountAboveThirtySixIsClampedToTheArray)
{
    Lamp lamp = rig::newLamp();
    lamp.NumberChannel = 255;
    for (std::size_t c = 0; c < rig::maxChannels; ++c) {
        lamp.Channel[c].Function = static_cast<std::int16_t>(c);  // 0 .. 35, all different
        lamp.Channel[c].Palette = Position;
    }
    lamp.WheelFunction[40] = 1;  // slot 40 lies beyond the clamped count
    lamp.WheelFunction[41] = 1;
    const std::vector<Finding> got = rig::verifyLamp(lamp);
    ASSERT_FALSE(got.empty());
    // Pan sum: coarse + fine + 8-bit = 4.
    EXPECT_EQ(got.back().code, 1044) << describe(got);

    lamp.Channel[1].Function = 0;
    lamp.Channel[2].Function = 0;
    lamp.Channel[4].Function = 0;
    lamp.Channel[5].Function = 0;
    const std::vector<Finding> second = rig::verifyLamp(lamp);
    ASSERT_FALSE(second.empty());
    // Channel 8 (code 7) is the first non-exempt function; no slot up to 36 carries it.
    EXPECT_EQ(second.back().text, "Error: Channel 8 has no wheel assignment") << describe(second);
}

TEST(VerifyLamp, ZeroChannelsGivesOnlyTheMissingFunctionWarnings)
{
    Lamp lamp = rig::newLamp();
    lamp.NumberChannel = 0;
    const std::vector<Finding> got = rig::verifyLamp(lamp);
    EXPECT_TRUE(same(got, {W("Warning: No dimmer channel assignment"), W("Warning: No pan channel assignment"),
                           W("Warning: No tilt channel assignment")}))
        << describe(got);
}

}  // namespace
