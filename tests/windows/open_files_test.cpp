#include "shell_fixture.h"

#include "windows/frmDocument.h"
#include "windows/frmStageScreen.h"
#include "core/stage_patch.h"
#include "shell/command_line.h"
#include "shell/recent_files.h"

#include <QDir>
#include <QMenu>
#include <QMdiSubWindow>
#include <QUrl>

#include <string>
#include <vector>

namespace {

// Files given on the command line, dropped on the client area or chosen from the
// recent-file list open as File > Open opens them.
class OpenFiles : public ShellTest {
protected:
    OpenFiles()
    {
        writeBytes(file("spot.lmp"), imageOf(namedLamp("Spot", 3)));
        writeBytes(file("wash.lmp"), imageOf(namedLamp("Wash", 2)));
        rig::StagePatch patch;
        patch.lmpLamps[0] = namedLamp("Spot", 3);
        rig::writePatchFile(toPath(file("show.pat")), patch);
    }

    QStringList childTitles()
    {
        QStringList titles;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const QMdiSubWindow* sub : main.mdiArea()->subWindowList()) {
            if (!sub->isHidden())
                titles << sub->widget()->windowTitle();
        }
        return titles;
    }

    // Drags `data` onto the middle of the client area, as dragAndDrop.
    Qt::DropAction drop(const QMimeData& data, Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction)
    {
        QWidget* area = main.mdiArea()->viewport();
        const Qt::DropAction taken = dragAndDrop(area, area->rect().center(), data, offered);
        QCoreApplication::processEvents();  // the files open after the drop
        return taken;
    }

    // The File menu's recent-file items as shown: captions, or the full names their
    // status tips give.
    QStringList recentItems(bool fullNames)
    {
        QStringList shown;
        for (int i = 1; i <= shell::RecentFiles::maxFiles; ++i) {
            QAction* item = action(("mnuFileRecent" + std::to_string(i)).c_str());
            if (item->isVisible())
                shown << (fullNames ? item->statusTip() : item->text());
        }
        return shown;
    }
    QStringList recentCaptions() { return recentItems(false); }
    QStringList recentFiles() { return recentItems(true); }
};

TEST_F(OpenFiles, EachFileOpensAsOpenDoesAndFailuresGetOpensMessages)
{
    main.openFiles({file("spot.lmp"), file("missing.lmp"), file("notes.txt"), file("show.pat"), file("spot.lmp")});

    // Two windows on the same lamp file, as two Opens give, and the stage screen.
    ASSERT_NE(main.stageScreen(false), nullptr);
    EXPECT_EQ(childTitles(), QStringList({"spot.lmp", main.stageScreen(false)->windowTitle(), "spot.lmp"}));
    EXPECT_EQ(main.stageScreen(false)->fileName(), file("show.pat"));
    EXPECT_EQ(state.patch.lmpLamps[0].LampName.str().substr(0, 4), "Spot");

    ASSERT_EQ(fake.messages.size(), 2U);
    expectMessage(fake.messages[0], "Error53\r\nFile not found", "Error", ui::Icon::Critical);
    EXPECT_TRUE(fake.messages[1].text.contains("\"notes.txt\"")) << fake.messages[1].text.toStdString();
    EXPECT_EQ(fake.messages[1].title, "Open");
    EXPECT_TRUE(fake.fileCalls.empty());  // no file dialog on the way
}

TEST(CommandLine, FilesBecomeAbsoluteAndOnlyHelpVersionAndDoubleDashAreOptions)
{
    const shell::FileArguments plain = shell::fileArguments(
        {"rigsmith", "spot.lmp", "../shows/big.pat", "/abs/wash.lmp", "--", "-odd.lmp", "--help"}, "/home/user/lamps");
    EXPECT_TRUE(plain.error.isEmpty());
    EXPECT_EQ(plain.files, QStringList({"/home/user/lamps/spot.lmp", "/home/user/shows/big.pat", "/abs/wash.lmp",
                                        "/home/user/lamps/-odd.lmp", "/home/user/lamps/--help"}));

    for (const QString option : {"--bogus", "-x", "-"}) {
        const shell::FileArguments refused = shell::fileArguments({"rigsmith", "a.lmp", option}, "/tmp");
        EXPECT_TRUE(refused.files.isEmpty()) << option.toStdString();
        EXPECT_TRUE(refused.error.contains(option)) << refused.error.toStdString();
    }

    const auto answer = [](std::vector<const char*> argv) {
        argv.insert(argv.begin(), "rigsmith");
        return shell::informationAnswer(static_cast<int>(argv.size()), argv.data());
    };
    ASSERT_TRUE(answer({"spot.lmp", "--help"}).has_value());
    EXPECT_EQ(answer({"-h"})->text.rfind("Usage: rigsmith", 0), 0U);
    EXPECT_EQ(answer({"--version"})->text, "rigsmith " RIGSMITH_TEST_VERSION "\n");
    EXPECT_FALSE(answer({"spot.lmp"}).has_value());
    EXPECT_FALSE(answer({"--", "--help"}).has_value());  // a file named --help
}

