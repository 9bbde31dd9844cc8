#pragma once

#include "core/console_file.h"
#include "core/lamp.h"
#include "core/stage_patch.h"

#include <array>
#include <cstddef>

namespace cli {

// A console lamp data file as stored: the lamps of all 16 slots exactly as the
// payload holds them (no import rule applied) and the patch entries it carries.
struct ConsoleView {
    std::size_t lampPayloadSize = 0;
    std::size_t patchPayloadSize = 0;
    std::array<rig::Lamp, rig::lampSlots> slots{};
    std::array<rig::PatchEntry, rig::patchEntryCount> patchEntries{};
};

[[nodiscard]] ConsoleView consoleView(const rig::LampDataPayloads& payloads);

}  // namespace cli
