#pragma once

#include "ui/ui.h"

#include <QString>

#include <map>

namespace bench {

// The ui seam for the timings: nothing modal may appear while a window is timed, and
// the settings live in memory so the user's own settings are never read or written.
// Anything modal that shows up is counted and refused.
class MemoryUi final : public ui::Ui {
public:
    MemoryUi();
    ~MemoryUi() override;
    MemoryUi(const MemoryUi&) = delete;
    MemoryUi& operator=(const MemoryUi&) = delete;

    ui::Answer message(QWidget* parent, const QString& text, const QString& title, ui::Icon icon,
                       ui::Buttons buttons) override;
    std::optional<QString> openFileName(QWidget* parent, const ui::FileRequest& request) override;
    std::optional<QString> saveFileName(QWidget* parent, const ui::FileRequest& request) override;
    int execDialog(QDialog& dialog) override;
    QAction* execMenu(QMenu& menu, const QPoint& globalPos) override;
    Qt::DropAction execDrag(QDrag& drag, Qt::DropActions actions) override;
    QString setting(const QString& key, const QString& defaultValue) override;
    void setSetting(const QString& key, const QString& value) override;

    [[nodiscard]] int unexpected() const noexcept { return m_unexpected; }
    [[nodiscard]] const QString& lastUnexpected() const noexcept { return m_lastUnexpected; }

private:
    void refuse(const QString& what);

    std::map<QString, QString> m_settings;
    int m_unexpected = 0;
    QString m_lastUnexpected;
};

// The instance main() installed.
MemoryUi& memoryUi();

}  // namespace bench