TEST_F(OpenFiles, DroppedFilesOpenAndOnlyLocalFilesAreTaken)
{
    QMimeData text;
    text.setText(file("spot.lmp"));
    EXPECT_EQ(drop(text), Qt::IgnoreAction);
    QMimeData web;
    web.setUrls({QUrl("https://example.invalid/spot.lmp")});
    EXPECT_EQ(drop(web), Qt::IgnoreAction);
    EXPECT_TRUE(childTitles().isEmpty());

    // Taken as a copy even when the source would move them: the files stay where they are.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(file("spot.lmp")), QUrl::fromLocalFile(file("show.pat"))});
    EXPECT_EQ(drop(files, Qt::CopyAction | Qt::MoveAction), Qt::CopyAction);
    QStringList titles = childTitles();
    titles.sort();
    EXPECT_EQ(titles, QStringList({main.stageScreen(false)->windowTitle(), "spot.lmp"}));
    EXPECT_TRUE(QFile::exists(file("spot.lmp")));
    EXPECT_EQ(drop(files, Qt::MoveAction), Qt::IgnoreAction);

    // A drop onto a lamp window reaches the client area too.
    QMimeData wash;
    wash.setUrls({QUrl::fromLocalFile(file("wash.lmp"))});
    EXPECT_EQ(dragAndDrop(main.mdiArea()->subWindowList().first()->widget(), {1, 1}, wash), Qt::CopyAction);
    QCoreApplication::processEvents();
    EXPECT_EQ(childTitles().count("wash.lmp"), 1);
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(OpenFiles, RecentListKeepsTheLastFourOpenedOrSavedAndSurvivesARestart)
{
    EXPECT_TRUE(recentCaptions().isEmpty());
    EXPECT_FALSE(action("mnuFileRecentBar")->isVisible());

    main.openFiles({file("spot.lmp"), file("show.pat"), file("wash.lmp"), file("missing.lmp")});
    // A lamp window saved under a new name joins the list; so does a patch saved.
    fake.fileAnswers = {file("R&D.lmp")};
    action("mnuFileNewLamp")->trigger();
    action("mnuFileSaveAs")->trigger();
    fake.fileAnswers = {file("copy.pat")};
    main.stageScreen(false)->File_Save_As();
    ASSERT_TRUE(fake.texts().size() == 1U) << "only the missing file is reported";

    EXPECT_EQ(recentFiles(), QStringList({file("copy.pat"), file("R&D.lmp"), file("wash.lmp"), file("show.pat")}));
    EXPECT_EQ(recentCaptions(), QStringList({"&1 copy.pat", "&2 R&&D.lmp", "&3 wash.lmp", "&4 show.pat"}));
    EXPECT_TRUE(action("mnuFileRecentBar")->isVisible());

    // Opening a listed file moves it to the top without a second entry.
    main.openFiles({file("wash.lmp")});
    EXPECT_EQ(recentFiles().first(), file("wash.lmp"));
    EXPECT_EQ(recentFiles().size(), 4);

    // The next start shows the same list; two files of one name show their folders.
    const QString other = dir.filePath("other/wash.lmp");
    ASSERT_TRUE(QDir(dir.path()).mkdir("other"));
    writeBytes(other, imageOf(namedLamp("Wash 2")));
    fake.settings["Recent files"].prepend(other + "\n");  // five, as if written elsewhere
    frmMain restarted(state, fake);
    QStringList captions;
    for (const char* name : {"mnuFileRecent1", "mnuFileRecent2", "mnuFileRecent3", "mnuFileRecent4"})
        captions << restarted.findChild<QAction*>(name)->text();
    EXPECT_EQ(captions, QStringList({"&1 " + QDir::toNativeSeparators(other),
                                     "&2 " + QDir::toNativeSeparators(file("wash.lmp")), "&3 copy.pat",
                                     "&4 R&&D.lmp"}));
}

// The stored text is one name a line: a name holding a line break would come back as
// two, so it is never stored; a list written badly elsewhere is read without its repeats.
TEST(RecentFiles, NamesWithLineBreaksAreNotStoredAndRepeatsAreReadOnce)
{
    FakeUi fake;
    QMenu menu;
    shell::RecentFiles recent(fake, menu, nullptr);
    const QString stored = "/a.lmp\n/b.pat\n/a.lmp\n\n/c.lmp\n/d.lmp\n/e.lmp";
    fake.settings["Recent files"] = stored;
    EXPECT_EQ(recent.files(), QStringList({"/a.lmp", "/b.pat", "/c.lmp", "/d.lmp"}));

    for (const QString name : {"/x\ny.lmp", "/x\ry.lmp", ""})
        recent.add(name);
    EXPECT_EQ(fake.settings["Recent files"], stored);

    recent.add("/c.lmp");
    recent.remove("/d.lmp");
    EXPECT_EQ(fake.settings["Recent files"], "/c.lmp\n/a.lmp\n/b.pat");
}

TEST_F(OpenFiles, ChoosingAMissingRecentFileSaysSoAndDropsItWhileOthersOpen)
{
    main.openFiles({file("spot.lmp"), file("wash.lmp")});
    ASSERT_EQ(recentFiles(), QStringList({file("wash.lmp"), file("spot.lmp")}));
    ASSERT_TRUE(QFile::remove(file("wash.lmp")));

    action("mnuFileRecent1")->trigger();
    ASSERT_EQ(fake.messages.size(), 1U);
    EXPECT_TRUE(fake.messages[0].text.contains(QDir::toNativeSeparators(file("wash.lmp"))));
    EXPECT_EQ(fake.messages[0].icon, ui::Icon::Exclamation);
    EXPECT_EQ(recentFiles(), QStringList{file("spot.lmp")});
    EXPECT_EQ(recentCaptions(), QStringList{"&1 spot.lmp"});
    EXPECT_EQ(openChildren(), 2);

    action("mnuFileRecent1")->trigger();
    EXPECT_EQ(openChildren(), 3);
    EXPECT_EQ(fake.messages.size(), 1U);
}

}  // namespace
