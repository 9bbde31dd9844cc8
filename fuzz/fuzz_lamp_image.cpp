// Decoding any bytes as a lamp image gives a record whose image re-encodes to the
// same first 1622 bytes (missing bytes as zero).
#include "core/lamp.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const rig::Lamp lamp = rig::decodeLamp(data, size);
    const rig::LampImage image = rig::encodeLamp(lamp);
    for (std::size_t i = 0; i < image.size(); ++i) {
        const std::uint8_t expected = i < size ? data[i] : 0;
        if (image[i] != expected)
            std::abort();
    }
    // Every loop bound a window uses must stay inside the channel array.
    if (lamp.usedChannels() > rig::maxChannels)
        std::abort();
    return 0;
}
