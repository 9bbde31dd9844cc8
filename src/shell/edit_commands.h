#pragma once

#include <QObject>

class DocumentEditing;
class QAction;
class QMdiArea;
class QMenu;
class QUndoGroup;
class QWidget;

namespace shell {

// The Edit menu. Undo and Redo act on the history of the active child window, are
// available only when it has a step to take back or bring again, and name that step;
// Cut, Copy and Paste go to the active child window. Paste Special cannot be chosen.
class EditCommands final : public QObject {
    Q_OBJECT

public:
    // Fills `edit`; `area` is the client area whose active child is followed. The actions
    // belong to `window`, the main window, so their keys work wherever the focus is in it.
    EditCommands(QMenu& edit, QMdiArea& area, QWidget& window);

private:
    // The active child window's editing, or nullptr when there is none or it has none.
    [[nodiscard]] DocumentEditing* target() const;
    // The active child window changed: Undo and Redo follow its history.
    void follow();

    QMdiArea& m_area;
    QUndoGroup* m_group = nullptr;
    QAction* m_mnuEditCut = nullptr;
    QAction* m_mnuEditCopy = nullptr;
    QAction* m_mnuEditPaste = nullptr;
};

}  // namespace shell
