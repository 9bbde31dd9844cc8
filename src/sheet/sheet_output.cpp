#include "sheet/sheet_output.h"

#include "base/rig_error.h"
#include "qtcore/file_names.h"
#include "sheet/sheet_pages.h"

#include <QBuffer>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <cstdint>
#include <vector>

namespace sheet {

Paper paperFor(const QLocale& locale)
{
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? Paper::Letter : Paper::A4;
}

QPageLayout pageLayoutFor(Paper paper)
{
    return QPageLayout(QPageSize(paper == Paper::Letter ? QPageSize::Letter : QPageSize::A4), QPageLayout::Landscape,
                       QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
}

int paintSheet(const SheetContent& content, QPagedPaintDevice& device)
{
    const std::vector<Page> pages = layOutSheet(content, device);
    QPainter painter;
    if (!painter.begin(&device))
        throw rig::RigError(rig::errc::pathFileAccess, SheetText::tr("The sheet could not be started on this printer or file.").toStdString());
    for (std::size_t k = 0; k < pages.size(); ++k) {
        if (k > 0 && !device.newPage())
            throw rig::RigError(rig::errc::pathFileAccess, SheetText::tr("The printer did not take a new page.").toStdString());
        paintPage(painter, pages[k]);
    }
    if (!painter.end())
        throw rig::RigError(rig::errc::pathFileAccess, SheetText::tr("The sheet could not be finished.").toStdString());
    return static_cast<int>(pages.size());
}

QByteArray sheetPdf(const SheetContent& content, Paper paper, int* pages)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(pageLayoutFor(paper));
    writer.setTitle(content.fileName);
    writer.setCreator(content.program);
    const int count = paintSheet(content, writer);
    if (pages != nullptr)
        *pages = count;
    buffer.close();
    return bytes;
}

int writeSheetPdf(const QString& path, const SheetContent& content, Paper paper, rig::Existing existing)
{
    int pages = 0;
    // Made whole in memory first: a failure on the way leaves nothing on disk.
    const QByteArray pdf = sheetPdf(content, paper, &pages);
    const std::vector<std::uint8_t> data(pdf.begin(), pdf.end());
    rig::writeFileAtomically(rig::toPath(path), data, existing);
    return pages;
}

}  // namespace sheet
