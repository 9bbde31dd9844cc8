#pragma once

#include <QObject>
#include <QString>

class QFileSystemModel;
class QTreeView;

// Keeps one folder of a folder tree selected, opened down to and scrolled into view.
// The file system model reads folders in the background and puts their rows in as they
// come, above the folder too, which would push it out of sight again: until the user
// moves in the tree (a click, a key, the scroll bar), every such change shows the folder
// again.
class FolderReveal final : public QObject {
    Q_OBJECT

public:
    FolderReveal(QTreeView& tree, QFileSystemModel& model);

    // Shows `folder` (a clean absolute path) as the tree's current folder.
    void reveal(const QString& folder);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void schedule();
    void apply();
    void userMoved() { m_following = false; }

    QTreeView& m_tree;
    QFileSystemModel& m_model;
    QString m_folder;
    bool m_following = false;
    bool m_scheduled = false;
};
