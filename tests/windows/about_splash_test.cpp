#include "shell_fixture.h"

#include "shell/frmAbout.h"
#include "shell/frmSplash.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <vector>

namespace {

using AboutBoxTest = ShellTest;

TEST(AboutBuildText, PlainDecimalNumbersWithoutPadding)
{
    struct Case {
        int major, minor, revision;
        const char* text;
    };
    for (const Case& c : std::vector<Case>{{1, 0, 19, "Build 1.0.19"},
                                           {1, 0, 0, "Build 1.0.0"},
                                           {2, 10, 105, "Build 2.10.105"},
                                           {0, 0, 7, "Build 0.0.7"}})
        EXPECT_EQ(frmAbout::buildText(c.major, c.minor, c.revision), c.text);
}

TEST_F(AboutBoxTest, ShowsPictureNameAndBuildModallyOverTheMainWindow)
{
    bool inspected = false;
    fake.dialogScripts.push_back([&](QDialog& dialog) {
        auto* about = qobject_cast<frmAbout*>(&dialog);
        ASSERT_NE(about, nullptr);
        inspected = true;
        EXPECT_EQ(about->windowTitle(), "About Tarsen Rigsmith");
        EXPECT_EQ(about->parentWidget(), &window);
        EXPECT_TRUE(about->isModal());
        EXPECT_EQ(about->minimumSize(), about->maximumSize());  // fixed size
        EXPECT_FALSE(about->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

        EXPECT_EQ(about->lblBuild()->text(), "Build 1.0.19");
        EXPECT_EQ(about->Label1()->text(), "Tarsen Rigsmith");
        const QFont font = about->Label1()->font();
        EXPECT_EQ(font.family(), "Arial");
        EXPECT_TRUE(font.bold());
        EXPECT_DOUBLE_EQ(font.pointSizeF(), 15.75);
        EXPECT_EQ(about->lblDisclaimer()->text(), "");
        EXPECT_EQ(about->Image1()->pixmap().size(), QSize(485, 326));
        EXPECT_EQ(about->cmdOK()->text(), "OK");

        QTest::mouseClick(about->cmdOK(), Qt::LeftButton);
        EXPECT_EQ(about->result(), QDialog::Accepted);
        EXPECT_FALSE(about->isVisible());
    });
    action("mnuHelpAbout")->trigger();
    EXPECT_TRUE(inspected);
    EXPECT_EQ(fake.dialogsShown, std::vector<QString>{"frmAbout"});
}

TEST_F(AboutBoxTest, EveryOpeningBuildsTheBoxAfresh)
{
    std::vector<QString> builds;
    const auto script = [&](QDialog& dialog) {
        auto* label = dialog.findChild<QLabel*>("lblBuild");
        ASSERT_NE(label, nullptr);
        builds.push_back(label->text());
        label->setText("changed while open");
        dialog.accept();
    };
    fake.dialogScripts = {script, script};
    window.mnuHelpAbout_Click();
    window.tbToolBar_ButtonClick("About");
    EXPECT_EQ(builds, (std::vector<QString>{"Build 1.0.19", "Build 1.0.19"}));
    EXPECT_TRUE(window.findChildren<frmAbout*>().isEmpty());  // discarded after closing
}

TEST(SplashTest, IsExactlyThePictureAndFramelessAndCentred)
{
    frmSplash splash;
    splash.Form_Load();
    EXPECT_EQ(splash.size(), QSize(485, 326));
    EXPECT_EQ(splash.Picture1()->pixmap().size(), QSize(485, 326));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash.Timer1()->interval(), 3000);
    EXPECT_TRUE(splash.Timer1()->isSingleShot());
    EXPECT_TRUE(splash.Timer1()->isActive());
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(splash.frameGeometry().center(), screen->availableGeometry().center());
}

TEST(SplashTest, NothingButItsTimerClosesIt)
{
    constexpr int intervalMs = 300;
    frmSplash splash(intervalMs);
    QElapsedTimer clock;
    bool pokedWhileShown = false;
    // While the splash waits, the user presses keys, clicks and asks the window to close.
    QTimer::singleShot(50, &splash, [&] {
        pokedWhileShown = splash.isVisible();
        QTest::keyClick(&splash, Qt::Key_Escape);
        QTest::keyClick(&splash, Qt::Key_Return);
        QTest::mouseClick(&splash, Qt::LeftButton);
        EXPECT_FALSE(splash.close());
        EXPECT_TRUE(splash.isVisible());
    });
    clock.start();
    splash.showAndWait();
    EXPECT_TRUE(pokedWhileShown);
    EXPECT_GE(clock.elapsed(), intervalMs);
    EXPECT_FALSE(splash.isVisible());
}

}  // namespace
