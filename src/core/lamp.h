#pragma once

#include "base/fixed_text.h"
#include "core/record_layout.h"

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

// The images: every field at its offset, integers low byte first, texts and reserved
// areas as their raw bytes.
template <>
struct layout::Layout<LampWheel> {
    static constexpr std::size_t size = 14;
    static constexpr auto fields = std::make_tuple(field("WheelName", &LampWheel::WheelName, 0),
                                                   field("Reserved1", &LampWheel::Reserved1, 12),
                                                   field("Reserved2", &LampWheel::Reserved2, 13));
};

template <>
struct layout::Layout<LampChannel> {
    static constexpr std::size_t size = 6;
    static constexpr auto fields = std::make_tuple(field("Palette", &LampChannel::Palette, 0),
                                                   field("Function", &LampChannel::Function, 2),
                                                   field("Reserved", &LampChannel::Reserved, 4),
                                                   field("Step", &LampChannel::Step, 5));
};

template <>
struct layout::Layout<Lamp> {
    static constexpr std::size_t size = lampImageSize;
    static constexpr auto fields = std::make_tuple(field("Icon", &Lamp::Icon, 0),
                                                   field("Reserved1", &Lamp::Reserved1, 1),
                                                   field("LampName", &Lamp::LampName, 2),
                                                   field("Reserved2", &Lamp::Reserved2, 18),
                                                   field("NumberChannel", &Lamp::NumberChannel, 19),
                                                   field("NumberChannelCopy", &Lamp::NumberChannelCopy, 20),
                                                   field("Reserved3", &Lamp::Reserved3, 21),
                                                   field("WheelFunction", &Lamp::WheelFunction, 22),
                                                   field("Wheel", &Lamp::Wheel, 118),
                                                   field("Channel", &Lamp::Channel, 790),
                                                   field("ReservedTable", &Lamp::ReservedTable, 1006),
                                                   field("ReservedArea1", &Lamp::ReservedArea1, 1366),
                                                   field("ReservedArea2", &Lamp::ReservedArea2, 1494));
};

static_assert(layout::tilesExactly<LampWheel>() && layout::tilesExactly<LampChannel>() && layout::tilesExactly<Lamp>());

// Image offsets that other formats and the import look at.
constexpr std::size_t lampIconOffset = layout::offsetOf(&Lamp::Icon);
constexpr std::size_t lampNameOffset = layout::offsetOf(&Lamp::LampName);
constexpr std::size_t lampWheelOffset = layout::offsetOf(&Lamp::Wheel);
constexpr std::size_t lampChannelOffset = layout::offsetOf(&Lamp::Channel);
constexpr std::size_t lampReservedTableOffset = layout::offsetOf(&Lamp::ReservedTable);

using LampImage = layout::Image<Lamp>;

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
