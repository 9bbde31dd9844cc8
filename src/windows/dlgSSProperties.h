#pragma once

#include "core/stage_patch.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace ui {
class Ui;
}

// Edits one placed lamp of the stage patch; its Patch button hands out the next
// address of the automatic patch counter. The caller sets the screen position
// boxes and the entry index (the tag), shows the dialog modally and reads
// bResponse afterwards.
class dlgSSProperties final : public QDialog {
    Q_OBJECT

public:
    dlgSSProperties(rig::StagePatch& patch, ui::Ui& ui, QWidget* parent = nullptr);

    // Index of the edited entry in patchEntries.
    void setTag(int index) noexcept { m_tag = index; }
    [[nodiscard]] int tag() const noexcept { return m_tag; }

    // True when the dialog was closed with OK.
    [[nodiscard]] bool bResponse() const noexcept { return m_bResponse; }

    [[nodiscard]] QLineEdit* txtScreenRow() const noexcept { return m_txtScreenRow; }
    [[nodiscard]] QLineEdit* txtScreenCol() const noexcept { return m_txtScreenCol; }

    // The start boxes show `address` instead of the entry's own values, as the automatic
    // patch would hand it out; the counter is left to the caller.
    void offerAddress(int address) noexcept { m_offeredAddress = address; }

    // Fills the fields from the tagged entry. Runs once, when the dialog is first
    // shown; later activations keep what the user typed.
    void Form_Activate();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void btnAutoPatch_Click();
    void btnOK_Click();
    void btnCancel_Click();
    void Form_Load();
    [[nodiscard]] bool validTag() const noexcept;
    // The box's whole number within [low, high], or nullopt after telling the user.
    std::optional<int> readNumber(QLineEdit* box, const QString& what, int low, int high);
    void warn(const QString& text);

    rig::StagePatch& m_patch;
    ui::Ui& m_ui;
    rig::PatchEntry m_ssEntry;
    int m_tag = 0;
    std::optional<int> m_offeredAddress;
    bool m_bResponse = false;
    bool m_activated = false;

    QLineEdit* m_txtLampNumber = nullptr;
    QLineEdit* m_txtNoChans = nullptr;
    QComboBox* m_cmbLampType = nullptr;
    QLineEdit* m_txtScreenRow = nullptr;
    QLineEdit* m_txtScreenCol = nullptr;
    QGroupBox* m_fraPanTilt = nullptr;
    QCheckBox* m_optPanInv = nullptr;
    QCheckBox* m_optTiltInv = nullptr;
    QCheckBox* m_optPanTiltSwap = nullptr;
    QGroupBox* m_fraPatch = nullptr;
    QLineEdit* m_txtStartChan = nullptr;
    QLineEdit* m_txtStartDMX = nullptr;
    QPushButton* m_btnAutoPatch = nullptr;
    QPushButton* m_btnOK = nullptr;
    QPushButton* m_btnCancel = nullptr;
};
