#include "fake_ui.h"
#include "lamp/lamp.h"
#include "patch/frmStageScreen.h"
#include "patch/stage_patch.h"
#include "patch/tbxLamps.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString spotName = QStringLiteral("Spot 575        ");
const QString washName = QStringLiteral("Wash            ");

class StageScreenTest : public ::testing::Test {
protected:
    StageScreenTest() : m_main(m_state)
    {
        m_main.resize(1000, 800);
        m_main.show();
        // The patch opened first holds two lamp types: 12 and 5 channels.
        rig::StagePatch patch;
        patch.lmpLamps[0].LampName.assign("Spot 575");
        patch.lmpLamps[0].NumberChannel = 12;
        patch.lmpLamps[1].LampName.assign("Wash");
        patch.lmpLamps[1].NumberChannel = 5;
        rig::writePatchFile(path("first.pat"), patch);
    }

    std::string path(const char* name) const { return m_dir.filePath(QLatin1String(name)).toStdString(); }

    // The main window's Open command with a typed file name.
    frmStageScreen& open(const char* name)
    {
        m_ui.fileAnswers.push_back(m_dir.filePath(QLatin1String(name)));
        m_main.mnuFileOpen_Click();
        frmStageScreen* screen = m_main.stageScreen(false);
        if (!screen)
            throw std::runtime_error("no stage screen");
        return *screen;
    }

    static QWidget* grid(frmStageScreen& s) { return s.grdStageScreen()->viewport(); }

    void drop(frmStageScreen& s, int row, int col, std::int16_t slot = 0)
    {
        m_state.nToolLamp = slot;
        QMimeData data;
        data.setData(tbxLamps::mimeType, QByteArray::number(slot));
        // A drop reaches the widget that accepted the drag's entry.
        const QPoint at = s.cellCentre(row, col);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid(s), &enter);
        QDropEvent event(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid(s), &event);
    }

    // A dialog script: automatic patch, then OK.
    static std::function<void(QDialog&)> patchAndOk()
    {
        return [](QDialog& d) {
            QTest::mouseClick(d.findChild<QPushButton*>("btnAutoPatch"), Qt::LeftButton);
            QTest::mouseClick(d.findChild<QPushButton*>("btnOK"), Qt::LeftButton);
        };
    }
    static std::function<void(QDialog&)> cancel()
    {
        return [](QDialog& d) { QTest::mouseClick(d.findChild<QPushButton*>("btnCancel"), Qt::LeftButton); };
    }
    // Places a lamp of `slot` at (row, col) through a drop and the automatic patch.
    void place(frmStageScreen& s, int row, int col, std::int16_t slot = 0)
    {
        m_ui.dialogScripts.push_back(patchAndOk());
        drop(s, row, col, slot);
    }

    // A pop-up script choosing the item `name`, or dismissing the menu for nullptr.
    void chooseFromMenu(const char* name)
    {
        m_ui.menuScripts.push_back([name](QMenu& menu) -> QAction* {
            return name ? menu.findChild<QAction*>(QLatin1String(name)) : nullptr;
        });
    }

    QTemporaryDir m_dir;
    FakeUi m_ui;
    rig::AppState m_state;
    frmMain m_main;
};

TEST_F(StageScreenTest, OpeningShowsTheOneStageScreenWithItsToolbox)
{
    frmStageScreen& s = open("first.pat");
    EXPECT_TRUE(s.isVisible());
    EXPECT_EQ(s.textMatrix(0, 20), "20");
    EXPECT_EQ(s.textMatrix(24, 0), "X");
    ASSERT_NE(s.toolbox(), nullptr);
    EXPECT_TRUE(s.toolbox()->isVisible());
    EXPECT_EQ(s.toolbox()->parentWidget(), &m_main);

    rig::writePatchFile(path("second.pat"), rig::StagePatch{});
    EXPECT_EQ(&open("second.pat"), &s);
    EXPECT_EQ(m_main.mdiArea()->subWindowList().size(), 1);
    EXPECT_TRUE(m_state.patch.lmpLamps[1].LampName.isAllZero());
    // The toolbox buttons follow the lamp types of the patch just read.
    EXPECT_EQ(s.toolbox()->grdLampTool()->item(0, 0)->text(), "");
}

