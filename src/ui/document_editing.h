#pragma once

class QUndoStack;

// What a document window offers to the main window's Edit menu: its history of steps,
// which Undo and Redo act on while the window is active, and Cut, Copy and Paste of what
// it holds. A window reports what it cannot do itself (through its ui::Ui).
class DocumentEditing {
public:
    virtual ~DocumentEditing() = default;

    [[nodiscard]] virtual QUndoStack& undoStack() = 0;
    virtual void editCut() = 0;
    virtual void editCopy() = 0;
    virtual void editPaste() = 0;

protected:
    DocumentEditing() = default;
    DocumentEditing(const DocumentEditing&) = default;
    DocumentEditing& operator=(const DocumentEditing&) = default;
};
