#include "core/console_file.h"

#include "base/file_io.h"
#include "base/rig_error.h"

#include <algorithm>

namespace rig {

const char* const badSignatureMessage = "This is not a valid Dornick Data File or the data file is corrupt";
const char* const badFileTypeMessage = "Sorry this version of Tarsen Rigsmith only supports lamp files";

std::array<std::uint8_t, blockSize> encodeConsoleBlock(const ConsoleBlock& block)
{
    return layout::encode(block);
}

ConsoleBlock decodeConsoleBlock(const std::uint8_t* data)
{
    return layout::decode<ConsoleBlock>(data, blockSize);
}

namespace {

// Appends one section's blocks: `count` blocks, each carrying the next data area's
// worth of `payload` (zero beyond its end, nothing beyond `payloadSize`).
void appendSection(std::vector<std::uint8_t>& file, std::int16_t section, std::size_t count,
                   const std::vector<std::uint8_t>& payload, std::size_t payloadSize)
{
    for (std::size_t n = 0; n < count; ++n) {
        const std::size_t start = n * blockDataSize;
        const std::size_t end = start + blockDataSize < payloadSize ? start + blockDataSize : payloadSize;

        ConsoleBlock block;
        block.Section = section;
        block.DataLength = static_cast<std::int16_t>(end - start);
        block.BlockNumber = static_cast<std::uint8_t>(n);
        const std::size_t available = std::min(end, payload.size());
        if (start < available)
            std::copy(payload.begin() + static_cast<std::ptrdiff_t>(start),
                      payload.begin() + static_cast<std::ptrdiff_t>(available), block.BlockData.begin());

        // Encoded in place: every byte of the block is written.
        file.resize(file.size() + blockSize);
        layout::put(file.data() + file.size() - blockSize, block);
    }
}

}  // namespace

std::vector<std::uint8_t> encodeLampDataFile(const std::vector<std::uint8_t>& lampPayload,
                                             const std::vector<std::uint8_t>& patchPayload)
{
    std::vector<std::uint8_t> file;
    file.reserve(lampDataFileSize);
    appendSection(file, lampSectionCode, lampBlocks, lampPayload, lampPayloadSize);
    appendSection(file, patchSectionCode, patchBlocks, patchPayload, patchPayloadSize);
    return file;
}

LampDataPayloads decodeLampDataFile(const std::uint8_t* data, std::size_t size)
{
    LampDataPayloads payloads;
    for (std::size_t offset = 0; offset + blockSize <= size; offset += blockSize) {
        const std::uint8_t* block = data + offset;
        // Only the header words decide; the data area is copied straight from the input.
        if (layout::getField<&ConsoleBlock::Signature>(block) != blockSignature)
            throw RigError(errc::badSignature, badSignatureMessage);
        if (layout::getField<&ConsoleBlock::FileType>(block) != lampDataFileType)
            throw RigError(errc::badFileType, badFileTypeMessage);
        const std::int16_t length = layout::getField<&ConsoleBlock::DataLength>(block);
        if (length < 0 || static_cast<std::size_t>(length) > blockDataSize)
            throw RigError(errc::badSignature, badSignatureMessage);

        const bool lamps = layout::getField<&ConsoleBlock::Section>(block) == lampSectionCode;
        auto& payload = lamps ? payloads.lampPayload : payloads.patchPayload;
        const std::uint8_t* area = block + blockHeaderSize;
        payload.insert(payload.end(), area, area + length);
    }
    return payloads;
}

void writeLampDataFile(const std::string& path, const std::vector<std::uint8_t>& lampPayload,
                       const std::vector<std::uint8_t>& patchPayload)
{
    writeFileAtomically(path, encodeLampDataFile(lampPayload, patchPayload));
}

LampDataPayloads readLampDataFile(const std::string& path)
{
    // One byte more than the limit tells a file that is too large from one that fits.
    const std::vector<std::uint8_t> bytes = readFileBytes(path, maxLampDataFileSize + 1);
    if (bytes.size() > maxLampDataFileSize)
        throw RigError(errc::badSignature, badSignatureMessage);
    return decodeLampDataFile(bytes.data(), bytes.size());
}

}  // namespace rig
