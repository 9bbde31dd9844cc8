#include "windows/tbxLamps.h"

#include "core/lamp.h"
#include "core/stage_patch.h"
#include "core/app_state.h"
#include "base/rig_error.h"
#include "qtcore/field_text.h"
#include "ui/twips.h"
#include "qtcore/file_names.h"
#include "ui/fitted_text.h"
#include "ui/ui.h"

#include <QDrag>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QTableWidget>
#include <QVBoxLayout>

#include <exception>

const QString tbxLamps::mimeType = QStringLiteral("application/x-rigsmith-lamp-slot");

namespace {

constexpr int toolRows = static_cast<int>(rig::lampSlots);
constexpr double toolRowTwips = 300;
constexpr double toolTopTwips = 1000;

}  // namespace

tbxLamps::tbxLamps(rig::AppState& state, ui::Ui& ui, QWidget& owner)
    : QWidget(&owner, Qt::Tool),
      m_state(state),
      m_ui(ui),
      m_dlgCommonDialog(ui)
{
    setObjectName(QStringLiteral("tbxLamps"));
    setWindowTitle(tr("Lamps"));

    m_grdLampTool = new QTableWidget(toolRows, 1, this);
    m_grdLampTool->setObjectName(QStringLiteral("grdLampTool"));
    m_grdLampTool->horizontalHeader()->hide();
    m_grdLampTool->verticalHeader()->hide();
    m_grdLampTool->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdLampTool->setSelectionMode(QAbstractItemView::NoSelection);
    m_grdLampTool->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grdLampTool->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grdLampTool->setFocusPolicy(Qt::NoFocus);
    // A button shows all 16 characters of the name at its fixed size.
    m_grdLampTool->setItemDelegate(new ui::FittedTextDelegate(m_grdLampTool));
    m_grdLampTool->viewport()->setMouseTracking(true);
    m_grdLampTool->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grdLampTool);

    Form_Load();
}

void tbxLamps::Form_Load()
{
    m_grdLampTool->setColumnWidth(0, ui::twipsToPixels(columnTwips));
    refreshTools();
    const int frame = 2 * m_grdLampTool->frameWidth();
    setFixedSize(ui::twipsToPixels(columnTwips) + frame, toolRows * ui::twipsToPixels(toolRowTwips) + frame);
}

void tbxLamps::showEvent(QShowEvent* event)
{
    // Placed against the main window's right edge when first shown, not on every show:
    // the user may have moved it since.
    if (!m_placed) {
        m_placed = true;
        const QRect mainFrame = parentWidget()->frameGeometry();
        move(mainFrame.x() + mainFrame.width() - frameGeometry().width(),
             mainFrame.y() + ui::twipsToPixels(toolTopTwips));
    }
    QWidget::showEvent(event);
}

void tbxLamps::refreshTools()
{
    const auto& lamps = m_state.patch.lmpLamps;
    for (int slot = 0; slot < toolRows; ++slot) {
        m_grdLampTool->setRowHeight(slot, ui::twipsToPixels(toolRowTwips));
        auto* item = m_grdLampTool->item(slot, 0);
        if (!item) {
            item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled);
            m_grdLampTool->setItem(slot, 0, item);
        }
        item->setText(rig::fromField(lamps[static_cast<std::size_t>(slot)].LampName.str()));
    }
}

int tbxLamps::slotAt(const QPoint& viewportPos) const
{
    return m_grdLampTool->rowAt(viewportPos.y());
}

bool tbxLamps::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grdLampTool->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const int slot = slotAt(mouse->position().toPoint());
            if (slot >= 0)
                grdLampTool_MouseDown(mouse->button(), slot);
            return true;
        }
        if (event->type() == QEvent::MouseMove) {
            const int slot = slotAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            if (slot >= 0)
                grdLampTool_MouseMove(slot);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void tbxLamps::grdLampTool_MouseDown(Qt::MouseButton button, int slot)
{
    if (button == Qt::RightButton) {
        assignLamp(slot);
        return;
    }
    if (!m_state.patch.slotHoldsLamp(static_cast<std::size_t>(slot))) {
        m_ui.message(this,
                     tr("No lamp has been assigned to this button.") + QStringLiteral("\r\n") +
                         tr("Please assign a lamp by right clicking the button"),
                     tr("Warning"), ui::Icon::Information, ui::Buttons::Ok);
        return;
    }
    m_state.nToolLamp = static_cast<std::int16_t>(slot);
    auto* drag = new QDrag(m_grdLampTool);
    auto* slotData = new QMimeData;
    slotData->setData(mimeType, QByteArray::number(slot));
    drag->setMimeData(slotData);
    m_ui.execDrag(*drag, Qt::CopyAction);
    drag->deleteLater();
}

void tbxLamps::grdLampTool_MouseMove(int slot)
{
    emit statusText(QString::number(slot));
    const auto& lamp = m_state.patch.lmpLamps[static_cast<std::size_t>(slot)];
    if (m_state.patch.slotHoldsLamp(static_cast<std::size_t>(slot)))
        m_grdLampTool->setToolTip(tr("Drag and drop ") + rig::fromField(lamp.LampName.str()) +
                                  tr(" on the Stage Screen"));
    else
        m_grdLampTool->setToolTip(tr("No lamp assigned yet. Right click to assign"));
}

void tbxLamps::assignLamp(int slot)
{
    if (slot < 0 || slot >= toolRows)
        return;
    const rig::Lamp previous = m_state.patch.lmpLamps[static_cast<std::size_t>(slot)];
    try {
        const std::optional<QString> chosen =
            m_dlgCommonDialog.showOpen(this, tr("Rigsmith Lamp Files (*.lmp)|*.lmp"));
        if (!chosen || chosen->isEmpty())
            return;
        // Read whole before the slot is touched, so a failed read leaves the slot as it was.
        rig::Lamp lamp = rig::readLampFile(rig::toPath(*chosen));
        lamp.Icon = 1;
        m_state.patch.lmpLamps[static_cast<std::size_t>(slot)] = lamp;
        m_dlgCommonDialog.succeeded(*chosen);
    } catch (const std::exception&) {
        m_ui.message(this, tr("There was an error loading the lamp"), tr("Rigsmith"),
                     ui::Icon::None, ui::Buttons::Ok);
        return;
    }
    refreshTools();
    emit lampAssigned(slot, previous);
}
