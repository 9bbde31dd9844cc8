#pragma once

#include <string>
#include <string_view>

namespace rig {

// Text in every file is one byte per character in Windows-1252. These convert
// between those bytes and UTF-8 for the window edge and the command line.

// Each byte becomes its Windows-1252 character; the five undefined bytes map to
// the C1 control of the same value, so every byte survives a round trip.
[[nodiscard]] std::string cp1252ToUtf8(std::string_view bytes);

// Characters Windows-1252 cannot hold become '?'. Invalid UTF-8 becomes '?'.
[[nodiscard]] std::string utf8ToCp1252(std::string_view utf8);

// A C0 or C1 control character, or DEL: what must not reach a line of text or a file
// name as it stands.
[[nodiscard]] constexpr bool isControlCharacter(char32_t code) noexcept
{
    return code < 0x20 || code == 0x7F || (code >= 0x80 && code <= 0x9F);
}

}  // namespace rig
