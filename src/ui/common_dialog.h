#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace ui {
class Ui;
}

// The main window's shared file dialog: the Open command and the Save As of the
// document windows use it. It starts at the file last opened or saved through it
// successfully, so a name that failed (a folder that cannot be written, a kernel
// file) never becomes the place the next dialog lists.
class CommonDialog final {
public:
    explicit CommonDialog(ui::Ui& ui) noexcept : m_ui(ui) {}

    // Filters are "Description|pattern". std::nullopt when the user cancels.
    [[nodiscard]] std::optional<QString> showOpen(QWidget* parent, const QString& filter,
                                                  const QString& title = {});
    // `proposedName` without a folder is proposed in the folder of the last success;
    // empty proposes the last file itself. A chosen name without an extension gets
    // `extension` (a name with another extension is kept as typed).
    [[nodiscard]] std::optional<QString> showSave(QWidget* parent, const QString& filter,
                                                  const QString& proposedName, const QString& title,
                                                  const QString& extension);

    // When `fileName` exists, asks "File <name> exists / Do you wish to overwrite it?"
    // (Yes/No) under `title`; true when the file may be written.
    [[nodiscard]] bool confirmOverwrite(QWidget* parent, const QString& fileName, const QString& title);

    // The chosen file was opened or written: the next dialog starts there.
    void succeeded(const QString& fileName) { m_fileName = fileName; }
    [[nodiscard]] const QString& fileName() const noexcept { return m_fileName; }

private:
    ui::Ui& m_ui;
    QString m_fileName;
};
