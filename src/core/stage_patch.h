#pragma once

#include "base/fixed_text.h"
#include "core/lamp.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rig {

constexpr std::size_t lampSlots = 16;
constexpr std::size_t patchEntryCount = 100;
constexpr std::size_t patchEntryImageSize = 31;
constexpr std::size_t patchFileSize = 29056;
constexpr int stageRows = 24;
constexpr int stageCols = 20;
constexpr std::int16_t startupNextDMX = 25;

// One placed lamp; 31 bytes in the image. In use exactly when StartDMX is not 0.
struct PatchEntry {
    FixedText<8> EntryText;
    std::uint8_t Spare1 = 0;
    std::int16_t LampType = 0;
    std::int16_t StartChannel = 0;
    std::int16_t StartDMX = 0;
    std::uint8_t PanInvert = 0;
    std::uint8_t TiltInvert = 0;
    std::uint8_t PanTiltSwap = 0;
    std::uint8_t Spare2 = 0;
    std::int16_t Spare3 = 0;
    std::array<std::uint8_t, 4> Spare4{};
    std::uint8_t ScreenCol = 0;
    std::uint8_t ScreenRow = 0;
    std::int16_t Point = 0;
    std::array<std::uint8_t, 2> Spare5{};

    [[nodiscard]] bool inUse() const noexcept { return StartDMX != 0; }
    // True when the position is a cell of the stage grid; a damaged or hand-made file
    // can hold any row and column.
    [[nodiscard]] bool onStage() const noexcept { return ScreenRow < stageRows && ScreenCol < stageCols; }
    // True when LampType names a slot of the lamp table.
    [[nodiscard]] bool hasValidLampType() const noexcept { return LampType >= 0 && LampType < static_cast<int>(lampSlots); }
};

template <>
struct layout::Layout<PatchEntry> {
    static constexpr std::size_t size = patchEntryImageSize;
    static constexpr auto fields = std::make_tuple(field("EntryText", &PatchEntry::EntryText, 0),
                                                   field("Spare1", &PatchEntry::Spare1, 8),
                                                   field("LampType", &PatchEntry::LampType, 9),
                                                   field("StartChannel", &PatchEntry::StartChannel, 11),
                                                   field("StartDMX", &PatchEntry::StartDMX, 13),
                                                   field("PanInvert", &PatchEntry::PanInvert, 15),
                                                   field("TiltInvert", &PatchEntry::TiltInvert, 16),
                                                   field("PanTiltSwap", &PatchEntry::PanTiltSwap, 17),
                                                   field("Spare2", &PatchEntry::Spare2, 18),
                                                   field("Spare3", &PatchEntry::Spare3, 19),
                                                   field("Spare4", &PatchEntry::Spare4, 21),
                                                   field("ScreenCol", &PatchEntry::ScreenCol, 25),
                                                   field("ScreenRow", &PatchEntry::ScreenRow, 26),
                                                   field("Point", &PatchEntry::Point, 27),
                                                   field("Spare5", &PatchEntry::Spare5, 29));
};
static_assert(layout::tilesExactly<PatchEntry>());

using PatchEntryImage = layout::Image<PatchEntry>;

[[nodiscard]] bool operator==(const PatchEntry& a, const PatchEntry& b);
[[nodiscard]] inline bool operator!=(const PatchEntry& a, const PatchEntry& b) { return !(a == b); }

[[nodiscard]] PatchEntryImage encodePatchEntry(const PatchEntry& entry);
// Bytes beyond `size` read as zero.
[[nodiscard]] PatchEntry decodePatchEntry(const std::uint8_t* data, std::size_t size);

// The program-wide stage patch. One instance lives from start-up to exit and is
// handed to the windows by reference.
struct StagePatch {
    std::array<Lamp, lampSlots> lmpLamps{};
    std::array<PatchEntry, patchEntryCount> patchEntries{};
    std::int16_t nNextDMX = startupNextDMX;
    std::int16_t nNextEntry = 0;

    // A lamp slot holds a lamp when its name has any non-zero byte.
    [[nodiscard]] bool slotHoldsLamp(std::size_t slot) const noexcept
    {
        return slot < lampSlots && !lmpLamps[slot].LampName.isAllZero();
    }
};

// The stage patch file: the four items one after the other, with no header.
template <>
struct layout::Layout<StagePatch> {
    static constexpr std::size_t size = patchFileSize;
    static constexpr auto fields = std::make_tuple(field("lmpLamps", &StagePatch::lmpLamps, 0),
                                                   field("patchEntries", &StagePatch::patchEntries, 25952),
                                                   field("nNextDMX", &StagePatch::nNextDMX, 29052),
                                                   field("nNextEntry", &StagePatch::nNextEntry, 29054));
};
static_assert(layout::tilesExactly<StagePatch>());

constexpr std::size_t patchEntriesOffset = layout::offsetOf(&StagePatch::patchEntries);
constexpr std::size_t patchCountersOffset = layout::offsetOf(&StagePatch::nNextDMX);

[[nodiscard]] std::vector<std::uint8_t> encodePatchFile(const StagePatch& patch);
// Whatever a short image does not reach keeps its start-up value (zero; 25 for nNextDMX).
[[nodiscard]] StagePatch decodePatchFile(const std::uint8_t* data, std::size_t size);

// Replaces `patch` with the file's content; the patch is untouched on failure.
// A path that does not exist is created empty first when createIfMissing is set,
// which is how a new patch is started. Throws RigError.
void readPatchFile(const std::string& path, StagePatch& patch, bool createIfMissing = true);
// Replaces the file with the 29056-byte image, atomically. Throws RigError.
void writePatchFile(const std::string& path, const StagePatch& patch);

}  // namespace rig
