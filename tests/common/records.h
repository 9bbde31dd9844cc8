#pragma once

// Lamps, stage patches and fixture channels built in memory, for tests of every folder.
// Standard C++ and the core only: the core tests include it. Byte images laid out by
// hand, independent of the encoders, are in console_bytes.h.

#include "core/fixture_description.h"
#include "core/fixture_mapping.h"
#include "core/lamp.h"
#include "core/stage_patch.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace rig::test {

// One channel as {palette, function, step}.
using ChannelFields = std::array<int, 3>;

// A lamp as a file holds it: icon 1, `name`, one channel per {palette, function, step},
// the channel count and its copy equal.
inline Lamp lampOf(const char* name, const std::vector<ChannelFields>& channels)
{
    Lamp lamp = newLamp();
    lamp.LampName.assign(name);
    lamp.NumberChannel = lamp.NumberChannelCopy = static_cast<std::uint8_t>(channels.size());
    std::size_t c = 0;
    for (const auto& [palette, function, step] : channels)
        lamp.Channel[c++] = {static_cast<std::int16_t>(palette), static_cast<std::int16_t>(function), 0,
                             static_cast<std::uint8_t>(step)};
    return lamp;
}

// "Spot" with one channel per function, all on `palette`, steps counting up from
// `firstStep`: for cases where only the functions matter.
inline Lamp lampWithFunctions(const std::vector<int>& functions, int palette = 1, int firstStep = 1)
{
    std::vector<ChannelFields> channels;
    for (const int function : functions)
        channels.push_back({palette, function, firstStep + static_cast<int>(channels.size())});
    return lampOf("Spot", channels);
}

// A new lamp renamed, with `channels` channels counted in use; their fields, and the
// count's copy, are as a new lamp leaves them.
inline Lamp namedLamp(const char* name, std::uint8_t channels = 1)
{
    Lamp lamp = newLamp();
    lamp.LampName.assign(name);
    lamp.NumberChannel = channels;
    return lamp;
}

// The function codes of the channels in use, in channel order.
inline std::vector<int> functionsOf(const Lamp& lamp)
{
    std::vector<int> codes;
    for (std::size_t c = 0; c < lamp.usedChannels(); ++c)
        codes.push_back(lamp.Channel[c].Function);
    return codes;
}

// The notes of a conversion, one "channel text" line each, as one list to compare.
inline std::vector<std::string> noteLines(const std::vector<FixtureNote>& notes)
{
    std::vector<std::string> lines;
    for (const FixtureNote& note : notes)
        lines.push_back(std::to_string(note.channel) + " " + note.text);
    return lines;
}

inline std::vector<std::uint8_t> imageOf(const Lamp& lamp)
{
    const LampImage image = encodeLamp(lamp);
    return {image.begin(), image.end()};
}

// Puts a lamp type into `slot` of the patch: one channel per {palette, function}, step 1.
inline void putLampType(StagePatch& patch, std::size_t slot, const char* name,
                        std::initializer_list<std::pair<int, int>> channels)
{
    std::vector<ChannelFields> fields;
    for (const auto& [palette, function] : channels)
        fields.push_back({palette, function, 1});
    patch.lmpLamps.at(slot) = lampOf(name, fields);
}

// A lamp of type `lampType` placed from `startChannel` at DMX `startDmx` in the stage cell (row, col).
inline PatchEntry placedLamp(int lampType, int startChannel, int startDmx, int row, int col)
{
    PatchEntry entry;
    entry.LampType = static_cast<std::int16_t>(lampType);
    entry.StartChannel = static_cast<std::int16_t>(startChannel);
    entry.StartDMX = static_cast<std::int16_t>(startDmx);
    entry.ScreenRow = static_cast<std::uint8_t>(row);
    entry.ScreenCol = static_cast<std::uint8_t>(col);
    return entry;
}

// A channel as a fixture reader gives it: coarse (or 8-bit) unless `fineByte` is 1 for
// the first fine byte, 2 for the next; a fine one names the index of its coarse channel
// in the mode, -1 for none.
inline FixtureChannel fixtureChannel(const std::string& name, ChannelKind kind, int fineByte = 0, int coarse = -1,
                                     const std::string& detail = {})
{
    FixtureChannel channel;
    channel.name = name;
    channel.kind = kind;
    channel.fineByte = fineByte;
    channel.coarse = coarse;
    channel.detail = detail;
    return channel;
}

}  // namespace rig::test
