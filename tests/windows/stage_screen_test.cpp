#include "windows/frmStageScreen.h"
#include "core/stage_patch.h"
#include "windows/tbxLamps.h"
#include "ui/fitted_text.h"
#include "window_helpers.h"

#include <QDialog>
#include <QFontInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QTableWidget>

namespace {

// The main window with first.pat open: lamp types Spot 575 (12 channels) and Wash (5).
class StageScreenTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        rig::StagePatch patch;
        patch.lmpLamps[0] = namedLamp("Spot 575", 12);
        patch.lmpLamps[1] = namedLamp("Wash", 5);
        rig::writePatchFile(toPath(file("first.pat")), patch);
        ASSERT_NE(s = open("first.pat"), nullptr);
    }

    frmStageScreen* open(const char* name)
    {
        openFile(file(name));
        return main.stageScreen(false);
    }

    QWidget* grid() const { return s->grdStageScreen()->viewport(); }
    Bytes patchBytes() const { return rig::encodePatchFile(state.patch); }

    void drop(int row, int col, std::int16_t slot = 0)
    {
        state.nToolLamp = slot;
        QMimeData data;
        data.setData(tbxLamps::mimeType, QByteArray::number(slot));
        dragAndDrop(grid(), s->cellCentre(row, col), data);
    }
    // A drop answered with the automatic patch and OK.
    void place(int row, int col, std::int16_t slot = 0)
    {
        fake.dialogScripts.push_back([](QDialog& d) {
            click(d, "btnAutoPatch");
            click(d, "btnOK");
        });
        drop(row, col, slot);
    }
    void rightClick(int row, int col, const char* choice)
    {
        fake.menuScripts.push_back([choice](QMenu& menu) -> QAction* {
            return choice ? menu.findChild<QAction*>(QLatin1String(choice)) : nullptr;
        });
        QTest::mouseClick(grid(), Qt::RightButton, {}, s->cellCentre(row, col));
    }
    void move(int fromRow, int fromCol, int toRow, int toCol)
    {
        QTest::mousePress(grid(), Qt::LeftButton, {}, s->cellCentre(fromRow, fromCol));
        QTest::mouseRelease(grid(), Qt::LeftButton, {}, s->cellCentre(toRow, toCol));
    }

    frmStageScreen* s = nullptr;
};

TEST_F(StageScreenTest, DropThenPatchAndOkDrawsTheLampAtTheNextAddress)
{
    fake.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(box(d, "txtScreenRow")->text(), "2");  // row B
        EXPECT_EQ(box(d, "txtScreenCol")->text(), "3");
        click(d, "btnAutoPatch");
        click(d, "btnOK");
    });
    drop(2, 3, 1);
    EXPECT_EQ(s->textMatrix(2, 3), "1.25.25\r\nWash            ");
    EXPECT_EQ(s->grdStageScreen()->item(1, 2)->toolTip(), "Lamp 1: Wash\n5 channels, DMX 25 to 29");
    EXPECT_TRUE(s->isChanged());

    // An overlap is marked on the lamp drawn; one drawn over it in its cell shows its own.
    const auto dmxAt = [this](const char* dmx, const char* row) {
        fake.dialogScripts.push_back([dmx, row](QDialog& d) {
            box(d, "txtStartDMX")->setText(dmx);
            box(d, "txtScreenRow")->setText(row);
            click(d, "btnOK");
        });
        drop(9, 4);
    };
    const QTableWidgetItem* cell = s->grdStageScreen()->item(3, 3);
    dmxAt("27", "4");
    EXPECT_EQ(cell->toolTip(), "Lamp 2: Spot 575\n12 channels, DMX 27 to 38\nDMX overlaps lamp 1");
    dmxAt("100", "4");
    EXPECT_TRUE(s->textMatrix(4, 4).startsWith("3.0.100"));
    EXPECT_EQ(cell->toolTip(), "Lamp 3: Spot 575\n12 channels, DMX 100 to 111");
    EXPECT_FALSE(cell->data(Qt::BackgroundRole).isValid());
}

