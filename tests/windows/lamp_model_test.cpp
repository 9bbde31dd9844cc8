#include "windows/lamp_model.h"

#include "../common/records.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using Column = LampModel::Column;

// Functions 1 to 12, steps from 10, palette codes 0 to 8 and round again.
rig::Lamp twelveChannels()
{
    rig::Lamp lamp = rig::test::lampWithFunctions({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 0, 10);
    for (std::size_t c = 0; c < 12; ++c)
        lamp.Channel[c].Palette = static_cast<std::int16_t>(c % 9);
    return lamp;
}

QString shown(const LampModel& model, int row, Column column) { return model.index(row, column).data().toString(); }

TEST(LampModel, ShowsEachChannelInUseByNameAndEditsItByCode)
{
    rig::Lamp lamp = twelveChannels();
    lamp.Channel[2].Function = 60;  // no such function
    LampModel model(lamp);
    ASSERT_EQ(model.rowCount(), 12);
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(shown(model, 1, Column::FunctionColumn), "Pan Fine");
    EXPECT_EQ(shown(model, 2, Column::FunctionColumn), "");
    EXPECT_EQ(model.index(2, Column::FunctionColumn).data(Qt::EditRole).toInt(), 60);
    // Palette codes 6 to 8 are never offered, but a lamp holding one shows its name.
    EXPECT_EQ(shown(model, 8, Column::PaletteColumn), "Max");
    EXPECT_EQ(shown(model, 11, Column::StepColumn), "21");
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Function (Gang)");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "Step");
    EXPECT_EQ(model.headerData(11, Qt::Vertical).toString(), "Channel 12");

    // A stored count above 36 is shown as 36 rows, never beyond the channel array.
    lamp.NumberChannel = 200;
    EXPECT_EQ(model.rowCount(), 36);
}

TEST(LampModel, TheChannelCountKeepsChannelsBeyondItAndRepairsOnlyStepsInUse)
{
    rig::Lamp lamp = twelveChannels();
    lamp.Channel[2].Step = 0;
    lamp.Channel[6].Step = 0;
    const rig::Lamp before = lamp;
    LampModel model(lamp);
    QSignalSpy removed(&model, &LampModel::rowsRemoved);
    QSignalSpy inserted(&model, &LampModel::rowsInserted);
    QSignalSpy counted(&model, &LampModel::channelCountChanged);
    QSignalSpy cells(&model, &LampModel::dataChanged);

    model.setChannelCount(4);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed[0][1].toInt(), 4);
    EXPECT_EQ(removed[0][2].toInt(), 11);
    EXPECT_EQ(lamp.NumberChannel, 4);
    EXPECT_EQ(lamp.NumberChannelCopy, 4);
    EXPECT_EQ(lamp.Channel[2].Step, 1);
    ASSERT_EQ(cells.count(), 1);
    EXPECT_EQ(cells[0][0].toModelIndex(), model.index(2, Column::StepColumn));
    EXPECT_EQ(lamp.Channel[6].Step, 0) << "a channel out of use is left as it is";

    model.setChannelCount(12);
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 4);
    EXPECT_EQ(inserted[0][2].toInt(), 11);
    rig::Lamp expected = before;  // the dropped channels back as they were, their steps repaired now
    expected.Channel[2].Step = expected.Channel[6].Step = 1;
    EXPECT_EQ(lamp, expected);

    // Out of range counts are brought into 1 to 36.
    model.setChannelCount(0);
    EXPECT_EQ(model.rowCount(), 1);
    model.setChannelCount(99);
    EXPECT_EQ(model.rowCount(), 36);
    EXPECT_EQ(counted.count(), 4);
}

TEST(LampModel, EachEditTakesOnlyWhatTheRecordCanHold)
{
    rig::Lamp lamp = twelveChannels();
    LampModel model(lamp);
    QSignalSpy cells(&model, &LampModel::dataChanged);
    QSignalSpy wheels(&model, &LampModel::wheelChanged);

    EXPECT_TRUE(model.setData(model.index(3, Column::StepColumn), 255));
    EXPECT_EQ(lamp.Channel[3].Step, 255);
    EXPECT_FALSE(model.setData(model.index(3, Column::StepColumn), 256));
    EXPECT_FALSE(model.setData(model.index(3, Column::StepColumn), -1));
    EXPECT_FALSE(model.setData(model.index(3, Column::StepColumn), QStringLiteral("ten")));
    EXPECT_FALSE(model.setData(model.index(3, Column::FunctionColumn), 2, Qt::DisplayRole));
    EXPECT_FALSE(model.setChannelCell(36, Column::FunctionColumn, 2));
    EXPECT_FALSE(model.setChannelCell(0, Column::FunctionColumn, 40000));
    EXPECT_EQ(lamp.Channel[3].Step, 255);
    EXPECT_EQ(cells.count(), 1);

    // A channel out of use can be set (its row comes back with it), without a row to announce.
    EXPECT_TRUE(model.setChannelCell(20, Column::PaletteColumn, 3));
    EXPECT_EQ(lamp.Channel[20].Palette, 3);
    EXPECT_EQ(cells.count(), 1);

    model.setName(QStringLiteral("A name longer than sixteen"));
    EXPECT_EQ(lamp.LampName.str(), "A name longer th");
    model.setName(QStringLiteral("Spot"));
    EXPECT_EQ(lamp.LampName.str(), "Spot            ");

    EXPECT_TRUE(model.setWheelName(47, QStringLiteral("Fifteen chars!!")));
    EXPECT_EQ(lamp.Wheel[47].WheelName.str(), "Fifteen char");
    EXPECT_TRUE(model.setWheelFunction(5, 13));
    EXPECT_EQ(lamp.WheelFunction[5], 13);
    EXPECT_FALSE(model.setWheelName(48, QStringLiteral("x")));
    EXPECT_FALSE(model.setWheelFunction(-1, 13));
    ASSERT_EQ(wheels.count(), 2);
    EXPECT_EQ(wheels[0][0].toInt(), 47);
    EXPECT_EQ(wheels[1][0].toInt(), 5);
}

}  // namespace
