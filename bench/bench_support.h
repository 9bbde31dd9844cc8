#pragma once

#include "core/lamp.h"
#include "core/stage_patch.h"

#include <string>

class FakeUi;

namespace bench {

// The ui seam every timed window is given; main() makes it. It has no scripts, so
// anything modal is refused and recorded.
FakeUi& benchUi();

// A scratch folder for the run, removed with its files at exit.
const std::string& scratchDir();
[[nodiscard]] std::string scratchPath(const char* name);

// A lamp with every channel, wheel slot and name filled, as a worked-out lamp file holds.
[[nodiscard]] rig::Lamp fullLamp(int variant);

// Sixteen lamp types and `entries` placed lamps spread over the stage. With
// `conflicting`, every lamp starts at DMX 1, so each one overlaps another.
[[nodiscard]] rig::StagePatch busyPatch(int entries, bool conflicting);

}  // namespace bench
