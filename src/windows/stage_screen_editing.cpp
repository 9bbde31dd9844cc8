#include "windows/frmStageScreen.h"

#include "core/app_state.h"
#include "core/stage_patch.h"
#include "ui/ui.h"
#include "windows/dlgSSProperties.h"
#include "windows/mnuMenus.h"
#include "windows/patch_history.h"
#include "windows/tbxLamps.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QTableWidget>

#include <algorithm>
#include <optional>

// Editing the patch on the stage screen: lamps dropped from the toolbox, moved by press
// and release, cut, copied, pasted or edited from the pop-up menu and the properties
// dialog. Each change is recorded as one step of the screen's history.

bool frmStageScreen::editProperties(int nLamp, int nRow, int nCol, std::optional<int> offeredAddress)
{
    if (nLamp < 0 || nLamp >= static_cast<int>(rig::patchEntryCount))
        return false;
    const rig::PatchEntry& entry = m_state.patch.patchEntries[static_cast<std::size_t>(nLamp)];
    dlgSSProperties dialog(m_state.patch, m_ui, this);
    dialog.txtScreenCol()->setText(QString::number(nCol != 0 ? nCol : entry.ScreenCol + 1));
    dialog.txtScreenRow()->setText(QString::number(nRow != 0 ? nRow : entry.ScreenRow + 1));
    dialog.setTag(nLamp);
    if (offeredAddress)
        dialog.offerAddress(*offeredAddress);
    m_ui.execDialog(dialog);
    refreshScreen();
    return dialog.bResponse();
}

void frmStageScreen::lampProperties(int lamp)
{
    // A dialog cancelled after its Patch button still moved the address counter on: that
    // too is a change of the patch, and so a step.
    const rig::StagePatch before = m_state.patch;
    editProperties(lamp, 0, 0);
    m_history->record(before, tr("Properties of Lamp %1").arg(lamp + 1));
}

void frmStageScreen::refuseDropOnLamp()
{
    m_ui.message(this,
                 tr("You have attempted to drop a lamp on top of another.") +
                     QStringLiteral("\r\r") + tr("This is not allowed in Tarsen Rigsmith."),
                 tr("Rigsmith Error"), ui::Icon::Critical, ui::Buttons::Ok);
}

int frmStageScreen::newLampEntry()
{
    const rig::StagePatch& patch = m_state.patch;
    // The counter can point at a placed lamp: an import replaces the placed lamps but
    // not the counter, and a damaged file can hold any value. That lamp must not be
    // taken over, so a new lamp moves on to the next entry not in use. A negative counter
    // (damaged file) counts from the first entry rather than locking the patch for good.
    int entry = std::max<int>(patch.nNextEntry, 0);
    while (entry < static_cast<int>(rig::patchEntryCount) &&
           patch.patchEntries[static_cast<std::size_t>(entry)].inUse())
        ++entry;
    if (entry < static_cast<int>(rig::patchEntryCount))
        return entry;
    m_ui.message(this,
                 tr("The stage patch is full: all %1 lamp numbers have been used.").arg(rig::patchEntryCount) +
                     QStringLiteral("\r\n") + tr("No more lamps can be added."),
                 tr("Rigsmith Error"), ui::Icon::Critical, ui::Buttons::Ok);
    return -1;
}

