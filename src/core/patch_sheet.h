#pragma once

#include "core/dmx_conflicts.h"
#include "core/stage_patch.h"

#include <string>
#include <vector>

namespace rig {

// One placed lamp as a patch sheet lists it: its numbers and the words its columns
// show. Any printed or exported sheet is made from these rows, so all of them agree.
struct PatchSheetRow {
    int lamp = 0;  // entry index + 1
    int lampType = 0;
    // The name of the lamp type as stored, when LampType names a slot that holds a lamp;
    // otherwise typeNote says why there is none, e.g. "(empty slot 3)".
    decltype(Lamp::LampName) typeName;
    std::string typeNote;
    int channels = 0;
    int startChannel = 0;
    int startDmx = 0;
    std::string dmxRange;  // "100-115"; the start alone for a lamp of no channels
    std::string position;  // row letter and column number, e.g. "B3"
    std::string panInvert;  // "no", "yes", or the stored number when it is neither 0 nor 1
    std::string tiltInvert;
    std::string swap;
    std::string conflict;  // e.g. "DMX overlaps lamp 3"; empty when none
    DmxConflict dmxConflict;  // the same as found, for a sheet that words it itself
};

enum class SheetOrder { ByDmx, ByLamp };

// The entries in use, ordered by DMX start address (then lamp number) or by lamp number.
[[nodiscard]] std::vector<PatchSheetRow> patchSheetRows(const StagePatch& patch, SheetOrder order);

// The totals a sheet's heading gives.
struct PatchSheetCounts {
    int lampsPlaced = 0;
    int dmxChannelsUsed = 0;  // addresses 1 to 512 taken by at least one placed lamp
    int conflicts = 0;        // placed lamps with a conflict
};

[[nodiscard]] PatchSheetCounts patchSheetCounts(const std::vector<PatchSheetRow>& rows);

// A slot of the lamp table that holds a lamp and placed lamps are made of, with the
// numbers of those lamps, lowest first.
struct LampTypeUse {
    int slot = 0;
    std::vector<int> lamps;
};

// The slots the rows' lamps use, in slot order; rows whose type names no lamp are left out.
[[nodiscard]] std::vector<LampTypeUse> lampTypesUsed(const std::vector<PatchSheetRow>& rows);

// The cell of the stage grid, row letter and column number ("A1" is row 0, column 0);
// a row off the grid is spelled out ("row 31 col 3").
[[nodiscard]] std::string stagePositionLabel(int row, int col);

}  // namespace rig
