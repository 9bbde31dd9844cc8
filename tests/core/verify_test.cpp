#include "core/verify.h"

#include "../common/records.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using rig::Lamp;

// Function codes as the console numbers them.
constexpr int None = 0, PanCoarse = 1, PanFine = 2, Pan8 = 3, TiltCoarse = 4, TiltFine = 5, Tilt8 = 6,
              Gobo1 = 13, Zoom = 18, Iris = 19, Dimmer = 21;
constexpr std::int16_t Position = 1;

// The findings one a line, errors led by their code, so a whole run compares at once.
std::string describe(const std::vector<rig::Finding>& findings)
{
    std::string out;
    for (const rig::Finding& f : findings) {
        if (f.kind == rig::FindingKind::Error || f.code != 0)
            out += std::to_string(f.code) + (f.kind == rig::FindingKind::Error ? " " : " warning ");
        out += f.text + "\n";
    }
    return out;
}

// Channels with the given functions and palette; wheel slots as (slot index, function).
Lamp makeLamp(const std::vector<int>& functions, std::int16_t palette,
              const std::vector<std::pair<int, int>>& wheels = {})
{
    Lamp lamp = rig::test::lampWithFunctions(functions, palette);
    for (const auto& [slot, function] : wheels)
        lamp.WheelFunction[static_cast<std::size_t>(slot)] = static_cast<std::int16_t>(function);
    return lamp;
}

// A loaded count of 255 over 36 channels coded 0 to 35 (pan and tilt balanced by the gaps):
// only channels and wheel slots 1 to 36 may be read, so slots 41 and 42 neither clash nor count.
Lamp countBeyondTheArray()
{
    std::vector<int> functions;
    for (int c = 0; c < static_cast<int>(rig::maxChannels); ++c)
        functions.push_back(c == 1 || c == 2 || c == 4 || c == 5 ? None : c);
    Lamp lamp = makeLamp(functions, Position, {{40, 7}, {41, 7}});
    lamp.NumberChannel = 255;
    return lamp;
}

TEST(VerifyLamp, ReportsTheExactFindingsInOrder)
{
    const std::string noDimmer = "Warning: No dimmer channel assignment\n";
    const std::string nothingAssigned =
        noDimmer + "Warning: No pan channel assignment\nWarning: No tilt channel assignment\n";
    const std::vector<int> balanced = {PanCoarse, PanFine, Tilt8, Dimmer};
    const struct {
        Lamp lamp;
        std::string expected;
    } cases[] = {
        {rig::newLamp(), nothingAssigned + "Warning: Channel 1 has palette set to None\n"},
        {makeLamp({None, Zoom, None, None, Zoom}, 0), "1042 Error: Duplicate function on channels 2 and 5\n"},
        {makeLamp(balanced, Position, {{0, PanFine}}), ""},
        {makeLamp(balanced, Position), "1047 Error: Channel 2 has no wheel assignment\n"},
        {makeLamp({Pan8, PanFine}, Position), noDimmer + "1044 Error: Pan Coarse or Pan Fine used with Pan 8-bit\n"},
        // Slot 4 is the first slot of the second wheel page: beyond the lamp's four slots.
        {makeLamp({None, None, Gobo1, None}, Position, {{4, Gobo1}}),
         nothingAssigned + "1047 Error: Channel 3 has no wheel assignment\n"},
        {makeLamp(balanced, Position, {{0, PanFine}, {5, Zoom}, {9, Zoom}}), ""},
        {makeLamp(balanced, Position, {{1, Iris}, {3, Iris}}), "1042 Error: Duplicate function on wheels 2 and 4\n"},
        {makeLamp({PanCoarse, Dimmer}, Position), "1043 Error: Unbalanced Pan Coarse and Pan Fine assignments\n"},
        {makeLamp({Pan8, TiltFine, Dimmer}, Position, {{0, TiltFine}}),
         "1045 Error: Unbalanced Tilt Coarse and Tilt Fine assignments\n"},
        {makeLamp({Pan8, Tilt8, TiltCoarse, TiltFine}, Position, {{0, TiltFine}}),
         noDimmer + "1046 Error: Tilt Coarse or Tilt Fine used with Tilt 8-bit\n"},
        {makeLamp({Pan8, Tilt8, Dimmer}, 0), "Warning: Channel 1 has palette set to None\n"
                                             "Warning: Channel 2 has palette set to None\n"
                                             "Warning: Channel 3 has palette set to None\n"},
        {makeLamp({}, Position), nothingAssigned},
        {countBeyondTheArray(), "1047 Error: Channel 8 has no wheel assignment\n"},
    };
    int number = 0;
    for (const auto& c : cases)
        EXPECT_EQ(describe(rig::verifyLamp(c.lamp)), c.expected) << "case " << number++;
}

}  // namespace
