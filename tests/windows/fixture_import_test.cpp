#include "cli_runner.h"
#include "../fixture/gdtf_samples.h"
#include "windows/dlgImportFixture.h"
#include "windows/frmDocument.h"
#include "window_helpers.h"

#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QDir>
#include <QMenu>
#include <QTableView>

namespace {

class FixtureImport : public MainWindowTest {
protected:
    QString sample(const char* name)
    {
        EXPECT_TRUE(QFile::copy(QStringLiteral(FIXTURE_DATA_DIR "/") + QLatin1String(name), file(name)));
        return file(name);
    }

    QList<QMdiSubWindow*> windows() const { return main.mdiArea()->subWindowList(); }
};

// The window's lamp must be the command line's, byte for byte, for the same file and mode.
TEST_F(FixtureImport, ChosenModeOpensAChangedLampWindowLikeTheCommandLine)
{
    const QString path = sample("spot.json");
    fake.fileAnswers.push_back(path);
    fake.dialogScripts.push_back([](QDialog& shown) {
        auto& d = static_cast<dlgImportFixture&>(shown);
        EXPECT_EQ(d.windowTitle(), "Import Fixture");
        EXPECT_EQ(itemTexts(d.lstModes()), QStringList({"Basic \u2014 8 channels", "Extended \u2014 16 channels"}));
        EXPECT_EQ(d.chosenMode(), 0);
        clickRow(d.lstModes(), 1);
        click(d, "btnOK");
    });
    choose("mnuFileImportFixture");

    ASSERT_EQ(fake.fileCalls.size(), 1u);
    EXPECT_EQ(fake.fileCalls[0].request.filter,
              "Fixture definitions (*.json *.qxf *.gdtf description.xml)|*.json *.qxf *.gdtf description.xml");
    ASSERT_EQ(windows().size(), 1);
    auto* document = qobject_cast<frmDocument*>(windows()[0]->widget());
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(windows()[0]->windowTitle(), "Rigtest Spot 300 Profile (Extended)");
    EXPECT_TRUE(document->changed());

    // One information box lists the notes.
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].icon, ui::Icon::Information);
    EXPECT_EQ(fake.messages[0].text,
              "Mode \"Extended\" of spot.json: 2 channels without their natural console function:\n"
              "\nChannel 6 \"Dimmer fine\": fine channel of channel 5 \"Dimmer\", no console function, became Aux2"
              "\nChannel 10 \"Gobo Rotation\": wheel name shortened to \"GoboRotation\""
              "\nChannel 13 \"Program Speed\": wheel name shortened to \"ProgramSpeed\""
              "\nChannel 16 \"Dimmer\": no free console function for another dimmer, became Aux1");

    // Save proposes the lamp's name.
    fake.fileAnswers.push_back(file("window.lmp"));
    choose("mnuFileSave");
    ASSERT_EQ(fake.fileCalls.size(), 2u);
    EXPECT_EQ(QFileInfo(fake.fileCalls[1].request.fileName).fileName(), "Spot300.lmp");

    ASSERT_EQ(runCommandLine({"fixture", path, "--mode", "2", "-o", file("cli.lmp")}, dir.path()).status, cli::exitOk);
    EXPECT_EQ(readAll(file("window.lmp")).size(), rig::lampImageSize);
    EXPECT_EQ(readAll(file("window.lmp")), readAll(file("cli.lmp")));
    EXPECT_TRUE(fake.unexpected.empty());
}

