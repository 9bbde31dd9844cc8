#pragma once

#include "core/fixture_description.h"
#include "core/fixture_mapping.h"
#include "windows/lamp_origin.h"

#include <QDialog>
#include <QString>

#include <optional>
#include <vector>

class LampPreview;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ui {
class Ui;
}

// Lists the modes of a fixture definition, "name — N channels" each, and lets the
// user choose the one to make a lamp of; the selected mode's channels and console
// functions are previewed below the list. Modes that cannot become a lamp are listed
// greyed with their reason and cannot be chosen. A fixture of many modes gets a filter
// field. Shown modally; chosenMode() after OK.
class dlgImportFixture final : public QDialog {
    Q_OBJECT

public:
    // Above this many modes the list gets its filter field.
    static constexpr int filterFrom = 11;

    explicit dlgImportFixture(const rig::FixtureDescription& fixture, QWidget* parent = nullptr);

    // The chosen mode's index in the definition, or -1 when none is chosen.
    [[nodiscard]] int chosenMode() const;
    // The chosen mode made a lamp, or nullptr when none is chosen.
    [[nodiscard]] const rig::FixtureLamp* chosenLamp() const;

    [[nodiscard]] QListWidget* lstModes() const noexcept { return m_lstModes; }
    [[nodiscard]] QLineEdit* txtFilter() const noexcept { return m_txtFilter; }  // nullptr for few modes
    [[nodiscard]] LampPreview* preview() const noexcept { return m_preview; }
    [[nodiscard]] QPushButton* btnOK() const noexcept { return m_btnOK; }

    // The text a mode is listed with.
    [[nodiscard]] static QString modeText(const rig::FixtureMode& mode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What a mode becomes: a lamp, or the reason it cannot become one.
    struct ModeChoice {
        std::optional<rig::FixtureLamp> lamp;
        QString reason;
    };
    [[nodiscard]] static ModeChoice convert(const rig::FixtureDescription& fixture, std::size_t mode);

    void fillModes();
    void fitListWidth();
    void lstModes_SelectionChanged();
    void txtFilter_Change();
    // Selects the first (or last) mode shown that can be chosen.
    void selectEnd(bool last);

    rig::FixtureDescription m_fixture;
    std::vector<ModeChoice> m_choices;  // one a mode, in definition order

    QLabel* m_lblFixture = nullptr;
    QLineEdit* m_txtFilter = nullptr;
    QListWidget* m_lstModes = nullptr;
    LampPreview* m_preview = nullptr;
    QPushButton* m_btnOK = nullptr;
    QPushButton* m_btnCancel = nullptr;
};

// A lamp made from a fixture definition, with where it came from.
struct FixtureImport {
    rig::FixtureLamp converted;
    QString fileName;  // the definition's file name, without its folder
    QString modeName;
    FixtureOrigin origin;
};

// The import of mode `mode` of `fixture`, made `converted` by the mapping, from the file
// named `fileName`: caption, row tooltips and notes as every fixture import shows them.
[[nodiscard]] FixtureImport fixtureImport(const rig::FixtureDescription& fixture, std::size_t mode,
                                          const rig::FixtureLamp& converted, const QString& fileName);

// File > Import Fixture: asks for a definition file, reads it and asks for the mode.
// The file dialog starts in the folder of the last definition read. Nothing when the
// user cancels, or when the file cannot be read or understood (one message box then
// says why, naming the file and the line or field).
[[nodiscard]] std::optional<FixtureImport> askForFixtureLamp(QWidget* parent, ui::Ui& ui);

// One information box listing the channels that did not get their natural console
// function; nothing when every channel did.
void showFixtureNotes(QWidget* parent, ui::Ui& ui, const FixtureImport& imported);
