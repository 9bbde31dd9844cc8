#include "window_helpers.h"

#include "windows/frmDocument.h"
#include "windows/lamp_model.h"
#include "ui/common_dialog.h"
#include "base/file_io.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QPointer>
#include <QTableView>
#include <QUndoStack>

namespace {

using ui::Icon;

constexpr int PanCoarse = 1, PanFine = 2, Gobo1 = 13, Zoom = 18, Dimmer = 21;

void sendFocus(QWidget* widget, QEvent::Type type = QEvent::FocusOut)
{
    QFocusEvent event(type, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(widget, &event);
}

QStringList itemsOf(const QComboBox* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

// A lamp as a file would hold it: counts and steps consistent, so opening changes nothing.
rig::Lamp fileLamp(std::initializer_list<int> functions)
{
    rig::Lamp lamp = rig::newLamp();
    lamp.LampName.assign("Spot");
    lamp.NumberChannel = lamp.NumberChannelCopy = static_cast<std::uint8_t>(functions.size());
    std::size_t c = 0;
    for (int function : functions) {
        lamp.Channel[c].Function = static_cast<std::int16_t>(function);
        lamp.Channel[c].Palette = 1;
        lamp.Channel[c].Step = static_cast<std::uint8_t>(c + 1);
        ++c;
    }
    lamp.ReservedArea1[5] = 0xA5;  // reserved bytes ride along unchanged
    return lamp;
}

class LampWindow : public ::testing::Test {
protected:
    void TearDown() override { qDeleteAll(windows); }  // no close: the question is not part of the case

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString saveLamp(const char* name, const rig::Lamp& lamp)
    {
        rig::writeLampFile(toPath(path(name)), lamp);
        return path(name);
    }
    // A shown window: a new lamp, or the given lamp opened from a file of that name.
    frmDocument* window(const char* file = nullptr, const rig::Lamp& lamp = {})
    {
        auto* w = new frmDocument(state.lmpImport, fake, dialog);
        windows << w;
        if (file)
            w->File_Open(saveLamp(file, lamp), QString::fromLatin1(file));
        else
            w->File_New();
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
        return w;
    }

    template <typename T = QLineEdit>
    static T* child(frmDocument* w, const char* name)
    {
        T* found = w->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static QTableView* grid(frmDocument* w) { return child<QTableView>(w, "grdChannels"); }
    static int rows(frmDocument* w) { return grid(w)->model()->rowCount(); }
    static QModelIndex at(frmDocument* w, int row, int column) { return grid(w)->model()->index(row - 1, column - 1); }
    // Row and column as the user counts them: channel rows from 1, columns 1 to 3.
    static void clickCell(frmDocument* w, int row, int column)
    {
        QTest::mouseClick(grid(w)->viewport(), Qt::LeftButton, {}, grid(w)->visualRect(at(w, row, column)).center());
    }
    static QString cell(frmDocument* w, int row, int column)
    {
        const QModelIndex index = at(w, row, column);
        return index.isValid() ? index.data().toString() : QStringLiteral("<no cell>");
    }

    FakeUi fake;
    rig::AppState state;
    CommonDialog dialog{fake};
    QTemporaryDir dir;
    QList<QPointer<frmDocument>> windows;
};

TEST_F(LampWindow, NewLampShowsOneChannelAndIsSavedOnClose)
{
    frmDocument* w = window();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("New Lamp"));
    EXPECT_EQ(child(w, "txtLampName")->text(), QStringLiteral("New Lamp"));
    ASSERT_EQ(rows(w), 1);
    EXPECT_EQ(QStringList({cell(w, 1, 1), cell(w, 1, 2), cell(w, 1, 3)}), (QStringList{"None", "None", "1"}));
    EXPECT_EQ(itemsOf(child<QComboBox>(w, "cmbWheel3")), QStringList{"None"});

    // Yes saves first; a save that is refused keeps the window and its edits.
    const QString locked = saveLamp("locked.lmp", fileLamp({0}));
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner));
    fake.answers = {ui::Answer::Cancel, ui::Answer::Yes, ui::Answer::Yes, ui::Answer::Yes};
    fake.fileAnswers = {locked, path("New Lamp.lmp")};
    EXPECT_FALSE(w->close());
    expectMessage(fake.messages.at(0),
                  QStringLiteral("You have made changes to this lamp\r\nDo you wish to save before closing?"),
                  QStringLiteral("Close Window"), Icon::Question, ui::Buttons::YesNoCancel);
    EXPECT_FALSE(w->close()) << "write refused";
    expectMessage(fake.messages.back(), QStringLiteral("The disk that you are saving to is write protected"),
                  QStringLiteral("Tarsen Rigsmith"), Icon::Critical);
    EXPECT_TRUE(w->close());
    ASSERT_EQ(fake.fileCalls.size(), 2U);
    EXPECT_EQ(fake.fileCalls[0].request.fileName, QStringLiteral("New Lamp.lmp"));
    Bytes expected(1622, 0x00);
    const Bytes head = {0x01, 0x00, 'N', 'e', 'w', ' ', 'L', 'a', 'm', 'p', ' ', ' ',
                        ' ',  ' ',  ' ', ' ', ' ', ' ', 0x00, 0x01, 0x01};
    std::copy(head.begin(), head.end(), expected.begin());
    expected[795] = 0x01;  // step of channel 1
    EXPECT_EQ(readAll(path("New Lamp.lmp")), expected);
}

TEST_F(LampWindow, OpenedLampClosesWithoutAskingAndKeepsEveryByte)
{
    rig::Lamp original = fileLamp({PanCoarse, PanFine, Gobo1, Dimmer});
    // Named slots between never-filled ones: each page turn rewrites the name boxes.
    original.Wheel[1].WheelName.assign("Red");
    original.Wheel[30].WheelName.assign("Blue");
    frmDocument* w = window("spot.lmp", original);
    for (int i = 0; i < 8; ++i)
        child<QPushButton>(w, "Command1")->click();
    EXPECT_EQ(child<QLabel>(w, "lblPage")->text(), QStringLiteral("Page: 1 of 8"));
    EXPECT_FALSE(w->changed()) << "the window's own refresh is no edit";
    EXPECT_EQ(w->lamp(), original);
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(LampWindow, CountBoxKeepsTheCountWithinOneToThirtySix)
{
    for (const auto& [pasted, count] : {std::pair{"40", 36}, std::pair{"0", 1}}) {
        fake.messages.clear();
        frmDocument* w = window();
        child(w, "txtNoChannels")->setText(QString::fromLatin1(pasted));
        EXPECT_EQ(w->lamp().NumberChannel, count) << pasted;
        EXPECT_EQ(rows(w), count) << pasted;
        EXPECT_EQ(child(w, "txtNoChannels")->text(), QString::number(count)) << pasted;
        EXPECT_EQ(fake.texts(), std::vector<QString>(count == 36 ? 1 : 0, "This version of Dornick software "
                                                                          "supports lamps with between 1 and 36 channels"));
    }
}

TEST_F(LampWindow, LoweringAndRaisingTheCountKeepsTheDroppedChannels)
{
    const rig::Lamp lamp = fileLamp({1, 2, 4, 5, 13, 14, 7, 8, 17, 18, 19, 21});
    frmDocument* w = window("twelve.lmp", lamp);
    for (const char* count : {"4", "12"}) {
        child(w, "txtNoChannels")->selectAll();
        QTest::keyClicks(child(w, "txtNoChannels"), QString::fromLatin1(count));
    }
    ASSERT_EQ(rows(w), 12);
    EXPECT_EQ(w->lamp(), lamp) << "channels 5 to 12 are back as they were";
    // All of it was typed in the box at one go: one step, which came back to where it began.
    EXPECT_FALSE(w->changed());
    EXPECT_FALSE(w->undoStack().canUndo());
}

TEST_F(LampWindow, PickedFunctionReachesTheWheelListsOnEveryCommitPath)
{
    for (int leave = 0; leave < 3; ++leave) {  // another cell; the editor loses, the grid gets the focus
        frmDocument* w = window("four.lmp", fileLamp({PanCoarse, 0, 0, Dimmer}));
        clickCell(w, 3, 1);
        auto* editor = child<QComboBox>(w, "cmbEdit");
        ASSERT_TRUE(editor->isVisible());
        editor->setCurrentIndex(PanFine);
        if (leave == 0)
            grid(w)->setCurrentIndex(at(w, 1, 1));
        else
            sendFocus(leave == 1 ? static_cast<QWidget*>(editor) : grid(w),
                      leave == 1 ? QEvent::FocusOut : QEvent::FocusIn);
        EXPECT_FALSE(editor->isVisible()) << leave;
        EXPECT_EQ(w->lamp().Channel[2].Function, PanFine) << leave;
        EXPECT_EQ(itemsOf(child<QComboBox>(w, "cmbWheel2")), (QStringList{"None", "Pan Fine"})) << leave;
    }
}

// Clicks reach the editor once it lies over the cell; whatever the user does there, the
// editor stays open on the cell clicked, in both list columns.
TEST_F(LampWindow, OneClickOrADoubleClickLeavesTheListEditorOpenOnItsCell)
{
    frmDocument* w = window("three.lmp", fileLamp({PanCoarse, 0, Dimmer}));
    const auto openOn = [w](int row, int column) {
        auto* editor = qobject_cast<QComboBox*>(grid(w)->indexWidget(at(w, row, column)));
        return editor != nullptr && editor->isVisible() ? editor : nullptr;
    };
    const auto userClickCell = [w](int row, int column, bool doubleClick = false) {
        userClick(grid(w)->viewport(), grid(w)->visualRect(at(w, row, column)).center(), Qt::LeftButton,
                  doubleClick);
    };
    for (int column : {1, 2}) {
        userClickCell(1, column);
        QPointer<QComboBox> editor = openOn(1, column);
        ASSERT_NE(editor, nullptr) << column;
        userClickCell(1, column);  // on the editor: its list drops down
        ASSERT_TRUE(editor && openOn(1, column) == editor) << column;
        ASSERT_TRUE(editor->view()->isVisible()) << column;
        QTest::keyClick(editor->view(), Qt::Key_Escape);
        EXPECT_FALSE(editor->view()->isVisible()) << column;
        EXPECT_EQ(openOn(1, column), editor) << column;

        userClickCell(2, column, true);
        EXPECT_NE(openOn(2, column), nullptr) << column;
        EXPECT_EQ(openOn(1, column), nullptr) << column;
        userClickCell(3, column, true);
        ASSERT_NE(openOn(3, column), nullptr) << column;
        if (QWidget* list = QApplication::activePopupWidget())
            list->close();
    }

    // What is picked in the dropped-down list reaches the lamp when the editor is left.
    QComboBox* palette = openOn(3, 2);
    ASSERT_NE(palette, nullptr);
    palette->setCurrentIndex(4);
    grid(w)->setFocus();
    EXPECT_EQ(w->lamp().Channel[2].Palette, 4);
    EXPECT_EQ(w->lamp().Channel[0].Function, PanCoarse) << "clicks alone change nothing";
}

TEST_F(LampWindow, StepAndPaletteEditorsTakeOnlyWhatFits)
{
    rig::Lamp lamp = fileLamp({PanCoarse, Dimmer});
    lamp.Channel[1].Palette = 8;  // beyond what the list offers
    frmDocument* w = window("two.lmp", lamp);

    // A key typed on the grid opens the step editor without typing itself into it.
    grid(w)->setCurrentIndex(at(w, 1, 3));
    QTest::keyClick(grid(w), Qt::Key_7);
    auto* step = child<QLineEdit>(w, "txtEdit");
    ASSERT_TRUE(step != nullptr && step->isVisible());
    EXPECT_EQ(step->text(), "1");
    QTest::keyClicks(step, "200");
    QTest::keyClick(step, Qt::Key_Return);
    EXPECT_EQ(w->lamp().Channel[0].Step, 200);
    EXPECT_EQ(cell(w, 1, 3), "200");

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // closed editors go
    clickCell(w, 1, 3);
    step = child<QLineEdit>(w, "txtEdit");
    step->selectAll();
    QTest::keyClicks(step, "300");
    EXPECT_EQ(step->text(), "300");
    sendFocus(step);
    EXPECT_FALSE(step->isVisible());
    EXPECT_EQ(w->lamp().Channel[0].Step, 200) << "a step above 255 is not taken";

    // A stored palette the list does not offer opens with nothing chosen and stays as stored.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    clickCell(w, 2, 2);
    auto* palette = child<QComboBox>(w, "cmbEdit");
    EXPECT_EQ(palette->currentIndex(), -1);
    EXPECT_EQ(cell(w, 2, 2), "Max") << "shown by its name";
    sendFocus(palette);
    EXPECT_FALSE(palette->isVisible());
    EXPECT_EQ(w->lamp().Channel[1].Palette, 8);
}

TEST_F(LampWindow, WheelAndIconEditsByTheUserMarkTheLampChanged)
{
    rig::Lamp lamp = fileLamp({PanCoarse, PanFine, Gobo1, Dimmer});
    lamp.Icon = 3;
    frmDocument* w = window("wheels.lmp", lamp);
    auto* icon = child<QComboBox>(w, "cmbIcon");
    EXPECT_EQ(icon->currentText(), QStringLiteral("Scan 2"));
    icon->setCurrentIndex(3);
    sendFocus(icon);
    EXPECT_EQ(w->lamp().Icon, 4);
    EXPECT_TRUE(w->changed());

    // A typed wheel name too, cut to its 12 bytes.
    w = window("wheels.lmp", lamp);
    QTest::keyClicks(child(w, "txtWheel2"), QStringLiteral("Fifteen chars!!"));
    EXPECT_EQ(w->lamp().Wheel[2].WheelName.str(), "Fifteen char");
    EXPECT_TRUE(w->changed());
}

TEST_F(LampWindow, SaveAsMovesTheLampToTheNewFileOnlyWhenItSucceeds)
{
    const QString existing = saveLamp("existing.lmp", fileLamp({Zoom}));
    frmDocument* w = window("orig.lmp", fileLamp({PanCoarse}));
    const Bytes before = readAll(existing), origBefore = readAll(path("orig.lmp"));
    child(w, "txtLampName")->setText(QStringLiteral("Edited"));
    // A bare name gets the extension that Open looks for.
    fake.fileAnswers = {existing, path("copy")};
    fake.answers = {ui::Answer::No};
    w->File_Save_As();
    ASSERT_EQ(fake.messages.size(), 1U);
    expectMessage(fake.messages[0], "File " + existing + " exists\r\nDo you wish to overwrite it?",
                  QStringLiteral("Lamp file exists"), Icon::Question, ui::Buttons::YesNo);
    EXPECT_EQ(readAll(existing), before);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("orig.lmp"));
    EXPECT_TRUE(w->changed());

    w->File_Save_As();
    EXPECT_FALSE(w->changed());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("copy.lmp"));
    EXPECT_EQ(w->filePath(), path("copy.lmp"));
    // The next Save writes the copy, not the file the lamp came from.
    child(w, "txtLampName")->setText(QStringLiteral("Again"));
    w->File_Save();
    EXPECT_EQ(readAll(path("orig.lmp")), origBefore);
    EXPECT_EQ(rig::readLampFile(toPath(path("copy.lmp"))).LampName.str(), "Again           ");
    EXPECT_FALSE(QFile::exists(path("copy")));

