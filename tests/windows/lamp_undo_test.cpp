#include "shell_fixture.h"

#include "shell/menu_commands.h"
#include "windows/frmDocument.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QTableView>
#include <QUndoStack>

#include <functional>

namespace {

using shell::standardKeys;

constexpr int PanCoarse = 1, PanFine = 2, Gobo1 = 13, Zoom = 18, Dimmer = 21;

// A lamp as a file holds it, with a named wheel slot and a reserved byte set.
rig::Lamp fileLamp(std::initializer_list<int> functions)
{
    rig::Lamp lamp = rig::test::lampWithFunctions(functions);
    lamp.WheelFunction[0] = PanFine;
    lamp.Wheel[0].WheelName.assign("Fine");
    lamp.ReservedArea2[7] = 0xC3;
    return lamp;
}

// The main window, made active, with lamp windows opened from files.
class LampHistoryTest : public ShellTest {
protected:
    static void type(QLineEdit* box, const QString& text)
    {
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
    // Ctrl+Z or the redo key pressed on `widget`, as the user presses them there.
    static void undoKey(QWidget* widget) { QTest::keyClick(widget, Qt::Key_Z, Qt::ControlModifier); }
    static void redoKey(QWidget* widget)
    {
        QTest::keySequence(widget, standardKeys(QKeySequence::Redo, QKeySequence(QStringLiteral("Ctrl+Shift+Z"))).first());
    }
};

TEST_F(LampHistoryTest, EveryKindOfEditIsOneStepThatUndoAndRedoGiveBackByteForByte)
{
    const rig::Lamp original = fileLamp({PanCoarse, PanFine, Gobo1, Dimmer});
    frmDocument* w = openLamp("spot.lmp", original);
    ASSERT_NE(w, nullptr);
    QUndoStack& stack = w->undoStack();
    EXPECT_EQ(stack.count(), 0) << "opening is no step";

    // Leaving a wheel list or a grid editor without a new choice changes nothing: no step.
    sendFocus(child<QComboBox>(w, "cmbWheel0"));
    clickCell(w, 1, 1);
    sendFocus(channelGrid(w), QEvent::FocusIn);
    EXPECT_EQ(stack.count(), 0);

    const std::vector<std::pair<QString, std::function<void()>>> edits = {
        {"Lamp Name", [&] { type(child(w, "txtLampName"), "Wash"); }},
        {"Icon",
         [&] {
             child<QComboBox>(w, "cmbIcon")->setCurrentIndex(3);
             sendFocus(child<QComboBox>(w, "cmbIcon"));
         }},
        {"Channel Count", [&] { type(child(w, "txtNoChannels"), "2"); }},
        {"Channel Count", [&] { type(child(w, "txtNoChannels"), "4"); }},
        {"Function of Channel 3",
         [&] {
             clickCell(w, 3, 1);
             child<QComboBox>(w, "cmbEdit")->setCurrentIndex(Zoom);
             channelGrid(w)->setCurrentIndex(channelCell(w, 1, 1));
         }},
        {"Palette Type of Channel 1",
         [&] {
             clickCell(w, 1, 2);
             child<QComboBox>(w, "cmbEdit")->setCurrentIndex(4);
             sendFocus(channelGrid(w), QEvent::FocusIn);
         }},
        {"Step of Channel 2",
         [&] {
             clickCell(w, 2, 3);
             type(child(w, "txtEdit"), "99");
         }},
        {"Function of Wheel 2",
         [&] {
             child<QComboBox>(w, "cmbWheel1")->setCurrentIndex(2);  // "None", "Pan Fine", "Zoom"
             sendFocus(child<QComboBox>(w, "cmbWheel1"));
         }},
        {"Name of Wheel 3", [&] { type(child(w, "txtWheel2"), "Red"); }},
    };
    for (const auto& [text, edit] : edits) {
        const Bytes before = imageOf(w->lamp());
        const int steps = stack.count();
        edit();
        const Bytes after = imageOf(w->lamp());
        EXPECT_NE(after, before) << text.toStdString();
        EXPECT_EQ(stack.count(), steps + 1) << text.toStdString();
        EXPECT_EQ(stack.undoText(), text);
        EXPECT_EQ(action("mnuEditUndo")->text(), "&Undo " + text);
        EXPECT_TRUE(w->changed());

        action("mnuEditUndo")->trigger();
        EXPECT_EQ(imageOf(w->lamp()), before) << text.toStdString();
        EXPECT_EQ(action("mnuEditRedo")->text(), "&Redo " + text);
        action("mnuEditRedo")->trigger();
        EXPECT_EQ(imageOf(w->lamp()), after) << text.toStdString();
    }
    EXPECT_EQ(w->lamp().Channel[2].Function, Zoom);
    EXPECT_EQ(w->lamp().WheelFunction[1], Zoom);

    // Taken back to the start, the controls show the lamp as opened, and it is saved.
    while (stack.canUndo())
        stack.undo();
    EXPECT_EQ(imageOf(w->lamp()), imageOf(original));
    EXPECT_FALSE(w->changed());
    EXPECT_FALSE(action("mnuEditUndo")->isEnabled());
    EXPECT_EQ(action("mnuEditUndo")->text(), "&Undo");
    EXPECT_EQ(child(w, "txtLampName")->text(), "Spot");
    EXPECT_EQ(child(w, "txtNoChannels")->text(), "4");
    EXPECT_EQ(channelCell(w, 3, 1).data().toString(), "Gobo 1");
    EXPECT_EQ(child<QComboBox>(w, "cmbIcon")->currentText(), "Scroller");
    EXPECT_EQ(child(w, "txtWheel2")->text(), "");

    // A new edit clears what could be redone.
    stack.redo();
    type(child(w, "txtLampName"), "Beam");
    EXPECT_FALSE(stack.canRedo());
    EXPECT_FALSE(action("mnuEditRedo")->isEnabled());
}

TEST_F(LampHistoryTest, ChannelCountStepsBringBackDroppedChannelsAndRepairedStepsExactly)
{
    rig::Lamp lamp = fileLamp({PanCoarse, PanFine, Gobo1, Zoom, 0, 0, 0, 0, 0, 0, 0, Dimmer});
    lamp.Channel[7].Step = 0;  // in use, as a file may hold it
    lamp.Channel[20].Step = 0;  // beyond the count: raising it repairs the step
    lamp.Channel[20].Function = 30;
    frmDocument* w = openLamp("twelve.lmp", lamp);
    ASSERT_NE(w, nullptr);
    const Bytes opened = imageOf(w->lamp());  // the count procedure on opening made step 8 a 1
    EXPECT_EQ(w->lamp().Channel[7].Step, 1);
    auto* count = child(w, "txtNoChannels");

    type(count, "4");
    ASSERT_EQ(channelGrid(w)->model()->rowCount(), 4);
    w->undoStack().undo();
    EXPECT_EQ(imageOf(w->lamp()), opened);
    EXPECT_EQ(channelGrid(w)->model()->rowCount(), 12);
    EXPECT_EQ(count->text(), "12");
    EXPECT_EQ(channelCell(w, 12, 1).data().toString(), "Dimmer");

    type(count, "24");
    EXPECT_EQ(w->lamp().Channel[20].Step, 1);
    w->undoStack().undo();
    EXPECT_EQ(imageOf(w->lamp()), opened) << "the repaired steps are zero again";
    w->undoStack().redo();
    EXPECT_EQ(w->lamp().NumberChannel, 24);
    EXPECT_EQ(w->lamp().Channel[20].Step, 1);
    EXPECT_EQ(count->text(), "24");
}

TEST_F(LampHistoryTest, TheKeysActOnTheLampWhereverTheFocusIsUnlessABoxHoldsItsOwnTyping)
{
    frmDocument* w = openLamp("spot.lmp", fileLamp({PanCoarse, Dimmer}));
    ASSERT_NE(w, nullptr);
    QUndoStack& stack = w->undoStack();
    auto* name = child(w, "txtLampName");
    auto* count = child(w, "txtNoChannels");
    type(count, "3");
    ASSERT_EQ(stack.count(), 1);

    // Typing, not yet committed: the name box takes it back itself, and with it the step
    // its keystrokes made; then the key reaches the lamp.
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, "Wash");
    EXPECT_EQ(w->lamp().LampName.str(), "Wash            ");
    EXPECT_EQ(stack.count(), 2) << "the keystrokes are one step";
    undoKey(name);
    EXPECT_EQ(name->text(), "Spot");
    EXPECT_EQ(w->lamp().LampName.str(), "Spot            ");
    EXPECT_EQ(stack.count(), 1) << "typing back to where it began leaves no step";
    undoKey(name);
    EXPECT_EQ(w->lamp().NumberChannel, 2) << "the key reached the lamp";
    EXPECT_EQ(count->text(), "2");
    redoKey(name);
    EXPECT_EQ(w->lamp().NumberChannel, 3);