// A GDTF archive goes the same way; its mode on a second DMX break is listed, not choosable.
TEST_F(FixtureImport, AGdtfArchiveOpensTheLampTheCommandLineWrites)
{
    using namespace gdtf_samples;
    const QByteArray modes =
        mode("Standard", channel("1,2", "Pan", "Yoke") + channel("3,4", "Tilt") + channel("5", "Dimmer") + channel("6", "Shutter1") +
                             channel("7", "Color1") + channel("8", "Gobo1") + channel("9", "Gobo1PosRotate") + channel("10", "ColorAdd_W")) +
        mode("Scroller", channel("1", "Dimmer") + channel("1", "Color2", "Head", R"( DMXBreak="2")"));
    const QString path = file("spot-400.gdtf");
    writeGdtf(path, description(modes), ZIP_CM_BZIP2);
    fake.fileAnswers.push_back(path);
    fake.dialogScripts.push_back([](QDialog& shown) {
        auto& d = static_cast<dlgImportFixture&>(shown);
        EXPECT_EQ(itemTexts(d.lstModes())[1].toStdString(),
                  "Scroller \u2014 1 channel (not available: channel \"Head_Color2\" (line 39) is on DMX break 2; a lamp has one DMX "
                  "start address)");
        EXPECT_FALSE(d.lstModes()->item(1)->flags() & Qt::ItemIsEnabled);
        clickRow(d.lstModes(), 0);
        click(d, "btnOK");
    });
    choose("mnuFileImportFixture");
    ASSERT_EQ(windows().size(), 1);
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text.toStdString(), "Mode \"Standard\" of spot-400.gdtf: one channel without their natural console function:\n"
                                     "\nChannel 9 \"Gobo1PosRotate\": wheel name shortened to \"Gobo1PosRott\""
                                     "\nChannel 10 \"ColorAdd_W\": White has no console function, became Aux1");

    fake.fileAnswers.push_back(file("window.lmp"));
    choose("mnuFileSave");
    ASSERT_EQ(fake.fileCalls.size(), 2u);
    EXPECT_EQ(QFileInfo(fake.fileCalls[1].request.fileName).fileName(), "Spot400.lmp");
    ASSERT_EQ(runCommandLine({"fixture", path, "--mode", "Standard", "-o", file("cli.lmp")}, dir.path()).status, cli::exitOk);
    EXPECT_EQ(readAll(file("window.lmp")).size(), rig::lampImageSize);
    EXPECT_EQ(readAll(file("window.lmp")), readAll(file("cli.lmp")));

    // An archive without its description is refused in one line by both, naming the format.
    rig::test::writeZip(toPath(file("empty.gdtf")), {{"thumbnail.png", "png"}});
    fake.fileAnswers.push_back(file("empty.gdtf"));
    choose("mnuFileImportFixture");
    ASSERT_EQ(fake.messages.size(), 2u);
    EXPECT_EQ(fake.messages[1].text, "empty.gdtf cannot be read as a fixture definition:\nGDTF: the archive has no description.xml at its root");
    const CliRun listed = runCommandLine({"fixture", file("empty.gdtf"), "--list-modes"}, dir.path());
    EXPECT_NE(listed.status, cli::exitOk);
    EXPECT_TRUE(listed.err.endsWith("empty.gdtf: GDTF: the archive has no description.xml at its root\n")) << listed.err.toStdString();
    EXPECT_TRUE(fake.unexpected.empty());
}

