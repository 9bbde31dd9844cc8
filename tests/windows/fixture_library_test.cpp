#include "../common/cli_run.h"
#include "../common/fixture_samples.h"
#include "library/library_folders.h"
#include "windows/frmDocument.h"
#include "windows/frmLibrary.h"
#include "windows/lamp_preview.h"
#include "windows/library_details.h"
#include "windows/library_dialogs.h"
#include "windows/library_model.h"
#include "window_helpers.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTableWidget>

namespace {

using rig::test::runCommandLine;

// A library of the three formats in the scratch folder, read by the main window's
// Fixture Library; no installed definitions, and a cache of its own.
class FixtureLibrary : public MainWindowTest {
protected:
    FixtureLibrary()
    {
        sample("spot.json", "lib/fixtures/rigtest/spot.json");
        sample("pixelbar.json", "lib/fixtures/rigtest/pixelbar.json");
        sample("wash.qxf", "lib/qlc/wash.qxf");
        text("lib/fixtures/manufacturers.json", R"({"rigtest": {"name": "Rigtest"}})");
        QByteArray nulls;
        for (int i = 0; i < 39; ++i)
            nulls += ", null";
        text("lib/wide.json", R"({"name": "Wide Éclair", "availableChannels": {"D": {"capability": {"type": "Intensity"}}},
            "modes": [{"name": "Wide", "channels": ["D")" + nulls + "]}]}");
        using namespace fixture_samples;
        writeGdtf(file("lib/spot-400.gdtf"),
                  description(mode("Standard", channel("1,2", "Pan", "Yoke") + channel("3,4", "Tilt") +
                                                   channel("5", "Dimmer") + channel("6", "ColorAdd_W")) +
                              mode("Scroller", channel("1", "Dimmer") + channel("1", "Color2", "Head", R"( DMXBreak="2")"))));
        library = main.fixtureLibrary(true);
        library->setSources({{file("lib"), file("absent")}, file("cache")});
    }

    void sample(const char* name, const char* to)
    {
        EXPECT_TRUE(QDir().mkpath(QFileInfo(file(to)).path()));
        EXPECT_TRUE(QFile::copy(fixture_samples::sampleFile(name), file(to)));
    }
    void text(const char* to, const QByteArray& content)
    {
        EXPECT_TRUE(QDir().mkpath(QFileInfo(file(to)).path()));
        rig::test::writeData(file(to), content);
    }
    void openLibrary()
    {
        choose("mnuFileFixtureLibrary");
        ASSERT_TRUE(QTest::qWaitFor([this] { return !library->scanning(); }, 20000));
        QApplication::processEvents();
    }
    // The results as listed: "manufacturer|model|modes|source" a row.
    [[nodiscard]] QStringList rows() const
    {
        QStringList listed;
        const QAbstractItemModel* model = library->grdResults()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            QStringList cells;
            for (int column : {LibraryModel::ManufacturerColumn, LibraryModel::ModelColumn, LibraryModel::ModesColumn,
                               LibraryModel::SourceColumn})
                cells << model->index(row, column).data().toString();
            listed << cells.join('|');
        }
        return listed;
    }
    [[nodiscard]] int currentRow() const { return library->grdResults()->currentIndex().row(); }
    void settle() const
    {
        // The chosen fixture is read once the keystrokes at hand are done.
        QApplication::processEvents();
    }
    [[nodiscard]] QList<QMdiSubWindow*> windows() const { return main.mdiArea()->subWindowList(); }

    frmLibrary* library = nullptr;
};

