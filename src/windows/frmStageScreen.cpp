#include "windows/frmStageScreen.h"

#include "windows/dlgSSProperties.h"
#include "core/dmx_conflicts.h"
#include "windows/mnuMenus.h"
#include "windows/patch_history.h"
#include "core/stage_patch.h"
#include "windows/tbxLamps.h"
#include "core/app_state.h"
#include "ui/common_dialog.h"
#include "base/rig_error.h"
#include "qtcore/file_names.h"
#include "ui/fitted_text.h"
#include "qtcore/field_text.h"
#include "ui/twips.h"
#include "ui/ui.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTableWidget>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr double headingTwips = 300;
constexpr double columnTwips = 1100;
constexpr double rowTwips = 450;
const QColor conflictColour(255, 190, 120);

// "Lamp 7: Spot 575" and "12 channels, DMX 25 to 36": what a placed lamp is and where
// it sits on the DMX line, for its cell's tooltip.
QString lampDescription(const rig::StagePatch& patch, std::size_t index)
{
    const rig::PatchEntry& entry = patch.patchEntries[index];
    QString type;
    if (entry.hasValidLampType()) {
        type = rig::fromField(patch.lmpLamps[static_cast<std::size_t>(entry.LampType)].LampName,
                              rig::FieldSpaces::Trim);
    } else {
        type = frmStageScreen::tr("lamp type %1, not in the lamp table").arg(entry.LampType);
    }
    const int channels = rig::entryChannelCount(patch, entry);
    const QString count =
        channels == 1 ? frmStageScreen::tr("1 channel") : frmStageScreen::tr("%1 channels").arg(channels);
    const QString range = channels > 1 ? frmStageScreen::tr("DMX %1 to %2").arg(entry.StartDMX).arg(entry.StartDMX + channels - 1)
                                       : frmStageScreen::tr("DMX %1").arg(entry.StartDMX);
    return frmStageScreen::tr("Lamp %1: %2").arg(index + 1).arg(type) + QLatin1Char('\n') + count +
           QStringLiteral(", ") + range;
}

}  // namespace

frmStageScreen::frmStageScreen(rig::AppState& state, ui::Ui& ui, CommonDialog& dlgCommonDialog, tbxLamps& toolbox,
                               QWidget* parent)
    : QWidget(parent),
      m_state(state),
      m_ui(ui),
      m_dlgCommonDialog(dlgCommonDialog),
      m_toolbox(toolbox)
{
    setObjectName(QStringLiteral("frmStageScreen"));
    setWindowTitle(tr("Stage Screen"));

    // Grid rows and columns count from 1 as stage cells; the headings (numbers over
    // the columns, letters beside the rows) are the table's own header row and column.
    m_grdStageScreen = new QTableWidget(rig::stageRows, rig::stageCols, this);
    m_grdStageScreen->setObjectName(QStringLiteral("grdStageScreen"));
    m_grdStageScreen->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdStageScreen->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grdStageScreen->setWordWrap(true);
    // The cells keep their size; the whole lamp name is fitted into them.
    m_grdStageScreen->setItemDelegate(new ui::FittedTextDelegate(m_grdStageScreen));
    m_grdStageScreen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grdStageScreen->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grdStageScreen->setAcceptDrops(true);
    m_grdStageScreen->viewport()->setAcceptDrops(true);
    m_grdStageScreen->viewport()->installEventFilter(this);
    for (int r = 0; r < rig::stageRows; ++r) {
        for (int c = 0; c < rig::stageCols; ++c) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            m_grdStageScreen->setItem(r, c, item);
        }
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grdStageScreen);

    connect(&m_toolbox, &tbxLamps::lampAssigned, this, &frmStageScreen::toolbox_LampAssigned);

    m_undoStack = new QUndoStack(this);
    m_history = new PatchHistory(m_state.patch, *m_undoStack, this);
    m_history->setAfterApply([this] { afterUndo(); });

    // Form load.
    setupScreen();
}

void frmStageScreen::setupScreen()
{
    m_grdStageScreen->horizontalHeader()->setFixedHeight(ui::twipsToPixels(headingTwips));
    m_grdStageScreen->verticalHeader()->setFixedWidth(ui::twipsToPixels(headingTwips));
    for (int c = 0; c < rig::stageCols; ++c)
        m_grdStageScreen->setColumnWidth(c, ui::twipsToPixels(columnTwips));
    for (int r = 0; r < rig::stageRows; ++r)
        m_grdStageScreen->setRowHeight(r, ui::twipsToPixels(rowTwips));
    labelScreen();
}