TEST_F(StageScreenTest, CancelAndCutSpendLampNumbersAndRefusedDropsTakeNone)
{
    fake.dialogScripts.push_back([](QDialog& d) { click(d, "btnCancel"); });
    drop(2, 3);
    EXPECT_EQ(s->textMatrix(2, 3), "");
    place(2, 3);
    EXPECT_TRUE(s->textMatrix(2, 3).startsWith("2.25.25"));  // number 1 was spent

    drop(2, 3);  // on a lamp; no dialog is scripted, so showing one fails
    EXPECT_EQ(fake.texts(), std::vector<QString>{"You have attempted to drop a lamp on top of another.\r\r"
                                                 "This is not allowed in Tarsen Rigsmith."});
    EXPECT_EQ(state.patch.nNextEntry, 2);

    s->setChanged(false);
    rightClick(2, 3, "mnuSSCut");
    EXPECT_EQ(s->textMatrix(2, 3), "");
    EXPECT_TRUE(s->isChanged());
    place(2, 3);
    EXPECT_TRUE(s->textMatrix(2, 3).startsWith("3.37.37"));

    state.patch.nNextEntry = 100;  // every lamp number handed out
    const Bytes before = patchBytes();
    drop(5, 5);
    EXPECT_EQ(fake.messages.size(), 2u);
    EXPECT_EQ(patchBytes(), before);

    state.patch.nNextEntry = -4;  // only a damaged file holds this: the first free entry is taken
    place(5, 5);
    EXPECT_TRUE(s->textMatrix(5, 5).startsWith("1."));
    EXPECT_EQ(state.patch.nNextEntry, 1);
}

TEST_F(StageScreenTest, MenuMoveAndPropertiesChangeOnlyWhatTheyShould)
{
    rightClick(4, 4, nullptr);  // empty cell: no menu
    EXPECT_EQ(fake.menusShown, 0);

    place(4, 4);
    place(6, 6);
    s->setChanged(false);
    const Bytes before = patchBytes();
    rightClick(4, 4, nullptr);  // dismissed
    EXPECT_EQ(fake.menusShown, 1);
    move(4, 4, 6, 6);  // onto another lamp
    EXPECT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(patchBytes(), before);
    EXPECT_FALSE(s->isChanged());

    move(4, 4, 5, 4);
    EXPECT_EQ(s->textMatrix(4, 4), "");
    EXPECT_TRUE(s->textMatrix(5, 4).startsWith("1.25.25"));
    EXPECT_TRUE(s->isChanged());

    s->setChanged(false);
    fake.dialogScripts.push_back([](QDialog& d) {
        box(d, "txtScreenRow")->setText("7");
        click(d, "btnOK");
    });
    QTest::mouseDClick(grid(), Qt::LeftButton, {}, s->cellCentre(5, 4));
    EXPECT_TRUE(s->textMatrix(7, 4).startsWith("1.25.25"));
    EXPECT_TRUE(s->isChanged());
}

TEST_F(StageScreenTest, WholeSixteenCharacterNamesFitTheirCellsAndButtons)
{
    state.patch.lmpLamps[2] = namedLamp("WWWWWWWWWWWWWWWW");
    state.patch.lmpLamps[3] = namedLamp("Moving Head Spot");
    place(3, 3, 2);
    place(4, 4, 3);
    s->toolbox().refreshTools();

    // The text drawn in a cell, in the font the cell's delegate chooses, must fit it whole.
    const auto expectWhole = [](const QTableWidget* grid, int row, int col) {
        const QModelIndex index = grid->model()->index(row, col);
        const auto* fitted = dynamic_cast<const ui::FittedTextDelegate*>(grid->itemDelegateForIndex(index));
        ASSERT_NE(fitted, nullptr) << "a plain delegate elides what does not fit";
        const QString text = index.data().toString();
        const QSizeF box = QSizeF(grid->visualRect(index).size()) - QSizeF(2 * ui::FittedTextDelegate::margin, 0);
        const QFont font = ui::FittedTextDelegate::fittedFont(grid->font(), text, box);
        EXPECT_LE(ui::FittedTextDelegate::textHeight(font, text, box.width()), box.height()) << text.toStdString();
    };
    expectWhole(s->grdStageScreen(), 2, 2);
    expectWhole(s->grdStageScreen(), 3, 3);
    expectWhole(s->toolbox().grdLampTool(), 2, 0);
    expectWhole(s->toolbox().grdLampTool(), 3, 0);

    // What fits already keeps the grid's own font.
    const QFont base = s->grdStageScreen()->font();
    EXPECT_EQ(ui::FittedTextDelegate::fittedFont(base, "Wash", QSizeF(400, 100)).pointSizeF(),
              QFontInfo(base).pointSizeF());
}

