#include "ui/file_dialog.h"

#include <QAbstractFileIconProvider>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>
#include <QMimeType>

namespace ui {
namespace {

class PlainFileIcons final : public QAbstractFileIconProvider {
public:
    using QAbstractFileIconProvider::icon;

    QIcon icon(const QFileInfo& info) const override
    {
        if (info.isDir())
            return icon(Folder);
        const QIcon themed = QIcon::fromTheme(typeByName(info).iconName());
        return themed.isNull() ? icon(File) : themed;
    }

    QString type(const QFileInfo& info) const override
    {
        if (info.isDir())
            return QCoreApplication::translate("PlainFileIcons", "Folder");
        const QMimeType mime = typeByName(info);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

private:
    // The name alone: matching by content would read the file.
    QMimeType typeByName(const QFileInfo& info) const
    {
        return m_types.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    }

    QMimeDatabase m_types;
};

}  // namespace

QAbstractFileIconProvider* plainFileIcons()
{
    static PlainFileIcons icons;
    return &icons;
}

void prepareFileDialog(QFileDialog& dialog, bool save)
{
    // A platform's own dialog would list the folder with its own notion of file types,
    // which may read the files; this one shows what plainFileIcons says.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontUseCustomDirectoryIcons);
    dialog.setIconProvider(plainFileIcons());
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // An open dialog takes only a file that exists; a save dialog any name. Callers ask
    // about overwriting in their own words.
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
}

}  // namespace ui
