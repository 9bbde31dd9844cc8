#include "cli_runner.h"
#include "windows/dlgImportFixture.h"
#include "windows/frmDocument.h"
#include "window_helpers.h"

#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

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
    EXPECT_EQ(fake.fileCalls[0].request.filter, "Fixture definitions (*.json *.qxf)|*.json *.qxf");
    ASSERT_EQ(windows().size(), 1);
    auto* document = qobject_cast<frmDocument*>(windows()[0]->widget());
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->windowTitle(), "Imported Lamp");
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
