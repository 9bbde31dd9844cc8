#pragma once

// What a fixture channel's name says it does, and how a name too long for the console
// is made to fit while staying readable.
#include "core/fixture_description.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace rig {

// The kind a channel's name names, whatever group or capability it came with: frost,
// gobo rotation or indexing, prism rotation or indexing, zoom, focus, iris,
// strobe/shutter, speed, macro/effect, reset/control. Nothing for any other name.
[[nodiscard]] std::optional<ChannelKind> channelKindFromName(std::string_view name);

// A single-byte name fitted into `width` bytes, unchanged when it fits. Spaces go first
// (from the left, a small letter after one capitalised), then vowels inside words (the longest
// word first, each word keeping its first letter); what is still too long is cut, but
// never through its last number: "Prism 1 Index" -> "Prism1 Index",
// "Shutter/Strobe" -> "Shuttr/Strob".
[[nodiscard]] std::string shortenName(std::string name, std::size_t width);

}  // namespace rig
