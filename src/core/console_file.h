#pragma once

#include "core/lamp.h"
#include "core/stage_patch.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rig {

constexpr std::size_t blockSize = 2048;
constexpr std::size_t blockHeaderSize = 20;
constexpr std::size_t blockDataSize = 2020;
constexpr std::uint16_t blockSignature = 16192;  // 0x3F40, bytes 40 3F
constexpr std::int16_t lampDataFileType = 3;
constexpr std::int16_t lampSectionCode = 1;
constexpr std::int16_t patchSectionCode = 0;
constexpr std::size_t lampPayloadSize = lampSlots * lampImageSize;  // 25952
constexpr std::size_t patchPayloadSize = 3000;
constexpr std::size_t lampBlocks = 13;
constexpr std::size_t patchBlocks = 2;
constexpr std::size_t lampDataFileSize = (lampBlocks + patchBlocks) * blockSize;  // 30720
// The largest file the reader accepts. The export writes 30720 bytes; anything far
// larger cannot be a lamp data file and is refused as corrupt rather than loaded.
constexpr std::size_t maxLampDataFileSize = 1024 * blockSize;  // 2 MiB

extern const char* const badSignatureMessage;  // error 1052
extern const char* const badFileTypeMessage;   // error 1053

// One 2048-byte block of the console lamp data file.
struct ConsoleBlock {
    std::uint16_t Signature = blockSignature;
    std::int16_t FileType = lampDataFileType;
    std::int16_t Reserved1 = 0;
    std::int16_t Section = 0;
    std::int16_t DataLength = 0;
    std::uint8_t BlockNumber = 0;
    std::uint8_t Reserved2 = 0;
    std::array<std::uint8_t, 8> Reserved3{};
    std::array<std::uint8_t, blockDataSize> BlockData{};
    std::array<std::uint8_t, 8> Reserved4{};
};

template <>
struct layout::Layout<ConsoleBlock> {
    static constexpr std::size_t size = blockSize;
    static constexpr auto fields = std::make_tuple(field("Signature", &ConsoleBlock::Signature, 0),
                                                   field("FileType", &ConsoleBlock::FileType, 2),
                                                   field("Reserved1", &ConsoleBlock::Reserved1, 4),
                                                   field("Section", &ConsoleBlock::Section, 6),
                                                   field("DataLength", &ConsoleBlock::DataLength, 8),
                                                   field("BlockNumber", &ConsoleBlock::BlockNumber, 10),
                                                   field("Reserved2", &ConsoleBlock::Reserved2, 11),
                                                   field("Reserved3", &ConsoleBlock::Reserved3, 12),
                                                   field("BlockData", &ConsoleBlock::BlockData, 20),
                                                   field("Reserved4", &ConsoleBlock::Reserved4, 2040));
};
static_assert(layout::tilesExactly<ConsoleBlock>());
static_assert(layout::offsetOf(&ConsoleBlock::BlockData) == blockHeaderSize);

[[nodiscard]] std::array<std::uint8_t, blockSize> encodeConsoleBlock(const ConsoleBlock& block);
// `data` must hold blockSize bytes.
[[nodiscard]] ConsoleBlock decodeConsoleBlock(const std::uint8_t* data);

struct LampDataPayloads {
    std::vector<std::uint8_t> lampPayload;
    std::vector<std::uint8_t> patchPayload;
};

// The 15 blocks of a lamp data file. Only the first lampPayloadSize bytes of the
// lamp payload are used (shorter is zero padded); likewise patchPayloadSize.
[[nodiscard]] std::vector<std::uint8_t> encodeLampDataFile(const std::vector<std::uint8_t>& lampPayload,
                                                           const std::vector<std::uint8_t>& patchPayload);
// Splits a file image into its two payloads, blocks taken in file order; a trailing
// partial block is ignored. Throws RigError 1052 or 1053; a block whose data length
// is negative or exceeds the data area counts as corrupt (1052).
[[nodiscard]] LampDataPayloads decodeLampDataFile(const std::uint8_t* data, std::size_t size);

// Replaces the file at `path` atomically. Throws RigError.
void writeLampDataFile(const std::string& path, const std::vector<std::uint8_t>& lampPayload,
                       const std::vector<std::uint8_t>& patchPayload);
// Throws RigError (file errors, 1052, 1053); a file over maxLampDataFileSize is 1052.
[[nodiscard]] LampDataPayloads readLampDataFile(const std::string& path);

}  // namespace rig
