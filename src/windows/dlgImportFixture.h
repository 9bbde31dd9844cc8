#pragma once

#include "core/fixture_description.h"
#include "core/fixture_mapping.h"

#include <QDialog>
#include <QString>

#include <optional>

class QLabel;
class QListWidget;
class QPushButton;

namespace ui {
class Ui;
}

// Lists the modes of a fixture definition, "name — N channels" each, and lets the
// user choose the one to make a lamp of. Modes the console cannot take are listed
// with the reason and cannot be chosen. Shown modally; chosenMode() after OK.
class dlgImportFixture final : public QDialog {
    Q_OBJECT

public:
    explicit dlgImportFixture(const rig::FixtureDescription& fixture, QWidget* parent = nullptr);

    // The chosen mode's index in the definition, or -1 when none is chosen.
    [[nodiscard]] int chosenMode() const;

    [[nodiscard]] QListWidget* lstModes() const noexcept { return m_lstModes; }
    [[nodiscard]] QPushButton* btnOK() const noexcept { return m_btnOK; }

    // The text a mode is listed with.
    [[nodiscard]] static QString modeText(const rig::FixtureMode& mode);

private:
    void lstModes_SelectionChanged();

    QLabel* m_lblFixture = nullptr;
    QListWidget* m_lstModes = nullptr;
    QPushButton* m_btnOK = nullptr;
    QPushButton* m_btnCancel = nullptr;
};

// A lamp made from a fixture definition, with where it came from.
struct FixtureImport {
    rig::FixtureLamp converted;
    QString fileName;  // the definition's file name, without its folder
    QString modeName;
};

// File > Import Fixture: asks for a definition file, reads it and asks for the mode.
// Nothing when the user cancels, or when the file cannot be read or understood (one
// message box then says why, naming the file and the line or field).
[[nodiscard]] std::optional<FixtureImport> askForFixtureLamp(QWidget* parent, ui::Ui& ui);

// One information box listing the channels that did not get their natural console
// function; nothing when every channel did.
void showFixtureNotes(QWidget* parent, ui::Ui& ui, const FixtureImport& imported);
