#pragma once

#include "core/lamp.h"
#include "core/stage_patch.h"

#include <QDialog>
#include <QString>

#include <array>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ui {
class Ui;
}

// Lists the lamps of a console lamp data file and hands the chosen one on for a new
// lamp window. Reading a file also replaces the stage patch's placed lamps with the
// file's patch area. Created for one use and shown modally.
class frmImport final : public QDialog {
    Q_OBJECT

public:
    frmImport(rig::StagePatch& patch, ui::Ui& ui, QWidget* parent = nullptr);

    // The slots of the last file read; free slots hold zeroed records.
    [[nodiscard]] const std::array<rig::Lamp, rig::lampSlots>& lmpSlots() const noexcept { return m_lmpSlots; }

    [[nodiscard]] QLineEdit* txtImportFile() const noexcept { return m_txtImportFile; }
    [[nodiscard]] QListWidget* lstLamps() const noexcept { return m_lstLamps; }

    // Reads the file at `path` into the slots, the lamp list and the stage patch, or
    // reports why it can not.
    void importDataFile(const QString& path);

signals:
    // Open Entity chose `lamp`; the dialog has closed. A new lamp window takes it.
    void lampChosen(const rig::Lamp& lamp);
    // A file read replaced the placed lamps of the stage patch.
    void patchEntriesReplaced();

private:
    void btnBrowse_Click();
    void btnImport_Click();
    void btnOpen_Click();
    void lstLamps_DblClick();
    void btnCancel_Click();

    rig::StagePatch& m_patch;
    ui::Ui& m_ui;
    std::array<rig::Lamp, rig::lampSlots> m_lmpSlots{};

    QLabel* m_lblImportFile = nullptr;
    QLineEdit* m_txtImportFile = nullptr;
    QPushButton* m_btnBrowse = nullptr;
    QPushButton* m_btnImport = nullptr;
    QLabel* m_Label2 = nullptr;
    QListWidget* m_lstLamps = nullptr;
    QPushButton* m_btnOpen = nullptr;
    QPushButton* m_btnCancel = nullptr;
};
