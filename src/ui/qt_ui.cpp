#include "ui/ui.h"

#include "ui/file_dialog.h"

#include <QDialog>
#include <QDrag>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QStringList>

namespace ui {
namespace {

QMessageBox::Icon toQtIcon(Icon icon)
{
    switch (icon) {
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(Buttons buttons)
{
    switch (buttons) {
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

QString startPath(const FileRequest& request)
{
    if (request.directory.isEmpty())
        return request.fileName;
    if (request.fileName.isEmpty())
        return request.directory;
    return request.directory + QLatin1Char('/') + request.fileName;
}

std::optional<QString> fileName(QWidget* parent, const FileRequest& request, bool save)
{
    QFileDialog dialog(parent, request.title, startPath(request), toQtFilter(request.filter));
    prepareFileDialog(dialog, save);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

class QtUi final : public Ui {
public:
    Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon,
                   Buttons buttons) override
    {
        QMessageBox box(toQtIcon(icon), title, text, toQtButtons(buttons), parent);
        switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Ok:
            return Answer::Ok;
        default:
            return Answer::Cancel;
        }
    }

    std::optional<QString> openFileName(QWidget* parent, const FileRequest& request) override
    {
        return fileName(parent, request, false);
    }

    std::optional<QString> saveFileName(QWidget* parent, const FileRequest& request) override
    {
        return fileName(parent, request, true);
    }

    int execDialog(QDialog& dialog) override { return dialog.exec(); }

    QAction* execMenu(QMenu& menu, const QPoint& globalPos) override { return menu.exec(globalPos); }

    Qt::DropAction execDrag(QDrag& drag, Qt::DropActions actions) override { return drag.exec(actions); }

    QString setting(const QString& key, const QString& defaultValue) override
    {
        QSettings settings(QStringLiteral("Rigsmith"), QStringLiteral("Rigsmith"));
        settings.beginGroup(QStringLiteral("Settings"));
        return settings.value(key, defaultValue).toString();
    }

    void setSetting(const QString& key, const QString& value) override
    {
        QSettings settings(QStringLiteral("Rigsmith"), QStringLiteral("Rigsmith"));
        settings.beginGroup(QStringLiteral("Settings"));
        settings.setValue(key, value);
    }
};

}  // namespace

std::unique_ptr<Ui> createQtUi() { return std::make_unique<QtUi>(); }

QString toQtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i);
        const QString pattern = parts.at(i + 1);
        // Qt reads the patterns from the parentheses; add them when the description lacks them.
        if (!description.contains(QLatin1Char('(')))
            description += QStringLiteral(" (") + pattern + QLatin1Char(')');
        else if (!description.contains(pattern))
            description = description.left(description.indexOf(QLatin1Char('('))) + QLatin1Char('(') + pattern +
                          QLatin1Char(')');
        filters << description;
    }
    return filters.join(QStringLiteral(";;"));
}

}  // namespace ui
