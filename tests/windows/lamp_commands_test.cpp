#include "window_helpers.h"

#include "ui/twips.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

using LampCommands = MainWindowTest;

TEST_F(LampCommands, NewLampSubWindowKeepsItsLeastHeight)
{
    main.mnuFileNewLamp_Click();
    ASSERT_EQ(main.mdiArea()->subWindowList().size(), 1);
    // In the client area the height rule applies to the sub-window's outer height.
    QMdiSubWindow* sub = main.mdiArea()->subWindowList()[0];
    sub->resize(sub->width(), ui::twipsToPixels(2000));
    QCoreApplication::processEvents();
    EXPECT_EQ(sub->height(), ui::twipsToPixels(5400));
    EXPECT_EQ(sub->findChild<QLabel*>(QStringLiteral("lblPage"))->y(), ui::twipsToPixels(5400 - 900));
}

}  // namespace