// The imported window keeps the fixture's own names at hand: each grid row names the
// fixture channel it came from, and its pop-up menu shows the notes again.
TEST_F(FixtureImport, TheLampWindowKeepsTheFixtureChannelsAndNotesWhileItIsOpen)
{
    fake.fileAnswers.push_back(sample("spot.json"));
    fake.dialogScripts.push_back([](QDialog& shown) {
        clickRow(static_cast<dlgImportFixture&>(shown).lstModes(), 1);
        click(shown, "btnOK");
    });
    choose("mnuFileImportFixture");
    ASSERT_EQ(windows().size(), 1);
    auto* document = qobject_cast<frmDocument*>(windows()[0]->widget());
    auto* grid = document->findChild<QTableView*>(QStringLiteral("grdChannels"));
    ASSERT_NE(grid, nullptr);
    const QAbstractItemModel* rows = grid->model();
    EXPECT_EQ(rows->index(5, 0).data(Qt::ToolTipRole).toString(), "Fixture channel 6: Dimmer fine");
    EXPECT_EQ(rows->index(5, 2).data(Qt::ToolTipRole).toString(), "Fixture channel 6: Dimmer fine");
    EXPECT_EQ(rows->headerData(0, Qt::Vertical, Qt::ToolTipRole).toString(), "Fixture channel 1: Pan");
    EXPECT_EQ(rows->index(15, 0).data(Qt::ToolTipRole).toString(), "Fixture channel 16: Dimmer");

    // A right-click in the grid, as the user makes it, offers the notes.
    ASSERT_EQ(fake.messages.size(), 1u);
    const QString notes = fake.messages[0].text;
    QStringList offered;
    fake.menuScripts.push_back([&offered](QMenu& menu) {
        for (const QAction* item : menu.actions())
            if (!item->isSeparator())
                offered << item->objectName() + " " + item->text();
        return menu.findChild<QAction*>(QStringLiteral("mnuLampFixtureNotes"));
    });
    userClick(grid->viewport(), grid->visualRect(rows->index(2, 1)).center(), Qt::RightButton);
    EXPECT_EQ(offered, QStringList({"mnuLampCut Cu&t", "mnuLampCopy &Copy", "mnuLampPaste &Paste",
                                    "mnuLampFixtureNotes Fixture notes..."}));
    ASSERT_EQ(fake.messages.size(), 2u);
    expectMessage(fake.messages[1], notes, "Fixture notes", ui::Icon::Information);

    // Still there after the lamp was saved and its rows edited, until the window closes.
    fake.fileAnswers.push_back(file("spot.lmp"));
    choose("mnuFileSave");
    document->findChild<QLineEdit*>(QStringLiteral("txtNoChannels"))->setText(QStringLiteral("20"));
    fake.menuScripts.push_back([](QMenu& menu) { return menu.findChild<QAction*>(QStringLiteral("mnuLampFixtureNotes")); });
    userClick(document, QPoint(2, 2), Qt::RightButton);
    ASSERT_EQ(fake.messages.size(), 3u);
    EXPECT_EQ(fake.messages[2].text, notes);
    EXPECT_FALSE(rows->index(17, 0).data(Qt::ToolTipRole).isValid()) << "no fixture channel behind row 18";
    EXPECT_EQ(fake.menusShown, 2);
    EXPECT_TRUE(fake.unexpected.empty());
}

// A lamp of the user's own has no fixture behind it: no tips, and no notes in its pop-up menu.
TEST_F(FixtureImport, LampsNotMadeFromAFixtureHaveNeitherTipsNorNotes)
{
    choose("mnuFileNewLamp");
    auto* grid = windows()[0]->findChild<QTableView*>(QStringLiteral("grdChannels"));
    ASSERT_NE(grid, nullptr);
    EXPECT_FALSE(grid->model()->index(0, 0).data(Qt::ToolTipRole).isValid());
    bool notesOffered = true;
    fake.menuScripts.push_back([&notesOffered](QMenu& menu) {
        notesOffered = menu.findChild<QAction*>(QStringLiteral("mnuLampFixtureNotes")) != nullptr;
        return nullptr;
    });
    userClick(grid->viewport(), grid->visualRect(grid->model()->index(0, 0)).center(), Qt::RightButton);
    EXPECT_EQ(fake.menusShown, 1);
    EXPECT_FALSE(notesOffered);
    EXPECT_EQ(windows()[0]->windowTitle(), "New Lamp");
}

TEST_F(FixtureImport, TheFileDialogStartsInTheFolderOfTheLastDefinitionRead)
{
    const QString key = "Last folder fixture files";
    ASSERT_TRUE(QDir(dir.path()).mkdir("defs"));
    const QString spot = dir.filePath("defs/spot.json");
    ASSERT_TRUE(QFile::copy(QStringLiteral(FIXTURE_DATA_DIR "/spot.json"), spot));
    writeAll(file("broken.json"), {'{'});

    // Nothing stored: the dialog's own choice. A file that cannot be read moves nothing.
    fake.fileAnswers = {file("broken.json"), spot};
    fake.dialogScripts.push_back([](QDialog& shown) { click(shown, "btnCancel"); });
    choose("mnuFileImportFixture");
    EXPECT_EQ(fake.fileCalls[0].request.directory, QString());
    EXPECT_EQ(fake.settings.count(key), 0u);
    choose("mnuFileImportFixture");
    EXPECT_EQ(fake.settings[key], QDir::toNativeSeparators(dir.filePath("defs")));

    // The next run starts there.
    rig::AppState nextState;
    frmMain next(nextState, fake);
    fake.fileAnswers = {std::nullopt};
    next.findChild<QAction*>(QStringLiteral("mnuFileImportFixture"))->trigger();
    ASSERT_EQ(fake.fileCalls.size(), 3u);
    EXPECT_EQ(fake.fileCalls[2].request.directory, dir.filePath("defs"));
}

