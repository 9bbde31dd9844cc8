#include "windows/tbxLamps.h"
#include "window_helpers.h"

#include <QTableWidget>

namespace {

class LampToolboxTest : public MainWindowTest {
protected:
    LampToolboxTest() { toolbox.show(); }

    QPoint slotCentre(int slot) const
    {
        return toolbox.grdLampTool()->visualItemRect(toolbox.grdLampTool()->item(slot, 0)).center();
    }
    void pressSlot(int slot, Qt::MouseButton button)
    {
        QTest::mousePress(toolbox.grdLampTool()->viewport(), button, {}, slotCentre(slot));
    }
    QString tipOver(int slot)
    {
        hover(toolbox.grdLampTool()->viewport(), slotCentre(slot));
        return toolbox.grdLampTool()->toolTip();
    }

    tbxLamps toolbox{state, fake, main};
};

TEST_F(LampToolboxTest, RightPressAssignsALampWithIconOne)
{
    rig::Lamp lamp = namedLamp("Spot 575", 12);
    lamp.Icon = 3;
    rig::writeLampFile(toPath(file("spot.lmp")), lamp);
    fake.fileAnswers = {file("spot.lmp")};
    pressSlot(5, Qt::RightButton);
    lamp.Icon = 1;
    EXPECT_EQ(state.patch.lmpLamps[5], lamp);
    EXPECT_EQ(tipOver(5), "Drag and drop Spot 575         on the Stage Screen");
    EXPECT_EQ(tipOver(2), "No lamp assigned yet. Right click to assign");
}

TEST_F(LampToolboxTest, LeftPressDragsOnlyAFilledSlot)
{
    state.patch.lmpLamps[7].LampName.assign("Wash");
    state.nToolLamp = 3;
    pressSlot(2, Qt::LeftButton);
    EXPECT_EQ(fake.texts(), std::vector<QString>{"No lamp has been assigned to this button.\r\n"
                                                 "Please assign a lamp by right clicking the button"});
    EXPECT_EQ(fake.dragsStarted, 0);
    EXPECT_EQ(state.nToolLamp, 3);

    pressSlot(7, Qt::LeftButton);
    EXPECT_EQ(fake.dragsStarted, 1);
    EXPECT_EQ(state.nToolLamp, 7);
    EXPECT_EQ(fake.messages.size(), 1u);
}

}  // namespace
