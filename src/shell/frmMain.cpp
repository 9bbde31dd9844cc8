#include "shell/frmMain.h"

#include "windows/frmDocument.h"
#include "windows/frmExport.h"
#include "windows/frmImport.h"
#include "windows/dlgImportFixture.h"
#include "windows/frmLibrary.h"
#include "windows/frmStageScreen.h"
#include "ui/document_window.h"
#include "shell/child_windows.h"
#include "shell/edit_commands.h"
#include "shell/error_report.h"
#include "shell/file_drops.h"
#include "shell/frmAbout.h"
#include "shell/menu_commands.h"
#include "shell/product_picture.h"
#include "shell/recent_files.h"
#include "shell/stage_screen_host.h"
#include "ui/ui.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <optional>

namespace {

const QString crlf = QStringLiteral("\r\n");

}  // namespace

frmMain::frmMain(rig::AppState& state, ui::Ui& ui, QWidget* parent)
    : QMainWindow(parent),
      m_state(state),
      m_ui(ui),
      m_dlgCommonDialog(ui)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(tr("Tarsen Rigsmith"));
    setWindowIcon(shell::productIcon());
    // The toolbar and status bar are shown and hidden through the View menu only.
    setContextMenuPolicy(Qt::NoContextMenu);

    // QMdiArea paints its background with the palette's Dark role: the workspace colour.
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    // Dropped files open as Open opens them, once the drop is over: a message box must
    // not hold up the program the files came from.
    auto* drops = new shell::FileDrops(*m_mdiArea->viewport());
    connect(drops, &shell::FileDrops::dropped, this, &frmMain::openFiles, Qt::QueuedConnection);

    createCommands();
    createStatusBar();

    m_stageScreen = new shell::StageScreenHost(state, ui, m_dlgCommonDialog, *this, *m_mdiArea);
    connect(m_stageScreen, &shell::StageScreenHost::statusText, this, &frmMain::setStatusText);
    connect(m_stageScreen, &shell::StageScreenHost::fileSaved, m_recentFiles, &shell::RecentFiles::add);
}

frmMain::~frmMain() = default;