void frmStageScreen::labelScreen()
{
    QStringList columns;
    for (int c = 1; c <= rig::stageCols; ++c)
        columns << QString::number(c);
    QStringList rows;
    for (int r = 1; r <= rig::stageRows; ++r)
        rows << QString(QChar(64 + r));
    m_grdStageScreen->setHorizontalHeaderLabels(columns);
    m_grdStageScreen->setVerticalHeaderLabels(rows);
}

void frmStageScreen::refreshScreen()
{
    for (int r = 0; r < rig::stageRows; ++r) {
        for (int c = 0; c < rig::stageCols; ++c) {
            QTableWidgetItem* item = m_grdStageScreen->item(r, c);
            item->setText(QString());
            item->setData(Qt::UserRole, QVariant());
            item->setData(Qt::BackgroundRole, QVariant());
            item->setToolTip(QString());
        }
    }
    labelScreen();

    const rig::StagePatch& patch = m_state.patch;
    const auto conflicts = rig::findDmxConflicts(patch);
    for (std::size_t i = 0; i < rig::patchEntryCount; ++i) {
        const rig::PatchEntry& entry = patch.patchEntries[i];
        if (!entry.inUse() || !entry.onStage())
            continue;
        const QString name = entry.hasValidLampType()
                                 ? rig::fromField(patch.lmpLamps[static_cast<std::size_t>(entry.LampType)].LampName.str())
                                 : QString();
        const QString text = QStringLiteral("%1.%2.%3").arg(i + 1).arg(entry.StartChannel).arg(entry.StartDMX) +
                             QStringLiteral("\r\n") + name;
        QTableWidgetItem* item = m_grdStageScreen->item(entry.ScreenRow, entry.ScreenCol);
        item->setData(Qt::UserRole, text);
        // The view breaks lines at line feeds only.
        item->setText(QString(text).remove(QLatin1Char('\r')));
        // Set or cleared for every lamp drawn: a lamp drawn over another in the same
        // cell must not show the conflict of the one it hides.
        item->setData(Qt::BackgroundRole, conflicts[i].any() ? QVariant(conflictColour) : QVariant());
        QString tip = lampDescription(patch, i);
        const std::string conflict = rig::describeConflict(conflicts[i]);
        if (!conflict.empty())
            tip += QLatin1Char('\n') + QString::fromStdString(conflict);
        item->setToolTip(tip);
    }
}

QString frmStageScreen::textMatrix(int row, int col) const
{
    if (row < 0 || row > rig::stageRows || col < 0 || col > rig::stageCols || (row == 0 && col == 0))
        return QString();
    if (row == 0)
        return m_grdStageScreen->horizontalHeaderItem(col - 1)->text();
    if (col == 0)
        return m_grdStageScreen->verticalHeaderItem(row - 1)->text();
    return m_grdStageScreen->item(row - 1, col - 1)->data(Qt::UserRole).toString();
}

QPoint frmStageScreen::cellCentre(int row, int col) const
{
    return m_grdStageScreen->visualItemRect(m_grdStageScreen->item(row - 1, col - 1)).center();
}

int frmStageScreen::findLamp(int row, int col) const
{
    const rig::StagePatch& patch = m_state.patch;
    for (std::size_t i = 0; i < rig::patchEntryCount; ++i) {
        const rig::PatchEntry& entry = patch.patchEntries[i];
        if (entry.inUse() && entry.ScreenRow == row && entry.ScreenCol == col)
            return static_cast<int>(i);
    }
    return noLamp;
}

bool frmStageScreen::occupiedByOther(int row, int col, int except) const
{
    const rig::StagePatch& patch = m_state.patch;
    for (std::size_t i = 0; i < rig::patchEntryCount; ++i) {
        const rig::PatchEntry& entry = patch.patchEntries[i];
        if (static_cast<int>(i) != except && entry.inUse() && entry.ScreenRow == row && entry.ScreenCol == col)
            return true;
    }
    return false;
}

frmStageScreen::Cell frmStageScreen::cellAt(const QPoint& viewportPos) const
{
    const int r = m_grdStageScreen->rowAt(viewportPos.y());
    const int c = m_grdStageScreen->columnAt(viewportPos.x());
    if (r < 0 || c < 0)
        return {};
    return {r + 1, c + 1};
}

// ---- file operations -------------------------------------------------------------

void frmStageScreen::File_New()
{
    m_state.patch = rig::StagePatch{};
    m_sFileName.clear();
    m_undoStack->clear();
    refreshScreen();
    m_toolbox.refreshTools();
}

