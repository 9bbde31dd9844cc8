#include "core/fixture_mapping.h"
#include "base/rig_error.h"
#include "core/verify.h"
#include "../common/files.h"
#include "../common/records.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using rig::ChannelKind;
using rig::FixtureChannel;
using K = ChannelKind;
using rig::test::functionsOf;

FixtureChannel ch(const std::string& name, ChannelKind kind) { return rig::test::fixtureChannel(name, kind); }

// A fine channel; `coarse` is the 0-based index of its coarse channel in the mode, -1 when absent.
FixtureChannel fine(const std::string& name, ChannelKind kind, int coarse, int byte = 1)
{
    return rig::test::fixtureChannel(name, kind, byte, coarse);
}

rig::FixtureDescription fixtureOf(std::vector<FixtureChannel> channels, rig::FixtureBody body = rig::FixtureBody::MovingHead)
{
    rig::FixtureDescription fixture;
    fixture.name = "Test Spot 575 Deluxe Edition";
    fixture.shortName = "Spot575";
    fixture.body = body;
    fixture.modes.push_back({"Standard", std::move(channels), {}});
    return fixture;
}

std::vector<int> notedChannels(const std::vector<rig::FixtureNote>& notes)
{
    std::vector<int> channels;
    for (const auto& note : notes)
        channels.push_back(note.channel);
    return channels;
}

struct MappingCase {
    const char* what;
    std::vector<FixtureChannel> channels;
    std::vector<int> functions;
    std::vector<int> noted;  // 1-based channels that did not get their natural function
};

// Test names and failures show what a case is about, not its bytes.
void PrintTo(const MappingCase& c, std::ostream* os)
{
    *os << c.what;
}

class FixtureMappingTable : public ::testing::TestWithParam<MappingCase> {};

// Every converted lamp must also pass the lamp check and keep the mode's layout.
TEST_P(FixtureMappingTable, FunctionsNotesAndACleanCheck)
{
    const MappingCase& c = GetParam();
    const rig::FixtureLamp result = rig::fixtureToLamp(fixtureOf(c.channels), 0);
    EXPECT_EQ(functionsOf(result.lamp), c.functions);
    EXPECT_EQ(notedChannels(result.notes), c.noted);
    EXPECT_EQ(result.lamp.NumberChannel, c.channels.size());
    EXPECT_EQ(result.lamp.NumberChannelCopy, c.channels.size());
    const auto findings = rig::verifyLamp(result.lamp);
    EXPECT_FALSE(rig::hasError(findings)) << findings.back().text;
    for (std::size_t i = 0; i < c.channels.size(); ++i)
        EXPECT_EQ(result.lamp.Channel[i].Step, 1) << "channel " << i + 1;
}

