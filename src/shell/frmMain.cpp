#include "shell/frmMain.h"

#include "windows/frmDocument.h"
#include "windows/frmExport.h"
#include "windows/frmImport.h"
#include "windows/dlgImportFixture.h"
#include "windows/frmStageScreen.h"
#include "windows/tbxLamps.h"
#include "ui/document_window.h"
#include "shell/frmAbout.h"
#include "shell/product_picture.h"
#include "base/rig_error.h"
#include "ui/twips.h"
#include "ui/ui.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <new>
#include <optional>

namespace {

const QString crlf = QStringLiteral("\r\n");

// A failure as the File commands report it.
struct Failure {
    int number = 0;
    QString description;
};

// Call inside a catch block: turns whatever was thrown into a number and a description.
Failure currentFailure()
{
    try {
        throw;
    } catch (const rig::RigError& e) {
        return {e.number(), QString::fromStdString(e.description())};
    } catch (const std::bad_alloc&) {
        return {7, frmMain::tr("Out of memory")};
    } catch (const std::exception& e) {
        return {51, QString::fromLocal8Bit(e.what())};
    } catch (...) {
        return {51, frmMain::tr("Internal error")};
    }
}

void showError(ui::Ui& ui, QWidget* parent, const QString& text)
{
    ui.message(parent, text, frmMain::tr("Error"), ui::Icon::Critical, ui::Buttons::Ok);
}

// Placement values beyond this are not a window position on any real screen, and
// would overflow the conversion to pixels.
constexpr double maxPlacementTwips = 1.0e6;
// A restored window must show at least this much of itself on some screen.
constexpr int minVisiblePixels = 32;

struct PlacementKey {
    const char* key;
    int defaultTwips;
};
constexpr std::array<PlacementKey, 4> placementKeys = {{
    {"MainLeft", frmMain::defaultLeft},
    {"MainTop", frmMain::defaultTop},
    {"MainWidth", frmMain::defaultWidth},
    {"MainHeight", frmMain::defaultHeight},
}};

// The stored text as a single-precision number of twips, or nothing when unusable.
std::optional<double> parseTwips(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > maxPlacementTwips)
        return std::nullopt;
    return static_cast<double>(static_cast<float>(value));
}

// Decimal text of a single-precision number; whole numbers have no decimal point.
QString twipsText(double twips)
{
    return QString::number(static_cast<double>(static_cast<float>(twips)), 'g', 7);
}

bool reachableOnSomeScreen(const QRect& frame)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return true;
    return std::any_of(screens.cbegin(), screens.cend(), [&frame](const QScreen* screen) {
        const QRect visible = screen->availableGeometry().intersected(frame);
        return visible.width() >= minVisiblePixels && visible.height() >= minVisiblePixels;
    });
}

QRect pixelRect(double left, double top, double width, double height)
{
    return {ui::twipsToPixels(left), ui::twipsToPixels(top), ui::twipsToPixels(width), ui::twipsToPixels(height)};
}

// The recent-file list is one text in the settings store, a full file name a line.
const QString recentFilesKey = QStringLiteral("Recent files");

