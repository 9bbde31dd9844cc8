#include "bench_ui.h"

#include <QDialog>

namespace bench {
namespace {
MemoryUi* g_installed = nullptr;
}  // namespace

MemoryUi::MemoryUi()
{
    ui::install(this);
    g_installed = this;
}

MemoryUi::~MemoryUi()
{
    ui::install(nullptr);
    g_installed = nullptr;
}

MemoryUi& memoryUi() { return *g_installed; }

void MemoryUi::refuse(const QString& what)
{
    ++m_unexpected;
    m_lastUnexpected = what;
}

ui::Answer MemoryUi::message(QWidget*, const QString& text, const QString&, ui::Icon, ui::Buttons buttons)
{
    refuse(QStringLiteral("message: ") + text);
    switch (buttons) {
    case ui::Buttons::Ok:
        return ui::Answer::Ok;
    case ui::Buttons::YesNo:
        return ui::Answer::No;
    case ui::Buttons::OkCancel:
    case ui::Buttons::YesNoCancel:
        break;
    }
    return ui::Answer::Cancel;
}

std::optional<QString> MemoryUi::openFileName(QWidget*, const ui::FileRequest& request)
{
    refuse(QStringLiteral("open dialog: ") + request.title);
    return std::nullopt;
}

std::optional<QString> MemoryUi::saveFileName(QWidget*, const ui::FileRequest& request)
{
    refuse(QStringLiteral("save dialog: ") + request.title);
    return std::nullopt;
}

int MemoryUi::execDialog(QDialog& dialog)
{
    refuse(QStringLiteral("dialog: ") + dialog.objectName());
    return QDialog::Rejected;
}

QAction* MemoryUi::execMenu(QMenu&, const QPoint&)
{
    refuse(QStringLiteral("pop-up menu"));
    return nullptr;
}

Qt::DropAction MemoryUi::execDrag(QDrag&, Qt::DropActions)
{
    refuse(QStringLiteral("drag"));
    return Qt::IgnoreAction;
}

QString MemoryUi::setting(const QString& key, const QString& defaultValue)
{
    const auto it = m_settings.find(key);
    return it == m_settings.end() ? defaultValue : it->second;
}

void MemoryUi::setSetting(const QString& key, const QString& value) { m_settings[key] = value; }

}  // namespace bench