const MappingCase mappingCases[] = {
    {"16-bit pan and tilt with a dimmer",
     {ch("Pan", K::Pan), fine("Pan fine", K::Pan, 0), ch("Tilt", K::Tilt), fine("Tilt fine", K::Tilt, 2), ch("Dimmer", K::Intensity)},
     {1, 2, 4, 5, 21},
     {}},
    {"fine before coarse, tilt 8-bit",
     {fine("Pan fine", K::Pan, 1), ch("Pan", K::Pan), ch("Tilt", K::Tilt)},
     {2, 1, 6},
     {}},
    {"every family once",
     {ch("Shutter", K::ShutterStrobe), ch("Colour", K::ColourWheel), ch("R", K::Red), ch("G", K::Green), ch("B", K::Blue),
      ch("CTC", K::ColourTemperature), ch("Gobo", K::GoboWheel), ch("Gobo rot", K::GoboRotation), ch("Focus", K::Focus),
      ch("Zoom", K::Zoom), ch("Iris", K::Iris), ch("Prism", K::Prism), ch("Blade", K::BladeInsertion),
      ch("Blade rot", K::BladeRotation), ch("Speed", K::Speed), ch("C", K::Cyan), ch("M", K::Magenta), ch("Y", K::Yellow),
      ch("Macro", K::Effect), ch("Amber", K::Amber), ch("Frost", K::Frost), ch("Reset", K::Control), ch("-", K::NoFunction)},
     {22, 7, 9, 10, 11, 12, 13, 15, 17, 18, 19, 20, 24, 23, 28, 32, 33, 34, 35, 36, 37, 38, 0},
     {}},
    {"repeated families take the next code, then Aux",
     {ch("Col 1", K::ColourWheel), ch("Col 2", K::ColourWheel), ch("Col 3", K::ColourWheel), ch("Gobo 1", K::GoboWheel),
      ch("Gobo 2", K::GoboWheel), ch("Rot 1", K::GoboRotation), ch("Rot 2", K::GoboRotation), ch("Dim", K::Intensity),
      ch("Dim 2", K::Intensity)},
     {7, 8, 29, 13, 14, 15, 16, 21, 30},
     {3, 9}},
    {"effects and prism rotation share one code",
     {ch("Prism rot", K::PrismRotation), ch("Macro", K::Effect)},
     {35, 29},
     {2}},
    {"nine blades",
     {ch("B1", K::BladeInsertion), ch("B2", K::BladeInsertion), ch("B3", K::BladeInsertion), ch("B4", K::BladeInsertion),
      ch("B5", K::BladeInsertion), ch("B6", K::BladeInsertion), ch("B7", K::BladeInsertion), ch("B8", K::BladeInsertion),
      ch("B9", K::BladeInsertion)},
     {24, 25, 26, 27, 39, 40, 41, 42, 29},
     {9}},
    {"unknown and uncoded colours take Aux1 to Aux3, then None",
     {ch("?1", K::Unknown), ch("White", K::OtherColour), ch("?3", K::Unknown), ch("UV", K::OtherColour), ch("?5", K::Unknown)},
     {29, 30, 31, 0, 0},
     {1, 2, 3, 4, 5}},
    {"fine channels other than pan and tilt fine",
     {ch("Dimmer", K::Intensity), fine("Dimmer fine", K::Intensity, 0), ch("Pan", K::Pan), fine("Pan fine", K::Pan, 2),
      fine("Pan 24-bit", K::Pan, 2, 2), fine("Tilt fine", K::Tilt, -1)},
     {21, 29, 1, 2, 30, 31},
     {2, 5, 6}},
    {"a second pan channel never gets a pan code",
     {ch("Pan", K::Pan), ch("Pan 2", K::Pan), fine("Pan 2 fine", K::Pan, 1), ch("Tilt", K::Tilt), ch("Tilt 2", K::Tilt)},
     {3, 29, 31, 6, 30},
     {2, 3, 5}},
    {"channels that do something take Aux before fine bytes",
     {ch("Red", K::Red), fine("Red fine", K::Red, 0), ch("Green", K::Green), fine("Green fine", K::Green, 2), ch("Blue", K::Blue),
      fine("Blue fine", K::Blue, 4), ch("White", K::OtherColour), ch("UV", K::OtherColour)},
     {9, 31, 10, 0, 11, 0, 29, 30},
     {2, 4, 6, 7, 8}},
    {"unused channels keep their place",
     {ch("Dimmer", K::Intensity), ch("", K::NoFunction), ch("", K::NoFunction), ch("Zoom", K::Zoom)},
     {21, 0, 0, 18},
     {}},
    {"an expanded pixel bar",
     {ch("Master", K::Intensity), ch("Red 1", K::Red), ch("Green 1", K::Green), ch("Blue 1", K::Blue), ch("Red 2", K::Red),
      ch("Green 2", K::Green), ch("Blue 2", K::Blue), ch("Red 3", K::Red)},
     {21, 9, 10, 11, 29, 30, 31, 0},
     {5, 6, 7, 8}},
};

