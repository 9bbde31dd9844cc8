#include "shell/frmMain.h"

#include "windows/frmDocument.h"
#include "windows/frmExport.h"
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
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

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