// The local files a drag carries; other drags are not for the client area.
QStringList droppedFiles(const QMimeData* data)
{
    QStringList files;
    if (data == nullptr || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return files;
}

// Files are only read: the drag's source keeps them, whatever it proposed.
bool acceptAsCopy(QDropEvent* event)
{
    if (!(event->possibleActions() & Qt::CopyAction))
        return false;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

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
    m_mdiArea->viewport()->setAcceptDrops(true);
    m_mdiArea->viewport()->installEventFilter(this);

    createMenus();
    createToolBar();
    createStatusBar();
    refreshRecentFiles();
}

frmMain::~frmMain() = default;

void frmMain::createMenus()
{
    const auto item = [this](QMenu* menu, const char* name, const QString& caption, void (frmMain::*slot)(),
                             const QKeySequence& shortcut = {}) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        if (slot)
            connect(action, &QAction::triggered, this, slot);
        else
            action->setEnabled(false);  // cannot be chosen, from the menu or by its shortcut
        return action;
    };
    const auto bar = [](QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(QLatin1String(name)); };
    const auto menu = [this](const char* name, const QString& title) {
        QMenu* m = menuBar()->addMenu(title);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        return m;
    };

    // The desktop's standard keys besides the fixed Ctrl+O and Ctrl+S; where the
    // platform has none for Save As or Exit, the keys most desktops use.
    const auto standardKeys = [](QAction* action, QKeySequence::StandardKey key, const QKeySequence& fallback = {}) {
        QList<QKeySequence> keys = QKeySequence::keyBindings(key);
        if (keys.isEmpty() && !fallback.isEmpty())
            keys << fallback;
        action->setShortcuts(keys);
    };

    QMenu* mnuFile = menu("mnuFile", tr("&File"));
    QMenu* mnuFileNew = mnuFile->addMenu(tr("&New"));
    mnuFileNew->setObjectName(QStringLiteral("mnuFileNew"));
    mnuFileNew->menuAction()->setObjectName(QStringLiteral("mnuFileNew"));
    standardKeys(item(mnuFileNew, "mnuFileNewLamp", tr("Lamp"), &frmMain::mnuFileNewLamp_Click),
                 QKeySequence::New);
    item(mnuFileNew, "mnuFileNewStagePatch", tr("Stage Patch"), nullptr);
    item(mnuFile, "mnuFileOpen", tr("&Open"), &frmMain::mnuFileOpen_Click,
         QKeySequence(Qt::CTRL | Qt::Key_O));
    standardKeys(item(mnuFile, "mnuFileClose", tr("&Close"), &frmMain::mnuFileClose_Click),
                 QKeySequence::Close);
    bar(mnuFile, "mnuFileBar1");
    item(mnuFile, "mnuFileSave", tr("&Save"), &frmMain::mnuFileSave_Click,
         QKeySequence(Qt::CTRL | Qt::Key_S));
    standardKeys(item(mnuFile, "mnuFileSaveAs", tr("Save &As..."), &frmMain::mnuFileSaveAs_Click),
                 QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    bar(mnuFile, "mnuFileBar1_5");
    item(mnuFile, "mnuFileExport", tr("&Export..."), &frmMain::mnuFileExport_Click);
    item(mnuFile, "mnuFileImport", tr("&Import..."), &frmMain::mnuFileImport_Click);
    item(mnuFile, "mnuFileImportFixture", tr("Import &Fixture..."), &frmMain::mnuFileImportFixture_Click);
    bar(mnuFile, "mnuFileBar4");
    // The recent files sit between the last separator and Exit, with a separator of
    // their own that shows only with them.
    for (int i = 0; i < maxRecentFiles; ++i) {
        QAction* recent = mnuFile->addAction(QString());
        recent->setObjectName(QStringLiteral("mnuFileRecent%1").arg(i + 1));
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this, [this, i] { mnuFileRecent_Click(i); });
        m_mnuFileRecent[static_cast<std::size_t>(i)] = recent;
    }
    m_mnuFileRecentBar = mnuFile->addSeparator();
    m_mnuFileRecentBar->setObjectName(QStringLiteral("mnuFileRecentBar"));
    m_mnuFileRecentBar->setVisible(false);
    standardKeys(item(mnuFile, "mnuFileExit", tr("E&xit"), &frmMain::mnuFileExit_Click),
                 QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Another instance may have changed the list since.
    connect(mnuFile, &QMenu::aboutToShow, this, &frmMain::refreshRecentFiles);

    QMenu* mnuEdit = menu("mnuEdit", tr("&Edit"));
    item(mnuEdit, "mnuEditUndo", tr("&Undo"), nullptr, QKeySequence(Qt::CTRL | Qt::Key_Z));
    bar(mnuEdit, "mnuEditBar1");
    item(mnuEdit, "mnuEditCut", tr("Cu&t"), nullptr, QKeySequence(Qt::CTRL | Qt::Key_X));
    item(mnuEdit, "mnuEditCopy", tr("&Copy"), nullptr, QKeySequence(Qt::CTRL | Qt::Key_C));
    item(mnuEdit, "mnuEditPaste", tr("&Paste"), nullptr, QKeySequence(Qt::CTRL | Qt::Key_V));
    item(mnuEdit, "mnuEditPasteSpecial", tr("Paste &Special..."), nullptr);

    QMenu* mnuView = menu("mnuView", tr("&View"));
    m_mnuViewToolbar = item(mnuView, "mnuViewToolbar", tr("&Toolbar"), &frmMain::mnuViewToolbar_Click);
    m_mnuViewStatusBar =
        item(mnuView, "mnuViewStatusBar", tr("Status &Bar"), &frmMain::mnuViewStatusBar_Click);
    for (QAction* toggle : {m_mnuViewToolbar, m_mnuViewStatusBar}) {
        toggle->setCheckable(true);
        toggle->setChecked(true);
    }

    m_mnuWindow = menu("mnuWindow", tr("&Window"));
    item(m_mnuWindow, "mnuWindowNewWindow", tr("&New Window"), nullptr);
    bar(m_mnuWindow, "mnuWindowBar1");
    item(m_mnuWindow, "mnuWindowCascade", tr("&Cascade"), &frmMain::mnuWindowCascade_Click);
    item(m_mnuWindow, "mnuWindowTileHorizontal", tr("Tile &Horizontal"),
         &frmMain::mnuWindowTileHorizontal_Click);
    item(m_mnuWindow, "mnuWindowTileVertical", tr("Tile &Vertical"),
         &frmMain::mnuWindowTileVertical_Click);
    item(m_mnuWindow, "mnuWindowArrangeIcons", tr("&Arrange Icons"),
         &frmMain::mnuWindowArrangeIcons_Click);
    m_mnuWindowListBar = m_mnuWindow->addSeparator();
    m_mnuWindowListBar->setObjectName(QStringLiteral("mnuWindowListBar"));
    connect(m_mnuWindow, &QMenu::aboutToShow, this, &frmMain::mnuWindow_AboutToShow);
    // Next and previous child window: keys only, the Window menu keeps its items.
    const auto windowKey = [this](const char* name, QKeySequence::StandardKey key, void (QMdiArea::*slot)()) {
        auto* action = new QAction(this);
        action->setObjectName(QLatin1String(name));
        action->setShortcuts(key);
        connect(action, &QAction::triggered, m_mdiArea, slot);
        addAction(action);
    };
    windowKey("mnuWindowNext", QKeySequence::NextChild, &QMdiArea::activateNextSubWindow);
    windowKey("mnuWindowPrevious", QKeySequence::PreviousChild, &QMdiArea::activatePreviousSubWindow);

    QMenu* mnuHelp = menu("mnuHelp", tr("&Help"));
    item(mnuHelp, "mnuHelpAbout", tr("&About Tarsen Rigsmith..."), &frmMain::mnuHelpAbout_Click);
}

void frmMain::createToolBar()
{
    m_tbToolBar = addToolBar(tr("Toolbar"));
    m_tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    m_tbToolBar->setMovable(false);
    m_tbToolBar->setFloatable(false);
    m_tbToolBar->setIconSize(QSize(16, 16));
    m_tbToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);

    // The key picks the command; the tooltip is the text the user reads.
    const auto button = [this](const QString& key, const QString& tip, shell::ToolbarPicture picture) {
        QAction* action = m_tbToolBar->addAction(shell::toolbarIcon(picture), tip);
        action->setObjectName(QStringLiteral("tbToolBar") + key);
        action->setToolTip(tip);
        action->setData(key);
        connect(action, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
    };
    button(QStringLiteral("New"), tr("New"), shell::ToolbarPicture::New);
    button(QStringLiteral("Open"), tr("Open"), shell::ToolbarPicture::Open);
    button(QStringLiteral("Save"), tr("Save"), shell::ToolbarPicture::Save);
    m_tbToolBar->addSeparator();
    button(QStringLiteral("About"), tr("About"), shell::ToolbarPicture::About);
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

QMdiSubWindow* frmMain::addDocument(QWidget* document)
{
    if (auto* lamp = qobject_cast<frmDocument*>(document))
        watchLampDocument(*lamp);
    QMdiSubWindow* sub = m_mdiArea->addSubWindow(document);
    // File > Close has the close keys; the same keys on the child's own menu would make
    // both ambiguous, and neither would run.
    if (QMenu* systemMenu = sub->systemMenu()) {
        const QList<QKeySequence> closeKeys = QKeySequence::keyBindings(QKeySequence::Close);
        for (QAction* entry : systemMenu->actions()) {
            if (!entry->shortcuts().isEmpty() && entry->shortcuts() == closeKeys)
                entry->setShortcuts({});
        }
    }
    sub->show();
    return sub;
}

DocumentWindow* frmMain::activeDocument() const
{
    // currentSubWindow is the active child; unlike activeSubWindow it stays set while
    // another application has the focus.
    const QMdiSubWindow* sub = m_mdiArea->currentSubWindow();
    return sub ? dynamic_cast<DocumentWindow*>(sub->widget()) : nullptr;
}

frmStageScreen* frmMain::stageScreen(bool create)
{
    // One stage screen for the whole run, made on first use. It stays a hidden child of
    // this window until it is first shown in the client area.
    if (!m_stageScreen && create) {
        // The toolbox is a tool window owned by this window; it outlives the stage
        // screen's showings.
        m_tbxLamps = new tbxLamps(m_state, m_ui, *this);
        connect(m_tbxLamps, &tbxLamps::statusText, this, &frmMain::setStatusText);
        m_stageScreen = new frmStageScreen(m_state, m_ui, m_dlgCommonDialog, *m_tbxLamps, this);
        frmStageScreen* screen = m_stageScreen;
        connect(m_mdiArea, &QMdiArea::subWindowActivated, screen, [screen](QMdiSubWindow* window) {
            if (window && window->widget() == screen)
                screen->Form_Activate();
        });
        connect(screen, &frmStageScreen::closed, this, &frmMain::stageScreen_Closed);
        connect(screen, &frmStageScreen::fileSaved, this, &frmMain::addRecentFile);
    }
    return m_stageScreen;
}

void frmMain::stageScreen_Closed()
{
    // The window object is kept for the next patch opened, but its sub-window leaves the
    // client area: a hidden sub-window would stay the area's current one, and the
    // File commands would still reach it.
    auto* sub = qobject_cast<QMdiSubWindow*>(m_stageScreen->parentWidget());
    if (sub && sub->mdiArea()) {
        sub->mdiArea()->removeSubWindow(sub);
        sub->setParent(this);
        sub->hide();
    }
}

void frmMain::import_PatchEntriesReplaced()
{
    // An open stage screen would otherwise show placed lamps that are gone, and close
    // without offering to save the ones that came in. A closed one is only redrawn: the
    // next patch opened replaces these entries anyway. Open means its sub-window is in
    // the client area; a minimised one hides the screen itself but is still open.
    if (!m_stageScreen)
        return;
    m_stageScreen->refreshScreen();
    const auto* sub = qobject_cast<const QMdiSubWindow*>(m_stageScreen->parentWidget());
    if (sub != nullptr && sub->mdiArea() == m_mdiArea)
        m_stageScreen->setChanged(true);
}

// --- Placement ---------------------------------------------------------------------

void frmMain::MDIForm_Load()
{
    std::array<double, placementKeys.size()> twips{};
    bool usable = true;
    for (std::size_t i = 0; i < placementKeys.size(); ++i) {
        const QString text = m_ui.setting(QLatin1String(placementKeys[i].key),
                                          QString::number(placementKeys[i].defaultTwips));
        const std::optional<double> value = parseTwips(text);
        usable = usable && value.has_value();
        twips[i] = value.value_or(0.0);
    }

    // A value that is no number, or a window that no screen would show, makes the
    // whole stored placement unusable: fall back to the first-start placement.
    QRect frame;
    if (usable) {
        frame = pixelRect(twips[0], twips[1], twips[2], twips[3]);
        usable = frame.width() > 0 && frame.height() > 0 && reachableOnSomeScreen(frame);
    }
    if (!usable) {
        twips = {defaultLeft, defaultTop, defaultWidth, defaultHeight};
        frame = pixelRect(twips[0], twips[1], twips[2], twips[3]);
    }

    // Position is the outer top-left corner; size is the window's own size, without the
    // window manager's frame, so a stored size comes back unchanged.
    resize(frame.size());
    move(frame.topLeft());
    m_placedTwips = twips;
    m_placedFrame = frame;
}

void frmMain::MDIForm_Unload()
{
    if (isMinimized())
        return;
    // A window still where it was placed stores the values it was placed from: a
    // round trip through whole pixels would move it by a few twips on every run.
    const std::array<int, 4> pixels = {pos().x(), pos().y(), width(), height()};
    const std::array<int, 4> placed = {m_placedFrame.x(), m_placedFrame.y(), m_placedFrame.width(),
                                       m_placedFrame.height()};
    for (std::size_t i = 0; i < placementKeys.size(); ++i) {
        const bool untouched = m_placedFrame.isValid() && pixels[i] == placed[i];
        const double twips = untouched ? m_placedTwips[i] : ui::pixelsToTwips(pixels[i]);
        m_ui.setSetting(QLatin1String(placementKeys[i].key), twipsText(twips));
    }
}

// --- Ending ------------------------------------------------------------------------

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
    try {
        allClosed = closeAllChildren();
    } catch (...) {
        const Failure failure = currentFailure();
        showError(m_ui, this, tr("Error ") + QString::number(failure.number) +
                                  tr(" when closing file:") + crlf + failure.description);
    }
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
    try {
        newLampDocument();
    } catch (...) {
        const Failure failure = currentFailure();
        showError(m_ui, this, tr("Error") + QString::number(failure.number) + crlf + failure.description);
    }
}

void frmMain::mnuFileOpen_Click()
{
    std::optional<QString> chosen;
    try {
        chosen = m_dlgCommonDialog.showOpen(this, tr("Lamp Files (*.lmp)|*.lmp"), tr("Open"));
    } catch (...) {
        const Failure failure = currentFailure();
        showError(m_ui, this, tr("Error") + QString::number(failure.number) + crlf + failure.description);
        return;
    }
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
    try {
        const QString fileTitle = QFileInfo(fileName).fileName();
        // The ending is compared case-sensitively, as the lamp and patch files are named.
        const QString ending = fileTitle.right(3);
        if (ending == QLatin1String("lmp")) {
            openLampDocument(fileName, fileTitle);
            m_dlgCommonDialog.succeeded(fileName);
        } else if (ending == QLatin1String("pat")) {
            if (openStagePatch(fileName, fileTitle))
                m_dlgCommonDialog.succeeded(fileName);
        } else {
            m_ui.message(this,
                         tr("Rigsmith opens lamp files (.lmp) and stage patch files (.pat).") +
                             crlf + crlf + QStringLiteral("\"") + fileTitle +
                             tr("\" does not end in lmp or pat (in lower case)."),
                         tr("Open"), ui::Icon::Information, ui::Buttons::Ok);
        }
    } catch (...) {
        const Failure failure = currentFailure();
        showError(m_ui, this, tr("Error") + QString::number(failure.number) + crlf + failure.description);
    }
}

void frmMain::mnuFileClose_Click()
{
    QMdiSubWindow* sub = m_mdiArea->currentSubWindow();
    if (!sub) {
        showError(m_ui, this, tr("There is not a window open that can be closed!") + crlf + crlf +
                                  tr("Choose File, Exit if you wish to exit Rigsmith"));
        return;
    }
    try {
        sub->close();  // the window may ask the user and refuse; that ends the command
    } catch (...) {
        const Failure failure = currentFailure();
        showError(m_ui, this, tr("Error ") + QString::number(failure.number) +
                                  tr(" when closing file:") + crlf + failure.description);
    }
}

void frmMain::saveDocument(bool saveAs)
{
    DocumentWindow* document = activeDocument();
    if (!document) {
        showError(m_ui, this, tr("There is not a window open that can be saved!"));
        return;
    }
    try {
        if (saveAs)
            document->File_Save_As();
        else
            document->File_Save();
    } catch (...) {
        const Failure failure = currentFailure();
        showError(m_ui, this, tr("Error ") + QString::number(failure.number) +
                                  tr(" when saving file:") + crlf + failure.description);
    }
}

void frmMain::mnuFileSave_Click() { saveDocument(false); }

void frmMain::mnuFileSaveAs_Click() { saveDocument(true); }

void frmMain::mnuFileExport_Click() { frmExport::showExport(m_frmExport, m_state.AppPath, m_ui); }

void frmMain::mnuFileImport_Click()
{
    frmImport dialog(m_state.patch, m_ui);
    connect(&dialog, &frmImport::lampChosen, this, &frmMain::openImportedLamp);
    connect(&dialog, &frmImport::patchEntriesReplaced, this, &frmMain::import_PatchEntriesReplaced);
    m_ui.execDialog(dialog);
}

// A lamp from a fixture definition opens as the console import's lamps do: a new
// lamp window, marked changed, that asks for a file name when saved.
void frmMain::mnuFileImportFixture_Click()
{
    const std::optional<FixtureImport> imported = askForFixtureLamp(this, m_ui);
    if (!imported)
        return;
    openImportedLamp(imported->converted.lamp);
    showFixtureNotes(this, m_ui, *imported);
}

// --- Recent files ------------------------------------------------------------------

QStringList frmMain::recentFiles() const
{
    QStringList files = m_ui.setting(recentFilesKey, QString()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    files.removeDuplicates();
    while (files.size() > maxRecentFiles)
        files.removeLast();
    return files;
}

void frmMain::storeRecentFiles(const QStringList& fileNames)
{
    m_ui.setSetting(recentFilesKey, fileNames.join(QLatin1Char('\n')));
    refreshRecentFiles();
}

void frmMain::addRecentFile(const QString& fileName)
{
    // A name with a line break cannot be told apart from two names in the stored text.
    if (fileName.isEmpty() || fileName.contains(QLatin1Char('\n')) || fileName.contains(QLatin1Char('\r')))
        return;
    const QString full = QFileInfo(fileName).absoluteFilePath();
    QStringList files = recentFiles();
    files.removeAll(full);
    files.prepend(full);
    while (files.size() > maxRecentFiles)
        files.removeLast();
    storeRecentFiles(files);
}

void frmMain::refreshRecentFiles()
{
    const QStringList files = recentFiles();
    QStringList titles;
    for (const QString& file : files)
        titles << QFileInfo(file).fileName();
    for (int i = 0; i < maxRecentFiles; ++i) {
        QAction* recent = m_mnuFileRecent[static_cast<std::size_t>(i)];
        if (i >= files.size()) {
            recent->setVisible(false);
            continue;
        }
        const QString& file = files.at(i);
        // The file's name, or its whole path where two entries share a name.
        QString shown = titles.count(titles.at(i)) > 1 ? QDir::toNativeSeparators(file) : titles.at(i);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        recent->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        recent->setStatusTip(QDir::toNativeSeparators(file));
        recent->setToolTip(QDir::toNativeSeparators(file));
        recent->setVisible(true);
    }
    m_mnuFileRecentBar->setVisible(!files.isEmpty());
}

void frmMain::mnuFileRecent_Click(int index)
{
    QStringList files = recentFiles();
    if (index < 0 || index >= files.size())
        return;
    const QString fileName = files.at(index);
    if (!QFileInfo::exists(fileName)) {
        files.removeAt(index);
        storeRecentFiles(files);
        m_ui.message(this,
                     tr("The file \"") + QDir::toNativeSeparators(fileName) +
                         tr("\" no longer exists.") + crlf +
                         tr("It has been removed from the list of recent files."),
                     tr("Open"), ui::Icon::Exclamation, ui::Buttons::Ok);
        return;
    }
    openDocument(fileName);
}

void frmMain::watchLampDocument(frmDocument& document)
{
    connect(&document, &frmDocument::fileSaved, this, &frmMain::addRecentFile, Qt::UniqueConnection);
}

// --- Dropped files -----------------------------------------------------------------

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_mdiArea->viewport())
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (droppedFiles(drag->mimeData()).isEmpty())
            return false;
        if (!acceptAsCopy(drag))
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList files = droppedFiles(drop->mimeData());
        if (files.isEmpty() || !acceptAsCopy(drop))
            return false;
        // Opened once the drop is over: a message box must not hold up the program the
        // files came from.
        QMetaObject::invokeMethod(
            this, [this, files] { openFiles(files); }, Qt::QueuedConnection);
        return true;
    }
    default:
        return QMainWindow::eventFilter(watched, event);
    }
}

