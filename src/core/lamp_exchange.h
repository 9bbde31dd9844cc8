#pragma once

#include "core/console_file.h"
#include "base/file_io.h"
#include "core/lamp.h"
#include "core/stage_patch.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace rig {

// The console file copied beside every exported lamp data file.
inline constexpr const char* showTitleFileName = "showttl.dat";

// Where an export takes "showttl.dat" from: beside the executable in `appPath` when it
// is there (the build tree), else from the installed data folder, first as reached
// from `appPath` (an installed tree that was moved or installed with another prefix),
// then as configured at build time. When none holds it, the path beside the
// executable, so that the failure names the first place looked at.
[[nodiscard]] std::string showTitleSourcePath(const std::string& appPath);

// `folder` and `name` joined by exactly one separator (a folder that already ends in
// one, such as the root, gets none added).
[[nodiscard]] std::string joinFolderAndName(const std::string& folder, const std::string& name);

// The lamp payload of an export: the first lampImageSize bytes of every listed file,
// in list order (a short file padded with zeros). Every name is read, also those
// beyond the 16th. Only reads: nothing is created in `folder`. A missing name throws
// RigError 53 "File not found: <name>"; other failures keep their number and name
// the file.
[[nodiscard]] std::vector<std::uint8_t> buildExportLampPayload(const std::string& folder,
                                                               const std::vector<std::string>& names);

// Writes the lamp data file at `outputPath` (a link there is followed) from
// `lampPayload` (only the first lampPayloadSize bytes count) and a zero patch payload,
// then copies "showttl.dat" (showTitleSourcePath(appPath)) into the output's folder
// without asking (never through a link), and last reads the lamp data file back and
// compares both payloads (RigError errc::exportVerifyFailed on a difference). Refused before
// anything is written: an output named "showttl.dat", a "showttl.dat" beside it that is
// not a plain file, and an output that is the same file as that "showttl.dat" (52). A
// missing "showttl.dat" is reported after the lamp data file was written. With a
// transaction, both replaced files stay recoverable until it ends. Throws RigError.
void writeExportFiles(const std::vector<std::uint8_t>& lampPayload, const std::string& outputPath,
                      const std::string& appPath, Existing existing = Existing::Replace,
                      FileTransaction* transaction = nullptr);

// Export: buildExportLampPayload then writeExportFiles. A listed name missing from
// the folder stops the export before anything is written. The staging lives in
// memory only, so no scratch file is ever created. Throws RigError.
void exportLampData(const std::string& folder, const std::vector<std::string>& names,
                    const std::string& outputPath, const std::string& appPath,
                    Existing existing = Existing::Replace, FileTransaction* transaction = nullptr);

// The import's view of a lamp data file.
struct ImportedLampData {
    std::array<Lamp, lampSlots> lmpSlots{};             // palette codes above 5 lowered to 5
    std::array<PatchEntry, patchEntryCount> patchEntries{};  // bytes past the payload read as zero
    // Slots in use (Icon not zero), in slot order.
    [[nodiscard]] std::vector<int> usedSlots() const;
};

// The highest palette code the lamp window offers; the import lowers higher codes to it.
constexpr std::int16_t maxImportedPalette = 5;

[[nodiscard]] ImportedLampData decodeImportedLampData(const LampDataPayloads& payloads);
// Reads and decodes a lamp data file without creating anything. Throws RigError.
[[nodiscard]] ImportedLampData importLampDataFile(const std::string& path);

}  // namespace rig
