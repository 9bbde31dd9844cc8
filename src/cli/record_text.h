#pragma once

// show without --json: a record as a person reads it, names trimmed, codes named.

#include "cli/console_view.h"
#include "core/lamp.h"
#include "core/stage_patch.h"

#include <QString>

namespace cli {

[[nodiscard]] QString lampText(const rig::Lamp& lamp);
[[nodiscard]] QString stagePatchText(const rig::StagePatch& patch);
[[nodiscard]] QString consoleText(const ConsoleView& view);

}  // namespace cli