INSTANTIATE_TEST_SUITE_P(Modes, FixtureMappingTable, ::testing::ValuesIn(mappingCases),
                         [](const ::testing::TestParamInfo<MappingCase>& param) { return "case" + std::to_string(param.index); });

TEST(FixtureMapping, PaletteTypesFollowTheFunction)
{
    // Position, Intensity, Colour, Beam and Control, and None for an unused channel.
    const auto result = rig::fixtureToLamp(
        fixtureOf({ch("Pan", K::Pan), ch("Dim", K::Intensity), ch("Col", K::ColourWheel), ch("Amber", K::Amber),
                   ch("Gobo", K::GoboWheel), ch("Frost", K::Frost), ch("B5", K::BladeInsertion), ch("Speed", K::Speed),
                   ch("Fx", K::Effect), ch("Lamp", K::Control), ch("?", K::Unknown), ch("", K::NoFunction)}),
        0);
    std::vector<int> palettes;
    for (std::size_t c = 0; c < result.lamp.usedChannels(); ++c)
        palettes.push_back(result.lamp.Channel[c].Palette);
    EXPECT_EQ(palettes, (std::vector<int>{1, 4, 3, 3, 2, 2, 2, 5, 5, 5, 5, 0}));
}

TEST(FixtureMapping, WheelSlotsFollowTheChannelsThatNeedThem)
{
    const auto result = rig::fixtureToLamp(
        fixtureOf({ch("Pan", K::Pan), fine("Pan fine", K::Pan, 0), ch("Dimmer", K::Intensity), ch("", K::NoFunction),
                   ch("Colour wheel", K::ColourWheel), ch("Gob\xC3\xB6 \xE2\x82\xAC \xE2\x98\x85", K::GoboWheel)}),
        0);
    const rig::Lamp& lamp = result.lamp;
    EXPECT_EQ(lamp.WheelFunction[0], 2);
    EXPECT_EQ(lamp.Wheel[0].WheelName.str(), "Pan fine    ");
    EXPECT_EQ(lamp.WheelFunction[1], 7);
    EXPECT_EQ(lamp.Wheel[1].WheelName.str(), "Colour wheel");
    // Windows-1252 holds o-umlaut and the euro sign, not the star.
    EXPECT_EQ(lamp.WheelFunction[2], 13);
    EXPECT_EQ(lamp.Wheel[2].WheelName.str(), "Gob\xF6 \x80 ?    ");
    EXPECT_EQ(lamp.WheelFunction[3], 0);
    EXPECT_TRUE(lamp.Wheel[3].WheelName.isAllZero());
}

TEST(FixtureMapping, IconAndName)
{
    auto fixture = fixtureOf({ch("Dim", K::Intensity)});
    EXPECT_EQ(rig::fixtureToLamp(fixture, 0).lamp.Icon, 4);
    // The short name wins, stored as a 16-character field; without one the name is cut,
    // and the notes say so.
    EXPECT_EQ(rig::fixtureToLamp(fixture, 0).lamp.LampName.str(), "Spot575         ");
    EXPECT_TRUE(rig::fixtureToLamp(fixture, 0).notes.empty());
    fixture.shortName.clear();
    const rig::FixtureLamp cut = rig::fixtureToLamp(fixture, 0);
    EXPECT_EQ(cut.lamp.LampName.str(), "Test Spot 575 De");
    ASSERT_EQ(cut.notes.size(), 1u);
    EXPECT_EQ(cut.notes[0].channel, 0);
    EXPECT_EQ(cut.notes[0].text, "lamp name cut to \"Test Spot 575 De\"");
    EXPECT_EQ(cut.notes[0].about, rig::FixtureNote::About::Name);
    // Spaces past the field are no loss.
    fixture.name = "Spot575            ";
    EXPECT_TRUE(rig::fixtureToLamp(fixture, 0).notes.empty());
    fixture.body = rig::FixtureBody::Scanner;
    EXPECT_EQ(rig::fixtureToLamp(fixture, 0).lamp.Icon, 2);
    fixture.body = rig::FixtureBody::Other;
    EXPECT_EQ(rig::fixtureToLamp(fixture, 0).lamp.Icon, 1);
    // Where the format does not tell, a mode with pan and tilt is a moving head.
    fixture.body = rig::FixtureBody::ByMode;
    EXPECT_EQ(rig::fixtureToLamp(fixture, 0).lamp.Icon, 1);
    fixture.modes[0].channels = {ch("Pan", K::Pan), ch("Dim", K::Intensity), ch("Tilt", K::Tilt)};
    EXPECT_EQ(rig::fixtureToLamp(fixture, 0).lamp.Icon, 4);
    fixture.modes[0].channels[2] = fine("Pan fine", K::Pan, 0);
    EXPECT_EQ(rig::fixtureToLamp(fixture, 0).lamp.Icon, 1);
}

