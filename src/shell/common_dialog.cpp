#include "shell/common_dialog.h"

#include "ui/ui.h"

std::optional<QString> CommonDialog::showOpen(QWidget* parent, const QString& filter, const QString& title)
{
    std::optional<QString> chosen = m_ui.openFileName(parent, {title, filter, m_fileName, {}});
    if (chosen)
        m_fileName = *chosen;
    return chosen;
}

std::optional<QString> CommonDialog::showSave(QWidget* parent, const QString& filter, const QString& proposedName,
                                              const QString& title)
{
    std::optional<QString> chosen = m_ui.saveFileName(
        parent, {title, filter, proposedName.isEmpty() ? m_fileName : proposedName, {}});
    if (chosen)
        m_fileName = *chosen;
    return chosen;
}