TEST_F(StageScreenTest, DropOpensThePropertiesAndDrawsTheLamp)
{
    frmStageScreen& s = open("first.pat");
    m_ui.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>("txtScreenRow")->text(), "2");
        EXPECT_EQ(d.findChild<QLineEdit*>("txtScreenCol")->text(), "3");
        EXPECT_EQ(d.findChild<QLineEdit*>("txtLampNumber")->text(), "1");
        EXPECT_EQ(d.findChild<QComboBox*>("cmbLampType")->currentIndex(), 1);
        QTest::mouseClick(d.findChild<QPushButton*>("btnAutoPatch"), Qt::LeftButton);
        QTest::mouseClick(d.findChild<QPushButton*>("btnOK"), Qt::LeftButton);
    });
    drop(s, 2, 3, 1);
    EXPECT_EQ(s.textMatrix(2, 3), "1.25.25\r\n" + washName);
    EXPECT_EQ(m_state.patch.nNextEntry, 1);
    EXPECT_EQ(m_state.patch.nNextDMX, 30);
    EXPECT_TRUE(s.isChanged());

    place(s, 1, 1);  // the top-left cell takes a lamp like any other
    EXPECT_EQ(s.textMatrix(1, 1), "2.30.30\r\n" + spotName);
    EXPECT_EQ(m_state.patch.nNextDMX, 42);
}

TEST_F(StageScreenTest, RefusedDrops)
{
    frmStageScreen& s = open("first.pat");
    place(s, 2, 3);
    m_ui.messages.clear();

    drop(s, 2, 3);  // on a lamp
    ASSERT_EQ(m_ui.messages.size(), 1u);
    EXPECT_EQ(m_ui.messages[0].text,
              "You have attempted to drop a lamp on top of another.\r\rThis is not allowed in Tarsen Rigsmith.");
    EXPECT_EQ(m_ui.messages[0].title, "Rigsmith Error");
    EXPECT_EQ(m_ui.messages[0].icon, ui::Icon::Critical);
    EXPECT_EQ(m_state.patch.nNextEntry, 1);

    m_state.patch.nNextEntry = 100;  // every lamp number handed out
    const std::vector<std::uint8_t> before = rig::encodePatchFile(m_state.patch);
    drop(s, 5, 5);
    EXPECT_EQ(m_ui.messages.size(), 2u);
    EXPECT_EQ(rig::encodePatchFile(m_state.patch), before);
    EXPECT_EQ(m_ui.dialogsShown.size(), 1u);  // only the first drop's dialog
}

TEST_F(StageScreenTest, CancelSpendsTheNumberAndCutNeverReusesOne)
{
    frmStageScreen& s = open("first.pat");
    m_ui.dialogScripts.push_back(cancel());
    drop(s, 2, 3);
    EXPECT_EQ(s.textMatrix(2, 3), "");
    EXPECT_EQ(m_state.patch.nNextEntry, 1);
    EXPECT_TRUE(s.isChanged());

    place(s, 2, 3);
    EXPECT_TRUE(s.textMatrix(2, 3).startsWith("2.25.25"));

    s.setChanged(false);
    chooseFromMenu("mnuSSCut");
    QTest::mouseClick(grid(s), Qt::RightButton, {}, s.cellCentre(2, 3));
    EXPECT_EQ(s.textMatrix(2, 3), "");
    EXPECT_TRUE(s.isChanged());
    const rig::PatchEntry& cut = m_state.patch.patchEntries[1];
    EXPECT_EQ(cut.StartDMX, 0);
    EXPECT_EQ(cut.StartChannel, 25);  // the rest of the entry stays

    place(s, 2, 3);
    EXPECT_TRUE(s.textMatrix(2, 3).startsWith("3.37.37"));
}

TEST_F(StageScreenTest, PopUpMenu)
{
    frmStageScreen& s = open("first.pat");
    QTest::mouseClick(grid(s), Qt::RightButton, {}, s.cellCentre(4, 4));  // empty cell
    EXPECT_EQ(m_ui.menusShown, 0);

    place(s, 4, 4);
    s.setChanged(false);
    const std::vector<std::uint8_t> before = rig::encodePatchFile(m_state.patch);
    m_ui.menuScripts.push_back([](QMenu& menu) -> QAction* {
        const QList<QAction*> items = menu.actions();
        EXPECT_EQ(items.size(), 5);
        EXPECT_FALSE(items.at(1)->isEnabled());
        EXPECT_FALSE(items.at(2)->isEnabled());
        EXPECT_TRUE(items.at(3)->isSeparator());
        EXPECT_EQ(menu.defaultAction(), items.at(4));
        EXPECT_EQ(menu.parent()->objectName(), "mnuMenus");
        return nullptr;  // dismissed
    });
    QTest::mouseClick(grid(s), Qt::RightButton, {}, s.cellCentre(4, 4));
    EXPECT_EQ(m_ui.menusShown, 1);
    EXPECT_EQ(rig::encodePatchFile(m_state.patch), before);
    EXPECT_FALSE(s.isChanged());

    chooseFromMenu("mnuSSCopy");  // cannot be chosen: nothing happens
    QTest::mouseClick(grid(s), Qt::RightButton, {}, s.cellCentre(4, 4));
    EXPECT_EQ(rig::encodePatchFile(m_state.patch), before);

    chooseFromMenu("mnuSSProperties");
    m_ui.dialogScripts.push_back([](QDialog& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>("txtScreenRow")->text(), "4");
        d.findChild<QLineEdit*>("txtScreenRow")->setText("5");
        QTest::mouseClick(d.findChild<QPushButton*>("btnOK"), Qt::LeftButton);
    });
    QTest::mouseClick(grid(s), Qt::RightButton, {}, s.cellCentre(4, 4));
    EXPECT_EQ(s.textMatrix(4, 4), "");
    EXPECT_TRUE(s.textMatrix(5, 4).startsWith("1.25.25"));
    EXPECT_TRUE(s.isChanged());
}

