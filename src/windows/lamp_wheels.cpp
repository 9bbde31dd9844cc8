#include "windows/lamp_wheels.h"

#include "core/function_names.h"
#include "qtcore/field_text.h"
#include "windows/lamp_model.h"
#include "windows/lamp_window_layout.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>

namespace {

constexpr int wheelPages = 8;

// Leaving a list, not opening its own pop-up nor switching to another window.
bool isLostFocus(const QEvent* event)
{
    if (event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

QString functionText(int code) { return rig::fromField(rig::functionName(code), rig::FieldSpaces::Trim); }

}  // namespace

LampWheels::LampWheels(QWidget& window, LampModel& model) : QObject(&window), m_model(model)
{
    m_cmbIcon = new QComboBox(&window);
    m_cmbIcon->setObjectName(QStringLiteral("cmbIcon"));
    for (const auto& icon : rig::iconCodes)
        m_cmbIcon->addItem(QString::fromLatin1(icon.name), icon.code);
    m_cmbIcon->setCurrentIndex(-1);
    lamp_layout::place(m_cmbIcon, lamp_layout::cmbIcon);
    m_cmbIcon->installEventFilter(this);
    connect(m_cmbIcon, &QComboBox::activated, this, &LampWheels::cmbIcon_LostFocus);

    for (int i = 0; i < 4; ++i) {
        const int shift = lamp_layout::wheelPitch * i;
        auto* name = new QLineEdit(&window);
        name->setObjectName(QStringLiteral("txtWheel%1").arg(i));
        lamp_layout::place(name, lamp_layout::txtWheel, shift);
        auto* function = new QComboBox(&window);
        function->setObjectName(QStringLiteral("cmbWheel%1").arg(i));
        lamp_layout::place(function, lamp_layout::cmbWheel, shift);
        m_txtWheel[static_cast<std::size_t>(i)] = name;
        m_cmbWheel[static_cast<std::size_t>(i)] = function;
        connect(name, &QLineEdit::textChanged, this, [this, i] { txtWheel_Change(i); });
        name->installEventFilter(this);
        function->installEventFilter(this);
    }

    m_Command1 = new QPushButton(tr("&Next Function"), &window);
    m_Command1->setObjectName(QStringLiteral("Command1"));
    lamp_layout::place(m_Command1, lamp_layout::Command1);
    connect(m_Command1, &QPushButton::clicked, this, &LampWheels::Command1_Click);

    m_lblPage = new QLabel(tr("Page: 1 of 8"), &window);
    m_lblPage->setObjectName(QStringLiteral("lblPage"));
    lamp_layout::place(m_lblPage, lamp_layout::lblPage);

    connect(&m_model, &LampModel::wheelChanged, this, &LampWheels::model_wheelChanged);
    connect(&m_model, &LampModel::iconChanged, this, &LampWheels::refreshIcon);
    // The lists offer the channel functions: a changed function rebuilds them (a changed
    // count does not, so they offer the functions of dropped channels until then).
    connect(&m_model, &LampModel::dataChanged, this, [this](const QModelIndex& topLeft) {
        if (topLeft.column() <= LampModel::FunctionColumn)
            loadWheelFnNames();
    });
}

void LampWheels::load()
{
    m_wheelPage = 0;
    m_lblPage->setText(tr("Page: 1 of 8"));
    loadWheelFnNames();
    refreshIcon();
}

void LampWheels::commitPending()
{
    for (int i = 0; i < 4; ++i) {
        const QComboBox* list = m_cmbWheel[static_cast<std::size_t>(i)];
        if (!list->hasFocus() || list->currentIndex() < 0)
            continue;
        const auto code = static_cast<std::int16_t>(list->currentData().toInt());
        if (m_model.lamp().WheelFunction[static_cast<std::size_t>(wheelSlot(i))] != code)
            m_model.setWheelFunction(wheelSlot(i), code);
    }
    if (m_cmbIcon->hasFocus())
        cmbIcon_LostFocus();
}

void LampWheels::loadWheelFnNames()
{
    {
        QScopedValueRollback<bool> guard(m_refreshing, true);
        const rig::Lamp& lamp = m_model.lamp();
        for (QComboBox* list : m_cmbWheel) {
            list->clear();
            list->addItem(functionText(rig::fn::None), rig::fn::None);
            for (std::size_t c = 0; c < lamp.usedChannels(); ++c) {
                const int code = lamp.Channel[c].Function;
                if (!rig::isWheelExempt(code))
                    list->addItem(functionText(code), code);
            }
        }
    }
    refreshWheels();
}

void LampWheels::refreshWheels()
{
    for (int i = 0; i < 4; ++i)
        showWheel(i, true);
}

void LampWheels::showWheel(int index, bool always)
{
    const auto slot = static_cast<std::size_t>(wheelSlot(index));
    const rig::Lamp& lamp = m_model.lamp();
    QComboBox* list = m_cmbWheel[static_cast<std::size_t>(index)];
    QLineEdit* name = m_txtWheel[static_cast<std::size_t>(index)];
    QScopedValueRollback<bool> guard(m_refreshing, true);
    if (always || list->currentIndex() < 0 || list->currentData().toInt() != lamp.WheelFunction[slot]) {
        int selected = -1;
        for (int entry = 0; entry < list->count(); ++entry)
            if (list->itemData(entry).toInt() == lamp.WheelFunction[slot])
                selected = entry;  // the last matching entry wins
        list->setCurrentIndex(selected);
    }
    if (always || rig::FixedText<12>::fromText(rig::toField(name->text())) != lamp.Wheel[slot].WheelName)
        name->setText(rig::fromField(lamp.Wheel[slot].WheelName));
}

void LampWheels::refreshIcon()
{
    m_cmbIcon->setCurrentIndex(m_cmbIcon->findData(static_cast<int>(m_model.lamp().Icon)));
}

void LampWheels::Command1_Click()
{
    m_wheelPage = (m_wheelPage + 1) % wheelPages;
    m_lblPage->setText(tr("Page: %1 of 8").arg(m_wheelPage + 1));
    refreshWheels();
}

void LampWheels::cmbWheel_LostFocus(int index)
{
    const QComboBox* list = m_cmbWheel[static_cast<std::size_t>(index)];
    // Leaving a list without picking another function changes nothing, so it is no step.
    if (list->currentIndex() >= 0)
        m_model.setWheelFunction(wheelSlot(index), static_cast<std::int16_t>(list->currentData().toInt()));
}

void LampWheels::txtWheel_Change(int index)
{
    // The boxes filled from the lamp are no edit: the stored name stays byte for byte.
    if (m_refreshing)
        return;
    m_model.setWheelName(wheelSlot(index), m_txtWheel[static_cast<std::size_t>(index)]->text());
}

void LampWheels::txtWheel_Click(int index)
{
    QLineEdit* box = m_txtWheel[static_cast<std::size_t>(index)];
    box->deselect();
    box->setCursorPosition(0);
}

void LampWheels::cmbIcon_LostFocus()
{
    if (m_cmbIcon->currentIndex() < 0)
        return;
    const auto icon = static_cast<std::uint8_t>(m_cmbIcon->currentData().toInt());
    if (m_model.lamp().Icon != icon)
        m_model.setIcon(icon);
}

void LampWheels::model_wheelChanged(int slot)
{
    const int index = slot - 4 * m_wheelPage;
    if (index >= 0 && index < 4)
        showWheel(index, false);
}

bool LampWheels::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_cmbIcon) {
        if (isLostFocus(event))
            cmbIcon_LostFocus();
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        if (watched == m_cmbWheel[static_cast<std::size_t>(i)] && isLostFocus(event))
            cmbWheel_LostFocus(i);
        else if (watched == m_txtWheel[static_cast<std::size_t>(i)] && event->type() == QEvent::MouseButtonRelease)
            txtWheel_Click(i);
    }
    return false;
}
