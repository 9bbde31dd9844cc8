#include "base/cp1252.h"

#include <gtest/gtest.h>

namespace rig {
namespace {

TEST(Cp1252, EveryByteSurvivesARoundTripAndMapsToItsCharacter)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);

    // 0x80 is the euro sign; 0x81 and 0x9D, undefined in the code page, stay as their C1 controls.
    const struct {
        std::string byte;
        std::string utf8;
    } cases[] = {{"A", "A"},           {"\x80", "\xE2\x82\xAC"}, {"\x81", "\xC2\x81"}, {"\x8A", "\xC5\xA0"},
                 {"\x9D", "\xC2\x9D"}, {"\x9F", "\xC5\xB8"},     {"\xA0", "\xC2\xA0"}, {"\xE9", "\xC3\xA9"},
                 {"\xFF", "\xC3\xBF"}};
    for (const auto& c : cases) {
        EXPECT_EQ(cp1252ToUtf8(c.byte), c.utf8);
        EXPECT_EQ(utf8ToCp1252(c.utf8), c.byte);
    }
}

TEST(Cp1252, WhatCannotBeHeldBecomesAQuestionMark)
{
    const struct {
        const char* what;
        std::string utf8;
        std::string expected;
    } cases[] = {
        {"outside the code page", "a\xE6\xBC\xA2" "b", "a?b"},
        {"four-byte character", "\xF0\x9F\x92\xA1", "?"},
        {"C1 control Windows-1252 uses otherwise", "\xC2\x80", "?"},
        {"stray continuation", "\x80x", "?x"},
        {"overlong encoding", "\xC0\x80", "?"},
        {"cut-off sequence", "x\xE2\x82", "x?"},
        {"interrupted sequence", "\xE2" "A", "?A"},
        {"surrogate", "\xED\xA0\x80", "?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8ToCp1252(c.utf8), c.expected) << c.what;
}

}  // namespace
}  // namespace rig
