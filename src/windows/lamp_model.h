#pragma once

#include "core/lamp.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>

// The lamp of one lamp window, and the one place where every kind of edit of it lands.
// The channel grid sees it as one row per channel in use (row r is Channel(r)) and three
// columns. Each edit changes the lamp and announces it, and does nothing else: the
// window shows what the announcements say, so an edit that comes from anywhere else
// than the window's own controls shows just the same. An edit that changed the lamp is
// also announced whole, with the lamp as it was before, by `edited`: the window's
// history of steps is built from that.
class LampModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { FunctionColumn, PaletteColumn, StepColumn, ColumnCount };

    // What an edit did, as its step is named: `index` is the channel or wheel slot
    // concerned (0-based), or the first channel of a paste or cut.
    enum class EditKind { Name, Icon, ChannelCount, Function, Palette, Step, WheelFunction, WheelName, Paste, Cut };
    struct Edit {
        EditKind kind = EditKind::Name;
        int index = 0;
    };

    // Everything done to the lamp while the outermost Batch lives is one edit: announced
    // once by `edited` when it ends, if the lamp changed. Each edit below is a batch of its
    // own, so edits made inside a larger one fold into it.
    class Batch final {
    public:
        Batch(LampModel& model, Edit edit);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        LampModel& m_model;
    };

    // Reads and edits `lamp`, which stays its owner's.
    explicit LampModel(rig::Lamp& lamp, QObject* parent = nullptr);

    [[nodiscard]] const rig::Lamp& lamp() const noexcept { return m_lamp; }

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    // Qt::DisplayRole: the text the grid shows; Qt::EditRole: the stored code or step.
    [[nodiscard]] QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role = Qt::DisplayRole) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    // An edit-role value goes through setChannelCell.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // What each row's tooltip says (row r: tips[r]); rows beyond the list have none.
    // Not an edit: nothing is announced.
    void setRowTips(QStringList tips) { m_rowTips = std::move(tips); }

    // ---- the edits ------------------------------------------------------------------
    // The whole lamp at once, as read from a file or an import (a model reset).
    void replaceLamp(const rig::Lamp& lamp);
    // The whole lamp at once, as an undo or a paste brings it: rows inserted or removed,
    // and every part that differs announced as the single edits announce it.
    void setLamp(const rig::Lamp& lamp);
    // The name as typed, stored as its 16 bytes (cut, or padded with spaces). nameChanged.
    void setName(const QString& name);
    // iconChanged.
    void setIcon(std::uint8_t icon);
    // `count` channels in use, brought into 1 to 36. Channels beyond the count keep their
    // data, so raising it again brings them back; a channel in use with step 0 gets step 1
    // (dataChanged for it). Rows are inserted or removed, then channelCountChanged.
    void setChannelCount(int count);
    // One cell of Channel(channel), 0 to 35 (in use or not): a function or palette code,
    // or a step 0 to 255. dataChanged when the channel is in use. False, and nothing
    // changes, for a cell or value outside those ranges.
    bool setChannelCell(int channel, Column column, int value);
    // Slot 0 to 47; wheelChanged. False, and nothing changes, for another slot.
    bool setWheelFunction(int slot, std::int16_t code);
    // The name as typed, stored as its 12 bytes; wheelChanged. False for a slot outside 0 to 47.
    bool setWheelName(int slot, const QString& name);

signals:
    // The lamp changed by one edit; `before` is the lamp as it was.
    void edited(const rig::Lamp& before, LampModel::Edit edit);
    void nameChanged();
    void iconChanged();
    void channelCountChanged();
    void wheelChanged(int slot);

private:
    [[nodiscard]] QVariant rowTip(int row) const;

    rig::Lamp& m_lamp;
    int m_batchDepth = 0;
    rig::Lamp m_before{};
    Edit m_edit;
    QStringList m_rowTips;
};
