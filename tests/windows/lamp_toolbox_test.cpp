#include "patch/tbxLamps.h"
#include "window_helpers.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
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
        const QPoint pos = slotCentre(slot);
        QWidget* viewport = toolbox.grdLampTool()->viewport();
        QMouseEvent move(QEvent::MouseMove, pos, viewport->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        return toolbox.grdLampTool()->toolTip();
    }

    tbxLamps toolbox{main};
};

TEST_F(LampToolboxTest, RightPressAssignsALampWithIconOne)
{
    QSignalSpy assigned(&toolbox, &tbxLamps::lampAssigned);
    rig::Lamp lamp = namedLamp("Spot 575", 12);
    lamp.Icon = 3;
    rig::writeLampFile(toPath(file("spot.lmp")), lamp);
    fake.fileAnswers = {file("missing.lmp"), file("spot.lmp")};
    pressSlot(5, Qt::RightButton);
    ASSERT_EQ(fake.texts(), std::vector<QString>{"There was an error loading the lamp"});
    EXPECT_EQ(assigned.count(), 0);

    pressSlot(5, Qt::RightButton);
    lamp.Icon = 1;
    EXPECT_EQ(state.patch.lmpLamps[5], lamp);
    EXPECT_EQ(toolbox.grdLampTool()->item(5, 0)->text(), "Spot 575        ");
    EXPECT_EQ(assigned.count(), 1);
    EXPECT_EQ(tipOver(5), "Drag and drop Spot 575         on the Stage Screen");
    EXPECT_EQ(tipOver(2), "No lamp assigned yet. Right click to assign");
}

TEST_F(LampToolboxTest, LeftPressDragsOnlyAFilledSlot)
{
    state.patch.lmpLamps[7].LampName.assign("Wash");
    state.nToolLamp = 3;
    pressSlot(2, Qt::LeftButton);
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text,
              "No lamp has been assigned to this button.\r\nPlease assign a lamp by right clicking the button");
    EXPECT_EQ(fake.messages[0].title, "Warning");
    EXPECT_EQ(fake.messages[0].icon, ui::Icon::Information);
    EXPECT_EQ(fake.dragsStarted, 0);
    EXPECT_EQ(state.nToolLamp, 3);

    pressSlot(7, Qt::LeftButton);
    EXPECT_EQ(fake.dragsStarted, 1);
    EXPECT_EQ(state.nToolLamp, 7);
    EXPECT_EQ(fake.messages.size(), 1u);
}

}  // namespace
