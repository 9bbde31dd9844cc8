#pragma once

#include "core/lamp.h"
#include "ui/document_editing.h"
#include "ui/document_window.h"
#include "windows/lamp_origin.h"
#include "windows/lamp_window_layout.h"

#include <QString>
#include <QWidget>

#include <cstddef>
#include <vector>

class ChannelEditors;
class CommonDialog;
class LampHistory;
class LampModel;
class LampWheels;
class QLineEdit;
class QUndoStack;

namespace ui {
class Ui;
}

// The child window in which one lamp is defined: name, channel count, the channel
// grid (a view over the lamp's model), the wheel slots and the icon. It owns its lamp
// and its history of edits, and decides its own close. The lamp is unsaved whenever the
// history stands anywhere but where the lamp was last opened or saved.
class frmDocument final : public QWidget, public DocumentWindow, public DocumentEditing {
    Q_OBJECT

public:
    // `lmpImport` is the record File_Import takes its lamp from; `dlgCommonDialog` is
    // the shared file dialog that Save As shows.
    frmDocument(const rig::Lamp& lmpImport, ui::Ui& ui, CommonDialog& dlgCommonDialog, QWidget* parent = nullptr);
    ~frmDocument() override;

    // Document operations the main window and the import dialog call.
    void File_New();
    // Throws rig::RigError when the file cannot be read; the window is then unchanged.
    void File_Open(const QString& fileName, const QString& fileTitle) override;
    void File_Import();
    // After File_Import of a lamp made from a fixture definition: the window shows where
    // the lamp came from for as long as it is open.
    void setFixtureOrigin(const FixtureOrigin& origin);
    void File_Save() override;
    void File_Save_As() override;

    // The design size; the main window's client area sizes a new child by it.
    [[nodiscard]] QSize sizeHint() const override;

    [[nodiscard]] const rig::Lamp& lamp() const noexcept { return m_lamp; }
    [[nodiscard]] bool changed() const;

    // The Edit menu's commands. Copy puts the selected channel rows (or the current one)
    // on the clipboard, as Rigsmith's own record and as tab-separated text; Cut also sets
    // them to None; Paste writes copied rows from the current row down. A text box with
    // the focus cuts, copies and pastes its own text instead.
    [[nodiscard]] QUndoStack& undoStack() override { return *m_undoStack; }
    void editCut() override;
    void editCopy() override;
    void editPaste() override;
    // The clipboard format of copied channel rows.
    static const QString rowsMimeType;
    [[nodiscard]] const QString& filePath() const noexcept { return m_filePath; }

signals:
    // The lamp was written to this file.
    void fileSaved(const QString& fileName);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The window's one pop-up menu, shown at `globalPos`: every item it offers, and what
    // each runs, is made here. No menu when it would be empty.
    void showPopUp(const QPoint& globalPos);
    void showFixtureNotes();

    void createControls();
    void Form_Load();
    // The history starts empty, at the lamp as saved when it came from a file.
    void startHistory(bool saved);
    // Column widths and places for the current rows and font.
    void labelGrid();
    void Form_Resize();

    void txtNoChannels_Change();
    void txtLampName_Change();
    void model_nameChanged();
    void model_channelCountChanged();

    void grdChannels_Click();
    void grdChannels_KeyPress(int KeyAscii);
    // Opens the in-place editor of the grid's current cell; the key that opened it is
    // not typed into it.
    void cellEdit();
    // Takes over the edit of an open in-place editor, if any.
    void grdChannels_LeaveCell();
    void verifyLamp();

    // The save operations, reporting whether the lamp reached the disk.
    bool saveLamp();
    bool saveLampAs();
    bool writeTo(const QString& fileName);
    // Takes over edits still held by an editor or a focused list before the lamp is used.
    void commitPending();
    // An undo or redo is about to put a lamp back: an open grid editor closes without its
    // edit, and the text boxes forget their own typing.
    void discardPending();
    // A box's typing is committed: later typing is a step of its own, and the box keeps
    // no undo of its own.
    void typingCommitted(QLineEdit* box);
    void forgetTyping(QLineEdit* box);

    // Channel rows for the clipboard: the rows holding a selected cell, else the current
    // row, in order (0-based); empty when there is none.
    [[nodiscard]] std::vector<std::size_t> chosenRows() const;
    bool copyRows();
    void cutRows();
    void pasteRows();
    // The window whose outer height the layout rule uses: the sub-window frame when
    // the window sits in the main window's client area, otherwise this window.
    [[nodiscard]] QWidget* outerWindow();

    const rig::Lamp& m_lmpImport;
    ui::Ui& m_ui;
    CommonDialog& m_dlgCommonDialog;

    rig::Lamp m_lamp{};
    LampModel* m_model = nullptr;
    QUndoStack* m_undoStack = nullptr;
    LampHistory* m_history = nullptr;
    QString m_filePath;
    // Empty unless the lamp was made from a fixture definition.
    FixtureOrigin m_origin;

    // The cell the open editor belongs to: channel row and grid column, from 1 (0: none).
    int m_editRow = 0;
    int m_editColumn = 0;
    ChannelEditors* m_editors = nullptr;
    bool m_committing = false;
    // Set while the window itself writes into its boxes: those writes are no user edits.
    bool m_refreshing = false;
    // Set while the count box's own text sets the count: the box keeps what was typed.
    bool m_countFromBox = false;
    bool m_resizing = false;
    // The least outer height that shows every control; the design's 5400 twips unless a
    // larger font needs more.
    int m_minimumHeight = 0;

    lamp_layout::Controls m_controls;
    LampWheels* m_wheels = nullptr;
};
