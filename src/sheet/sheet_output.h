#pragma once

// The patch sheet onto paper: any paged device (a printer the user chose, or a PDF),
// and the PDF written to a file through the program's safe write.

#include "base/file_io.h"
#include "sheet/sheet_content.h"

#include <QByteArray>
#include <QPageLayout>
#include <QString>

class QLocale;
class QPagedPaintDevice;

namespace sheet {

enum class Paper { A4, Letter };

// Letter where the locale measures in US units, A4 elsewhere.
[[nodiscard]] Paper paperFor(const QLocale& locale);
// Landscape `paper` with margins for the sheet.
[[nodiscard]] QPageLayout pageLayoutFor(Paper paper);

// Lays the sheet out for `device`'s pages and paints every page. Returns the number of
// pages. Throws rig::RigError when the device cannot be painted on.
int paintSheet(const SheetContent& content, QPagedPaintDevice& device);

// The sheet as a PDF document in memory; `pages` gets the number of pages when given.
[[nodiscard]] QByteArray sheetPdf(const SheetContent& content, Paper paper, int* pages = nullptr);

// Writes the PDF to `path` whole or not at all (see rig::writeFileAtomically). Returns
// the number of pages. Throws rig::RigError.
int writeSheetPdf(const QString& path, const SheetContent& content, Paper paper,
                  rig::Existing existing = rig::Existing::Replace);

}  // namespace sheet