// Type, move, Enter: the lamp that opens is the one the command line writes for that mode.
TEST_F(FixtureLibrary, TypeMoveAndEnterOpenTheLampTheCommandLineWrites)
{
    openLibrary();
    EXPECT_TRUE(library->isVisible());
    EXPECT_TRUE(library->isWindow());
    EXPECT_EQ(library->windowTitle(), "Fixture Library");
    EXPECT_EQ(QApplication::focusWidget(), library->txtSearch());
    EXPECT_TRUE(library->chkFits()->isChecked());
    // Sorted by manufacturer, then model; the 40-channel fixture does not fit.
    EXPECT_EQ(rows(), QStringList({"Rigtest|LED Wash 7x10|13|QLC+", "Rigtest|Rigtest Pixel Bar 10|10, 41, 7|OFL",
                                   "Rigtest|Rigtest Spot 300 Profile|8, 16|OFL", "Rigtest|Rigtest Spot 400|6, ?|GDTF"}));

    QTest::keyClicks(library->txtSearch(), "rigtest SPOT");
    settle();
    EXPECT_EQ(rows(), QStringList({"Rigtest|Rigtest Spot 300 Profile|8, 16|OFL", "Rigtest|Rigtest Spot 400|6, ?|GDTF"}));
    EXPECT_EQ(currentRow(), 0);
    EXPECT_EQ(itemTexts(library->details()->lstModes()), QStringList({"Basic \u2014 8 channels", "Extended \u2014 16 channels"}));

    QTest::keyClick(library->txtSearch(), Qt::Key_Down);
    settle();
    EXPECT_EQ(currentRow(), 1);
    const QStringList modes = itemTexts(library->details()->lstModes());
    ASSERT_EQ(modes.size(), 2);
    EXPECT_EQ(modes[0], "Standard \u2014 6 channels");
    EXPECT_TRUE(modes[1].startsWith("Scroller \u2014 1 channel (not available: ")) << modes[1].toStdString();
    EXPECT_EQ(library->details()->lstModes()->currentRow(), 0);
    // The preview shows each channel's number, name and console function, and the notes.
    const QTableWidget* grid = library->details()->preview()->grdPreview();
    ASSERT_EQ(grid->rowCount(), 6);
    EXPECT_EQ(grid->item(4, 1)->text(), "Dimmer");
    EXPECT_FALSE(grid->item(0, 2)->text().isEmpty());
    EXPECT_TRUE(library->details()->btnImport()->isEnabled());

    QTest::keyClick(library->txtSearch(), Qt::Key_Return);
    ASSERT_EQ(windows().size(), 1);
    auto* document = qobject_cast<frmDocument*>(windows()[0]->widget());
    ASSERT_NE(document, nullptr);
    EXPECT_TRUE(document->changed());
    EXPECT_TRUE(document->windowTitle().contains("Rigtest Spot 400 (Standard)")) << document->windowTitle().toStdString();
    // The notes box of File > Import Fixture: the white emitter has no console function.
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_TRUE(fake.messages[0].text.contains("ColorAdd_W")) << fake.messages[0].text.toStdString();

    fake.fileAnswers.push_back(file("window.lmp"));
    choose("mnuFileSave");
    ASSERT_EQ(runCommandLine({"fixture", file("lib/spot-400.gdtf"), "--mode", "Standard", "-o", file("cli.lmp")}).status,
              cli::exitOk);
    EXPECT_EQ(readBytes(file("window.lmp")).size(), rig::lampImageSize);
    EXPECT_EQ(readBytes(file("window.lmp")), readBytes(file("cli.lmp")));
    EXPECT_TRUE(fake.unexpected.empty());
}

TEST_F(FixtureLibrary, FitsFilterSortingOneWindowAndEscape)
{
    openLibrary();
    library->txtSearch()->insert(QStringLiteral("éclair"));  // as an input method types it
    settle();
    EXPECT_TRUE(rows().isEmpty());
    library->chkFits()->click();
    settle();
    EXPECT_EQ(rows(), QStringList({"|Wide Éclair|40|OFL"}));
    // A mode the console cannot take is listed with its reason and previewed, never imported.
    ASSERT_EQ(library->details()->lstModes()->count(), 1);
    EXPECT_TRUE(library->details()->lstModes()->item(0)->text().contains("(not available: ")) << library->details()->lstModes()->item(0)->text().toStdString();
    EXPECT_EQ(library->details()->preview()->grdPreview()->rowCount(), 40);
    EXPECT_FALSE(library->details()->btnImport()->isEnabled());
    QTest::keyClick(library->txtSearch(), Qt::Key_Return);
    EXPECT_TRUE(windows().isEmpty());

    // Every column sorts.
    library->txtSearch()->clear();
    library->grdResults()->sortByColumn(LibraryModel::ModesColumn, Qt::AscendingOrder);
    EXPECT_EQ(rows().first(), "Rigtest|Rigtest Spot 400|6, ?|GDTF");
    EXPECT_EQ(rows().last(), "|Wide Éclair|40|OFL");
    library->grdResults()->sortByColumn(LibraryModel::SourceColumn, Qt::DescendingOrder);
    EXPECT_EQ(rows().first(), "Rigtest|LED Wash 7x10|13|QLC+");
    library->grdResults()->sortByColumn(LibraryModel::ModelColumn, Qt::AscendingOrder);
    EXPECT_EQ(rows().first(), "Rigtest|LED Wash 7x10|13|QLC+");
    EXPECT_EQ(rows().last(), "|Wide Éclair|40|OFL");

    // A second choice brings the one window back, as it was.
    library->close();
    EXPECT_FALSE(library->isVisible());
    choose("mnuFileFixtureLibrary");
    EXPECT_EQ(main.findChildren<frmLibrary*>().size(), 1);
    EXPECT_TRUE(library->isVisible());
    EXPECT_EQ(rows().size(), 5);

    // A double-click imports the fixture's first mode that fits.
    QTableView* grid = library->grdResults();
    const QRect cell = grid->visualRect(grid->model()->index(0, LibraryModel::ModelColumn));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(windows().size(), 1);
    EXPECT_TRUE(windows()[0]->widget()->windowTitle().contains("LED Wash 7x10 (Standard)"))
        << windows()[0]->widget()->windowTitle().toStdString();

    QTest::keyClick(library->grdResults(), Qt::Key_Escape);
    EXPECT_FALSE(library->isVisible());
    EXPECT_TRUE(fake.unexpected.empty());
}