TEST_F(StageScreenTest, MovingALamp)
{
    frmStageScreen& s = open("first.pat");
    place(s, 2, 3);
    place(s, 6, 6);
    s.setChanged(false);
    m_ui.messages.clear();

    QTest::mousePress(grid(s), Qt::LeftButton, {}, s.cellCentre(2, 3));
    QTest::mouseRelease(grid(s), Qt::LeftButton, {}, s.cellCentre(4, 5));
    EXPECT_EQ(s.textMatrix(2, 3), "");
    EXPECT_TRUE(s.textMatrix(4, 5).startsWith("1.25.25"));
    EXPECT_TRUE(s.isChanged());

    // Onto another lamp: refused, both stay.
    QTest::mousePress(grid(s), Qt::LeftButton, {}, s.cellCentre(4, 5));
    QTest::mouseRelease(grid(s), Qt::LeftButton, {}, s.cellCentre(6, 6));
    ASSERT_EQ(m_ui.messages.size(), 1u);
    EXPECT_EQ(m_ui.messages[0].title, "Rigsmith Error");
    EXPECT_TRUE(s.textMatrix(4, 5).startsWith("1."));
    EXPECT_TRUE(s.textMatrix(6, 6).startsWith("2."));

    // Released outside the cells (over a heading): ignored.
    QTest::mousePress(grid(s), Qt::LeftButton, {}, s.cellCentre(4, 5));
    QTest::mouseRelease(grid(s), Qt::LeftButton, {}, QPoint(5, -5));
    EXPECT_EQ(m_state.patch.patchEntries[0].ScreenRow, 3);
    EXPECT_EQ(m_state.patch.patchEntries[0].ScreenCol, 4);

    m_ui.dialogScripts.push_back(cancel());
    QTest::mouseDClick(grid(s), Qt::LeftButton, {}, s.cellCentre(6, 6));
    EXPECT_EQ(m_ui.dialogsShown.size(), 3u);
}

TEST_F(StageScreenTest, SaveAsThenSaveAndReadBack)
{
    frmStageScreen& s = open("first.pat");
    place(s, 3, 3);
    place(s, 7, 2, 1);
    rig::PatchEntry& entry = m_state.patch.patchEntries[1];
    entry.EntryText.assign("text");
    entry.Point = -7;
    entry.Spare3 = 300;
    entry.Spare4 = {1, 2, 3, 4};

    m_ui.fileAnswers.push_back(m_dir.filePath("saved.pat"));
    s.File_Save_As();
    ASSERT_EQ(m_ui.fileCalls.back().request.filter, "Stage Patch (*.pat)|*.pat");
    EXPECT_FALSE(s.isChanged());
    EXPECT_EQ(s.fileName(), m_dir.filePath("saved.pat"));

    place(s, 9, 9);
    const rig::StagePatch expected = m_state.patch;
    const std::size_t dialogs = m_ui.fileCalls.size();
    s.File_Save();  // goes to the file of the Save As, without asking
    EXPECT_EQ(m_ui.fileCalls.size(), dialogs);
    EXPECT_FALSE(s.isChanged());

    m_state.patch = rig::StagePatch{};
    s.File_Open(m_dir.filePath("saved.pat"), "saved.pat");
    EXPECT_EQ(rig::encodePatchFile(m_state.patch), rig::encodePatchFile(expected));
    EXPECT_TRUE(s.textMatrix(7, 2).startsWith("2.37.37"));
}

