// Any bytes either split into two payloads within the format's bounds or fail with
// one of the two format errors; a parsed file re-encodes to a readable file.
#include "core/console_file.h"
#include "base/rig_error.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const rig::LampDataPayloads payloads = rig::decodeLampDataFile(data, size);
        const std::size_t blocks = size / rig::blockSize;
        if (payloads.lampPayload.size() + payloads.patchPayload.size() > blocks * rig::blockDataSize)
            std::abort();
        const std::vector<std::uint8_t> image = rig::encodeLampDataFile(payloads.lampPayload, payloads.patchPayload);
        const rig::LampDataPayloads again = rig::decodeLampDataFile(image.data(), image.size());
        if (again.lampPayload.size() != rig::lampPayloadSize || again.patchPayload.size() != rig::patchPayloadSize)
            std::abort();
    } catch (const rig::RigError& error) {
        if (error.number() != rig::errc::badSignature && error.number() != rig::errc::badFileType)
            std::abort();
    }
    return 0;
}
