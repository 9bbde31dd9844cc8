#include "windows/lamp_model.h"

#include "core/function_names.h"
#include "qtcore/field_text.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int maxChannels = static_cast<int>(rig::maxChannels);
constexpr int wheelSlots = static_cast<int>(rig::wheelSlots);

bool fitsCode(int value)
{
    return value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max();
}

}  // namespace

LampModel::LampModel(rig::Lamp& lamp, QObject* parent) : QAbstractTableModel(parent), m_lamp(lamp) {}

LampModel::Batch::Batch(LampModel& model, Edit edit) : m_model(model)
{
    if (m_model.m_batchDepth++ == 0) {
        m_model.m_before = m_model.m_lamp;
        m_model.m_edit = edit;
    }
}

LampModel::Batch::~Batch()
{
    if (--m_model.m_batchDepth == 0 && m_model.m_lamp != m_model.m_before)
        emit m_model.edited(m_model.m_before, m_model.m_edit);
}

int LampModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_lamp.usedChannels());
}

int LampModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant LampModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::ToolTipRole)
        return rowTip(index.row());
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const rig::LampChannel& channel = m_lamp.Channel[static_cast<std::size_t>(index.row())];
    const bool shown = role == Qt::DisplayRole;
    switch (index.column()) {
    case FunctionColumn:
        return shown ? QVariant(rig::fromField(rig::functionName(channel.Function), rig::FieldSpaces::Trim))
                     : QVariant(int{channel.Function});
    case PaletteColumn:
        // Codes 6 to 8 are not offered for choosing but have names; they show by name.
        return shown ? QVariant(rig::fromField(rig::paletteTypeName(channel.Palette), rig::FieldSpaces::Trim))
                     : QVariant(int{channel.Palette});
    case StepColumn:
        return shown ? QVariant(QString::number(channel.Step)) : QVariant(int{channel.Step});
    default:
        return {};
    }
}

QVariant LampModel::rowTip(int row) const
{
    return row >= 0 && row < m_rowTips.size() ? QVariant(m_rowTips.at(row)) : QVariant();
}

QVariant LampModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::ToolTipRole && orientation == Qt::Vertical)
        return rowTip(section);
    if (role != Qt::DisplayRole || section < 0)
        return {};
    if (orientation == Qt::Vertical)
        return tr("Channel %1").arg(section + 1);
    switch (section) {
    case FunctionColumn:
        return tr("Function (Gang)");
    case PaletteColumn:
        return tr("Palette type");
    case StepColumn:
        return tr("Step");
    default:
        return {};
    }
}

Qt::ItemFlags LampModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool LampModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    bool number = false;
    const int code = value.toInt(&number);
    if (role != Qt::EditRole || !index.isValid() || !number)
        return false;
    return setChannelCell(index.row(), static_cast<Column>(index.column()), code);
}

void LampModel::replaceLamp(const rig::Lamp& lamp)
{
    beginResetModel();
    m_lamp = lamp;
    endResetModel();
}

void LampModel::setLamp(const rig::Lamp& lamp)
{
    const rig::Lamp old = m_lamp;
    const int before = rowCount();
    const int after = static_cast<int>(lamp.usedChannels());
    if (after > before) {
        beginInsertRows({}, before, after - 1);
        m_lamp = lamp;
        endInsertRows();
    } else if (after < before) {
        beginRemoveRows({}, after, before - 1);
        m_lamp = lamp;
        endRemoveRows();
    } else {
        m_lamp = lamp;
    }
    if (after > 0)
        emit dataChanged(index(0, 0), index(after - 1, ColumnCount - 1));
    if (old.LampName != m_lamp.LampName)
        emit nameChanged();
    if (old.Icon != m_lamp.Icon)
        emit iconChanged();
    for (int slot = 0; slot < wheelSlots; ++slot) {
        const auto k = static_cast<std::size_t>(slot);
        if (old.WheelFunction[k] != m_lamp.WheelFunction[k] || old.Wheel[k].WheelName != m_lamp.Wheel[k].WheelName)
            emit wheelChanged(slot);
    }
    if (before != after)
        emit channelCountChanged();
}

void LampModel::setName(const QString& name)
{
    const Batch batch(*this, {EditKind::Name, 0});
    m_lamp.LampName.assign(rig::toField(name));
    emit nameChanged();
}

void LampModel::setIcon(std::uint8_t icon)
{
    const Batch batch(*this, {EditKind::Icon, 0});
    m_lamp.Icon = icon;
    emit iconChanged();
}

void LampModel::setChannelCount(int count)
{
    const Batch batch(*this, {EditKind::ChannelCount, 0});
    count = std::clamp(count, 1, maxChannels);
    const int before = rowCount();
    const auto store = [this, count] { m_lamp.NumberChannel = static_cast<std::uint8_t>(count); };
    if (count > before) {
        beginInsertRows({}, before, count - 1);
        store();
        endInsertRows();
    } else if (count < before) {
        beginRemoveRows({}, count, before - 1);
        store();
        endRemoveRows();
    } else {
        store();  // a stored count above 36 shows as 36 rows already
    }
    m_lamp.NumberChannelCopy = m_lamp.NumberChannel;

    for (int c = 0; c < count; ++c) {
        std::uint8_t& step = m_lamp.Channel[static_cast<std::size_t>(c)].Step;
        if (step == 0) {
            step = 1;
            emit dataChanged(index(c, StepColumn), index(c, StepColumn));
        }
    }
    emit channelCountChanged();
}

bool LampModel::setChannelCell(int channel, Column column, int value)
{
    if (channel < 0 || channel >= maxChannels)
        return false;
    static constexpr EditKind kinds[] = {EditKind::Function, EditKind::Palette, EditKind::Step};
    const Batch batch(*this, {column >= 0 && column < ColumnCount ? kinds[column] : EditKind::Step, channel});
    rig::LampChannel& target = m_lamp.Channel[static_cast<std::size_t>(channel)];
    switch (column) {
    case FunctionColumn:
        if (!fitsCode(value))
            return false;
        target.Function = static_cast<std::int16_t>(value);
        break;
    case PaletteColumn:
        if (!fitsCode(value))
            return false;
        target.Palette = static_cast<std::int16_t>(value);
        break;
    case StepColumn:
        if (value < 0 || value > std::numeric_limits<std::uint8_t>::max())
            return false;
        target.Step = static_cast<std::uint8_t>(value);
        break;
    default:
        return false;
    }
    if (channel < rowCount())
        emit dataChanged(index(channel, column), index(channel, column));
    return true;
}

bool LampModel::setWheelFunction(int slot, std::int16_t code)
{
    if (slot < 0 || slot >= wheelSlots)
        return false;
    const Batch batch(*this, {EditKind::WheelFunction, slot});
    m_lamp.WheelFunction[static_cast<std::size_t>(slot)] = code;
    emit wheelChanged(slot);
    return true;
}

bool LampModel::setWheelName(int slot, const QString& name)
{
    if (slot < 0 || slot >= wheelSlots)
        return false;
    const Batch batch(*this, {EditKind::WheelName, slot});
    m_lamp.Wheel[static_cast<std::size_t>(slot)].WheelName.assign(rig::toField(name));
    emit wheelChanged(slot);
    return true;
}
