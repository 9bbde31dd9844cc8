#include "core/patch_sheet.h"

#include "core/dmx_conflicts.h"

#include <algorithm>
#include <array>
#include <map>

namespace rig {

namespace {

std::string flagLabel(int value)
{
    if (value == 0)
        return "no";
    if (value == 1)
        return "yes";
    return std::to_string(value);
}

}  // namespace

std::string stagePositionLabel(int row, int col)
{
    const std::string rowLabel =
        row >= 0 && row < stageRows ? std::string(1, static_cast<char>('A' + row)) : "row " + std::to_string(row + 1) + " col ";
    return rowLabel + std::to_string(col + 1);
}

std::vector<PatchSheetRow> patchSheetRows(const StagePatch& patch, SheetOrder order)
{
    const auto conflicts = findDmxConflicts(patch);
    std::vector<PatchSheetRow> rows;
    for (std::size_t k = 0; k < patch.patchEntries.size(); ++k) {
        const PatchEntry& entry = patch.patchEntries[k];
        if (!entry.inUse())
            continue;
        PatchSheetRow row;
        row.lamp = static_cast<int>(k) + 1;
        row.lampType = entry.LampType;
        if (!entry.hasValidLampType())
            row.typeNote = "(no lamp type " + std::to_string(entry.LampType) + ")";
        else if (!patch.slotHoldsLamp(static_cast<std::size_t>(entry.LampType)))
            row.typeNote = "(empty slot " + std::to_string(entry.LampType) + ")";
        else
            row.typeName = patch.lmpLamps[static_cast<std::size_t>(entry.LampType)].LampName;
        row.channels = entryChannelCount(patch, entry);
        row.startChannel = entry.StartChannel;
        row.startDmx = entry.StartDMX;
        row.dmxRange = std::to_string(row.startDmx);
        if (row.channels > 0)
            row.dmxRange += "-" + std::to_string(row.startDmx + row.channels - 1);
        row.position = stagePositionLabel(entry.ScreenRow, entry.ScreenCol);
        row.panInvert = flagLabel(entry.PanInvert);
        row.tiltInvert = flagLabel(entry.TiltInvert);
        row.swap = flagLabel(entry.PanTiltSwap);
        row.conflict = describeConflict(conflicts[k]);
        row.dmxConflict = conflicts[k];
        rows.push_back(std::move(row));
    }
    if (order == SheetOrder::ByDmx)
        std::stable_sort(rows.begin(), rows.end(),
                         [](const PatchSheetRow& a, const PatchSheetRow& b) { return a.startDmx < b.startDmx; });
    return rows;
}

PatchSheetCounts patchSheetCounts(const std::vector<PatchSheetRow>& rows)
{
    PatchSheetCounts counts;
    // Overlapping lamps share addresses: each address counts once.
    std::array<bool, dmxLineSize + 1> taken{};
    for (const PatchSheetRow& row : rows) {
        ++counts.lampsPlaced;
        if (row.dmxConflict.any())
            ++counts.conflicts;
        const int first = std::max(row.startDmx, 1);
        const int last = std::min(row.startDmx + row.channels - 1, dmxLineSize);
        for (int address = first; address <= last; ++address)
            taken[static_cast<std::size_t>(address)] = true;
    }
    counts.dmxChannelsUsed = static_cast<int>(std::count(taken.begin(), taken.end(), true));
    return counts;
}

std::vector<LampTypeUse> lampTypesUsed(const std::vector<PatchSheetRow>& rows)
{
    std::map<int, std::vector<int>> lampsBySlot;
    for (const PatchSheetRow& row : rows) {
        if (row.typeNote.empty())
            lampsBySlot[row.lampType].push_back(row.lamp);
    }
    std::vector<LampTypeUse> used;
    for (auto& [slot, lamps] : lampsBySlot) {
        std::sort(lamps.begin(), lamps.end());
        used.push_back({slot, std::move(lamps)});
    }
    return used;
}

}  // namespace rig
