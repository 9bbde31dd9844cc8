// The import's slot and entry decoding over arbitrary payloads: the input is split
// into a lamp payload and a patch payload at a position taken from its first bytes.
#include "core/lamp_exchange.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t split = (static_cast<std::size_t>(data[0]) | (static_cast<std::size_t>(data[1]) << 8)) % (size - 1);
    rig::LampDataPayloads payloads;
    payloads.lampPayload.assign(data + 2, data + 2 + split);
    payloads.patchPayload.assign(data + 2 + split, data + size);
    const rig::ImportedLampData imported = rig::decodeImportedLampData(payloads);
    for (const rig::Lamp& lamp : imported.lmpSlots)
        for (const rig::LampChannel& channel : lamp.Channel)
            if (channel.Palette > 5)
                std::abort();
    for (int slot : imported.usedSlots())
        if (slot < 0 || slot >= static_cast<int>(rig::lampSlots) || imported.lmpSlots[static_cast<std::size_t>(slot)].Icon == 0)
            std::abort();
    return 0;
}
