#include "lamp/frmDocument.h"
#include "lamp/lamp.h"
#include "shell/app_state.h"
#include "shell/frmMain.h"
#include "ui/twips.h"

#include "fake_ui.h"

#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QList<QMdiSubWindow*> children(const frmMain& main) { return main.mdiArea()->subWindowList(); }

frmDocument* documentOf(QMdiSubWindow* sub) { return sub ? qobject_cast<frmDocument*>(sub->widget()) : nullptr; }

class LampCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    }

    QString lampFile(const char* name, const rig::Lamp& lamp)
    {
        const QString file = dir.filePath(QString::fromLatin1(name));
        rig::writeLampFile(QFile::encodeName(file).toStdString(), lamp);
        return file;
    }

    FakeUi fake;
    rig::AppState state;
    frmMain main{state};
    QTemporaryDir dir;
};

TEST_F(LampCommands, NewOpenAndImportEachGiveAWindowOfTheirOwn)
{
    main.mnuFileNewLamp_Click();
    ASSERT_EQ(children(main).size(), 1);
    frmDocument* fresh = documentOf(children(main)[0]);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(children(main)[0]->windowTitle(), QStringLiteral("New Lamp"));
    EXPECT_GE(children(main)[0]->height(), ui::twipsToPixels(5400));
    // In the client area the rule applies to the sub-window's outer height.
    children(main)[0]->resize(children(main)[0]->width(), ui::twipsToPixels(2000));
    QCoreApplication::processEvents();
    EXPECT_EQ(children(main)[0]->height(), ui::twipsToPixels(5400));

    rig::Lamp spot = rig::newLamp();
    spot.LampName.assign("Spot");
    spot.NumberChannel = spot.NumberChannelCopy = 2;
    spot.Channel[0].Step = spot.Channel[1].Step = 1;
    const QString file = lampFile("spot.lmp", spot);
    fake.fileAnswers = {file, file};
    main.mnuFileOpen_Click();
    main.mnuFileOpen_Click();  // the same file twice: two windows
    ASSERT_EQ(children(main).size(), 3);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(children(main)[i]->windowTitle(), QStringLiteral("spot.lmp"));
        ASSERT_NE(documentOf(children(main)[i]), nullptr);
        EXPECT_EQ(documentOf(children(main)[i])->lamp(), spot);
    }
    EXPECT_NE(documentOf(children(main)[1]), documentOf(children(main)[2]));

    state.lmpImport = spot;
    state.lmpImport.ReservedTable[9][35] = 0x5A;
    frmDocument* imported = main.openImportedLamp();
    ASSERT_EQ(children(main).size(), 4);
    EXPECT_EQ(imported->windowTitle(), QStringLiteral("Imported Lamp"));
    EXPECT_EQ(imported->lamp(), state.lmpImport);
    EXPECT_TRUE(imported->changed());
    EXPECT_TRUE(imported->filePath().isEmpty());
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(LampCommands, UnreadableLampFileLeavesNoWindow)
{
    fake.fileAnswers = {dir.filePath(QStringLiteral("missing.lmp"))};
    main.mnuFileOpen_Click();
    ASSERT_EQ(fake.messages.size(), 1U);
    EXPECT_EQ(fake.messages[0].text, QStringLiteral("Error53\r\nFile not found"));
    EXPECT_EQ(fake.messages[0].title, QStringLiteral("Error"));
    EXPECT_TRUE(children(main).isEmpty());
    EXPECT_EQ(main.findChildren<frmDocument*>().size(), 0);
}

TEST_F(LampCommands, CloseCommandHonoursTheWindowsAnswer)
{
    main.mnuFileNewLamp_Click();
    ASSERT_EQ(children(main).size(), 1);
    main.mdiArea()->setActiveSubWindow(children(main)[0]);

    fake.answers = {ui::Answer::Yes};
    fake.fileAnswers = {std::nullopt};
    main.mnuFileClose_Click();
    EXPECT_EQ(children(main).size(), 1) << "the save was cancelled: the lamp stays";

    fake.answers = {ui::Answer::Yes};
    fake.fileAnswers = {dir.filePath(QStringLiteral("kept.lmp"))};
    main.mnuFileClose_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(children(main).isEmpty());
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("kept.lmp"))));
    EXPECT_EQ(fake.messages.size(), 2U);
}

}  // namespace