TEST_F(StageScreenTest, FailuresOfTheFileOperations)
{
    frmStageScreen& s = open("first.pat");
    place(s, 2, 2);

    m_ui.fileAnswers.push_back(m_dir.filePath("no such folder/x.pat"));
    s.File_Save_As();
    ASSERT_EQ(m_ui.messages.size(), 1u);
    EXPECT_TRUE(m_ui.messages[0].text.startsWith("Error 53\r\n")) << m_ui.messages[0].text.toStdString();
    EXPECT_EQ(m_ui.messages[0].title, "Error");
    EXPECT_EQ(m_ui.messages[0].icon, ui::Icon::Critical);
    EXPECT_TRUE(s.isChanged());
    EXPECT_EQ(s.fileName(), m_dir.filePath("first.pat"));

    m_ui.fileAnswers.push_back(std::nullopt);
    s.File_Save_As();
    EXPECT_EQ(m_ui.messages.size(), 1u);

    // A patch that cannot be read reaches the Open command; the patch in memory stays.
    s.setChanged(false);
    const std::vector<std::uint8_t> before = rig::encodePatchFile(m_state.patch);
    open("no such folder/y.pat");
    ASSERT_EQ(m_ui.messages.size(), 2u);
    EXPECT_TRUE(m_ui.messages[1].text.startsWith("Error53\r\n")) << m_ui.messages[1].text.toStdString();
    EXPECT_EQ(rig::encodePatchFile(m_state.patch), before);
    EXPECT_EQ(s.fileName(), m_dir.filePath("first.pat"));
}

TEST_F(StageScreenTest, UnsavedChangesAreNotDroppedUnasked)
{
    frmStageScreen& s = open("first.pat");
    rig::writePatchFile(path("other.pat"), rig::StagePatch{});
    place(s, 2, 2);

    m_ui.answers.push_back(ui::Answer::Cancel);
    open("other.pat");
    ASSERT_EQ(m_ui.messages.size(), 1u);
    EXPECT_EQ(m_ui.messages[0].text, "Close window without saving changes?");
    EXPECT_EQ(m_ui.messages[0].title, "Close window");
    EXPECT_EQ(m_ui.messages[0].icon, ui::Icon::Question);
    EXPECT_EQ(m_ui.messages[0].buttons, ui::Buttons::OkCancel);
    EXPECT_TRUE(s.textMatrix(2, 2).startsWith("1.25.25"));
    EXPECT_EQ(s.fileName(), m_dir.filePath("first.pat"));

    m_ui.answers.push_back(ui::Answer::Cancel);
    EXPECT_FALSE(s.parentWidget()->close());
    EXPECT_TRUE(s.isVisible());

    m_ui.answers.push_back(ui::Answer::Ok);
    EXPECT_TRUE(s.parentWidget()->close());
    EXPECT_FALSE(s.toolbox()->isVisible());
    EXPECT_EQ(m_main.activeDocument(), nullptr);  // Save no longer reaches the closed window

    open("other.pat");  // nothing unsaved now: no question, and the window comes back
    EXPECT_EQ(m_ui.messages.size(), 3u);
    EXPECT_TRUE(s.isVisible());
    EXPECT_EQ(m_main.mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(m_main.activeDocument(), static_cast<DocumentWindow*>(&s));
    EXPECT_TRUE(s.toolbox()->isVisible());
    EXPECT_EQ(s.textMatrix(2, 2), "");
}

TEST_F(StageScreenTest, ToolboxAssignmentMarksThePatchChanged)
{
    frmStageScreen& s = open("first.pat");
    rig::Lamp lamp = rig::newLamp();
    lamp.LampName.assign("Beam");
    rig::writeLampFile(path("beam.lmp"), lamp);
    m_ui.fileAnswers.push_back(m_dir.filePath("beam.lmp"));
    s.toolbox()->assignLamp(3);
    EXPECT_TRUE(s.isChanged());
}

TEST_F(StageScreenTest, ConflictingAddressesAreMarked)
{
    frmStageScreen& s = open("first.pat");
    place(s, 1, 1);  // 25..36
    place(s, 1, 2);  // 37..48
    m_ui.dialogScripts.push_back([](QDialog& d) {
        d.findChild<QLineEdit*>("txtStartDMX")->setText("30");
        QTest::mouseClick(d.findChild<QPushButton*>("btnOK"), Qt::LeftButton);
    });
    drop(s, 1, 3, 1);  // 30..34 inside lamp 1
    QTableWidget* table = s.grdStageScreen();
    EXPECT_EQ(table->item(0, 0)->toolTip(), "DMX overlaps lamp 3");
    EXPECT_EQ(table->item(0, 2)->toolTip(), "DMX overlaps lamp 1");
    EXPECT_EQ(table->item(0, 1)->toolTip(), "");
    EXPECT_NE(table->item(0, 0)->background(), table->item(0, 1)->background());
    EXPECT_EQ(s.textMatrix(1, 3), "3.0.30\r\n" + washName);
}

}  // namespace