TEST_F(FixtureImport, ModesTooLargeAreShownButNotChoosableAndCancelOpensNothing)
{
    fake.fileAnswers.push_back(sample("pixelbar.json"));
    fake.dialogScripts.push_back([](QDialog& shown) {
        auto& d = static_cast<dlgImportFixture&>(shown);
        EXPECT_EQ(itemTexts(d.lstModes())[1], "Pixels \u2014 41 channels (not available: 41 channels, more than 36)");
        EXPECT_FALSE(d.lstModes()->item(1)->flags() & Qt::ItemIsEnabled);
        clickRow(d.lstModes(), 1);
        EXPECT_EQ(d.chosenMode(), 0);
        d.lstModes()->clearSelection();
        EXPECT_FALSE(d.btnOK()->isEnabled());
        click(d, "btnCancel");
    });
    choose("mnuFileImportFixture");
    EXPECT_TRUE(windows().isEmpty());
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(FixtureImport, AnUnreadableDefinitionGivesOneMessageAndOpensNothing)
{
    const QString path = file("broken.qxf");
    writeAll(path, {'<', 'F', 'i', 'x', 't', 'u', 'r', 'e', 'D', 'e', 'f', 'i', 'n', 'i', 't', 'i', 'o', 'n', '>', '\n', '<', 'M'});
    fake.fileAnswers.push_back(path);
    choose("mnuFileImportFixture");
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].icon, ui::Icon::Critical);
    EXPECT_EQ(fake.messages[0].title, "Import Fixture");
    EXPECT_TRUE(fake.messages[0].text.startsWith("broken.qxf cannot be read as a fixture definition:\nline 2: "))
        << fake.messages[0].text.toStdString();
    EXPECT_TRUE(fake.dialogsShown.empty());
    EXPECT_TRUE(windows().isEmpty());

    // A cancelled file dialog says nothing.
    fake.fileAnswers.push_back(std::nullopt);
    choose("mnuFileImportFixture");
    EXPECT_EQ(fake.messages.size(), 1u);
}

// A mode that cannot be read is listed with its reason and the others stay choosable;
// what the reader worked round shows with the notes; a folder is said to be one.
TEST_F(FixtureImport, UnreadableModesReaderNotesAndFoldersAreExplained)
{
    fake.fileAnswers.push_back(sample("led_spot.qxf"));
    fake.dialogScripts.push_back([](QDialog& shown) {
        auto& d = static_cast<dlgImportFixture&>(shown);
        EXPECT_EQ(itemTexts(d.lstModes())[1],
                  "Service \u2014 3 channels (not available: undefined channel \"Lamp Reset\" (line 48))");
        EXPECT_FALSE(d.lstModes()->item(1)->flags() & Qt::ItemIsEnabled);
        EXPECT_TRUE(d.lstModes()->item(2)->flags() & Qt::ItemIsEnabled);
        click(d, "btnCancel");
    });
    choose("mnuFileImportFixture");
    EXPECT_TRUE(fake.messages.empty());

    fake.fileAnswers.push_back(sample("matrix_bar.json"));
    fake.dialogScripts.push_back([](QDialog& shown) { click(static_cast<dlgImportFixture&>(shown), "btnOK"); });
    choose("mnuFileImportFixture");
    ASSERT_EQ(fake.messages.size(), 1u);
    const QStringList lines = fake.messages[0].text.split('\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], "Mode \"Pixels\" of matrix_bar.json: 7 channels without their natural console function:");
    EXPECT_EQ(lines[2], "pixel \"A\" is named twice in the matrix; its first place is used");
    EXPECT_EQ(lines[3], "Channel 2 \"Dimmer A\": no free console function for another dimmer, became Aux1");

    ASSERT_TRUE(QDir(dir.path()).mkdir("definitions"));
    fake.fileAnswers.push_back(file("definitions"));
    choose("mnuFileImportFixture");
    ASSERT_EQ(fake.messages.size(), 2u);
    EXPECT_EQ(fake.messages[1].text, "definitions cannot be read as a fixture definition:\nit is a folder, not a fixture definition");
    EXPECT_EQ(windows().size(), 1);
    EXPECT_TRUE(fake.unexpected.empty());
}

}  // namespace
