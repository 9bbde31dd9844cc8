#include "shell/stage_screen_host.h"

#include "windows/frmStageScreen.h"
#include "windows/tbxLamps.h"
#include "shell/child_windows.h"
#include "ui/twips.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

namespace shell {

StageScreenHost::StageScreenHost(rig::AppState& state, ui::Ui& ui, CommonDialog& dlgCommonDialog, QWidget& owner,
                                 QMdiArea& area)
    : QObject(&owner),
      m_state(state),
      m_ui(ui),
      m_dlgCommonDialog(dlgCommonDialog),
      m_owner(owner),
      m_area(area)
{
}

frmStageScreen* StageScreenHost::screen(bool create)
{
    // Until it is first shown the screen is a hidden child of the owner.
    if (!m_screen && create) {
        // The toolbox is a tool window of the owner; it outlives the screen's showings.
        m_toolbox = new tbxLamps(m_state, m_ui, m_owner);
        connect(m_toolbox, &tbxLamps::statusText, this, &StageScreenHost::statusText);
        m_screen = new frmStageScreen(m_state, m_ui, m_dlgCommonDialog, *m_toolbox, &m_owner);
        frmStageScreen* screen = m_screen;
        connect(&m_area, &QMdiArea::subWindowActivated, screen, [screen](QMdiSubWindow* window) {
            if (window && window->widget() == screen)
                screen->Form_Activate();
        });
        connect(screen, &frmStageScreen::closed, this, &StageScreenHost::closed);
        connect(screen, &frmStageScreen::fileSaved, this, &StageScreenHost::fileSaved);
    }
    return m_screen;
}

void StageScreenHost::show()
{
    frmStageScreen* shown = screen(true);
    auto* sub = qobject_cast<QMdiSubWindow*>(shown->parentWidget());
    if (!sub) {
        sub = addChild(m_area, shown);
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        const QSize area = m_area.viewport()->size();
        const int toolboxRoom = ui::twipsToPixels(tbxLamps::columnTwips + 300);
        sub->setGeometry(0, 0, std::max(area.width() - toolboxRoom, area.width() / 2), area.height());
    } else if (sub->mdiArea() != &m_area) {
        m_area.addSubWindow(sub);
    }
    shown->show();
    sub->show();
    m_area.setActiveSubWindow(sub);
}

void StageScreenHost::newPatch()
{
    frmStageScreen* shown = screen(true);
    if (!shown->confirmDiscard())
        return;
    shown->File_New();
    show();
}

void StageScreenHost::closed()
{
    // The sub-window leaves the client area: a hidden sub-window would stay the area's
    // current one, and the File commands would still reach it.
    auto* sub = qobject_cast<QMdiSubWindow*>(m_screen->parentWidget());
    if (sub && sub->mdiArea()) {
        sub->mdiArea()->removeSubWindow(sub);
        sub->setParent(&m_owner);
        sub->hide();
    }
}

void StageScreenHost::patchEntriesReplaced()
{
    // An open screen would otherwise show placed lamps that are gone, and close without
    // offering to save the ones that came in. A closed one is only redrawn: the next
    // patch opened replaces these entries anyway. Open means its sub-window is in the
    // client area; a minimised one hides the screen itself but is still open.
    if (!m_screen)
        return;
    const auto* sub = qobject_cast<const QMdiSubWindow*>(m_screen->parentWidget());
    m_screen->patchReplaced(sub != nullptr && sub->mdiArea() == &m_area);
}

}  // namespace shell
