#include "core/dmx_conflicts.h"

namespace rig {
namespace {

// An entry's DMX range in plain int, so StartDMX near 32767 plus a channel count
// cannot wrap.
struct DmxRange {
    int first = 0;
    int last = -1;

    [[nodiscard]] bool empty() const noexcept { return last < first; }
    [[nodiscard]] bool overlaps(const DmxRange& other) const noexcept
    {
        return !empty() && !other.empty() && first <= other.last && other.first <= last;
    }
};

DmxRange rangeOf(const StagePatch& patch, const PatchEntry& entry) noexcept
{
    if (!entry.inUse())
        return {};
    const int first = entry.StartDMX;
    return {first, first + entryChannelCount(patch, entry) - 1};
}

}  // namespace

int entryChannelCount(const StagePatch& patch, const PatchEntry& entry) noexcept
{
    if (!entry.hasValidLampType())
        return 0;
    return patch.lmpLamps[static_cast<std::size_t>(entry.LampType)].NumberChannel;
}

std::array<DmxConflict, patchEntryCount> findDmxConflicts(const StagePatch& patch)
{
    std::array<DmxRange, patchEntryCount> ranges{};
    for (std::size_t i = 0; i < patchEntryCount; ++i)
        ranges[i] = rangeOf(patch, patch.patchEntries[i]);

    std::array<DmxConflict, patchEntryCount> conflicts{};
    for (std::size_t i = 0; i < patchEntryCount; ++i) {
        if (ranges[i].empty())
            continue;
        conflicts[i].passesEnd = ranges[i].last > dmxLineSize;
        for (std::size_t j = 0; j < patchEntryCount; ++j) {
            if (j != i && ranges[i].overlaps(ranges[j])) {
                conflicts[i].overlapsWith = static_cast<int>(j) + 1;
                break;
            }
        }
    }
    return conflicts;
}

std::string describeConflict(const DmxConflict& conflict)
{
    std::string text;
    if (conflict.overlapsWith != 0)
        text = "DMX overlaps lamp " + std::to_string(conflict.overlapsWith);
    if (conflict.passesEnd) {
        if (!text.empty())
            text += "; ";
        text += "DMX runs past " + std::to_string(dmxLineSize);
    }
    return text;
}

}  // namespace rig
