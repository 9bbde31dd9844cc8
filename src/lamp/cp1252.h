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

}  // namespace rig
