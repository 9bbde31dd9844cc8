#include "shell/recent_files.h"

#include "ui/ui.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace shell {
namespace {

const QString storeKey = QStringLiteral("Recent files");

}  // namespace

RecentFiles::RecentFiles(ui::Ui& ui, QMenu& menu, QObject* parent)
    : QObject(parent),
      m_ui(ui)
{
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        QAction* item = menu.addAction(QString());
        item->setObjectName(QStringLiteral("mnuFileRecent%1").arg(i + 1));
        item->setVisible(false);
        // The item carries the name it shows: the one the user chose.
        connect(item, &QAction::triggered, this, [this, item] { emit chosen(item->data().toString()); });
        m_items[i] = item;
    }
    m_bar = menu.addSeparator();
    m_bar->setObjectName(QStringLiteral("mnuFileRecentBar"));
    m_bar->setVisible(false);
    // Another instance may have changed the list since.
    connect(&menu, &QMenu::aboutToShow, this, &RecentFiles::refresh);
    refresh();
}

QStringList RecentFiles::files() const
{
    QStringList files = m_ui.setting(storeKey, QString()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    files.removeDuplicates();
    while (files.size() > maxFiles)
        files.removeLast();
    return files;
}

void RecentFiles::add(const QString& fileName)
{
    // A name with a line break cannot be told apart from two names in the stored text.
    if (fileName.isEmpty() || fileName.contains(QLatin1Char('\n')) || fileName.contains(QLatin1Char('\r')))
        return;
    const QString full = QFileInfo(fileName).absoluteFilePath();
    QStringList list = files();
    list.removeAll(full);
    list.prepend(full);
    while (list.size() > maxFiles)
        list.removeLast();
    store(list);
}

void RecentFiles::remove(const QString& fileName)
{
    QStringList list = files();
    if (list.removeAll(fileName) > 0)
        store(list);
}

void RecentFiles::store(const QStringList& fileNames)
{
    m_ui.setSetting(storeKey, fileNames.join(QLatin1Char('\n')));
    refresh();
}

void RecentFiles::refresh()
{
    const QStringList list = files();
    QStringList titles;
    for (const QString& file : list)
        titles << QFileInfo(file).fileName();
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        QAction* item = m_items[i];
        const auto index = static_cast<qsizetype>(i);
        if (index >= list.size()) {
            item->setVisible(false);
            continue;
        }
        const QString& file = list.at(index);
        // The file's name, or its whole path where two entries share a name.
        QString shown = titles.count(titles.at(index)) > 1 ? QDir::toNativeSeparators(file) : titles.at(index);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        item->setText(QStringLiteral("&%1 %2").arg(index + 1).arg(shown));
        item->setStatusTip(QDir::toNativeSeparators(file));
        item->setToolTip(QDir::toNativeSeparators(file));
        item->setData(file);
        item->setVisible(true);
    }
    m_bar->setVisible(!list.isEmpty());
}

}  // namespace shell
