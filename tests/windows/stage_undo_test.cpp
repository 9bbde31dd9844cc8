#include "shell_fixture.h"

#include "core/clipboard_records.h"
#include "windows/frmDocument.h"
#include "windows/frmStageScreen.h"
#include "windows/tbxLamps.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTableWidget>
#include <QUndoStack>

#include <functional>

namespace {

const QString refusedDrop = "You have attempted to drop a lamp on top of another.\r\rThis is not allowed in Tarsen Rigsmith.";

// The stage screen with first.pat open (StageScreenCase) and its undo history.
class StageHistoryTest : public StageScreenCase {
protected:
    QUndoStack& stack() const { return s->undoStack(); }
    // The properties dialog answered with the automatic patch (or not) and OK or Cancel.
    void answerDialog(bool patch, bool ok, std::function<void(QDialog&)> more = {})
    {
        fake.dialogScripts.push_back([=](QDialog& d) {
            if (more)
                more(d);
            if (patch)
                click(d, "btnAutoPatch");
            click(d, ok ? "btnOK" : "btnCancel");
        });
    }
};

TEST_F(StageHistoryTest, EveryChangeOfThePatchIsOneStepThatUndoAndRedoGiveBackByteForByte)
{
    const Bytes opened = patchBytes();
    place(2, 2);  // lamp 1, Spot 575 at DMX 25
    rig::writeLampFile(toPath(file("beam.lmp")), namedLamp("Beam", 3));
    const std::vector<std::pair<QString, std::function<void()>>> steps = {
        {"Drop Lamp 2", [&] { place(3, 3, 1); }},
        {"Drop Lamp 3", [&] {  // cancelled: the number is spent, so it is a step too
             answerDialog(false, false);
             drop(4, 4);
         }},
        {"Move Lamp 1", [&] {
             QTest::mousePress(grid(), Qt::LeftButton, {}, s->cellCentre(2, 2));
             QTest::mouseRelease(grid(), Qt::LeftButton, {}, s->cellCentre(5, 5));
         }},
        {"Cut Lamp 2", [&] { rightClick(3, 3, "mnuSSCut"); }},
        {"Properties of Lamp 1", [&] {
             answerDialog(false, true, [](QDialog& d) { d.findChild<QCheckBox*>("optTiltInv")->setChecked(true); });
             QTest::mouseDClick(grid(), Qt::LeftButton, {}, s->cellCentre(5, 5));
         }},
        {"Properties of Lamp 1", [&] {  // Patch, then Cancel: the counter moved on
             answerDialog(true, false);
             rightClick(5, 5, "mnuSSProperties");
         }},
        {"Assign Lamp Type 3", [&] {
             fake.fileAnswers = {file("beam.lmp")};
             QTableWidget* tool = s->toolbox().grdLampTool();
             QTest::mouseClick(tool->viewport(), Qt::RightButton, {}, tool->visualItemRect(tool->item(3, 0)).center());
         }},
        {"Paste Lamp 4", [&] {
             rightClick(5, 5, "mnuSSCopy");
             answerDialog(false, true);
             rightClick(8, 8, "mnuSSPaste");
         }},
    };
    for (const auto& [text, step] : steps) {
        const Bytes before = patchBytes();
        const int count = stack().count();
        step();
        const Bytes after = patchBytes();
        EXPECT_NE(after, before) << text.toStdString();
        EXPECT_EQ(stack().count(), count + 1) << text.toStdString();
        EXPECT_EQ(action("mnuEditUndo")->text(), "&Undo " + text);
        choose("mnuEditUndo");
        EXPECT_EQ(patchBytes(), before) << text.toStdString();
        EXPECT_EQ(action("mnuEditRedo")->text(), "&Redo " + text);
        choose("mnuEditRedo");
        EXPECT_EQ(patchBytes(), after) << text.toStdString();
    }
    EXPECT_TRUE(fake.unexpected.empty());
    EXPECT_TRUE(s->textMatrix(8, 8).startsWith("4.54.54")) << s->textMatrix(8, 8).toStdString();

    // What an undo puts back is drawn, on the screen and on the toolbox's buttons.
    while (stack().index() > 1)
        choose("mnuEditUndo");
    EXPECT_EQ(stack().index(), 1);
    EXPECT_TRUE(s->textMatrix(2, 2).startsWith("1.25.25"));
    EXPECT_EQ(s->textMatrix(3, 3), "");
    EXPECT_EQ(s->toolbox().grdLampTool()->item(3, 0)->text(), "");
    EXPECT_EQ(state.patch.nNextDMX, 37);
    EXPECT_EQ(state.patch.nNextEntry, 1);
    choose("mnuEditUndo");
    EXPECT_EQ(patchBytes(), opened);
    EXPECT_FALSE(s->isChanged());
    EXPECT_FALSE(action("mnuEditUndo")->isEnabled());
}

TEST_F(StageHistoryTest, TheChangedFlagFollowsTheHistoryAndReadingAPatchStartsItAfresh)
{
    place(2, 2);
    EXPECT_TRUE(s->isChanged());
    choose("mnuEditUndo");
    EXPECT_FALSE(s->isChanged());
    choose("mnuFileClose");
    EXPECT_TRUE(fake.messages.empty()) << "back where it was opened: nothing to ask";

    openFile(file("first.pat"));
    EXPECT_FALSE(stack().canUndo() || stack().canRedo()) << "a patch read starts with an empty history";
    place(2, 2);
    choose("mnuFileSave");
    choose("mnuEditUndo");
    EXPECT_TRUE(s->isChanged()) << "past the save";
    fake.answers = {ui::Answer::Cancel};
    choose("mnuFileClose");
    EXPECT_EQ(fake.texts(), std::vector<QString>{"Close window without saving changes?"});
    choose("mnuEditRedo");
    EXPECT_FALSE(s->isChanged());

    // Placed lamps replaced from elsewhere (the console import) leave no step to undo.
    place(3, 3);
    s->patchReplaced(true);
    EXPECT_FALSE(stack().canUndo());
    EXPECT_TRUE(s->isChanged());
}

TEST_F(StageHistoryTest, APastedLampTakesTheNextNumberAndAddressWithTheCopiedTypeAndFlags)
{
    answerDialog(true, true, [](QDialog& d) {
        d.findChild<QCheckBox*>("optPanInv")->setChecked(true);
        d.findChild<QCheckBox*>("optPanTiltSwap")->setChecked(true);
    });
    drop(2, 2, 1);  // lamp 1: Wash, 5 channels at 25; the counter is at 30
    rightClick(2, 2, "mnuSSCopy");
    ASSERT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat(frmStageScreen::lampMimeType));

