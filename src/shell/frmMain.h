#pragma once

#include "core/app_state.h"
#include "shell/window_placement.h"
#include "ui/common_dialog.h"

#include <QMainWindow>
#include <QHash>
#include <QStringList>

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
class frmLibrary;
class frmStageScreen;
struct FixtureImport;

namespace shell {
class RecentFiles;
class StageScreenHost;
}

namespace ui {
class Ui;
}

// The multiple-document frame: menus, toolbar, status bar and the client area that
// holds the lamp windows and the one stage screen. It routes the File commands to the
// active child window; placement, recent files, dropped files, the arranging of child
// windows and the reporting of failures each live in a unit of their own.
class frmMain final : public QMainWindow {
    Q_OBJECT

public:
    // The first-start size, in twips.
    static constexpr int defaultWidth = shell::WindowPlacement::defaultWidth;
    static constexpr int defaultHeight = shell::WindowPlacement::defaultHeight;

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
    // The one Fixture Library window; created on first use when `create` is set.
    frmLibrary* fixtureLibrary(bool create);

    // Opens each file in turn as Open does with the name its dialog gave: a lamp window
    // for "lmp", the stage screen for "pat"; each failure gets Open's message box.
    // The command line's and dropped files come in here.
    void openFiles(const QStringList& fileNames);

    // Restores the placement stored by the last run.
    void MDIForm_Load();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Makes every command's action and puts it into the menus and onto the toolbar.
    void createCommands();
    void createStatusBar();
    // A toolbar button was clicked: runs the command of its key ("New", "Open", "Save",
    // "About").
    void tbToolBar_ButtonClick(const QString& key);

    void mnuFileNewLamp_Click();
    void mnuFileNewStagePatch_Click();
    void mnuFileOpen_Click();
    void mnuFileClose_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFileImport_Click();
    void mnuFileImportFixture_Click();
    void mnuFileFixtureLibrary_Click();
    void mnuFilePrintSheet_Click();
    void mnuFileExportSheet_Click();
    void mnuFileExport_Click();
    void mnuFileExit_Click();
    // A file chosen from the recent-file list: opened, or said to be gone.
    void mnuFileRecent_Click(const QString& fileName);
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();
    void mnuWindowCascade_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowArrangeIcons_Click();
    void mnuHelpAbout_Click();
    // Stores the placement; the window is closing.
    void MDIForm_Unload();

    // Closes every child through its own close; false when one refuses.
    bool closeAllChildren();
    void saveDocument(bool saveAs);

    // Open after its dialog: the branch by the file title's ending, failures reported.
    void openDocument(const QString& fileName);
    // The document-opening branches of New Lamp and Open; they throw rig::RigError.
    void newLampDocument();
    void openLampDocument(const QString& fileName, const QString& fileTitle);
    // False when the user kept the unsaved patch in memory.
    bool openStagePatch(const QString& fileName, const QString& fileTitle);
    // A new lamp window holding `lamp`, handed over through state().lmpImport, shown in
    // the client area: the import dialogs' lamps come in here.
    frmDocument* openImportedLamp(const rig::Lamp& lamp);
    // A lamp from a fixture definition, chosen in Import Fixture or the Fixture Library:
    // an imported lamp window that names the fixture, then the mapping's notes.
    void openFixtureImport(const FixtureImport& imported);

    rig::AppState& m_state;
    ui::Ui& m_ui;
    CommonDialog m_dlgCommonDialog;
    QMdiArea* m_mdiArea = nullptr;
    QToolBar* m_tbToolBar = nullptr;
    QHash<QString, QAction*> m_toolbarCommands;
    QLabel* m_statusLabel = nullptr;
    QAction* m_mnuViewToolbar = nullptr;
    QAction* m_mnuViewStatusBar = nullptr;
    shell::RecentFiles* m_recentFiles = nullptr;
    shell::WindowPlacement m_placement;
    shell::StageScreenHost* m_stageScreen = nullptr;
    // The one export dialog; kept hidden between exports, discarded by Cancel.
    std::unique_ptr<frmExport> m_frmExport;
    // The Fixture Library window: a top-level window of this one, kept when closed.
    frmLibrary* m_frmLibrary = nullptr;
};
