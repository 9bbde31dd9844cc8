#pragma once

#include "core/stage_patch.h"

#include <array>
#include <string>

namespace rig {

constexpr int dmxLineSize = 512;

// What is wrong with one placed lamp's DMX range, StartDMX to StartDMX + channels - 1.
struct DmxConflict {
    int overlapsWith = 0;     // lamp number (entry index + 1) of the first lamp in use it overlaps; 0 for none
    bool passesEnd = false;   // the range runs past address 512

    [[nodiscard]] bool any() const noexcept { return overlapsWith != 0 || passesEnd; }
};

// The channel count the patch gives an entry: its lamp type's NumberChannel, or 0
// when the type is outside the lamp table.
[[nodiscard]] int entryChannelCount(const StagePatch& patch, const PatchEntry& entry) noexcept;

// Conflicts of every entry (entries not in use have none).
[[nodiscard]] std::array<DmxConflict, patchEntryCount> findDmxConflicts(const StagePatch& patch);

// The conflict in words, e.g. "DMX overlaps lamp 3" / "DMX runs past 512"; empty when none.
[[nodiscard]] std::string describeConflict(const DmxConflict& conflict);

}  // namespace rig
