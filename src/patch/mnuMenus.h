#pragma once

#include <QWidget>

class QAction;
class QMenu;
class frmStageScreen;

// The hidden holder of the stage screen's pop-up menu. Made for one showing of the
// menu and discarded afterwards; each command writes the stage screen's popAction.
class mnuMenus final : public QWidget {
    Q_OBJECT

public:
    explicit mnuMenus(frmStageScreen& screen);

    [[nodiscard]] QMenu* mnuSSPopUp() const noexcept { return m_mnuSSPopUp; }

    void mnuSSCut_Click();
    void mnuSSCopy_Click();
    void mnuSSPaste_Click();
    void mnuSSProperties_Click();

private:
    frmStageScreen& m_screen;
    QMenu* m_mnuSSPopUp = nullptr;
};