void frmMain::createCommands()
{
    using shell::addSeparator;
    using shell::addUnavailable;
    using shell::standardKeys;
    const auto command = [this](QMenu* menu, const char* name, const QString& caption, void (frmMain::*handler)(),
                                const QList<QKeySequence>& keys = {}) {
        QAction* action = shell::addCommand(*menu, name, caption, keys);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    // Ctrl+O and the like: the same on every desktop.
    const auto ctrlKey = [](Qt::Key key) { return QList<QKeySequence>{QKeySequence(Qt::CTRL | key)}; };

    // Close, New, Save As and Exit take the desktop's standard keys; where it has none
    // for Save As or Exit, the keys most desktops use.
    QMenu* file = shell::addMenu(*menuBar(), "mnuFile", tr("&File"));
    QMenu* fileNew = shell::addSubmenu(*file, "mnuFileNew", tr("&New"));
    QAction* newLamp = command(fileNew, "mnuFileNewLamp", tr("Lamp"), &frmMain::mnuFileNewLamp_Click,
                               standardKeys(QKeySequence::New));
    command(fileNew, "mnuFileNewStagePatch", tr("Stage Patch"), &frmMain::mnuFileNewStagePatch_Click);
    QAction* open = command(file, "mnuFileOpen", tr("&Open"), &frmMain::mnuFileOpen_Click, ctrlKey(Qt::Key_O));
    command(file, "mnuFileClose", tr("&Close"), &frmMain::mnuFileClose_Click, standardKeys(QKeySequence::Close));
    addSeparator(*file, "mnuFileBar1");
    QAction* save = command(file, "mnuFileSave", tr("&Save"), &frmMain::mnuFileSave_Click, ctrlKey(Qt::Key_S));
    command(file, "mnuFileSaveAs", tr("Save &As..."), &frmMain::mnuFileSaveAs_Click,
            standardKeys(QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)));
    addSeparator(*file, "mnuFileBar1_5");
    command(file, "mnuFileExport", tr("&Export..."), &frmMain::mnuFileExport_Click);
    command(file, "mnuFileImport", tr("&Import..."), &frmMain::mnuFileImport_Click);
    command(file, "mnuFileImportFixture", tr("Import &Fixture..."), &frmMain::mnuFileImportFixture_Click);
    command(file, "mnuFileFixtureLibrary", tr("Fixture &Library..."), &frmMain::mnuFileFixtureLibrary_Click);
    // The patch sheet is the stage screen's: offered while it is the active window.
    shell::availableWithActiveChild(
        *m_mdiArea,
        {command(file, "mnuFilePrintSheet", tr("&Print Patch Sheet..."), &frmMain::mnuFilePrintSheet_Click),
         command(file, "mnuFileExportSheet", tr("Export Patch Sheet as &PDF..."), &frmMain::mnuFileExportSheet_Click)},
        [](QWidget* child) { return qobject_cast<frmStageScreen*>(child) != nullptr; });
    addSeparator(*file, "mnuFileBar4");
    m_recentFiles = new shell::RecentFiles(m_ui, *file, this);
    connect(m_recentFiles, &shell::RecentFiles::chosen, this, &frmMain::mnuFileRecent_Click);
    command(file, "mnuFileExit", tr("E&xit"), &frmMain::mnuFileExit_Click,
            standardKeys(QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)));

    new shell::EditCommands(*shell::addMenu(*menuBar(), "mnuEdit", tr("&Edit")), *m_mdiArea, *this);

    QMenu* view = shell::addMenu(*menuBar(), "mnuView", tr("&View"));
    m_mnuViewToolbar = command(view, "mnuViewToolbar", tr("&Toolbar"), &frmMain::mnuViewToolbar_Click);
    m_mnuViewStatusBar = command(view, "mnuViewStatusBar", tr("Status &Bar"), &frmMain::mnuViewStatusBar_Click);
    for (QAction* toggle : {m_mnuViewToolbar, m_mnuViewStatusBar}) {
        toggle->setCheckable(true);
        toggle->setChecked(true);
    }

    QMenu* window = shell::addMenu(*menuBar(), "mnuWindow", tr("&Window"));
    addUnavailable(*window, "mnuWindowNewWindow", tr("&New Window"));
    addSeparator(*window, "mnuWindowBar1");
    command(window, "mnuWindowCascade", tr("&Cascade"), &frmMain::mnuWindowCascade_Click);
    command(window, "mnuWindowTileHorizontal", tr("Tile &Horizontal"), &frmMain::mnuWindowTileHorizontal_Click);
    command(window, "mnuWindowTileVertical", tr("Tile &Vertical"), &frmMain::mnuWindowTileVertical_Click);
    command(window, "mnuWindowArrangeIcons", tr("&Arrange Icons"), &frmMain::mnuWindowArrangeIcons_Click);
    // The list of open child windows follows this separator, rebuilt for every showing.
    QAction* listBar = addSeparator(*window, "mnuWindowListBar");
    connect(window, &QMenu::aboutToShow, this,
            [this, window, listBar] { shell::listChildren(*window, *listBar, *m_mdiArea); });
    // Next and previous child window: keys only, the Window menu keeps its items.
    connect(shell::addKeyCommand(*this, "mnuWindowNext", standardKeys(QKeySequence::NextChild)),
            &QAction::triggered, m_mdiArea, &QMdiArea::activateNextSubWindow);
    connect(shell::addKeyCommand(*this, "mnuWindowPrevious", standardKeys(QKeySequence::PreviousChild)),
            &QAction::triggered, m_mdiArea, &QMdiArea::activatePreviousSubWindow);

    QMenu* help = shell::addMenu(*menuBar(), "mnuHelp", tr("&Help"));
    QAction* about = command(help, "mnuHelpAbout", tr("&About Tarsen Rigsmith..."), &frmMain::mnuHelpAbout_Click);

    // Each toolbar button runs the command of its key, and is greyed with it.
    m_tbToolBar = shell::addToolbar(*this, "tbToolBar", tr("Toolbar"));
    const auto button = [this](QAction* runs, const QString& key, const QString& tip,
                               shell::ToolbarPicture picture) {
        m_toolbarCommands.insert(key, runs);
        connect(shell::addButton(*m_tbToolBar, *runs, key, tip, picture), &QToolButton::clicked, this,
                [this, key] { tbToolBar_ButtonClick(key); });
    };
    button(newLamp, QStringLiteral("New"), tr("New"), shell::ToolbarPicture::New);
    button(open, QStringLiteral("Open"), tr("Open"), shell::ToolbarPicture::Open);
    button(save, QStringLiteral("Save"), tr("Save"), shell::ToolbarPicture::Save);
    m_tbToolBar->addSeparator();
    button(about, QStringLiteral("About"), tr("About"), shell::ToolbarPicture::About);
}

