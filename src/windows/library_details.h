#pragma once

#include "core/fixture_description.h"
#include "core/fixture_mapping.h"
#include "windows/dlgImportFixture.h"

#include <QString>
#include <QWidget>

#include <optional>

class LampPreview;
class QLabel;
class QListWidget;
class QPushButton;

namespace library {
struct Entry;
}

// The right side of the Fixture Library window: the chosen fixture read from its file as
// the import reads it, its modes (those that cannot become a lamp greyed, with the
// reason), the shared preview of the chosen mode, and Import.
class LibraryDetails final : public QWidget {
    Q_OBJECT

public:
    explicit LibraryDetails(QWidget* parent = nullptr);

    // Shows `entry`'s fixture (nullptr: none); the same file again is not read again.
    void showFixture(const library::Entry* entry);
    // The chosen mode's import, when it can become a lamp.
    [[nodiscard]] std::optional<FixtureImport> chosenImport() const;

    [[nodiscard]] QLabel* lblFixture() const noexcept { return m_lblFixture; }
    [[nodiscard]] QListWidget* lstModes() const noexcept { return m_lstModes; }
    [[nodiscard]] LampPreview* preview() const noexcept { return m_preview; }
    [[nodiscard]] QPushButton* btnImport() const noexcept { return m_btnImport; }

signals:
    // Import, or Enter or a double-click on a mode.
    void importRequested();

private:
    void lstModes_CurrentChanged();

    QString m_path;
    rig::FixtureDescription m_fixture;
    int m_mode = -1;
    std::optional<rig::FixtureLamp> m_lamp;

    QLabel* m_lblFixture = nullptr;
    QListWidget* m_lstModes = nullptr;
    LampPreview* m_preview = nullptr;
    QPushButton* m_btnImport = nullptr;
};
