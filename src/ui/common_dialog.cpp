#include "ui/common_dialog.h"

#include "base/file_io.h"
#include "qtcore/file_names.h"
#include "ui/ui.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// "show" becomes "show.pat" and "show." "show.pat"; "show.txt" and ".hidden" stay.
QString withExtension(const QString& fileName, const QString& extension)
{
    if (fileName.isEmpty() || extension.isEmpty())
        return fileName;
    const QString title = QFileInfo(fileName).fileName();
    if (title.isEmpty() || !QFileInfo(title).suffix().isEmpty())
        return fileName;
    return fileName.endsWith(QLatin1Char('.')) ? fileName + extension : fileName + QLatin1Char('.') + extension;
}

}  // namespace

namespace ui {

QString rememberedFolder(Ui& ui, const QString& key)
{
    const QString stored = QDir::fromNativeSeparators(ui.setting(key, QString()));
    // A folder that has gone since (an unplugged drive) is not offered; it stays stored.
    return !stored.isEmpty() && QFileInfo(stored).isDir() ? stored : QString();
}

void rememberFolderOf(Ui& ui, const QString& key, const QString& fileName)
{
    ui.setSetting(key, QDir::toNativeSeparators(QFileInfo(fileName).absolutePath()));
}

}  // namespace ui

QString CommonDialog::folderKey(FileKind kind)
{
    return kind == FileKind::Patch ? QStringLiteral("Last folder patch files") : QStringLiteral("Last folder lamp files");
}

ui::FileRequest CommonDialog::startFor(FileKind kind, const QString& title, const QString& filter,
                                      const QString& proposedName) const
{
    ui::FileRequest request{title, filter, proposedName, {}};
    if (proposedName.isEmpty() && m_kind == kind && !m_fileName.isEmpty())
        request.fileName = m_fileName;  // a full name: its folder comes with it
    else if (QFileInfo(proposedName).isRelative())
        request.directory = ui::rememberedFolder(m_ui, folderKey(kind));
    return request;
}

std::optional<QString> CommonDialog::showOpen(QWidget* parent, const QString& filter, const QString& title,
                                              FileKind kind)
{
    return m_ui.openFileName(parent, startFor(kind, title, filter, {}));
}

std::optional<QString> CommonDialog::showSave(QWidget* parent, const QString& filter, const QString& proposedName,
                                              const QString& title, const QString& extension, FileKind kind)
{
    std::optional<QString> chosen = m_ui.saveFileName(parent, startFor(kind, title, filter, proposedName));
    if (chosen)
        *chosen = withExtension(*chosen, extension);
    return chosen;
}

void CommonDialog::succeeded(const QString& fileName, FileKind kind)
{
    m_fileName = fileName;
    m_kind = kind;
    ui::rememberFolderOf(m_ui, folderKey(kind), fileName);
}

bool CommonDialog::confirmOverwrite(QWidget* parent, const QString& fileName, const QString& title)
{
    if (!rig::fileExists(rig::toPath(fileName)))
        return true;
    return m_ui.message(parent,
                        QCoreApplication::translate("CommonDialog", "File ") + fileName +
                            QCoreApplication::translate("CommonDialog", " exists") + QStringLiteral("\r\n") +
                            QCoreApplication::translate("CommonDialog", "Do you wish to overwrite it?"),
                        title, ui::Icon::Question, ui::Buttons::YesNo) == ui::Answer::Yes;
}
