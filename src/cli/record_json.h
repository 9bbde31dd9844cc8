#pragma once

// show --json: every stored field under the record's own name, walked from the
// record's layout in the core, so the output lists exactly what the file holds.

#include "cli/console_view.h"
#include "cli/json.h"
#include "base/fixed_text.h"
#include "core/lamp.h"
#include "core/stage_patch.h"

#include <QString>

#include <cstddef>
#include <cstdint>

namespace cli {

// All bytes of a text field, each decoded from Windows-1252; a zero byte stays U+0000,
// so the JSON shows the field exactly as stored.
[[nodiscard]] QString decodeField(const std::uint8_t* data, std::size_t size);
template <std::size_t N>
[[nodiscard]] QString decodeField(const rig::FixedText<N>& text)
{
    return decodeField(text.bytes().data(), N);
}

// Lower-case hex, two digits a byte, no separators.
[[nodiscard]] QString hexString(const std::uint8_t* data, std::size_t size);

[[nodiscard]] Json lampJson(const rig::Lamp& lamp);
[[nodiscard]] Json patchEntryJson(const rig::PatchEntry& entry);
[[nodiscard]] Json stagePatchJson(const rig::StagePatch& patch);
[[nodiscard]] Json consoleJson(const ConsoleView& view);

}  // namespace cli
