#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace ui {
class Ui;
}

// The main window's shared file dialog: the Open command and the Save As of the
// document windows use it, and the name chosen last stays preset for the next use.
class CommonDialog final {
public:
    explicit CommonDialog(ui::Ui& ui) noexcept : m_ui(ui) {}

    // Filters are "Description|pattern". std::nullopt when the user cancels.
    [[nodiscard]] std::optional<QString> showOpen(QWidget* parent, const QString& filter,
                                                  const QString& title = {});
    [[nodiscard]] std::optional<QString> showSave(QWidget* parent, const QString& filter,
                                                  const QString& proposedName, const QString& title = {});

    [[nodiscard]] const QString& fileName() const noexcept { return m_fileName; }

private:
    ui::Ui& m_ui;
    QString m_fileName;
};