void frmStageScreen::File_Open(const QString& fileName, const QString& /*fileTitle*/)
{
    rig::readPatchFile(rig::toPath(fileName), m_state.patch);
    // The name is taken only once the file has been read: a failed open must not
    // point later saves of the patch still in memory at another file.
    m_sFileName = fileName;
    m_undoStack->clear();
    refreshScreen();
    // The slots now hold the file's lamp types; the buttons must say so.
    m_toolbox.refreshTools();
    reportLampsOffStage();
}

void frmStageScreen::reportLampsOffStage()
{
    // Such a lamp has no cell to be drawn in or reached from, yet holds DMX addresses.
    QStringList lamps;
    const auto& entries = m_state.patch.patchEntries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].inUse() && !entries[i].onStage())
            lamps << tr("Lamp %1: row %2, column %3")
                         .arg(i + 1)
                         .arg(entries[i].ScreenRow + 1)
                         .arg(entries[i].ScreenCol + 1);
    }
    if (lamps.isEmpty())
        return;
    m_ui.message(this,
                 tr("These lamps stand outside the stage's %1 rows and %2 columns, so the stage screen "
                    "cannot show them:")
                         .arg(rig::stageRows)
                         .arg(rig::stageCols) +
                     QStringLiteral("\r\n\r\n") + lamps.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n") +
                     tr("They keep their DMX addresses and are saved with the patch as they are."),
                 tr("Lamps outside the stage"), ui::Icon::Information, ui::Buttons::Ok);
}

void frmStageScreen::File_Save()
{
    if (m_sFileName.isEmpty()) {
        File_Save_As();
        return;
    }
    rig::writePatchFile(rig::toPath(m_sFileName), m_state.patch);
    m_undoStack->setClean();
    emit fileSaved(m_sFileName);
}

void frmStageScreen::File_Save_As()
{
    try {
        // A name typed without an extension gets ".pat": Open reads only names ending in pat.
        const std::optional<QString> chosen = m_dlgCommonDialog.showSave(
            this, tr("Stage Patch (*.pat)|*.pat"), m_sFileName, {}, QStringLiteral("pat"), FileKind::Patch);
        if (!chosen || chosen->isEmpty())
            return;
        if (!m_dlgCommonDialog.confirmOverwrite(this, *chosen, tr("Stage patch file exists")))
            return;
        rig::writePatchFile(rig::toPath(*chosen), m_state.patch);
        m_dlgCommonDialog.succeeded(*chosen, FileKind::Patch);
        // Later saves go to the file just written.
        m_sFileName = *chosen;
        m_undoStack->setClean();
        emit fileSaved(m_sFileName);
    } catch (const rig::RigError& error) {
        m_ui.message(this,
                     tr("Error ") + QString::number(error.number()) + QStringLiteral("\r\n") +
                         QString::fromStdString(error.description()),
                     tr("Error"), ui::Icon::Critical, ui::Buttons::Ok);
    }
}

// ---- window events ---------------------------------------------------------------

void frmStageScreen::Form_Activate() { m_toolbox.show(); }

void frmStageScreen::toolbox_LampAssigned(int slot, const rig::Lamp& previous)
{
    // A slot's new lamp type is part of the patch file, and placed lamps of that
    // type now show its name.
    if (slot >= 0 && slot < static_cast<int>(rig::lampSlots)) {
        rig::StagePatch before = m_state.patch;
        before.lmpLamps[static_cast<std::size_t>(slot)] = previous;
        m_history->record(before, tr("Assign Lamp Type %1").arg(slot));
    }
    refreshScreen();
}

void frmStageScreen::afterUndo()
{
    refreshScreen();
    m_toolbox.refreshTools();
}

bool frmStageScreen::isChanged() const { return !m_undoStack->isClean(); }

void frmStageScreen::setChanged(bool changed)
{
    if (!changed)
        m_undoStack->setClean();
    else if (m_undoStack->isClean())
        m_undoStack->resetClean();  // no undo leads back to the saved patch
}

void frmStageScreen::patchReplaced(bool unsaved)
{
    m_undoStack->clear();
    if (unsaved)
        setChanged(true);
    refreshScreen();
}

bool frmStageScreen::confirmDiscard()
{
    if (!isChanged())
        return true;
    return m_ui.message(this, tr("Close window without saving changes?"),
                        tr("Close window"), ui::Icon::Question,
                        ui::Buttons::OkCancel) == ui::Answer::Ok;
}

void frmStageScreen::closeEvent(QCloseEvent* event)
{
    if (!confirmDiscard()) {
        event->ignore();
        return;
    }
    event->accept();
    // The user has let the changes go; the next patch opened need not ask again, and
    // the steps go with them.
    m_undoStack->clear();
    m_toolbox.hide();
    emit closed();
}

void frmStageScreen::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    labelScreen();
    refreshScreen();
}

void frmStageScreen::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Form_Activate();
}
