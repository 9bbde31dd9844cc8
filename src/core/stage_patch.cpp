#include "core/stage_patch.h"

#include "base/byte_io.h"
#include "base/file_io.h"

namespace rig {

bool operator==(const PatchEntry& a, const PatchEntry& b)
{
    return encodePatchEntry(a) == encodePatchEntry(b);
}

PatchEntryImage encodePatchEntry(const PatchEntry& entry)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(patchEntryImageSize);
    ByteWriter out(bytes);
    out.bytes(entry.EntryText.bytes());
    out.u8(entry.Spare1);
    out.i16(entry.LampType);
    out.i16(entry.StartChannel);
    out.i16(entry.StartDMX);
    out.u8(entry.PanInvert);
    out.u8(entry.TiltInvert);
    out.u8(entry.PanTiltSwap);
    out.u8(entry.Spare2);
    out.i16(entry.Spare3);
    out.bytes(entry.Spare4);
    out.u8(entry.ScreenCol);
    out.u8(entry.ScreenRow);
    out.i16(entry.Point);
    out.bytes(entry.Spare5);

    PatchEntryImage image{};
    for (std::size_t i = 0; i < image.size() && i < bytes.size(); ++i)
        image[i] = bytes[i];
    return image;
}

PatchEntry decodePatchEntry(const std::uint8_t* data, std::size_t size)
{
    ByteReader in(data, size < patchEntryImageSize ? size : patchEntryImageSize);
    PatchEntry entry;
    in.bytes(entry.EntryText.bytes());
    entry.Spare1 = in.u8();
    entry.LampType = in.i16();
    entry.StartChannel = in.i16();
    entry.StartDMX = in.i16();
    entry.PanInvert = in.u8();
    entry.TiltInvert = in.u8();
    entry.PanTiltSwap = in.u8();
    entry.Spare2 = in.u8();
    entry.Spare3 = in.i16();
    in.bytes(entry.Spare4);
    entry.ScreenCol = in.u8();
    entry.ScreenRow = in.u8();
    entry.Point = in.i16();
    in.bytes(entry.Spare5);
    return entry;
}

std::vector<std::uint8_t> encodePatchFile(const StagePatch& patch)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(patchFileSize);
    ByteWriter out(bytes);
    for (const auto& lamp : patch.lmpLamps)
        out.bytes(encodeLamp(lamp));
    for (const auto& entry : patch.patchEntries)
        out.bytes(encodePatchEntry(entry));
    out.i16(patch.nNextDMX);
    out.i16(patch.nNextEntry);
    return bytes;
}

namespace {

// The bytes of [offset, offset + length) that `size` reaches.
std::size_t available(std::size_t size, std::size_t offset)
{
    return size > offset ? size - offset : 0;
}

}  // namespace

StagePatch decodePatchFile(const std::uint8_t* data, std::size_t size)
{
    StagePatch patch;
    for (std::size_t slot = 0; slot < lampSlots; ++slot) {
        const std::size_t offset = slot * lampImageSize;
        if (available(size, offset) > 0)
            patch.lmpLamps[slot] = decodeLamp(data + offset, available(size, offset));
    }
    for (std::size_t k = 0; k < patchEntryCount; ++k) {
        const std::size_t offset = patchEntriesOffset + k * patchEntryImageSize;
        if (available(size, offset) > 0)
            patch.patchEntries[k] = decodePatchEntry(data + offset, available(size, offset));
    }
    // A counter the data does not reach in full keeps its start-up value rather
    // than being glued together from a single byte.
    if (available(size, patchCountersOffset) >= 2)
        patch.nNextDMX = endian::readI16LE(data + patchCountersOffset);
    if (available(size, patchCountersOffset + 2) >= 2)
        patch.nNextEntry = endian::readI16LE(data + patchCountersOffset + 2);
    return patch;
}

void readPatchFile(const std::string& path, StagePatch& patch, bool createIfMissing)
{
    if (createIfMissing && !fileExists(path))
        createEmptyFileIfMissing(path);
    const std::vector<std::uint8_t> bytes = readFileBytes(path, patchFileSize);
    // Decoded apart first, so a failed read leaves the patch in memory as it was.
    patch = decodePatchFile(bytes.data(), bytes.size());
}

void writePatchFile(const std::string& path, const StagePatch& patch)
{
    writeFileAtomically(path, encodePatchFile(patch));
}

}  // namespace rig
