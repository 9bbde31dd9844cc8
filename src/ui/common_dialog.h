#pragma once

#include "ui/ui.h"

#include <QString>

#include <optional>

class QWidget;

namespace ui {

// The folder stored in the settings under `key`, while it is still a folder; else empty.
[[nodiscard]] QString rememberedFolder(Ui& ui, const QString& key);
// Stores the folder of `fileName` under `key`, for this run and the next ones.
void rememberFolderOf(Ui& ui, const QString& key, const QString& fileName);

}  // namespace ui

// The kinds of file the shared dialog keeps a folder for.
enum class FileKind { Lamp, Patch };

// The main window's shared file dialog: the Open command and the Save As of the
// document windows use it. Each kind of file has its folder, kept in the settings
// across runs: the dialog starts in the folder of the last file of that kind opened or
// saved through it successfully (and at that file itself within a run), so a name that
// failed (a folder that cannot be written, a kernel file) never becomes the place the
// next dialog lists.
class CommonDialog final {
public:
    explicit CommonDialog(ui::Ui& ui) noexcept : m_ui(ui) {}

    // The settings key of a kind's folder.
    [[nodiscard]] static QString folderKey(FileKind kind);

    // Filters are "Description|pattern". std::nullopt when the user cancels.
    [[nodiscard]] std::optional<QString> showOpen(QWidget* parent, const QString& filter,
                                                  const QString& title = {}, FileKind kind = FileKind::Lamp);
    // `proposedName` without a folder is proposed in the kind's folder; empty proposes
    // the last file of the kind itself. A chosen name without an extension gets
    // `extension` (a name with another extension is kept as typed).
    [[nodiscard]] std::optional<QString> showSave(QWidget* parent, const QString& filter,
                                                  const QString& proposedName, const QString& title,
                                                  const QString& extension, FileKind kind = FileKind::Lamp);

    // When `fileName` exists, asks "File <name> exists / Do you wish to overwrite it?"
    // (Yes/No) under `title`; true when the file may be written.
    [[nodiscard]] bool confirmOverwrite(QWidget* parent, const QString& fileName, const QString& title);

    // The chosen file was opened or written: the next dialog for its kind starts there.
    void succeeded(const QString& fileName, FileKind kind = FileKind::Lamp);
    [[nodiscard]] const QString& fileName() const noexcept { return m_fileName; }

private:
    // Where a dialog for `kind` starts: at `proposedName` when it is a full name; else in
    // the kind's stored folder, proposing `proposedName` there, or the kind's last file
    // when nothing is proposed.
    [[nodiscard]] ui::FileRequest startFor(FileKind kind, const QString& title, const QString& filter,
                                           const QString& proposedName) const;

    ui::Ui& m_ui;
    QString m_fileName;
    FileKind m_kind = FileKind::Lamp;
};