TEST(FixtureMapping, NotesSayWhatTheChannelBecame)
{
    const auto result = rig::fixtureToLamp(
        fixtureOf({ch("Dimmer", K::Intensity), fine("Dimmer fine", K::Intensity, 0), ch("Dimmer 2", K::Intensity)}), 0);
    ASSERT_EQ(result.notes.size(), 2u);
    EXPECT_EQ(result.notes[0].name, "Dimmer fine");
    EXPECT_EQ(result.notes[0].text, "fine channel of channel 1 \"Dimmer\", no console function, became Aux2");
    EXPECT_EQ(result.notes[1].text, "no free console function for another dimmer, became Aux1");
    EXPECT_EQ(rig::channelsWithoutFunction(result.notes), 2u);
}

// Wheel names over 12 characters are shortened, names that come out alike get a number,
// and each is noted; the reader's notes on the mode come first.
TEST(FixtureMapping, WheelNamesFitAreDistinctAndNoted)
{
    auto fixture = fixtureOf({ch("Shutter/Strobe", K::ShutterStrobe), ch("Gobo", K::GoboWheel), ch("Gobo", K::GoboWheel),
                              ch("Show mode speed / Sound sensitivity A", K::Effect),
                              ch("Show mode speed / Sound sensitivity B", K::Speed), ch("Gobo 2", K::ColourWheel),
                              ch("Prism 1 Index", K::Prism)});
    fixture.modes[0].notes = {"pixel \"A\" is named twice in the matrix; its first place is used"};
    const rig::FixtureLamp result = rig::fixtureToLamp(fixture, 0);
    std::vector<std::string> names;
    for (std::size_t w = 0; w < 7; ++w)
        names.push_back(result.lamp.Wheel[w].WheelName.trimmed());
    EXPECT_EQ(names[0], "Shuttr/Strob");
    EXPECT_EQ(names[1], "Gobo");
    EXPECT_EQ(names[2], "Gobo 2");
    // Cut to the same text, they are told apart by a number.
    EXPECT_EQ(names[3], "ShwMdSpd/Snd");
    EXPECT_EQ(names[4], "ShwMdSpd/Sn2");
    // A channel's own name that an earlier one was given as a number is taken too.
    EXPECT_EQ(names[5], "Gobo 2 2");
    EXPECT_EQ(names[6], "Prism1 Index");
    for (const std::string& name : names)
        EXPECT_LE(name.size(), 12u) << name;

    EXPECT_EQ(rig::test::noteLines(result.notes), (std::vector<std::string>{
        "0 pixel \"A\" is named twice in the matrix; its first place is used",
        "1 wheel name shortened to \"Shuttr/Strob\"",
        "3 wheel name \"Gobo 2\", as channel 2 is \"Gobo\"",
        "4 wheel name shortened to \"ShwMdSpd/Snd\"",
        "5 wheel name \"ShwMdSpd/Sn2\", as channel 4 is \"ShwMdSpd/Snd\"",
        "6 wheel name \"Gobo 2 2\", as channel 3 is \"Gobo 2\"",
        "7 wheel name shortened to \"Prism1 Index\"",
    }));
    EXPECT_EQ(result.notes.front().about, rig::FixtureNote::About::Reading);
    EXPECT_EQ(rig::channelsWithoutFunction(result.notes), 0u);
}

