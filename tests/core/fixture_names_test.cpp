#include "core/fixture_names.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

namespace {

using K = rig::ChannelKind;

TEST(ShortenName, DropsSpacesThenVowelsThenCutsKeepingTheLastNumber)
{
    struct Case {
        const char* name;
        const char* shortened;
    };
    const Case cases[] = {
        // As they are when they fit.
        {"Dimmer", "Dimmer"},
        {"Colour wheel", "Colour wheel"},
        // One space from the left is enough.
        {"Prism 1 Index", "Prism1 Index"},
        // No space: a vowel from inside each word, the longer word first.
        {"Shutter/Strobe", "Shuttr/Strob"},
        // All spaces go first; the small letter after one starts its word in capitals.
        {"Gobo rotation", "GoboRotation"},
        // The longest word gives a vowel each time, of equals the last; first letters stay.
        {"Gobo Wheel Rotation 2", "GoboWhlRttn2"},
        // Capitals are not vowels to drop; the cut keeps the number whole.
        {"RGBW LED PWM CH 12", "RGBWLEDPWM12"},
        // A number that the cut does not reach needs no help.
        {"X1 AAAAAAAAAAAAAAA", "X1AAAAAAAAAA"},
    };
    for (const Case& c : cases) {
        const std::string result = rig::shortenName(c.name, 12);
        EXPECT_EQ(result, c.shortened) << c.name;
        EXPECT_LE(result.size(), 12u) << c.name;
    }

    // A hostile definition's name of a megabyte of vowel-rich words is shortened at once,
    // not letter by letter over the whole of it.
    std::string huge;
    while (huge.size() < 1024 * 1024)
        huge += "Beautiful Queue ";
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(rig::shortenName(huge, 12).size(), 12u);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

TEST(ChannelKindFromName, NamesSayWhatTheChannelDoesInAnyGroup)
{
    struct Case {
        const char* name;
        std::optional<K> kind;
    };
    const Case cases[] = {
        {"Frost 1/2", K::Frost},
        {"Gobo 1 rotation", K::GoboRotation},
        {"Gobo indexing", K::GoboRotation},
        {"Prism Rot.", K::PrismRotation},
        {"Prism 2 Index", K::PrismRotation},
        {"Zoom", K::Zoom},
        {"Focus 16bit", K::Focus},
        {"Iris", K::Iris},
        {"Strobe", K::ShutterStrobe},
        {"SHUTTER", K::ShutterStrobe},
        {"Pan/Tilt speed", K::Speed},
        {"PTSpeed", K::Speed},
        {"Macro", K::Effect},
        {"Effect wheel", K::Effect},
        {"Reset", K::Control},
        {"Lamp control", K::Control},
        // Words inside other words do not count where they would mislead.
        {"Gobo control", K::Control},
        {"Colour preset", std::nullopt},
        {"Color macros", std::nullopt},
        {"Dimmer", std::nullopt},
        {"Prism", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rig::channelKindFromName(c.name), c.kind) << c.name;
}

}  // namespace
