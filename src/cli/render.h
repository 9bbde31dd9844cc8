#pragma once

#include "cli/json.h"
#include "core/console_file.h"
#include "base/fixed_text.h"
#include "core/lamp.h"
#include "core/stage_patch.h"

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace cli {

// All bytes of a text field, each decoded from Windows-1252 (a zero byte stays U+0000).
[[nodiscard]] QString decodeField(const std::uint8_t* data, std::size_t size);
template <std::size_t N>
[[nodiscard]] QString decodeField(const rig::FixedText<N>& text)
{
    return decodeField(text.bytes().data(), N);
}

// A field for a terminal: decoded, spaces and zero bytes removed from both ends,
// any other control character shown as '?' so one field never breaks a line.
[[nodiscard]] QString displayText(const std::uint8_t* data, std::size_t size);
template <std::size_t N>
[[nodiscard]] QString displayText(const rig::FixedText<N>& text)
{
    return displayText(text.bytes().data(), N);
}

// Lower-case hex, two digits a byte, no separators.
[[nodiscard]] QString hexString(const std::uint8_t* data, std::size_t size);

// A console lamp data file as stored: the lamps of all 16 slots exactly as the
// payload holds them (no import rule applied) and the patch entries it carries.
struct ConsoleView {
    std::size_t lampPayloadSize = 0;
    std::size_t patchPayloadSize = 0;
    std::array<rig::Lamp, rig::lampSlots> slots{};
    std::array<rig::PatchEntry, rig::patchEntryCount> patchEntries{};
};
[[nodiscard]] ConsoleView consoleView(const rig::LampDataPayloads& payloads);

[[nodiscard]] Json lampJson(const rig::Lamp& lamp);
[[nodiscard]] Json patchEntryJson(const rig::PatchEntry& entry);
[[nodiscard]] Json stagePatchJson(const rig::StagePatch& patch);
[[nodiscard]] Json consoleJson(const ConsoleView& view);

[[nodiscard]] QString lampText(const rig::Lamp& lamp);
[[nodiscard]] QString stagePatchText(const rig::StagePatch& patch);
[[nodiscard]] QString consoleText(const ConsoleView& view);

// One placed lamp as the patch sheet lists it.
struct PatchSheetRow {
    int lamp = 0;  // entry index + 1
    QString type;
    int channels = 0;
    int startChannel = 0;
    int startDmx = 0;
    QString dmxRange;
    QString position;  // row letter and column number, e.g. "B3"
    QString panInvert;
    QString tiltInvert;
    QString swap;
    QString conflict;
};

enum class SheetOrder { ByDmx, ByLamp };

// The entries in use, ordered by DMX start address (then lamp number) or by lamp number.
[[nodiscard]] std::vector<PatchSheetRow> patchSheetRows(const rig::StagePatch& patch, SheetOrder order);
[[nodiscard]] QString patchSheetText(const std::vector<PatchSheetRow>& rows);
[[nodiscard]] QString patchSheetCsv(const std::vector<PatchSheetRow>& rows);

}  // namespace cli