void frmMain::newLampDocument()
{
    std::unique_ptr<frmDocument> document = std::make_unique<frmDocument>(m_state.lmpImport, m_ui, m_dlgCommonDialog);
    document->File_New();
    addDocument(document.release());
}

void frmMain::openLampDocument(const QString& fileName, const QString& fileTitle)
{
    // A window whose file cannot be read is discarded unseen; the failure goes to Open.
    std::unique_ptr<frmDocument> document = std::make_unique<frmDocument>(m_state.lmpImport, m_ui, m_dlgCommonDialog);
    document->File_Open(fileName, fileTitle);
    addDocument(document.release());
    addRecentFile(fileName);
}

frmDocument* frmMain::openImportedLamp(const rig::Lamp& lamp)
{
    m_state.lmpImport = lamp;
    std::unique_ptr<frmDocument> document = std::make_unique<frmDocument>(m_state.lmpImport, m_ui, m_dlgCommonDialog);
    document->File_Import();
    frmDocument* shown = document.release();
    addDocument(shown);
    return shown;
}

bool frmMain::openStagePatch(const QString& fileName, const QString& fileTitle)
{
    frmStageScreen* screen = stageScreen(true);
    // Reading a patch replaces the one in memory: unsaved changes are not dropped unasked.
    if (!screen->confirmDiscard())
        return false;
    screen->File_Open(fileName, fileTitle);
    addRecentFile(fileName);

    // Closing the stage screen takes its sub-window out of the client area without
    // destroying it; it comes back here.
    auto* sub = qobject_cast<QMdiSubWindow*>(screen->parentWidget());
    if (!sub) {
        sub = addDocument(screen);
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        // The first showing fills the client area, leaving free the column at the right
        // edge where the lamp toolbox stands.
        const QSize area = m_mdiArea->viewport()->size();
        const int toolboxRoom = ui::twipsToPixels(tbxLamps::columnTwips + 300);
        sub->setGeometry(0, 0, std::max(area.width() - toolboxRoom, area.width() / 2), area.height());
    } else if (sub->mdiArea() != m_mdiArea) {
        m_mdiArea->addSubWindow(sub);
    }
    screen->show();
    sub->show();
    m_mdiArea->setActiveSubWindow(sub);
    return true;
}