    // Committed typing is the lamp's step: the box keeps no undo of its own.
    type(name, "Beam");
    EXPECT_FALSE(name->isUndoAvailable());
    for (QWidget* focus : {static_cast<QWidget*>(count), static_cast<QWidget*>(channelGrid(w)), static_cast<QWidget*>(name)}) {
        focus->setFocus();
        undoKey(focus);
    }
    EXPECT_EQ(imageOf(w->lamp()), imageOf(fileLamp({PanCoarse, Dimmer})));
    EXPECT_FALSE(w->changed());
    for (int i = 0; i < 2; ++i)
        redoKey(channelGrid(w));
    EXPECT_EQ(w->lamp().LampName.str(), "Beam            ");
    EXPECT_EQ(name->text(), "Beam");
}

TEST_F(LampHistoryTest, UndoingBackToTheSavedLampClosesQuietlyAndPastItAsks)
{
    frmDocument* w = openLamp("spot.lmp", fileLamp({PanCoarse, Dimmer}));
    ASSERT_NE(w, nullptr);
    type(child(w, "txtLampName"), "Saved");
    choose("mnuFileSave");
    const Bytes saved = readBytes(file("spot.lmp"));
    EXPECT_FALSE(w->changed());

    type(child(w, "txtNoChannels"), "5");
    EXPECT_TRUE(w->changed());
    choose("mnuEditUndo");
    EXPECT_FALSE(w->changed()) << "back where it was saved";
    choose("mnuEditUndo");
    EXPECT_TRUE(w->changed()) << "past the save";
    choose("mnuEditRedo");
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_EQ(readBytes(file("spot.lmp")), saved);

    w = openLamp("spot.lmp", rig::readLampFile(toPath(file("spot.lmp"))));
    type(child(w, "txtLampName"), "Other");
    choose("mnuFileSave");
    choose("mnuEditUndo");
    fake.answers = {ui::Answer::Cancel};
    EXPECT_FALSE(w->close());
    ASSERT_EQ(fake.messages.size(), 1U);
    EXPECT_EQ(fake.messages[0].title, "Close Window");

    // A new lamp is in no file: no undo makes it saved.
    choose("mnuFileNewLamp");
    auto* fresh = dynamic_cast<frmDocument*>(main.activeDocument());
    ASSERT_NE(fresh, nullptr);
    type(child(fresh, "txtLampName"), "Fresh");
    fresh->undoStack().undo();
    EXPECT_TRUE(fresh->changed());
    EXPECT_FALSE(fresh->undoStack().canUndo());
}

}  // namespace
