#pragma once

#include "core/lamp.h"
#include "ui/document_window.h"

#include <QString>
#include <QWidget>

#include <array>

class CommonDialog;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace ui {
class Ui;
}

// The child window in which one lamp is defined: name, channel count, the channel
// grid, the wheel slots and the icon. It owns its lamp and decides its own close.
class frmDocument final : public QWidget, public DocumentWindow {
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
    void File_Save() override;
    void File_Save_As() override;

    // The design size; the main window's client area sizes a new child by it.
    [[nodiscard]] QSize sizeHint() const override;

    [[nodiscard]] const rig::Lamp& lamp() const noexcept { return m_lamp; }
    [[nodiscard]] bool changed() const noexcept { return m_changed; }
    [[nodiscard]] const QString& filePath() const noexcept { return m_filePath; }
    [[nodiscard]] int wheelPage() const noexcept { return m_wheelPage; }

    // Window procedures, public so that the event wiring can be exercised directly.
    void labelGrid();
    void refreshGrid();
    // Opens the in-place editor of the grid's current cell; `KeyAscii` (the key that
    // opened it, or 0) is not typed into it.
    void cellEdit(QTableWidget* flexGrid, int KeyAscii);
    // Fills `cmbEdit`: list 0 the channel functions, list 1 the palette types.
    void loadFnNames(QComboBox& cmbEdit, int list);
    void grdChannels_Click();
    void grdChannels_KeyPress(int KeyAscii);
    void grdChannels_LeaveCell();
    void txtNoChannels_Change();
    void txtLampName_Change();
    void btnVerify_Click();
    void verifyLamp();
    void Form_Resize();

    void loadWheelFnNames();
    void refreshWheels();
    void refreshIcon();
    void Command1_Click();
    void cmbWheel_LostFocus(int index);
    void txtWheel_Change(int index);
    void txtWheel_Click(int index);
    void cmbIcon_LostFocus();

signals:
    // The lamp was written to this file.
    void fileSaved(const QString& fileName);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The grid's in-place editors: cmbEdit for the function and palette columns,
    // txtEdit for the step.
    class ChannelEditors;

    void createControls();
    // Moves and widens the controls from their design places only as far as the text of
    // the current font and scale needs; the channel grid's columns show whole.
    void fitToFont();
    void Form_Load();
    // The save operations, reporting whether the lamp reached the disk.
    bool saveLamp();
    bool saveLampAs();
    bool writeTo(const QString& fileName);
    // Takes over edits still held by an editor or a focused list before the lamp is used.
    void commitPending();
    // The open in-place editor's cell shown from the lamp, and its value taken into it.
    void showInEditor(QWidget& editor, int row, int column);
    void takeFromEditor(const QWidget& editor, int row, int column);
    // The window whose outer height the layout rule uses: the sub-window frame when
    // the window sits in the main window's client area, otherwise this window.
    [[nodiscard]] QWidget* outerWindow();
    [[nodiscard]] int wheelSlot(int index) const noexcept { return 4 * m_wheelPage + index; }

    const rig::Lamp& m_lmpImport;
    ui::Ui& m_ui;
    CommonDialog& m_dlgCommonDialog;

    rig::Lamp m_lamp{};
    QString m_filePath;
    bool m_changed = false;
    int m_wheelPage = 0;

    // Channel row and grid column the open editor belongs to (grid column 1 to 3).
    int m_editRow = 0;
    int m_editColumn = 0;
    ChannelEditors* m_editors = nullptr;
    bool m_committing = false;
    // Set while the window itself writes into its boxes: those writes are no user edits.
    bool m_refreshing = false;
    bool m_resizing = false;
    // The least outer height that shows every control; the design's 5400 twips unless a
    // larger font needs more.
    int m_minimumHeight = 0;

    QLineEdit* m_txtLampName = nullptr;
    QLabel* m_Label1 = nullptr;
    QLineEdit* m_txtNoChannels = nullptr;
    QLabel* m_Label5 = nullptr;
    QComboBox* m_cmbIcon = nullptr;
    QFrame* m_Line2 = nullptr;
    QTableWidget* m_grdChannels = nullptr;
    QLabel* m_Label2 = nullptr;
    QLabel* m_Label3 = nullptr;
    QLabel* m_Label4 = nullptr;
    QPushButton* m_btnVerify = nullptr;
    QFrame* m_Line1 = nullptr;
    std::array<QLineEdit*, 4> m_txtWheel{};
    std::array<QComboBox*, 4> m_cmbWheel{};
    QPushButton* m_Command1 = nullptr;
    QLabel* m_lblPage = nullptr;
};