// --- View --------------------------------------------------------------------------

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

// --- Window ------------------------------------------------------------------------

void frmMain::mnuWindowCascade_Click() { m_mdiArea->cascadeSubWindows(); }

void frmMain::mnuWindowTileHorizontal_Click() { tileChildren(Qt::Horizontal); }

void frmMain::mnuWindowTileVertical_Click() { tileChildren(Qt::Vertical); }

void frmMain::tileChildren(Qt::Orientation strips)
{
    QList<QMdiSubWindow*> windows;
    int iconRowHeight = 0;
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList()) {
        if (sub->isHidden())
            continue;
        if (sub->isMinimized())
            iconRowHeight = std::max(iconRowHeight, sub->height());
        else
            windows.append(sub);
    }
    // Minimised windows keep their row along the bottom.
    if (iconRowHeight > 0)
        mnuWindowArrangeIcons_Click();
    if (windows.isEmpty())
        return;

    QRect area = m_mdiArea->viewport()->rect();
    area.setHeight(std::max(1, area.height() - iconRowHeight));
    const auto count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* sub = windows.at(i);
        if (sub->isMaximized())
            sub->showNormal();
        if (strips == Qt::Horizontal) {
            const int top = area.top() + area.height() * i / count;
            const int bottom = area.top() + area.height() * (i + 1) / count;
            sub->setGeometry(area.left(), top, area.width(), bottom - top);
        } else {
            const int left = area.left() + area.width() * i / count;
            const int right = area.left() + area.width() * (i + 1) / count;
            sub->setGeometry(left, area.top(), right - left, area.height());
        }
    }
}