    // Only the successful save decides where the next one starts.
    fake.fileAnswers = {std::nullopt};
    w->File_Save_As();
    ASSERT_EQ(fake.fileCalls.size(), 3U);
    EXPECT_EQ(fake.fileCalls[1].request.directory, QString());
    EXPECT_EQ(fake.fileCalls[2].request.directory, dir.path());
    EXPECT_EQ(fake.fileCalls[2].request.fileName, QStringLiteral("Again.lmp"));
}

TEST_F(LampWindow, VerifyReportsEachFindingThenTheOutcome)
{
    frmDocument* w = window();
    child<QPushButton>(w, "btnVerify")->click();
    ASSERT_EQ(fake.messages.size(), 5U);
    expectMessage(fake.messages[0], "Warning: No dimmer channel assignment", "Verify Warning", Icon::Information);
    expectMessage(fake.messages[3], "Warning: Channel 1 has palette set to None", "Verify Warning",
                  Icon::Information);
    expectMessage(fake.messages[4], "Lamp Check Complete", "Rigsmith Verify", Icon::Information);

    // An error ends the run without the completion message, and nothing is changed.
    fake.messages.clear();
    const rig::Lamp lamp = fileLamp({PanCoarse, Zoom, 0, 0, Zoom});
    w = window("zoom.lmp", lamp);
    child<QPushButton>(w, "btnVerify")->click();
    ASSERT_EQ(fake.messages.size(), 1U);
    expectMessage(fake.messages[0], "Error: Duplicate function on channels 2 and 5", "Verify Error", Icon::Critical);
    EXPECT_FALSE(w->changed());
    EXPECT_EQ(w->lamp(), lamp);
}

