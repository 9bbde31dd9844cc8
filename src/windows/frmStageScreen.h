#pragma once

#include "windows/mnuMenus.h"
#include "ui/document_editing.h"
#include "ui/document_window.h"

#include <QWidget>

#include <optional>

class CommonDialog;
class PatchHistory;
class QDropEvent;
class QTableWidget;
class QUndoStack;
class tbxLamps;

namespace rig {
struct AppState;
struct Lamp;
struct StagePatch;
}
namespace ui {
class Ui;
}

// The stage screen: the program-wide stage patch drawn on a grid of 24 rows
// (A to X) by 20 columns. Lamps come from the lamp toolbox by drag and drop, move by
// press and release, and are edited in the lamp patch properties dialog. Every change
// to the patch made here is a step of the screen's history; the patch is unsaved
// whenever the history stands anywhere but where it was last opened or saved.
class frmStageScreen final : public QWidget, public DocumentWindow, public DocumentEditing {
    Q_OBJECT

public:
    // Shows `state`'s stage patch. Save As uses the shared `dlgCommonDialog`; the
    // `toolbox` is shown while this window is active and hidden when it closes.
    frmStageScreen(rig::AppState& state, ui::Ui& ui, CommonDialog& dlgCommonDialog, tbxLamps& toolbox,
                   QWidget* parent = nullptr);

    // An empty patch, as at start-up, with no file name: the first Save asks for one.
    // Unsaved changes are dropped unasked; callers ask first (confirmDiscard).
    void File_New();
    void File_Open(const QString& fileName, const QString& fileTitle) override;
    void File_Save() override;
    void File_Save_As() override;

    // The patch sheet of the patch shown (stage_screen_sheet.cpp): printed after the
    // print dialog, or written as a PDF under a name the save dialog gives. The PDF's
    // write failures are thrown as rig::RigError for the caller to report.
    void printPatchSheet();
    void exportPatchSheetPdf();

    // Draws the patch again.
    void refreshScreen();
    // Something else replaced the placed lamps: the steps so far no longer describe the
    // patch and are dropped. `unsaved` when the screen is open and must offer to save.
    void patchReplaced(bool unsaved);

    [[nodiscard]] bool isChanged() const;
    // Marks the patch saved (history clean) or unsaved.
    void setChanged(bool changed);

    // The Edit menu's commands, on the grid's current cell. Copy puts a placed lamp's type
    // and properties on the clipboard; Cut does so and takes the lamp off the stage; Paste
    // places a new lamp like the one copied.
    [[nodiscard]] QUndoStack& undoStack() override { return *m_undoStack; }
    void editCut() override;
    void editCopy() override;
    void editPaste() override;
    // The clipboard format of a copied placed lamp.
    static const QString lampMimeType;
    [[nodiscard]] const QString& fileName() const noexcept { return m_sFileName; }

    // With unsaved changes, asks whether they may be dropped; true when they may
    // (or there are none).
    [[nodiscard]] bool confirmDiscard();

    // Shows the lamp toolbox; the main window calls it whenever this window becomes active.
    void Form_Activate();
    [[nodiscard]] tbxLamps& toolbox() const noexcept { return m_toolbox; }

    [[nodiscard]] QTableWidget* grdStageScreen() const noexcept { return m_grdStageScreen; }
    // The text of grid cell (row, col); row 0 and column 0 are the headings.
    [[nodiscard]] QString textMatrix(int row, int col) const;
    // Centre of grid cell (row, col) from 1, in the grid viewport's coordinates.
    [[nodiscard]] QPoint cellCentre(int row, int col) const;

signals:
    // The window has closed (the user let any changes go); the one stage screen is
    // kept for the next patch opened.
    void closed();
    // The patch was written to this file.
    void fileSaved(const QString& fileName);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Entry index that findLamp returns for "no lamp".
    static constexpr int noLamp = 255;
    // popAction values; popNone while the pop-up menu has chosen nothing.
    static constexpr int popNone = -1;
    static constexpr int popCut = mnuMenus::popCut;
    static constexpr int popCopy = mnuMenus::popCopy;
    static constexpr int popPaste = mnuMenus::popPaste;
    static constexpr int popProperties = mnuMenus::popProperties;

    // Edits entry nLamp in the properties dialog; a row or column of 0 stands for the
    // entry's own position. An offered address stands in the start boxes as the
    // automatic patch would hand it out. True when the dialog was closed with OK.
    bool editProperties(int nLamp, int nRow, int nCol, std::optional<int> offeredAddress = std::nullopt);
    // Properties from the pop-up menu or a double click, as one step.
    void lampProperties(int lamp);
    // The entry a new lamp takes (the next one not in use from nNextEntry), or -1 after
    // telling the user that every lamp number is spent.
    [[nodiscard]] int newLampEntry();
    void setupScreen();
    void labelScreen();
    // Lowest index of an entry in use at the 0-based stage position, or noLamp.
    [[nodiscard]] int findLamp(int row, int col) const;
    void setPopAction(int action) noexcept { m_popAction = action; }

    struct Cell {
        int row = 0;  // grid row, 1 to 24; 0 when the point is on no stage cell
        int col = 0;  // grid column, 1 to 20
        [[nodiscard]] bool valid() const noexcept { return row > 0 && col > 0; }
    };

    [[nodiscard]] Cell cellAt(const QPoint& viewportPos) const;
    [[nodiscard]] bool occupiedByOther(int row, int col, int except) const;
    void grdStageScreen_MouseDown(Qt::MouseButton button, const QPoint& pos);
    void grdStageScreen_MouseUp(Qt::MouseButton button, const QPoint& pos, const QPoint& globalPos);
    void grdStageScreen_DblClick(const QPoint& pos);
    void grdStageScreen_DragDrop(QDropEvent* event);
    void showPopUp(const QPoint& globalPos, Cell cell);
    void refuseDropOnLamp();
    void toolbox_LampAssigned(int slot, const rig::Lamp& previous);
    void afterUndo();

    // Clipboard commands on a placed lamp (an entry index) or a cell.
    void copyLamp(int lamp);
    void cutLamp(int lamp);
    void pasteLamp(Cell cell);
    [[nodiscard]] static bool clipboardHoldsLamp();
    // The grid's current cell, and the lamp on it or noLamp.
    [[nodiscard]] Cell currentCell() const;
    [[nodiscard]] int lampAt(Cell cell) const;
    // Tells the user, once per patch read, of lamps in use at no cell of the grid.
    void reportLampsOffStage();

    rig::AppState& m_state;
    ui::Ui& m_ui;
    CommonDialog& m_dlgCommonDialog;
    tbxLamps& m_toolbox;
    QTableWidget* m_grdStageScreen = nullptr;
    QUndoStack* m_undoStack = nullptr;
    PatchHistory* m_history = nullptr;
    QString m_sFileName;
    int m_nCurrent = noLamp;
    bool m_bMoving = false;
    int m_nMoving = 0;
    bool m_rightPressed = false;
    int m_popAction = popCut;
};
