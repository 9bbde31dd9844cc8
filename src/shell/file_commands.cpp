// The File menu's document commands: each chooses the window, calls its file operation
// and reports what fails (error_report). Part of the main window, kept apart from its
// construction, menus and arrangement.
#include "shell/frmMain.h"

#include "windows/frmDocument.h"
#include "windows/frmExport.h"
#include "windows/frmImport.h"
#include "windows/dlgImportFixture.h"
#include "windows/frmLibrary.h"
#include "windows/frmStageScreen.h"
#include "ui/document_window.h"
#include "shell/error_report.h"
#include "shell/recent_files.h"
#include "shell/stage_screen_host.h"
#include "ui/ui.h"

#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include <optional>

namespace {

const QString crlf = QStringLiteral("\r\n");

}  // namespace

void frmMain::mnuFileNewLamp_Click()
{
    shell::runReported(m_ui, this, shell::Doing::Opening, [this] { newLampDocument(); });
}

// Open takes existing files only, so a new patch starts here.
void frmMain::mnuFileNewStagePatch_Click()
{
    shell::runReported(m_ui, this, shell::Doing::Opening, [this] { m_stageScreen->newPatch(); });
}

void frmMain::mnuFileOpen_Click()
{
    std::optional<QString> chosen;
    if (!shell::runReported(m_ui, this, shell::Doing::Opening, [&] {
            chosen = m_dlgCommonDialog.showOpen(this, tr("Lamp Files (*.lmp)|*.lmp"), tr("Open"), FileKind::Lamp);
        }))
        return;
    if (!chosen || chosen->isEmpty())
        return;
    openDocument(*chosen);
}

void frmMain::openFiles(const QStringList& fileNames)
{
    for (const QString& fileName : fileNames)
        openDocument(fileName);
}

void frmMain::openDocument(const QString& fileName)
{
    shell::runReported(m_ui, this, shell::Doing::Opening, [&] {
        const QString fileTitle = QFileInfo(fileName).fileName();
        // The ending is compared case-sensitively, as the lamp and patch files are named.
        const QString ending = fileTitle.right(3);
        if (ending == QLatin1String("lmp")) {
            openLampDocument(fileName, fileTitle);
            m_dlgCommonDialog.succeeded(fileName, FileKind::Lamp);
        } else if (ending == QLatin1String("pat")) {
            if (openStagePatch(fileName, fileTitle))
                m_dlgCommonDialog.succeeded(fileName, FileKind::Patch);
        } else {
            m_ui.message(this,
                         tr("Rigsmith opens lamp files (.lmp) and stage patch files (.pat).") + crlf + crlf +
                             QStringLiteral("\"") + fileTitle + tr("\" does not end in lmp or pat (in lower case)."),
                         tr("Open"), ui::Icon::Information, ui::Buttons::Ok);
        }
    });
}

void frmMain::mnuFileRecent_Click(const QString& fileName)
{
    if (QFileInfo::exists(fileName)) {
        openDocument(fileName);
        return;
    }
    m_recentFiles->remove(fileName);
    m_ui.message(this,
                 tr("The file \"") + QDir::toNativeSeparators(fileName) + tr("\" no longer exists.") + crlf +
                     tr("It has been removed from the list of recent files."),
                 tr("Open"), ui::Icon::Exclamation, ui::Buttons::Ok);
}

void frmMain::mnuFileClose_Click()
{
    QMdiSubWindow* sub = m_mdiArea->currentSubWindow();
    if (!sub) {
        shell::showError(m_ui, this, tr("There is not a window open that can be closed!") + crlf + crlf +
                                         tr("Choose File, Exit if you wish to exit Rigsmith"));
        return;
    }
    // The window may ask the user and refuse; that ends the command.
    shell::runReported(m_ui, this, shell::Doing::Closing, [sub] { sub->close(); });
}

void frmMain::saveDocument(bool saveAs)
{
    DocumentWindow* document = activeDocument();
    if (!document) {
        shell::showError(m_ui, this, tr("There is not a window open that can be saved!"));
        return;
    }
    shell::runReported(m_ui, this, shell::Doing::Saving, [document, saveAs] {
        if (saveAs)
            document->File_Save_As();
        else
            document->File_Save();
    });
}

