#include "cli/console_view.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace cli {

ConsoleView consoleView(const rig::LampDataPayloads& payloads)
{
    ConsoleView view;
    view.lampPayloadSize = payloads.lampPayload.size();
    view.patchPayloadSize = payloads.patchPayload.size();
    // Bytes a short payload does not reach read as zero, as the import reads them.
    const auto tail = [](const std::vector<std::uint8_t>& payload, std::size_t offset) {
        return offset < payload.size() ? std::make_pair(payload.data() + offset, payload.size() - offset)
                                       : std::make_pair(static_cast<const std::uint8_t*>(nullptr), std::size_t{0});
    };
    for (std::size_t n = 0; n < rig::lampSlots; ++n) {
        const auto [data, size] = tail(payloads.lampPayload, n * rig::lampImageSize);
        view.slots[n] = rig::decodeLamp(data, size);
    }
    for (std::size_t k = 0; k < rig::patchEntryCount; ++k) {
        const auto [data, size] = tail(payloads.patchPayload, k * rig::patchEntryImageSize);
        view.patchEntries[k] = rig::decodePatchEntry(data, size);
    }
    return view;
}

}  // namespace cli
