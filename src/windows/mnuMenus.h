#pragma once

#include <QWidget>

class QAction;
class QMenu;

// The hidden holder of the stage screen's pop-up menu. Made for one showing of the
// menu and discarded afterwards; each command reports its popAction value.
class mnuMenus final : public QWidget {
    Q_OBJECT

public:
    // popAction values of the commands.
    static constexpr int popCut = 0;
    static constexpr int popCopy = 1;
    static constexpr int popPaste = 2;
    static constexpr int popProperties = 3;

    mnuMenus();

    [[nodiscard]] QMenu* mnuSSPopUp() const noexcept { return m_mnuSSPopUp; }
    // Cut, Copy and Properties act on a lamp; Paste needs a copied lamp on the clipboard.
    void offer(bool onLamp, bool canPaste);

    void mnuSSCut_Click();
    void mnuSSCopy_Click();
    void mnuSSPaste_Click();
    void mnuSSProperties_Click();

signals:
    // A command was chosen; `action` is its popAction value.
    void popActionChosen(int action);

private:
    QMenu* m_mnuSSPopUp = nullptr;
    QAction* m_mnuSSCut = nullptr;
    QAction* m_mnuSSCopy = nullptr;
    QAction* m_mnuSSPaste = nullptr;
    QAction* m_mnuSSProperties = nullptr;
};
