#pragma once

// The patch sheet's rows (made in the core) as a text table or as CSV.

#include "core/patch_sheet.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace cli {

[[nodiscard]] QString patchSheetText(const std::vector<rig::PatchSheetRow>& rows);
[[nodiscard]] QString patchSheetCsv(const std::vector<rig::PatchSheetRow>& rows);

// One CSV line: cells quoted where they must be, and a cell a spreadsheet would run as
// a formula kept as text with a leading '.
[[nodiscard]] QString csvLine(const QStringList& cells);

}  // namespace cli
