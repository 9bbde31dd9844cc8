#pragma once

// Byte builders for test files laid out by hand, shared by the core, command-line and
// window tests: written field by field rather than by the program's encoders, so that
// a fault in an encoder cannot hide in its own test. Standard C++ only: the core tests
// include it.

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace testbytes {

using Bytes = std::vector<std::uint8_t>;

// Writes `values`, or the characters of `text`, into `bytes` from `offset` on.
inline void put(Bytes& bytes, std::size_t offset, std::initializer_list<int> values)
{
    for (const int value : values)
        bytes.at(offset++) = static_cast<std::uint8_t>(value);
}
inline void put(Bytes& bytes, std::size_t offset, const std::string& text)
{
    for (const char ch : text)
        bytes.at(offset++) = static_cast<std::uint8_t>(ch);
}

// A little-endian 16-bit field.
inline void put16(Bytes& bytes, std::size_t offset, int value)
{
    put(bytes, offset, {value & 0xFF, (value >> 8) & 0xFF});
}

inline Bytes join(const std::vector<Bytes>& parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A lamp file image: icon 1, the name padded with spaces to 16 bytes, the channel count
// and its copy, the wheel slots as {slot, function} and the channels as {palette,
// function, step}.
inline Bytes lampImage(const std::string& name, std::initializer_list<std::array<int, 3>> channels,
                       std::initializer_list<std::pair<int, int>> wheelFunctions = {})
{
    Bytes bytes(1622, 0);
    const int count = static_cast<int>(channels.size());
    put(bytes, 0, {1});  // Icon
    put(bytes, 2, (name + std::string(16, ' ')).substr(0, 16));
    put(bytes, 19, {count, count});
    for (const auto& [slot, function] : wheelFunctions)
        put16(bytes, 22 + 2 * static_cast<std::size_t>(slot), function);
    std::size_t at = 790;
    for (const auto& [palette, function, step] : channels) {
        put16(bytes, at, palette);
        put16(bytes, at + 2, function);
        put(bytes, at + 4, {0, step});
        at += 6;
    }
    return bytes;
}

// One 2048-byte console block, its 20-byte header written field by field. The data area
// holds `data`, zeros up to `length`, then `reserved`, which also fills the header's
// reserved bytes and the block's tail.
inline Bytes consoleBlock(int section, int number, int length, const Bytes& data = {}, std::uint8_t reserved = 0,
                          int signature = 0x3F40, int fileType = 3)
{
    Bytes block(2048, reserved);
    put16(block, 0, signature);
    put16(block, 2, fileType);
    put16(block, 6, section);
    put16(block, 8, length);
    block[10] = static_cast<std::uint8_t>(number);
    const auto inUse = static_cast<std::size_t>(std::clamp(length, 0, 2020));
    for (std::size_t i = 0; i < 2020; ++i)
        block[20 + i] = i < data.size() ? data[i] : i < inUse ? 0 : reserved;
    return block;
}

// A console lamp data file: the 16 lamp slots (`slots` as {slot, image}) in 13 blocks,
// then, with `patchBlocks`, the two blocks of an empty patch, as an export writes them.
inline Bytes consoleFile(const std::vector<std::pair<int, Bytes>>& slots, bool patchBlocks = false,
                         std::uint8_t reserved = 0)
{
    Bytes lamps(25952, 0);
    for (const auto& [slot, image] : slots)
        std::copy_n(image.begin(), std::min<std::size_t>(image.size(), 1622), lamps.begin() + 1622 * slot);
    std::vector<Bytes> blocks;
    for (int n = 0; n < 13; ++n) {
        const int length = n < 12 ? 2020 : 1712;
        const auto from = lamps.begin() + 2020 * n;
        blocks.push_back(consoleBlock(1, n, length, Bytes(from, from + length), reserved));
    }
    if (patchBlocks) {
        blocks.push_back(consoleBlock(0, 0, 2020, {}, reserved));
        blocks.push_back(consoleBlock(0, 1, 980, {}, reserved));
    }
    return join(blocks);
}

}  // namespace testbytes