void frmMain::mnuWindowArrangeIcons_Click()
{
    // Minimised windows in rows from the bottom left, a new row above when one is full.
    const QRect area = m_mdiArea->viewport()->rect();
    int x = area.left();
    int rowBottom = area.bottom() + 1;
    int rowHeight = 0;
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList()) {
        if (sub->isHidden() || !sub->isMinimized())
            continue;
        const QSize icon = sub->size();
        if (x > area.left() && x + icon.width() > area.right() + 1) {
            x = area.left();
            rowBottom -= rowHeight;
            rowHeight = 0;
        }
        sub->move(x, rowBottom - icon.height());
        x += icon.width();
        rowHeight = std::max(rowHeight, icon.height());
    }
}

void frmMain::mnuWindow_AboutToShow()
{
    // The list of open child windows follows the separator; rebuilt for every showing.
    const QList<QAction*> actions = m_mnuWindow->actions();
    const auto listStart = std::find(actions.cbegin(), actions.cend(), m_mnuWindowListBar);
    for (auto it = listStart == actions.cend() ? listStart : listStart + 1; it != actions.cend(); ++it) {
        m_mnuWindow->removeAction(*it);
        delete *it;
    }

    const QMdiSubWindow* current = m_mdiArea->currentSubWindow();
    int number = 0;
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList()) {
        if (sub->isHidden())
            continue;
        ++number;
        QString title = sub->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        const QString caption = number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                            : QStringLiteral("%1 %2").arg(number).arg(title);
        QAction* action = m_mnuWindow->addAction(caption);
        action->setCheckable(true);
        action->setChecked(sub == current);
        const QPointer<QMdiSubWindow> target(sub);
        connect(action, &QAction::triggered, this, [this, target] {
            if (target)
                m_mdiArea->setActiveSubWindow(target);
        });
    }
    m_mnuWindowListBar->setVisible(number > 0);
}

// --- Help and toolbar --------------------------------------------------------------

void frmMain::mnuHelpAbout_Click()
{
    frmAbout about(this);
    m_ui.execDialog(about);
}

void frmMain::tbToolBar_ButtonClick(const QString& key)
{
    if (key == QLatin1String("New"))
        mnuFileNewLamp_Click();
    else if (key == QLatin1String("Open"))
        mnuFileOpen_Click();
    else if (key == QLatin1String("Save"))
        mnuFileSave_Click();
    else if (key == QLatin1String("About"))
        mnuHelpAbout_Click();
}
