#include "fake_ui.h"
#include "lamp/lamp.h"
#include "patch/tbxLamps.h"
#include "shell/frmMain.h"
#include "ui/twips.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class LampToolboxTest : public ::testing::Test {
protected:
    LampToolboxTest() : m_main(m_state)
    {
        m_main.setGeometry(100, 80, 900, 700);
        m_main.show();
    }

    QString lampFile(const char* name, std::uint8_t icon)
    {
        rig::Lamp lamp = rig::newLamp();
        lamp.LampName.assign(name);
        lamp.Icon = icon;
        lamp.NumberChannel = 12;
        const QString path = m_dir.filePath(QString::fromLatin1(name) + ".lmp");
        rig::writeLampFile(path.toStdString(), lamp);
        return path;
    }

    QPoint slotCentre(int slot) const
    {
        return m_box.grdLampTool()->visualItemRect(m_box.grdLampTool()->item(slot, 0)).center();
    }
    void pressSlot(int slot, Qt::MouseButton button)
    {
        QTest::mousePress(m_box.grdLampTool()->viewport(), button, {}, slotCentre(slot));
    }
    void moveOver(int slot)
    {
        const QPoint pos = slotCentre(slot);
        QMouseEvent move(QEvent::MouseMove, pos, m_box.grdLampTool()->viewport()->mapToGlobal(pos), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(m_box.grdLampTool()->viewport(), &move);
    }

    QTemporaryDir m_dir;
    FakeUi m_ui;
    rig::AppState m_state;
    frmMain m_main;
    tbxLamps m_box{m_main};
};

TEST_F(LampToolboxTest, ShowsSixteenButtonsAtTheMainWindowsRightEdge)
{
    m_box.show();
    EXPECT_EQ(m_box.parentWidget(), &m_main);
    QTableWidget* grid = m_box.grdLampTool();
    ASSERT_EQ(grid->rowCount(), 16);
    ASSERT_EQ(grid->columnCount(), 1);
    EXPECT_EQ(grid->columnWidth(0), ui::twipsToPixels(1400));
    EXPECT_EQ(grid->rowHeight(15), ui::twipsToPixels(300));
    const QRect main = m_main.frameGeometry();
    EXPECT_EQ(m_box.frameGeometry().right(), main.right());
    EXPECT_EQ(m_box.frameGeometry().top(), main.top() + ui::twipsToPixels(1000));
}

TEST_F(LampToolboxTest, AssigningALampFillsTheSlotWithIconOne)
{
    m_box.show();
    QSignalSpy assigned(&m_box, &tbxLamps::lampAssigned);
    m_ui.fileAnswers.push_back(lampFile("Spot 575", 3));
    pressSlot(5, Qt::RightButton);

    ASSERT_EQ(m_ui.fileCalls.size(), 1u);
    EXPECT_EQ(m_ui.fileCalls[0].request.filter, "Rigsmith Lamp Files (*.lmp)|*.lmp");
    const rig::Lamp& slot = m_state.patch.lmpLamps[5];
    EXPECT_EQ(slot.LampName.str(), "Spot 575        ");
    EXPECT_EQ(slot.Icon, 1);
    EXPECT_EQ(m_box.grdLampTool()->item(5, 0)->text(), "Spot 575        ");
    EXPECT_EQ(assigned.count(), 1);

    moveOver(5);
    EXPECT_EQ(m_box.grdLampTool()->toolTip(), "Drag and drop Spot 575         on the Stage Screen");
    EXPECT_EQ(m_main.statusText(), "5");
    moveOver(2);
    EXPECT_EQ(m_box.grdLampTool()->toolTip(), "No lamp assigned yet. Right click to assign");
    EXPECT_EQ(m_main.statusText(), "2");
}

TEST_F(LampToolboxTest, CancelledOrFailedAssignmentLeavesTheSlot)
{
    m_state.patch.lmpLamps[4].LampName.assign("Old");
    const rig::Lamp before = m_state.patch.lmpLamps[4];
    QSignalSpy assigned(&m_box, &tbxLamps::lampAssigned);

    m_ui.fileAnswers.push_back(std::nullopt);
    m_box.assignLamp(4);
    EXPECT_TRUE(m_ui.messages.empty());

    m_ui.fileAnswers.push_back(m_dir.filePath("missing.lmp"));
    m_box.assignLamp(4);
    ASSERT_EQ(m_ui.messages.size(), 1u);
    EXPECT_EQ(m_ui.messages[0].text, "There was an error loading the lamp");
    EXPECT_EQ(m_ui.messages[0].title, "Rigsmith");
    EXPECT_EQ(m_ui.messages[0].icon, ui::Icon::None);

    EXPECT_EQ(m_state.patch.lmpLamps[4], before);
    EXPECT_EQ(assigned.count(), 0);
}

TEST_F(LampToolboxTest, LeftPressDragsOnlyAFilledSlot)
{
    m_box.show();
    m_state.patch.lmpLamps[7].LampName.assign("Wash");
    m_state.nToolLamp = 3;

    pressSlot(2, Qt::LeftButton);
    ASSERT_EQ(m_ui.messages.size(), 1u);
    EXPECT_EQ(m_ui.messages[0].text,
              "No lamp has been assigned to this button.\r\nPlease assign a lamp by right clicking the button");
    EXPECT_EQ(m_ui.messages[0].title, "Warning");
    EXPECT_EQ(m_ui.messages[0].icon, ui::Icon::Information);
    EXPECT_EQ(m_ui.dragsStarted, 0);
    EXPECT_EQ(m_state.nToolLamp, 3);

    pressSlot(7, Qt::LeftButton);
    EXPECT_EQ(m_ui.dragsStarted, 1);
    EXPECT_EQ(m_state.nToolLamp, 7);
    EXPECT_EQ(m_ui.messages.size(), 1u);
}

}  // namespace
