#include "windows/frmDocument.h"

#include "ui/ui.h"
#include "windows/lamp_model.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTableView>

#include <functional>
#include <utility>
#include <vector>

// The lamp window's pop-up menu, and what a lamp made from a fixture definition keeps
// of where it came from.

void frmDocument::setFixtureOrigin(const FixtureOrigin& origin)
{
    m_origin = origin;
    setWindowTitle(origin.caption);
    m_model->setRowTips(origin.rowTips);
}

void frmDocument::contextMenuEvent(QContextMenuEvent* event)
{
    // Right-clicks on the window, its labels and the channel grid come here; the text
    // boxes keep their own menus.
    showPopUp(event->globalPos());
    event->accept();
}

void frmDocument::showPopUp(const QPoint& globalPos)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuLampPopUp"));
    std::vector<std::pair<QAction*, std::function<void()>>> items;
    const auto add = [&](const char* name, const QString& caption, std::function<void()> run) {
        QAction* item = menu.addAction(caption);
        item->setObjectName(QLatin1String(name));
        items.emplace_back(item, std::move(run));
    };

    // On the channel grid: the Edit menu's Cut, Copy and Paste of channel rows, acting on
    // the grid even when a text box held the focus before the right-click.
    QTableView* grid = m_controls.grdChannels;
    if (grid->viewport()->rect().contains(grid->viewport()->mapFromGlobal(globalPos))) {
        const auto onGrid = [this, grid](void (frmDocument::*edit)()) {
            return [this, grid, edit] {
                grid->setFocus();
                (this->*edit)();
            };
        };
        add("mnuLampCut", tr("Cu&t"), onGrid(&frmDocument::editCut));
        add("mnuLampCopy", tr("&Copy"), onGrid(&frmDocument::editCopy));
        add("mnuLampPaste", tr("&Paste"), onGrid(&frmDocument::editPaste));
    }
    if (!m_origin.caption.isEmpty()) {
        if (!items.empty())
            menu.addSeparator();
        add("mnuLampFixtureNotes", tr("Fixture notes..."), [this] { showFixtureNotes(); });
    }

    if (items.empty())
        return;
    // The chosen item is run here, once, whether the menu was shown by the toolkit or
    // answered by a test.
    const QAction* chosen = m_ui.execMenu(menu, globalPos);
    for (const auto& [item, run] : items) {
        if (item == chosen) {
            run();
            break;
        }
    }
}

void frmDocument::showFixtureNotes()
{
    m_ui.message(this, m_origin.notes, tr("Fixture notes"), ui::Icon::Information, ui::Buttons::Ok);
}
