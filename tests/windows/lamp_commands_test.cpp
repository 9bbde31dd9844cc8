#include "window_helpers.h"

#include "lamp/frmDocument.h"
#include "ui/twips.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

using LampCommands = MainWindowTest;

TEST_F(LampCommands, NewAndOpenEachGiveAWindowOfTheirOwn)
{
    main.mnuFileNewLamp_Click();
    ASSERT_EQ(main.mdiArea()->subWindowList().size(), 1);
    // In the client area the height rule applies to the sub-window's outer height.
    QMdiSubWindow* sub = main.mdiArea()->subWindowList()[0];
    sub->resize(sub->width(), ui::twipsToPixels(2000));
    QCoreApplication::processEvents();
    EXPECT_EQ(sub->height(), ui::twipsToPixels(5400));
    EXPECT_EQ(sub->findChild<QLabel*>(QStringLiteral("lblPage"))->y(), ui::twipsToPixels(5400 - 900));

    rig::Lamp spot = namedLamp("Spot", 2);
    spot.NumberChannelCopy = 2;
    spot.Channel[0].Step = spot.Channel[1].Step = 1;
    rig::writeLampFile(toPath(file("spot.lmp")), spot);
    fake.fileAnswers = {file("spot.lmp")};
    main.mnuFileOpen_Click();
    const QList<frmDocument*> opened = main.findChildren<frmDocument*>();
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[1]->windowTitle(), QStringLiteral("spot.lmp"));
    EXPECT_EQ(opened[1]->lamp(), spot);

    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(LampCommands, UnreadableLampFileLeavesNoWindow)
{
    fake.fileAnswers = {file("missing.lmp")};
    main.mnuFileOpen_Click();
    ASSERT_EQ(fake.messages.size(), 1U);
    EXPECT_EQ(fake.messages[0].text, QStringLiteral("Error53\r\nFile not found"));
    EXPECT_EQ(fake.messages[0].title, QStringLiteral("Error"));
    EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
    EXPECT_TRUE(main.findChildren<frmDocument*>().isEmpty());
}

}  // namespace
