#include "shell/edit_commands.h"

#include "shell/menu_commands.h"
#include "ui/document_editing.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QUndoGroup>
#include <QUndoStack>

namespace shell {

EditCommands::EditCommands(QMenu& edit, QMdiArea& area, QWidget& window) : QObject(&window), m_area(area)
{
    m_group = new QUndoGroup(this);
    // The group's actions read "&Undo" alone, or "&Undo " and the name of the step.
    QAction* undo = m_group->createUndoAction(&window, tr("&Undo"));
    undo->setObjectName(QStringLiteral("mnuEditUndo"));
    undo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    edit.addAction(undo);
    QAction* redo = m_group->createRedoAction(&window, tr("&Redo"));
    redo->setObjectName(QStringLiteral("mnuEditRedo"));
    redo->setShortcuts(standardKeys(QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
    edit.addAction(redo);
    addSeparator(edit, "mnuEditBar1");

    const auto routed = [this, &edit](const char* name, const QString& caption, Qt::Key key,
                                      void (DocumentEditing::*command)()) {
        QAction* action = addCommand(edit, name, caption, {QKeySequence(Qt::CTRL | key)});
        connect(action, &QAction::triggered, this, [this, command] {
            if (DocumentEditing* editing = target())
                (editing->*command)();
        });
        return action;
    };
    m_mnuEditCut = routed("mnuEditCut", tr("Cu&t"), Qt::Key_X, &DocumentEditing::editCut);
    m_mnuEditCopy = routed("mnuEditCopy", tr("&Copy"), Qt::Key_C, &DocumentEditing::editCopy);
    m_mnuEditPaste = routed("mnuEditPaste", tr("&Paste"), Qt::Key_V, &DocumentEditing::editPaste);
    addUnavailable(edit, "mnuEditPasteSpecial", tr("Paste &Special..."));

    connect(&m_area, &QMdiArea::subWindowActivated, this, &EditCommands::follow);
    connect(&edit, &QMenu::aboutToShow, this, &EditCommands::follow);
    follow();
}

DocumentEditing* EditCommands::target() const
{
    // The current child stays current while another program has the focus.
    const QMdiSubWindow* sub = m_area.currentSubWindow();
    return sub != nullptr ? dynamic_cast<DocumentEditing*>(sub->widget()) : nullptr;
}

void EditCommands::follow()
{
    DocumentEditing* editing = target();
    QUndoStack* stack = editing != nullptr ? &editing->undoStack() : nullptr;
    if (stack != nullptr && !m_group->stacks().contains(stack))
        m_group->addStack(stack);
    m_group->setActiveStack(stack);
    for (QAction* action : {m_mnuEditCut, m_mnuEditCopy, m_mnuEditPaste})
        action->setEnabled(editing != nullptr);
}

}  // namespace shell