// Names a hostile definition makes alike however they are cut, through a number too long
// to keep or a length past anything real, still come out distinct, and at once.
TEST(FixtureMapping, WheelNamesOfHostileDefinitionsAreStillDistinct)
{
    const std::string longNumber = "W 1" + std::string(97, '0') + "14347467612885206813";
    const std::string longName = std::string(300, 'a') + " Gobo";
    auto fixture = fixtureOf({ch(longNumber, K::GoboWheel), ch(longNumber, K::GoboWheel), ch(longNumber, K::ColourWheel),
                              ch(longName, K::Prism), ch(longName, K::Zoom), ch(longName, K::Focus)});
    const rig::FixtureLamp result = rig::fixtureToLamp(fixture, 0);
    std::vector<std::string> names;
    for (std::size_t w = 0; w < 6; ++w)
        names.push_back(result.lamp.Wheel[w].WheelName.str());
    for (std::size_t a = 0; a < names.size(); ++a)
        for (std::size_t b = a + 1; b < names.size(); ++b)
            EXPECT_NE(names[a], names[b]) << a << " and " << b;
}

// A channel the reader could not classify gets the function its name says; one mapping
// per sort of name.
TEST(FixtureMapping, UnknownChannelsAreClassifiedByTheirName)
{
    struct Case {
        const char* name;
        int function;
    };
    const Case cases[] = {
        {"Frost 1/2", 37},   {"Gobo 1 rotation", 15}, {"Gobo indexing", 15}, {"Prism rotation", 35}, {"Zoom", 18},
        {"Focus", 17},       {"Iris", 19},            {"Strobe", 22},        {"Shutter", 22},        {"Speed", 28},
        {"Macro", 35},       {"Effect", 35},          {"Reset", 38},         {"Control", 38},        {"Preset", 29},
    };
    for (const Case& c : cases) {
        const rig::FixtureLamp result = rig::fixtureToLamp(fixtureOf({ch(c.name, K::Unknown)}), 0);
        EXPECT_EQ(result.lamp.Channel[0].Function, c.function) << c.name;
    }
    // A reader's own kind is kept: an effect named like a speed stays an effect.
    EXPECT_EQ(rig::fixtureToLamp(fixtureOf({ch("Speed", K::Effect)}), 0).lamp.Channel[0].Function, 35);
}

TEST(FixtureMapping, RefusedModes)
{
    std::vector<FixtureChannel> channels(36, ch("Fx", K::Effect));
    auto fixture = fixtureOf(channels);
    EXPECT_EQ(rig::fixtureToLamp(fixture, 0).lamp.NumberChannel, 36);

    fixture.modes[0].channels.push_back(ch("Fx", K::Effect));
    EXPECT_EQ(rig::fixtureModeRefusal(fixture.modes[0]), "37 channels, more than 36");
    EXPECT_EQ(rig::test::errorNumber([&] { (void)rig::fixtureToLamp(fixture, 0); }), rig::errc::fixtureMode);
    EXPECT_NE(rig::test::errorText([&] { (void)rig::fixtureToLamp(fixture, 0); }).find("37 channels"), std::string::npos);

    fixture.modes[0].channels.clear();
    EXPECT_EQ(rig::fixtureModeRefusal(fixture.modes[0]), "no channels");
    EXPECT_THROW((void)rig::fixtureToLamp(fixture, 0), rig::RigError);
    fixture.modes[0].channels.push_back(ch("Fx", K::Effect));
    fixture.modes[0].refusal = "matrix pixels chosen by position are not supported";
    EXPECT_THROW((void)rig::fixtureToLamp(fixture, 0), rig::RigError);
    EXPECT_THROW((void)rig::fixtureToLamp(fixture, 1), rig::RigError);
}

}  // namespace