TEST_F(FixtureLibrary, FoldersAreAddedAndRemovedAndProblemsListed)
{
    text("lib/broken.json", "{\"name\": \"Half\", \"modes\": [");
    sample("scanner.qxf", "more/scanner.qxf");
    openLibrary();
    EXPECT_EQ(library->btnProblems()->text(), "1 &problem...");
    fake.dialogScripts.push_back([this](QDialog& shown) {
        auto& dialog = static_cast<dlgLibraryProblems&>(shown);
        ASSERT_EQ(dialog.grdProblems()->rowCount(), 1);
        EXPECT_EQ(dialog.grdProblems()->item(0, 0)->text(), file("lib/broken.json"));
        EXPECT_TRUE(dialog.grdProblems()->item(0, 1)->text().startsWith("line 1")) << dialog.grdProblems()->item(0, 1)->text().toStdString();
        click(dialog, "btnClose");
    });
    library->btnProblems()->click();
    EXPECT_EQ(fake.dialogsShown.back(), "dlgLibraryProblems");

    // Add a folder: kept in the settings, and read at once.
    fake.dialogScripts.push_back([this](QDialog& shown) {
        auto& dialog = static_cast<dlgLibraryFolders&>(shown);
        EXPECT_EQ(itemTexts(dialog.lstFolders()), QStringList({file("lib") + "  (default)", file("absent") + "  (default, not present)"}));
        click(dialog, "btnAdd");
        EXPECT_EQ(itemTexts(dialog.lstFolders()).last(), file("more"));
        click(dialog, "btnOK");
    });
    fake.dialogScripts.push_back([this](QDialog& shown) {
        auto& chooser = static_cast<QFileDialog&>(shown);
        chooser.setDirectory(file("more"));
        chooser.selectFile(file("more"));
        shown.done(QDialog::Accepted);
    });
    library->findChild<QPushButton*>("btnFolders")->click();
    EXPECT_EQ(fake.settings[library::foldersSettingKey], file("more"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !library->scanning(); }, 20000));
    EXPECT_TRUE(rows().contains("Rigtest|Mirror Scan 250 & More|6, 10|QLC+")) << rows().join('\n').toStdString();

    // Remove it again.
    fake.dialogScripts.push_back([](QDialog& shown) {
        auto& dialog = static_cast<dlgLibraryFolders&>(shown);
        dialog.lstFolders()->setCurrentRow(2);
        click(dialog, "btnRemove");
        EXPECT_EQ(dialog.lstFolders()->count(), 2);
        click(dialog, "btnOK");
    });
    library->findChild<QPushButton*>("btnFolders")->click();
    EXPECT_EQ(fake.settings[library::foldersSettingKey], "");
    ASSERT_TRUE(QTest::qWaitFor([this] { return !library->scanning(); }, 20000));
    EXPECT_FALSE(rows().join('\n').contains("Mirror Scan"));

    // Rescan finds what came meanwhile, and drops what went.
    sample("scanner.qxf", "lib/qlc/scanner.qxf");
    ASSERT_TRUE(QFile::remove(file("lib/broken.json")));
    library->findChild<QPushButton*>("btnRescan")->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !library->scanning(); }, 20000));
    EXPECT_TRUE(rows().contains("Rigtest|Mirror Scan 250 & More|6, 10|QLC+"));
    EXPECT_FALSE(library->btnProblems()->isEnabled());
    EXPECT_TRUE(fake.unexpected.empty());
}

}  // namespace
