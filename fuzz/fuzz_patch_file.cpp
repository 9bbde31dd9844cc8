// Any bytes decode as a stage patch; a full-size input re-encodes byte for byte.
#include "core/stage_patch.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const rig::StagePatch patch = rig::decodePatchFile(data, size);
    const std::vector<std::uint8_t> image = rig::encodePatchFile(patch);
    if (image.size() != rig::patchFileSize)
        std::abort();
    if (size >= rig::patchFileSize && std::memcmp(image.data(), data, rig::patchFileSize) != 0)
        std::abort();
    return 0;
}