TEST_F(StageScreenTest, LampsOutsideTheGridAreNamedOnceWhenThePatchIsRead)
{
    rig::StagePatch patch;
    patch.lmpLamps[0] = namedLamp("Spot 575", 12);
    const auto placeAt = [&patch](std::size_t index, std::uint8_t row, std::uint8_t col, std::int16_t dmx) {
        patch.patchEntries[index].StartDMX = dmx;
        patch.patchEntries[index].ScreenRow = row;
        patch.patchEntries[index].ScreenCol = col;
    };
    placeAt(0, 23, 19, 1);  // the last cell: on the stage
    placeAt(4, 24, 1, 13);
    placeAt(8, 2, 25, 25);
    placeAt(9, 200, 200, 0);  // not in use
    rig::writePatchFile(toPath(file("damaged.pat")), patch);

    EXPECT_EQ(open("damaged.pat"), s);
    ASSERT_EQ(fake.messages.size(), 1U);
    const FakeUi::Message& told = fake.messages[0];
    EXPECT_TRUE(told.text.contains("Lamp 5: row 25, column 2\r\nLamp 9: row 3, column 26\r\n")) << told.text.toStdString();
    EXPECT_FALSE(told.text.contains("Lamp 1:") || told.text.contains("Lamp 10:"));
    EXPECT_EQ(told.icon, ui::Icon::Information);
    EXPECT_EQ(told.buttons, ui::Buttons::Ok);
    EXPECT_TRUE(s->textMatrix(24, 20).startsWith("1.0.1"));
}

TEST_F(StageScreenTest, SaveAsGivesABareNameItsExtensionAsksBeforeReplacingAndSaveFollowsIt)
{
    place(2, 2);
    const Bytes before = readAll(file("first.pat"));
    fake.fileAnswers = {file("first.pat")};
    fake.answers = {ui::Answer::No};
    s->File_Save_As();
    ASSERT_EQ(fake.messages.size(), 1U);
    expectMessage(fake.messages[0], "File " + file("first.pat") + " exists\r\nDo you wish to overwrite it?",
                  "Stage patch file exists", ui::Icon::Question, ui::Buttons::YesNo);
    EXPECT_EQ(readAll(file("first.pat")), before);
    EXPECT_TRUE(s->isChanged());

    fake.fileAnswers = {file("myshow"), file("first.pat")};
    fake.answers = {ui::Answer::Yes};
    s->File_Save_As();
    EXPECT_EQ(readAll(file("myshow.pat")), patchBytes());
    EXPECT_FALSE(QFile::exists(file("myshow")));
    EXPECT_EQ(s->fileName(), file("myshow.pat"));
    EXPECT_FALSE(s->isChanged());

    // The next Save writes the whole patch to the new file without asking for a name;
    // a lamp type assigned in the toolbox counts as a change.
    rig::writeLampFile(toPath(file("beam.lmp")), namedLamp("Beam", 3));
    fake.fileAnswers.push_front(file("beam.lmp"));
    QTableWidget* lampTool = s->toolbox().grdLampTool();
    QTest::mouseClick(lampTool->viewport(), Qt::RightButton, {}, lampTool->visualItemRect(lampTool->item(3, 0)).center());
    EXPECT_TRUE(s->isChanged());
    place(7, 2, 3);
    EXPECT_EQ(s->textMatrix(7, 2), "2.37.37\r\nBeam            ");
    s->File_Save();
    EXPECT_FALSE(s->isChanged());
    EXPECT_EQ(readAll(file("myshow.pat")), patchBytes());
    s->File_Save_As();
    EXPECT_EQ(readAll(file("first.pat")), patchBytes());
    EXPECT_EQ(fake.messages.size(), 2U);
}

