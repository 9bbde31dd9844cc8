#pragma once

#include "core/lamp.h"
#include "core/stage_patch.h"

#include <cstdint>
#include <string>

namespace rig {

// Program-wide values that live from start-up to exit. One instance is created by
// the start-up procedure and handed to the windows by reference, so tests can make
// a fresh one for every case.
struct AppState {
    std::string AppPath;          // folder of the executable, no trailing separator
    StagePatch patch;             // lmpLamps, patchEntries, nNextDMX, nNextEntry
    std::int16_t nToolLamp = 0;   // toolbox slot last picked up for dragging
    Lamp lmpImport{};             // the lamp the import dialog hands to a new window
};

}  // namespace rig
