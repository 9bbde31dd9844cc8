#pragma once

#include <QObject>
#include <QStringList>

#include <array>

class QAction;
class QMenu;

namespace ui {
class Ui;
}

namespace shell {

// The files the File menu offers again, most recent first: kept in the settings store
// as one text, a full file name a line, and shown as numbered items of the menu.
class RecentFiles final : public QObject {
    Q_OBJECT

public:
    static constexpr int maxFiles = 4;

    // Appends the items, and a separator that shows only with them, to `menu`.
    RecentFiles(ui::Ui& ui, QMenu& menu, QObject* parent);

    // The list as stored now.
    [[nodiscard]] QStringList files() const;
    // Puts a file opened or saved at the head of the list.
    void add(const QString& fileName);
    void remove(const QString& fileName);

signals:
    // The user chose the item of `fileName` (a full file name).
    void chosen(const QString& fileName);

private:
    void store(const QStringList& fileNames);
    // Brings the items in line with the stored list.
    void refresh();

    ui::Ui& m_ui;
    std::array<QAction*, maxFiles> m_items{};
    QAction* m_bar = nullptr;
};

}  // namespace shell