TEST_F(StageScreenTest, TheToolboxComesAndGoesWithTheScreenAndNamesItsSlotInTheStatusBar)
{
    tbxLamps& toolbox = s->toolbox();
    EXPECT_TRUE(toolbox.isVisible());
    EXPECT_EQ(main.statusText(), "Tarsen Rigsmith V1.0");
    QTableWidget* lampTool = toolbox.grdLampTool();
    hover(lampTool->viewport(), lampTool->visualItemRect(lampTool->item(6, 0)).center());
    EXPECT_EQ(main.statusText(), "6");

    // Closed, the screen leaves the client area and the File commands no longer reach it.
    choose("mnuFileClose");
    EXPECT_FALSE(toolbox.isVisible());
    EXPECT_EQ(main.activeDocument(), nullptr);
    EXPECT_EQ(open("first.pat"), s);
    EXPECT_TRUE(toolbox.isVisible());
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(StageScreenTest, OpeningOverUnsavedChangesAsksFirst)
{
    rig::writePatchFile(toPath(file("other.pat")), rig::StagePatch{});
    place(2, 2);
    fake.answers = {ui::Answer::Cancel, ui::Answer::Ok};
    EXPECT_EQ(open("other.pat"), s);  // the one stage screen
    EXPECT_EQ(fake.texts(), std::vector<QString>{"Close window without saving changes?"});
    EXPECT_TRUE(s->textMatrix(2, 2).startsWith("1.25.25"));
    EXPECT_EQ(open("other.pat"), s);
    EXPECT_EQ(s->textMatrix(2, 2), "");
}

// Open takes existing files only; a new patch comes from File > New > Stage Patch.
TEST_F(StageScreenTest, NewStagePatchStartsEmptyWithoutAFileNameAfterAskingAboutChanges)
{
    place(2, 2);
    fake.answers = {ui::Answer::Cancel, ui::Answer::Ok};
    choose("mnuFileNewStagePatch");
    EXPECT_EQ(fake.texts(), std::vector<QString>{"Close window without saving changes?"});
    EXPECT_TRUE(s->textMatrix(2, 2).startsWith("1.25.25"));
    EXPECT_EQ(s->fileName(), file("first.pat"));

    choose("mnuFileNewStagePatch");
    EXPECT_EQ(main.stageScreen(false), s);
    EXPECT_EQ(main.activeDocument(), s);
    EXPECT_EQ(patchBytes(), rig::encodePatchFile(rig::StagePatch{}));
    EXPECT_EQ(state.patch.nNextDMX, 25);
    EXPECT_EQ(s->textMatrix(2, 2), "");
    EXPECT_EQ(s->toolbox().grdLampTool()->item(0, 0)->text().trimmed(), "") << "the slots are empty too";
    EXPECT_FALSE(s->isChanged());
    EXPECT_EQ(s->fileName(), QString());

    // The first Save asks for a name; the file the screen showed before is left alone.
    const Bytes first = readAll(file("first.pat"));
    place(3, 3);
    fake.fileAnswers = {file("second.pat")};
    choose("mnuFileSave");
    ASSERT_FALSE(fake.fileCalls.empty());
    EXPECT_TRUE(fake.fileCalls.back().save);
    EXPECT_EQ(readAll(file("second.pat")), patchBytes());
    EXPECT_EQ(readAll(file("first.pat")), first);
    EXPECT_TRUE(s->textMatrix(3, 3).startsWith("1.25.25"));

    // An unchanged patch is replaced without a question, and a closed screen comes back.
    choose("mnuFileClose");
    EXPECT_EQ(main.activeDocument(), nullptr);
    choose("mnuFileNewStagePatch");
    EXPECT_EQ(main.activeDocument(), s);
    EXPECT_EQ(fake.messages.size(), 2U) << "the two questions above, no more";
}

}  // namespace
