#pragma once

#include "core/app_state.h"
#include "ui/common_dialog.h"

#include <QMainWindow>
#include <QRect>
#include <QStringList>

#include <array>
#include <memory>

class DocumentWindow;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class frmDocument;
class frmExport;
class frmStageScreen;
class tbxLamps;

namespace ui {
class Ui;
}

// The multiple-document frame: menus, toolbar, status bar and the client area that
// holds the lamp windows and the one stage screen.
class frmMain final : public QMainWindow {
    Q_OBJECT

public:
    // Placement used when the settings store has none (or an unusable one), in twips.
    static constexpr int defaultLeft = 1000;
    static constexpr int defaultTop = 1000;
    static constexpr int defaultWidth = 6500;
    static constexpr int defaultHeight = 6500;
    // Files the File menu offers again, most recent first.
    static constexpr int maxRecentFiles = 4;

    // `state` is the program-wide data and `ui` the toolkit seam; both outlive the
    // window, which hands them on to the windows it opens.
    frmMain(rig::AppState& state, ui::Ui& ui, QWidget* parent = nullptr);
    ~frmMain() override;

    [[nodiscard]] CommonDialog& dlgCommonDialog() noexcept { return m_dlgCommonDialog; }
    [[nodiscard]] QMdiArea* mdiArea() const noexcept { return m_mdiArea; }

    // The status bar's one text (the toolbox shows the slot number there).
    void setStatusText(const QString& text);
    [[nodiscard]] QString statusText() const;

    // Puts a document window into the client area and shows it.
    QMdiSubWindow* addDocument(QWidget* document);
    // The active child window's document, or nullptr.
    [[nodiscard]] DocumentWindow* activeDocument() const;
    // The one stage screen, with the lamp toolbox; created on first use when `create` is set.
    frmStageScreen* stageScreen(bool create);
    // A new lamp window holding `lamp`, handed over through state().lmpImport, shown in
    // the client area.
    frmDocument* openImportedLamp(const rig::Lamp& lamp);

    // Opens each file in turn as Open does with the name its dialog gave: a lamp window
    // for "lmp", the stage screen for "pat"; each failure gets Open's message box.
    // The command line's and dropped files come in here.
    void openFiles(const QStringList& fileNames);
    // The recently opened or saved files as stored, most recent first.
    [[nodiscard]] QStringList recentFiles() const;

    // Placement restore and save (twips, settings store).
    void MDIForm_Load();
    void MDIForm_Unload();

public slots:
    void mnuFileNewLamp_Click();
    void mnuFileOpen_Click();
    void mnuFileClose_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFileExport_Click();
    void mnuFileImport_Click();
    void mnuFileImportFixture_Click();
    void mnuFileExit_Click();
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();
    void mnuWindowCascade_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowArrangeIcons_Click();
    void mnuHelpAbout_Click();
    void tbToolBar_ButtonClick(const QString& key);
    // Opens entry `index` (from 0) of the recent-file list, or says that it is gone.
    void mnuFileRecent_Click(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Files dropped on the client area open as Open opens them.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void mnuWindow_AboutToShow();
    // Lays the open, not minimised child windows out in equal strips.
    void tileChildren(Qt::Orientation strips);
    // Closes every child through its own close; false when one refuses.
    bool closeAllChildren();
    void saveDocument(bool saveAs);
    // The stage screen closed: its sub-window leaves the client area, kept for reuse.
    void stageScreen_Closed();
    // An import replaced the placed lamps the stage screen shows.
    void import_PatchEntriesReplaced();

    // Open after its dialog: the branch by the file title's ending, failures reported.
    void openDocument(const QString& fileName);
    // Puts a file at the head of the recent-file list in the settings store.
    void addRecentFile(const QString& fileName);
    void storeRecentFiles(const QStringList& fileNames);
    void refreshRecentFiles();
    // Wires a lamp window's saves to the recent-file list.
    void watchLampDocument(frmDocument& document);

    // The document-opening branches of New Lamp and Open; they throw rig::RigError.
    void newLampDocument();
    void openLampDocument(const QString& fileName, const QString& fileTitle);
    // False when the user kept the unsaved patch in memory.
    bool openStagePatch(const QString& fileName, const QString& fileTitle);

    rig::AppState& m_state;
    ui::Ui& m_ui;
    CommonDialog m_dlgCommonDialog;
    QMdiArea* m_mdiArea = nullptr;
    QToolBar* m_tbToolBar = nullptr;
    QLabel* m_statusLabel = nullptr;
    QMenu* m_mnuWindow = nullptr;
    std::array<QAction*, maxRecentFiles> m_mnuFileRecent{};
    QAction* m_mnuFileRecentBar = nullptr;
    QAction* m_mnuWindowListBar = nullptr;
    QAction* m_mnuViewToolbar = nullptr;
    QAction* m_mnuViewStatusBar = nullptr;
    frmStageScreen* m_stageScreen = nullptr;
    tbxLamps* m_tbxLamps = nullptr;
    // The placement MDIForm_Load applied: the stored twips and the pixels they became.
    std::array<double, 4> m_placedTwips{};
    QRect m_placedFrame;
    // The one export dialog; kept hidden between exports, discarded by Cancel.
    std::unique_ptr<frmExport> m_frmExport;
};
