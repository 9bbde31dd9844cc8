#include "windows/folder_reveal.h"

#include <QEvent>
#include <QFileSystemModel>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>

FolderReveal::FolderReveal(QTreeView& tree, QFileSystemModel& model) : QObject(&tree), m_tree(tree), m_model(model)
{
    connect(&m_model, &QFileSystemModel::directoryLoaded, this, &FolderReveal::schedule);
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, &FolderReveal::schedule);
    connect(&m_model, &QAbstractItemModel::layoutChanged, this, &FolderReveal::schedule);
    connect(m_tree.verticalScrollBar(), &QScrollBar::actionTriggered, this, &FolderReveal::userMoved);
    m_tree.installEventFilter(this);
    m_tree.viewport()->installEventFilter(this);
}

void FolderReveal::reveal(const QString& folder)
{
    m_folder = folder;
    m_following = true;
    apply();
}

bool FolderReveal::eventFilter(QObject* /*watched*/, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::Wheel:
        userMoved();
        break;
    case QEvent::Show:
    case QEvent::Resize:
        // The first showing lays the tree out; the folder must be in sight then.
        schedule();
        break;
    default:
        break;
    }
    return false;
}

void FolderReveal::schedule()
{
    // Rows come in bursts and are sorted after them: one look once they have settled.
    if (!m_following || m_scheduled)
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_scheduled = false;
        if (m_following)
            apply();
    });
}

void FolderReveal::apply()
{
    const QModelIndex here = m_model.index(m_folder);
    if (!here.isValid())
        return;
    for (QModelIndex up = here.parent(); up.isValid() && up != m_tree.rootIndex(); up = up.parent())
        if (!m_tree.isExpanded(up))
            m_tree.expand(up);
    if (m_tree.currentIndex() != here)
        m_tree.setCurrentIndex(here);
    if (!m_tree.isExpanded(here))
        m_tree.expand(here);
    m_tree.scrollTo(here, QAbstractItemView::EnsureVisible);
}
