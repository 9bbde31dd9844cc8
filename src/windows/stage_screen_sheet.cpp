// The stage screen's patch sheet: printed on the printer the user picks, or written as
// a PDF. Both are the sheet the command line makes for the same patch file.
#include "windows/frmStageScreen.h"

#include "base/rig_error.h"
#include "core/app_state.h"
#include "sheet/sheet_content.h"
#include "sheet/sheet_output.h"
#include "ui/common_dialog.h"
#include "ui/ui.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPrintDialog>
#include <QPrinter>

void frmStageScreen::printPatchSheet()
{
    const sheet::SheetContent content = sheet::makeSheetContent(m_state.patch, m_sFileName, isChanged());
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(sheet::pageLayoutFor(sheet::paperFor(QLocale())));
    printer.setDocName(content.fileName);
    printer.setCreator(content.program);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("dlgPrintPatchSheet"));
    if (m_ui.execDialog(dialog) != QDialog::Accepted)
        return;
    try {
        sheet::paintSheet(content, printer);
    } catch (const rig::RigError& error) {
        m_ui.message(this,
                     tr("The patch sheet could not be printed:") + QStringLiteral("\r\n") +
                         QString::fromStdString(error.description()),
                     tr("Print Patch Sheet"), ui::Icon::Critical, ui::Buttons::Ok);
    }
}

void frmStageScreen::exportPatchSheetPdf()
{
    // "<patch name>.pdf" beside the patch file; an unsaved patch's sheet gets a name of
    // its own in the folder the file dialog last used.
    QString proposed = tr("Patch sheet.pdf");
    if (!m_sFileName.isEmpty()) {
        const QFileInfo patchFile(m_sFileName);
        proposed = QDir(patchFile.path()).filePath(patchFile.completeBaseName() + QStringLiteral(".pdf"));
    }
    const std::optional<QString> chosen = m_dlgCommonDialog.showSave(
        this, tr("PDF Documents (*.pdf)|*.pdf"), proposed, tr("Export Patch Sheet as PDF"), QStringLiteral("pdf"));
    if (!chosen || chosen->isEmpty())
        return;
    if (!m_dlgCommonDialog.confirmOverwrite(this, *chosen, tr("Patch sheet file exists")))
        return;
    sheet::writeSheetPdf(*chosen, sheet::makeSheetContent(m_state.patch, m_sFileName, isChanged()),
                         sheet::paperFor(QLocale()));
    m_dlgCommonDialog.succeeded(*chosen);
}
