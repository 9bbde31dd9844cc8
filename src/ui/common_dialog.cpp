#include "ui/common_dialog.h"

#include "base/file_io.h"
#include "qtcore/file_names.h"
#include "ui/ui.h"

#include <QCoreApplication>
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

std::optional<QString> CommonDialog::showOpen(QWidget* parent, const QString& filter, const QString& title)
{
    return m_ui.openFileName(parent, {title, filter, m_fileName, {}});
}

std::optional<QString> CommonDialog::showSave(QWidget* parent, const QString& filter, const QString& proposedName,
                                              const QString& title, const QString& extension)
{
    ui::FileRequest request{title, filter, proposedName, {}};
    if (proposedName.isEmpty())
        request.fileName = m_fileName;
    else if (QFileInfo(proposedName).isRelative() && !m_fileName.isEmpty())
        request.directory = QFileInfo(m_fileName).path();
    std::optional<QString> chosen = m_ui.saveFileName(parent, request);
    if (chosen)
        *chosen = withExtension(*chosen, extension);
    return chosen;
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