// Edits that reach the lamp other than through the window's own controls (an undo, a
// paste) show in the window just the same, and leave the lamp unsaved.
TEST_F(LampWindow, EditsMadeOnTheModelShowInEveryControl)
{
    frmDocument* w = window("spot.lmp", fileLamp({PanCoarse, Gobo1, Dimmer}));
    auto* model = qobject_cast<LampModel*>(grid(w)->model());
    ASSERT_NE(model, nullptr);

    model->setName(QStringLiteral("Wash"));
    EXPECT_EQ(child(w, "txtLampName")->text(), QStringLiteral("Wash"));
    EXPECT_EQ(w->lamp().LampName.str(), "Wash            ") << "the box's refresh is no second edit";
    EXPECT_TRUE(w->changed());

    model->setChannelCount(5);
    EXPECT_EQ(child(w, "txtNoChannels")->text(), QStringLiteral("5"));
    EXPECT_EQ(rows(w), 5);
    EXPECT_EQ(cell(w, 5, 3), "1") << "a new channel's zero step became 1";

    model->setChannelCell(3, LampModel::FunctionColumn, Zoom);
    EXPECT_EQ(cell(w, 4, 1), "Zoom");
    EXPECT_EQ(itemsOf(child<QComboBox>(w, "cmbWheel0")), (QStringList{"None", "Gobo 1", "Zoom"}));

    model->setWheelFunction(1, Zoom);
    model->setWheelName(1, QStringLiteral("Focus"));
    model->setWheelName(4, QStringLiteral("Not shown"));
    model->setIcon(2);
    EXPECT_EQ(child<QComboBox>(w, "cmbWheel1")->currentText(), QStringLiteral("Zoom"));
    EXPECT_EQ(child(w, "txtWheel1")->text(), QStringLiteral("Focus       "));
    EXPECT_EQ(child(w, "txtWheel0")->text(), QString()) << "slot 4 is on the second page";
    EXPECT_EQ(child<QComboBox>(w, "cmbIcon")->currentText(), QStringLiteral("Scan 1"));
    child<QPushButton>(w, "Command1")->click();
    EXPECT_EQ(child(w, "txtWheel0")->text(), QStringLiteral("Not shown   "));
}

}  // namespace