void frmMain::tbToolBar_ButtonClick(const QString& key)
{
    if (QAction* command = m_toolbarCommands.value(key))
        command->trigger();
}

void frmMain::createStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
    m_statusLabel = new QLabel(tr("Tarsen Rigsmith V1.0"), this);
    m_statusLabel->setObjectName(QStringLiteral("sbStatusBarText"));
    statusBar()->addWidget(m_statusLabel, 1);
}

void frmMain::setStatusText(const QString& text) { m_statusLabel->setText(text); }

QString frmMain::statusText() const { return m_statusLabel->text(); }

// --- Child windows -----------------------------------------------------------------

QMdiSubWindow* frmMain::addDocument(QWidget* document)
{
    // A lamp window saved under its name joins the recent-file list.
    if (auto* lamp = qobject_cast<frmDocument*>(document))
        connect(lamp, &frmDocument::fileSaved, m_recentFiles, &shell::RecentFiles::add, Qt::UniqueConnection);
    return shell::addChild(*m_mdiArea, document);
}

DocumentWindow* frmMain::activeDocument() const
{
    // currentSubWindow is the active child; unlike activeSubWindow it stays set while
    // another application has the focus.
    const QMdiSubWindow* sub = m_mdiArea->currentSubWindow();
    return sub ? dynamic_cast<DocumentWindow*>(sub->widget()) : nullptr;
}

frmStageScreen* frmMain::stageScreen(bool create) { return m_stageScreen->screen(create); }

// --- Placement and ending ----------------------------------------------------------

void frmMain::MDIForm_Load() { m_placement.restore(*this, m_ui); }

void frmMain::MDIForm_Unload() { m_placement.store(*this, m_ui); }

bool frmMain::closeAllChildren()
{
    QList<QPointer<QMdiSubWindow>> children;
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList())
        children.append(sub);
    for (const QPointer<QMdiSubWindow>& sub : children) {
        // Windows already closed (waiting to be deleted) or merely hidden are not open.
        if (!sub || sub->isHidden())
            continue;
        if (!sub->close())
            return false;
    }
    return true;
}

void frmMain::closeEvent(QCloseEvent* event)
{
    bool allClosed = false;
    shell::runReported(m_ui, this, shell::Doing::Closing, [&] { allClosed = closeAllChildren(); });
    if (!allClosed) {
        event->ignore();
        return;
    }
    MDIForm_Unload();
    event->accept();
}

void frmMain::mnuFileExit_Click() { close(); }

// --- File commands -----------------------------------------------------------------

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

// --- View, Window and Help ---------------------------------------------------------

void frmMain::mnuViewToolbar_Click()
{
    const bool show = !m_tbToolBar->isVisibleTo(this);
    m_tbToolBar->setVisible(show);
    m_mnuViewToolbar->setChecked(show);
}

void frmMain::mnuViewStatusBar_Click()
{
    const bool show = !statusBar()->isVisibleTo(this);
    statusBar()->setVisible(show);
    m_mnuViewStatusBar->setChecked(show);
}

void frmMain::mnuWindowCascade_Click() { m_mdiArea->cascadeSubWindows(); }

void frmMain::mnuWindowTileHorizontal_Click() { shell::tileChildren(*m_mdiArea, Qt::Horizontal); }

void frmMain::mnuWindowTileVertical_Click() { shell::tileChildren(*m_mdiArea, Qt::Vertical); }

void frmMain::mnuWindowArrangeIcons_Click() { shell::arrangeIcons(*m_mdiArea); }

void frmMain::mnuHelpAbout_Click()
{
    frmAbout about(this);
    m_ui.execDialog(about);
}