void frmStageScreen::grdStageScreen_DragDrop(QDropEvent* event)
{
    const Cell cell = cellAt(event->position().toPoint());
    if (!cell.valid()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (findLamp(cell.row - 1, cell.col - 1) != noLamp) {
        refuseDropOnLamp();
        return;
    }
    const int entry = newLampEntry();
    if (entry < 0)
        return;
    rig::StagePatch& patch = m_state.patch;
    const rig::StagePatch before = patch;
    patch.patchEntries[static_cast<std::size_t>(entry)].LampType = m_state.nToolLamp;
    editProperties(entry, cell.row, cell.col);
    // The number is spent whether or not the dialog was confirmed, so a cancelled drop is
    // a step too: undoing it gives the number back.
    patch.nNextEntry = static_cast<std::int16_t>(entry + 1);
    m_history->record(before, tr("Drop Lamp %1").arg(entry + 1));
    refreshScreen();
}

void frmStageScreen::grdStageScreen_MouseDown(Qt::MouseButton button, const QPoint& pos)
{
    const Cell cell = cellAt(pos);
    const int lamp = cell.valid() ? findLamp(cell.row - 1, cell.col - 1) : noLamp;
    m_rightPressed = button == Qt::RightButton;
    if (button == Qt::LeftButton && lamp != noLamp) {
        m_bMoving = true;
        m_nMoving = lamp;
    }
}

void frmStageScreen::grdStageScreen_MouseUp(Qt::MouseButton button, const QPoint& pos, const QPoint& globalPos)
{
    const Cell cell = cellAt(pos);
    m_nCurrent = cell.valid() ? findLamp(cell.row - 1, cell.col - 1) : noLamp;

    if (button == Qt::RightButton) {
        // Only a release that ends a press here; the second release of a double
        // click would otherwise open the menu again. An empty cell has the menu only
        // to paste a copied lamp.
        const bool pressed = m_rightPressed;
        m_rightPressed = false;
        if (pressed && cell.valid() && (m_nCurrent != noLamp || clipboardHoldsLamp()))
            showPopUp(globalPos, cell);
        return;
    }
    if (button != Qt::LeftButton || !m_bMoving)
        return;
    m_bMoving = false;
    // A release over a heading or outside the grid has no stage position.
    if (!cell.valid() || m_nMoving < 0 || m_nMoving >= static_cast<int>(rig::patchEntryCount))
        return;
    rig::PatchEntry& entry = m_state.patch.patchEntries[static_cast<std::size_t>(m_nMoving)];
    const int row = cell.row - 1;
    const int col = cell.col - 1;
    if (entry.ScreenRow == row && entry.ScreenCol == col)
        return;
    if (occupiedByOther(row, col, m_nMoving)) {
        refuseDropOnLamp();
        return;
    }
    const rig::StagePatch before = m_state.patch;
    entry.ScreenRow = static_cast<std::uint8_t>(row);
    entry.ScreenCol = static_cast<std::uint8_t>(col);
    m_history->record(before, tr("Move Lamp %1").arg(m_nMoving + 1));
    refreshScreen();
}

void frmStageScreen::grdStageScreen_DblClick(const QPoint& pos)
{
    const Cell cell = cellAt(pos);
    m_nCurrent = cell.valid() ? findLamp(cell.row - 1, cell.col - 1) : noLamp;
    if (m_nCurrent != noLamp)
        lampProperties(m_nCurrent);
}

void frmStageScreen::showPopUp(const QPoint& globalPos, Cell cell)
{
    const int lamp = m_nCurrent;
    m_popAction = popNone;
    QAction* chosen = nullptr;
    {
        mnuMenus menus;
        menus.offer(lamp != noLamp, clipboardHoldsLamp());
        connect(&menus, &mnuMenus::popActionChosen, this, &frmStageScreen::setPopAction);
        chosen = m_ui.execMenu(*menus.mnuSSPopUp(), globalPos);
        // The real menu has triggered the command already; a chosen item that has
        // not is triggered here (a disabled one does nothing).
        if (chosen && m_popAction == popNone)
            chosen->trigger();
    }
    // A dismissed menu chooses nothing and does nothing.
    if (!chosen || m_popAction == popNone)
        return;

    switch (m_popAction) {
    case popCut:
        cutLamp(lamp);
        break;
    case popCopy:
        copyLamp(lamp);
        break;
    case popPaste:
        pasteLamp(cell);
        break;
    case popProperties:
        lampProperties(lamp);
        break;
    default:
        break;
    }
    refreshScreen();
}

bool frmStageScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_grdStageScreen->viewport())
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (drag->mimeData() && drag->mimeData()->hasFormat(tbxLamps::mimeType))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->mimeData() && drop->mimeData()->hasFormat(tbxLamps::mimeType))
            grdStageScreen_DragDrop(drop);
        else
            drop->ignore();
        return true;
    }
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        grdStageScreen_MouseDown(mouse->button(), mouse->position().toPoint());
        return false;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        grdStageScreen_MouseUp(mouse->button(), mouse->position().toPoint(), mouse->globalPosition().toPoint());
        return false;
    }
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            grdStageScreen_DblClick(mouse->position().toPoint());
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}
