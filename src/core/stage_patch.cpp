#include "core/stage_patch.h"

#include "base/file_io.h"

namespace rig {

bool operator==(const PatchEntry& a, const PatchEntry& b)
{
    return encodePatchEntry(a) == encodePatchEntry(b);
}

PatchEntryImage encodePatchEntry(const PatchEntry& entry)
{
    return layout::encode(entry);
}

PatchEntry decodePatchEntry(const std::uint8_t* data, std::size_t size)
{
    return layout::decode<PatchEntry>(data, size);
}

std::vector<std::uint8_t> encodePatchFile(const StagePatch& patch)
{
    std::vector<std::uint8_t> bytes(patchFileSize);
    layout::put(bytes.data(), patch);
    return bytes;
}

StagePatch decodePatchFile(const std::uint8_t* data, std::size_t size)
{
    // A short file: lamp slots and entries it reaches are read as far as it goes, the
    // rest keep their start-up values, and so does a counter it does not reach in full.
    StagePatch patch;
    layout::getReached(data, size, patch);
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
