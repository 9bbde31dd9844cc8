#pragma once

#include "base/fixed_text.h"
#include "core/lamp.h"
#include "core/stage_patch.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

// What Rigsmith puts on the clipboard as records of its own: channel rows of a lamp, and
// one placed lamp of the stage patch. Each record opens with a four-byte signature and a
// format version. The clipboard holds whatever any program put there, so reading checks
// the signature, the version, every count and the exact length before anything is used.
namespace rig {

// A record that cannot be read; what() is one line for the user.
class ClipboardRecordError final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

constexpr std::uint16_t clipboardRecordVersion = 1;

struct CopiedChannel {
    std::int16_t Function = 0;
    std::int16_t Palette = 0;
    std::uint8_t Step = 0;
};

struct CopiedWheel {
    std::int16_t Function = 0;
    FixedText<12> WheelName;
};

// Channel rows in the order copied, and one wheel slot for each function they use.
struct ChannelRows {
    std::vector<CopiedChannel> channels;
    std::vector<CopiedWheel> wheels;
};

// Channels `indexes` (0 to 35, in the order given; others are skipped) of `lamp`, with the
// first wheel slot that holds each of their functions other than None.
[[nodiscard]] ChannelRows copyChannelRows(const Lamp& lamp, const std::vector<std::size_t>& indexes);

[[nodiscard]] std::vector<std::uint8_t> encodeChannelRows(const ChannelRows& rows);
// Throws ClipboardRecordError. A record holds 1 to 36 rows and at most one wheel slot per
// row, each for a function one of its rows uses, and no function's slot twice.
[[nodiscard]] ChannelRows decodeChannelRows(const std::uint8_t* data, std::size_t size);

enum class PasteRefusal { None, PastLastChannel, DuplicateFunction, NoFreeWheelSlot };

// The outcome of laying rows over a lamp: the new lamp, or why it cannot be done.
struct RowsPaste {
    PasteRefusal refusal = PasteRefusal::None;
    Lamp lamp;
    // DuplicateFunction and NoFreeWheelSlot: the function concerned.
    int function = 0;
    // DuplicateFunction: the two channels (0-based, lower first) that would hold it.
    std::size_t channel = 0;
    std::size_t otherChannel = 0;
};

// Writes the rows into channels `first`, `first` + 1, ... of a copy of `lamp` (function,
// palette and step; the reserved byte stays), raising the channel count when they reach
// past it. Each copied wheel slot renames the slot that already holds its function, or
// takes the first free slot of the eight pages (function None, blank name). Refused when
// the rows would run past channel 36, when a pasted function would stand on a second
// channel in use, or when a wheel slot finds no room.
[[nodiscard]] RowsPaste pasteChannelRows(const Lamp& lamp, std::size_t first, const ChannelRows& rows);

// One placed lamp: its entry, and the name of its lamp type so that a paste can tell
// whether the slot still holds that type.
struct PlacedLampCopy {
    PatchEntry entry;
    FixedText<16> typeName;
};

[[nodiscard]] std::vector<std::uint8_t> encodePlacedLamp(const PlacedLampCopy& copy);
// Throws ClipboardRecordError; the lamp type must name a slot of the lamp table.
[[nodiscard]] PlacedLampCopy decodePlacedLamp(const std::uint8_t* data, std::size_t size);

}  // namespace rig
