#pragma once

#include "core/fixture_description.h"
#include "core/fixture_mapping.h"

#include <QString>
#include <QWidget>

#include <string>

class QLabel;
class QPlainTextEdit;
class QTableWidget;

// A look at what a fixture mode becomes before it is made a lamp: one row a channel
// (its number, the fixture's name for it, the console function it gets) and, below,
// the notes of the mapping. Fed a mode and its mapping result, so any window that lists
// modes can show it.
class LampPreview final : public QWidget {
    Q_OBJECT

public:
    explicit LampPreview(QWidget* parent = nullptr);

    // `mode` as the mapping made it into `converted` (lamp channel c is mode channel c).
    void showMode(const rig::FixtureMode& mode, const rig::FixtureLamp& converted);
    // A mode that cannot become a lamp: its channels without functions, and why.
    void showRefusedMode(const rig::FixtureMode& mode, const QString& reason);
    void clear();

    [[nodiscard]] QTableWidget* grdPreview() const noexcept { return m_grdPreview; }
    [[nodiscard]] QPlainTextEdit* txtNotes() const noexcept { return m_txtNotes; }

private:
    void fillChannels(const rig::FixtureMode& mode, const rig::FixtureLamp* converted);

    QTableWidget* m_grdPreview = nullptr;
    QLabel* m_lblNotes = nullptr;
    QPlainTextEdit* m_txtNotes = nullptr;
};

// Text from a definition, for one line of a list, a cell or a caption: control
// characters and line or paragraph separators become spaces, runs of spaces one.
[[nodiscard]] QString fixtureText(const std::string& utf8);

// One note as the notes list it: `Channel 6 "Dimmer fine": fine channel of ...`.
[[nodiscard]] QString fixtureNoteLine(const rig::FixtureNote& note);
