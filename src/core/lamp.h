#pragma once

#include "base/fixed_text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace rig {

constexpr std::size_t lampImageSize = 1622;
constexpr std::size_t maxChannels = 36;
constexpr std::size_t wheelSlots = 48;
constexpr std::size_t reservedTables = 10;
constexpr std::size_t reservedTableSize = 36;
constexpr std::size_t reservedAreaSize = 128;

// Image offsets that other formats and the import look at.
constexpr std::size_t lampIconOffset = 0;
constexpr std::size_t lampNameOffset = 2;
constexpr std::size_t lampWheelOffset = 118;
constexpr std::size_t lampChannelOffset = 790;
constexpr std::size_t lampReservedTableOffset = 1006;

using LampImage = std::array<std::uint8_t, lampImageSize>;

// One wheel slot's name; 14 bytes in the image.
struct LampWheel {
    FixedText<12> WheelName;
    std::uint8_t Reserved1 = 0;
    std::uint8_t Reserved2 = 0;
};

// One DMX channel; 6 bytes in the image.
struct LampChannel {
    std::int16_t Palette = 0;
    std::int16_t Function = 0;
    std::uint8_t Reserved = 0;
    std::uint8_t Step = 0;
};

// A lamp type. Fields are in image order; reserved areas are carried unchanged.
// Loaded values are never range-checked here: users of a field that indexes a
// table or the channel array must check the range themselves.
struct Lamp {
    std::uint8_t Icon = 0;
    std::uint8_t Reserved1 = 0;
    FixedText<16> LampName;
    std::uint8_t Reserved2 = 0;
    std::uint8_t NumberChannel = 0;
    std::uint8_t NumberChannelCopy = 0;
    std::uint8_t Reserved3 = 0;
    std::array<std::int16_t, wheelSlots> WheelFunction{};
    std::array<LampWheel, wheelSlots> Wheel{};
    std::array<LampChannel, maxChannels> Channel{};
    std::array<std::array<std::uint8_t, reservedTableSize>, reservedTables> ReservedTable{};
    std::array<std::uint8_t, reservedAreaSize> ReservedArea1{};
    std::array<std::uint8_t, reservedAreaSize> ReservedArea2{};

    // Channels the lamp uses, clamped to the array: safe as a loop bound.
    [[nodiscard]] std::size_t usedChannels() const noexcept
    {
        return NumberChannel > maxChannels ? maxChannels : NumberChannel;
    }
};

// Two lamps are equal when their file images are equal.
[[nodiscard]] bool operator==(const Lamp& a, const Lamp& b);
[[nodiscard]] inline bool operator!=(const Lamp& a, const Lamp& b) { return !(a == b); }

// Every byte zero except Icon 1, LampName "New Lamp" and NumberChannel 1.
[[nodiscard]] Lamp newLamp();

[[nodiscard]] LampImage encodeLamp(const Lamp& lamp);
// Decodes the first lampImageSize bytes; bytes beyond `size` read as zero.
[[nodiscard]] Lamp decodeLamp(const std::uint8_t* data, std::size_t size);

// Reads the first image of an existing lamp file (a short file reads with the
// missing bytes as zero). Throws RigError; never creates the file.
[[nodiscard]] Lamp readLampFile(const std::string& path);
// Replaces the file with exactly one image, atomically. Throws RigError.
void writeLampFile(const std::string& path, const Lamp& lamp);

}  // namespace rig
