#include "base/cp1252.h"

#include <array>
#include <cstdint>

namespace rig {

namespace {

// Characters of bytes 0x80 to 0x9F. The five bytes Windows-1252 leaves undefined
// keep their own value (a C1 control) so that they survive a round trip.
constexpr std::array<char32_t, 32> highTable = {{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
}};

char32_t toCodePoint(std::uint8_t byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return highTable[static_cast<std::size_t>(byte - 0x80)];
    return byte;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        // Every character of the table lies below U+10000.
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char fromCodePoint(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(static_cast<std::uint8_t>(cp));
    for (std::size_t i = 0; i < highTable.size(); ++i)
        if (highTable[i] == cp)
            return static_cast<char>(static_cast<std::uint8_t>(0x80 + i));
    return '?';
}

bool isContinuation(std::uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

}  // namespace

std::string cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes)
        appendUtf8(out, toCodePoint(static_cast<std::uint8_t>(c)));
    return out;
}

std::string utf8ToCp1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<std::uint8_t>(utf8[i]);
        std::size_t length = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            length = 1;
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            cp = lead & 0x1Fu;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            cp = lead & 0x0Fu;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            cp = lead & 0x07u;
            minimum = 0x10000;
        } else {
            // A stray continuation byte or an impossible lead byte.
            out += '?';
            ++i;
            continue;
        }

        std::size_t taken = 1;
        while (taken < length && i + taken < utf8.size() && isContinuation(static_cast<std::uint8_t>(utf8[i + taken]))) {
            cp = (cp << 6) | (static_cast<std::uint8_t>(utf8[i + taken]) & 0x3Fu);
            ++taken;
        }
        i += taken;
        if (taken < length || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += '?';
            continue;
        }
        out += fromCodePoint(cp);
    }
    return out;
}

}  // namespace rig