    // An empty cell offers the menu for Paste alone, and only while a lamp is copied.
    fake.menuScripts.push_back([](QMenu& menu) -> QAction* {
        QStringList enabled;
        for (const QAction* item : menu.actions())
            if (item->isEnabled() && !item->isSeparator())
                enabled << item->objectName();
        EXPECT_EQ(enabled, QStringList{"mnuSSPaste"});
        return nullptr;
    });
    QTest::mouseClick(grid(), Qt::RightButton, {}, s->cellCentre(6, 6));
    EXPECT_EQ(fake.menusShown, 2);

    // Edit > Paste at the current cell: the dialog offers the next number and address.
    answerDialog(false, true, [](QDialog& d) {
        EXPECT_EQ(box(d, "txtLampNumber")->text(), "2");
        EXPECT_EQ(box(d, "txtStartDMX")->text(), "30");
        EXPECT_EQ(box(d, "txtStartChan")->text(), "30");
        EXPECT_EQ(box(d, "txtScreenRow")->text(), "6");
        EXPECT_TRUE(d.findChild<QCheckBox*>("optPanInv")->isChecked());
        EXPECT_FALSE(d.findChild<QCheckBox*>("optTiltInv")->isChecked());
        EXPECT_TRUE(d.findChild<QCheckBox*>("optPanTiltSwap")->isChecked());
    });
    s->grdStageScreen()->setCurrentCell(5, 5);
    choose("mnuEditPaste");
    const rig::PatchEntry& pasted = state.patch.patchEntries[1];
    EXPECT_EQ(pasted.LampType, 1);
    EXPECT_EQ(pasted.StartDMX, 30);
    EXPECT_EQ(pasted.PanInvert, 1);
    EXPECT_EQ(pasted.PanTiltSwap, 1);
    EXPECT_EQ(state.patch.nNextDMX, 35) << "the offered block was taken";
    EXPECT_EQ(state.patch.nNextEntry, 2);
    EXPECT_EQ(s->textMatrix(6, 6), "2.30.30\r\nWash            ");
    EXPECT_EQ(action("mnuEditUndo")->text(), "&Undo Paste Lamp 2");
    choose("mnuEditUndo");
    EXPECT_EQ(state.patch.nNextDMX, 30);
    EXPECT_EQ(state.patch.nNextEntry, 1);
    choose("mnuEditRedo");