void frmMain::mnuFileSave_Click() { saveDocument(false); }

void frmMain::mnuFileSaveAs_Click() { saveDocument(true); }

void frmMain::mnuFileExport_Click() { frmExport::showExport(m_frmExport, m_state.AppPath, m_ui); }

void frmMain::mnuFileImport_Click()
{
    frmImport dialog(m_state.patch, m_ui);
    connect(&dialog, &frmImport::lampChosen, this, &frmMain::openImportedLamp);
    connect(&dialog, &frmImport::patchEntriesReplaced, m_stageScreen, &shell::StageScreenHost::patchEntriesReplaced);
    m_ui.execDialog(dialog);
}

// A lamp from a fixture definition opens as the console import's lamps do: a new
// lamp window, marked changed, that asks for a file name when saved. Its caption names
// the fixture and mode, so several imports can be told apart.
void frmMain::mnuFileImportFixture_Click()
{
    if (const std::optional<FixtureImport> imported = askForFixtureLamp(this, m_ui))
        openFixtureImport(*imported);
}

void frmMain::openFixtureImport(const FixtureImport& imported)
{
    openImportedLamp(imported.converted.lamp)->setFixtureOrigin(imported.origin);
    showFixtureNotes(this, m_ui, imported);
}

// A second choice brings the open window to the front.
void frmMain::mnuFileFixtureLibrary_Click()
{
    fixtureLibrary(true)->showLibrary();
}

frmLibrary* frmMain::fixtureLibrary(bool create)
{
    if (!m_frmLibrary && create) {
        m_frmLibrary = new frmLibrary(m_ui, LibrarySources::installed(), *this);
        // The lamp opens here, in front, as File > Import Fixture opens it.
        connect(m_frmLibrary, &frmLibrary::fixtureChosen, this, [this](const FixtureImport& imported) {
            activateWindow();
            raise();
            openFixtureImport(imported);
        });
    }
    return m_frmLibrary;
}

void frmMain::mnuFilePrintSheet_Click()
{
    if (frmStageScreen* screen = stageScreen(false))
        shell::runReported(m_ui, this, shell::Doing::Saving, [screen] { screen->printPatchSheet(); });
}

void frmMain::mnuFileExportSheet_Click()
{
    if (frmStageScreen* screen = stageScreen(false))
        shell::runReported(m_ui, this, shell::Doing::Saving, [screen] { screen->exportPatchSheetPdf(); });
}

// --- Opening documents -------------------------------------------------------------

void frmMain::newLampDocument()
{
    auto document = std::make_unique<frmDocument>(m_state.lmpImport, m_ui, m_dlgCommonDialog);
    document->File_New();
    addDocument(document.release());
}

void frmMain::openLampDocument(const QString& fileName, const QString& fileTitle)
{
    // A window whose file cannot be read is discarded unseen; the failure goes to Open.
    auto document = std::make_unique<frmDocument>(m_state.lmpImport, m_ui, m_dlgCommonDialog);
    document->File_Open(fileName, fileTitle);
    addDocument(document.release());
    m_recentFiles->add(fileName);
}

frmDocument* frmMain::openImportedLamp(const rig::Lamp& lamp)
{
    m_state.lmpImport = lamp;
    auto document = std::make_unique<frmDocument>(m_state.lmpImport, m_ui, m_dlgCommonDialog);
    document->File_Import();
    frmDocument* shown = document.release();
    addDocument(shown);
    return shown;
}

bool frmMain::openStagePatch(const QString& fileName, const QString& fileTitle)
{
    frmStageScreen* screen = m_stageScreen->screen(true);
    // Reading a patch replaces the one in memory: unsaved changes are not dropped unasked.
    if (!screen->confirmDiscard())
        return false;
    screen->File_Open(fileName, fileTitle);
    m_recentFiles->add(fileName);
    m_stageScreen->show();
    return true;
}