    // Cancelled, or placed at an address of the user's own: the counter stays.
    answerDialog(false, false);
    s->grdStageScreen()->setCurrentCell(6, 6);
    choose("mnuEditPaste");
    answerDialog(false, true, [](QDialog& d) { box(d, "txtStartDMX")->setText("300"); });
    choose("mnuEditPaste");
    EXPECT_EQ(state.patch.nNextDMX, 35);
    EXPECT_EQ(state.patch.nNextEntry, 4) << "the cancelled paste spent number 3";
    EXPECT_TRUE(s->textMatrix(7, 7).startsWith("4.35.300"));

    // On a lamp, Paste is refused as a drop there is. Edit > Cut copies and removes.
    const Bytes before = patchBytes();
    s->grdStageScreen()->setCurrentCell(1, 1);
    choose("mnuEditPaste");
    EXPECT_EQ(fake.texts().back(), refusedDrop);
    EXPECT_EQ(patchBytes(), before);
    QGuiApplication::clipboard()->clear();
    choose("mnuEditCut");
    EXPECT_EQ(s->textMatrix(2, 2), "");
    EXPECT_EQ(action("mnuEditUndo")->text(), "&Undo Cut Lamp 1");
    const QByteArray cut = QGuiApplication::clipboard()->mimeData()->data(frmStageScreen::lampMimeType);
    const rig::PlacedLampCopy copy =
        rig::decodePlacedLamp(reinterpret_cast<const std::uint8_t*>(cut.constData()), static_cast<std::size_t>(cut.size()));
    EXPECT_EQ(copy.entry.StartDMX, 25);
    EXPECT_EQ(copy.typeName.str(), "Wash            ");

    QGuiApplication::clipboard()->clear();
    const int shown = fake.menusShown;
    QTest::mouseClick(grid(), Qt::RightButton, {}, s->cellCentre(10, 10));
    EXPECT_EQ(fake.menusShown, shown) << "an empty cell with nothing to paste has no menu";
}

TEST_F(StageHistoryTest, PastesOfForeignOrStaleDataAreRefusedAndChangeNothing)
{
    place(2, 2, 1);
    rightClick(2, 2, "mnuSSCopy");
    const QByteArray copied = QGuiApplication::clipboard()->mimeData()->data(frmStageScreen::lampMimeType);
    const Bytes before = patchBytes();
    const int steps = stack().count();
    s->grdStageScreen()->setCurrentCell(4, 4);

    const auto pasteWith = [this](const QByteArray& bytes) {
        auto* data = new QMimeData;
        data->setData(frmStageScreen::lampMimeType, bytes);
        QGuiApplication::clipboard()->setMimeData(data);
        choose("mnuEditPaste");
        return fake.messages.empty() ? QString() : fake.messages.back().text;
    };
    EXPECT_EQ(pasteWith(copied.left(40)), "The clipboard's placed lamp is 40 bytes long instead of 53.");
    QByteArray wrongType = copied;
    wrongType[6 + 9] = 20;
    EXPECT_EQ(pasteWith(wrongType), "The clipboard's placed lamp is of lamp type 20; the lamp table has types 0 to 15.");

    // The slot the copy came from now holds another lamp type.
    rig::writeLampFile(toPath(file("beam.lmp")), namedLamp("Beam", 3));
    fake.fileAnswers = {file("beam.lmp")};
    QTableWidget* tool = s->toolbox().grdLampTool();
    QTest::mouseClick(tool->viewport(), Qt::RightButton, {}, tool->visualItemRect(tool->item(1, 0)).center());
    const Bytes assigned = patchBytes();
    EXPECT_EQ(pasteWith(copied), "The copied lamp's type, Wash, is no longer lamp type 1 of this patch.");
    EXPECT_EQ(patchBytes(), assigned);
    choose("mnuEditUndo");  // the assignment
    EXPECT_EQ(patchBytes(), before);
    EXPECT_EQ(stack().index(), steps);

    QGuiApplication::clipboard()->setText("7.25.25");
    choose("mnuEditPaste");
    EXPECT_EQ(fake.texts().back(), "The clipboard holds no placed lamp to paste.");
    EXPECT_EQ(patchBytes(), before);
    EXPECT_TRUE(fake.unexpected.empty()) << "no dialog was shown";
}

}  // namespace
