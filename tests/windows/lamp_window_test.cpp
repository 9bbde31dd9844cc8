#include "window_helpers.h"

#include "lamp/frmDocument.h"
#include "shell/common_dialog.h"
#include "shell/file_io.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QPointer>
#include <QTableWidget>

namespace {

using ui::Icon;

constexpr int PanCoarse = 1, PanFine = 2, Gobo1 = 13, Zoom = 18, Dimmer = 21;

void sendFocus(QWidget* widget, QEvent::Type type = QEvent::FocusOut)
{
    QFocusEvent event(type, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(widget, &event);
}

void expectMessage(const FakeUi::Message& m, const QString& text, const QString& title, Icon icon,
                   ui::Buttons buttons = ui::Buttons::Ok)
{
    EXPECT_EQ(m.text, text);
    EXPECT_EQ(m.title, title);
    EXPECT_EQ(m.icon, icon);
    EXPECT_EQ(m.buttons, buttons);
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
        auto* w = new frmDocument(state, dialog);
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
    static QTableWidget* grid(frmDocument* w) { return child<QTableWidget>(w, "grdChannels"); }
    // Row and column as the user counts them: channel rows from 1, columns 1 to 3.
    static void clickCell(frmDocument* w, int row, int column)
    {
        const QRect cell = grid(w)->visualRect(grid(w)->model()->index(row - 1, column - 1));
        QTest::mouseClick(grid(w)->viewport(), Qt::LeftButton, {}, cell.center());
    }
    static QString cell(frmDocument* w, int row, int column)
    {
        const QTableWidgetItem* item = grid(w)->item(row - 1, column - 1);
        return item ? item->text() : QStringLiteral("<no item>");
    }

    FakeUi fake;
    rig::AppState state;
    CommonDialog dialog;
    QTemporaryDir dir;
    QList<QPointer<frmDocument>> windows;
};

TEST_F(LampWindow, NewLampShowsOneChannelAndIsSavedOnClose)
{
    frmDocument* w = window();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("New Lamp"));
    EXPECT_EQ(child(w, "txtLampName")->text(), QStringLiteral("New Lamp"));
    EXPECT_EQ(child(w, "txtNoChannels")->text(), QStringLiteral("1"));
    ASSERT_EQ(grid(w)->rowCount(), 1);
    EXPECT_EQ(grid(w)->verticalHeaderItem(0)->text(), QStringLiteral("Channel 1"));
    EXPECT_EQ(QStringList({cell(w, 1, 1), cell(w, 1, 2), cell(w, 1, 3)}), (QStringList{"None", "None", "1"}));
    EXPECT_EQ(itemsOf(child<QComboBox>(w, "cmbWheel3")), QStringList{"None"});

    // Yes saves first; a save that is cancelled or refused keeps the window and its edits.
    const QString locked = saveLamp("locked.lmp", fileLamp({0}));
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner));
    fake.answers = {ui::Answer::Cancel, ui::Answer::Yes, ui::Answer::Yes, ui::Answer::Yes, ui::Answer::Yes};
    fake.fileAnswers = {std::nullopt, locked, path("New Lamp.lmp")};
    EXPECT_FALSE(w->close());
    expectMessage(fake.messages.at(0),
                  QStringLiteral("You have made changes to this lamp\r\nDo you wish to save before closing?"),
                  QStringLiteral("Close Window"), Icon::Question, ui::Buttons::YesNoCancel);
    EXPECT_FALSE(w->close()) << "cancelled Save As";
    EXPECT_FALSE(w->close()) << "write refused";
    expectMessage(fake.messages.back(), QStringLiteral("The disk that you are saving to is write protected"),
                  QStringLiteral("Tarsen Rigsmith"), Icon::Critical);
    EXPECT_TRUE(w->close());
    ASSERT_EQ(fake.fileCalls.size(), 3U);
    EXPECT_TRUE(fake.fileCalls[0].save);
    EXPECT_EQ(fake.fileCalls[0].request.fileName, QStringLiteral("New Lamp.lmp"));
    EXPECT_EQ(fake.fileCalls[0].request.filter, QStringLiteral("Lamps (*.lmp)|*.lmp"));
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

    // An editor still open is committed before the question and the save.
    w = window("spot.lmp", original);
    clickCell(w, 1, 1);
    child<QComboBox>(w, "cmbEdit")->setCurrentIndex(Zoom);
    fake.answers = {ui::Answer::Yes};
    EXPECT_TRUE(w->close());
    EXPECT_EQ(rig::readLampFile(toPath(path("spot.lmp"))).Channel[0].Function, Zoom);
}

TEST_F(LampWindow, CountBoxKeepsTheCountWithinOneToThirtySix)
{
    struct Case { const char *pasted; int count; const char *shown, *selected; };
    for (const Case& c : {Case{"40", 36, "36", "36"}, Case{"12abc", 12, "12abc", ""}, Case{"3.6", 4, "3.6", ""},
                          Case{"abc", 1, "1", "1"}, Case{"0", 1, "1", "1"}}) {
        fake.messages.clear();
        frmDocument* w = window();
        QLineEdit* box = child(w, "txtNoChannels");
        box->setText(QString::fromLatin1(c.pasted));
        EXPECT_EQ(w->lamp().NumberChannel, c.count) << c.pasted;
        EXPECT_EQ(w->lamp().NumberChannelCopy, c.count) << c.pasted;
        EXPECT_EQ(w->lamp().Channel[static_cast<std::size_t>(c.count - 1)].Step, 1) << c.pasted;
        EXPECT_EQ(grid(w)->rowCount(), c.count) << c.pasted;
        EXPECT_EQ(box->text(), QString::fromLatin1(c.shown)) << c.pasted;
        EXPECT_EQ(box->selectedText(), QString::fromLatin1(c.selected)) << c.pasted;
        ASSERT_EQ(fake.messages.size(), c.count == 36 ? 1U : 0U) << c.pasted;
        if (c.count == 36)
            expectMessage(fake.messages[0],
                          QStringLiteral("This version of Dornick software supports lamps with between 1 and 36 channels"),
                          QStringLiteral("Change number of channels"), Icon::Exclamation);
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
    ASSERT_EQ(grid(w)->rowCount(), 12);
    EXPECT_TRUE(w->changed());
    EXPECT_EQ(w->lamp(), lamp) << "channels 5 to 12 are back as they were";
    EXPECT_EQ(QStringList({cell(w, 5, 1), cell(w, 12, 2), cell(w, 8, 3)}), (QStringList{"Gobo 1", "Position", "8"}));
}

TEST_F(LampWindow, PickedFunctionReachesTheWheelListsOnEveryCommitPath)
{
    for (int leave = 0; leave < 3; ++leave) {  // another cell; the editor loses, the grid gets the focus
        frmDocument* w = window("four.lmp", fileLamp({PanCoarse, 0, 0, Dimmer}));
        clickCell(w, 3, 1);
        auto* editor = child<QComboBox>(w, "cmbEdit");
        ASSERT_TRUE(editor->isVisible());
        editor->setCurrentIndex(PanFine);
        EXPECT_EQ(w->lamp().Channel[2].Function, 0) << "nothing is stored before the cell is left";
        if (leave == 0)
            grid(w)->setCurrentCell(0, 0);
        else
            sendFocus(leave == 1 ? static_cast<QWidget*>(editor) : grid(w),
                      leave == 1 ? QEvent::FocusOut : QEvent::FocusIn);
        EXPECT_FALSE(editor->isVisible()) << leave;
        EXPECT_EQ(w->lamp().Channel[2].Function, PanFine) << leave;
        EXPECT_EQ(cell(w, 3, 1), QStringLiteral("Pan Fine")) << leave;
        EXPECT_TRUE(w->changed()) << leave;
        EXPECT_EQ(itemsOf(child<QComboBox>(w, "cmbWheel2")), (QStringList{"None", "Pan Fine"})) << leave;
    }
}

TEST_F(LampWindow, GridEditorsStoreOnlyWhatWasPickedOrValid)
{
    // Codes the editors do not offer are kept when nothing is picked.
    rig::Lamp lamp = fileLamp({PanCoarse, 0});
    lamp.Channel[0].Palette = 7;
    lamp.Channel[1].Function = 60;
    frmDocument* w = window("odd.lmp", lamp);
    EXPECT_EQ(cell(w, 1, 2), QStringLiteral("Aux2"));
    auto* list = child<QComboBox>(w, "cmbEdit");
    for (const auto& [row, column] : {std::pair{1, 2}, std::pair{2, 1}}) {
        clickCell(w, row, column);
        EXPECT_EQ(list->currentIndex(), -1);
        sendFocus(list);
    }
    EXPECT_EQ(w->lamp(), lamp);
    EXPECT_FALSE(w->changed());

    // A typed key opens the step editor (committing the palette picked before) but is not typed into it.
    clickCell(w, 2, 2);
    list->setCurrentIndex(4);
    grid(w)->setCurrentCell(1, 2);
    QTest::keyClick(grid(w), Qt::Key_7);
    EXPECT_EQ(w->lamp().Channel[1].Palette, 4);
    EXPECT_EQ(cell(w, 2, 2), QStringLiteral("Intensity"));
    QLineEdit* step = child(w, "txtEdit");
    ASSERT_TRUE(step->isVisible());
    EXPECT_EQ(step->selectedText(), QStringLiteral("2"));
    // Anything but a whole number from 0 to 255 keeps the old step.
    for (const auto& [text, stored] : {std::pair{"255", 255}, std::pair{"256", 255}, std::pair{"-1", 255},
                                       std::pair{"1.5", 255}, std::pair{"abc", 255}, std::pair{" 0 ", 0}}) {
        clickCell(w, 2, 3);
        step->setText(QString::fromLatin1(text));
        sendFocus(step);
        EXPECT_FALSE(step->isVisible()) << text;
        EXPECT_EQ(w->lamp().Channel[1].Step, stored) << text;
        EXPECT_EQ(cell(w, 2, 3), QString::number(stored)) << text;
    }
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

    // A typed wheel name too; a function picked on page 2 lands in slot 6 and leaves slot 2's name.
    w = window("wheels.lmp", lamp);
    QTest::keyClicks(child(w, "txtWheel2"), QStringLiteral("Fifteen chars!!"));
    EXPECT_EQ(w->lamp().Wheel[2].WheelName.str(), "Fifteen char");
    EXPECT_TRUE(w->changed());
    auto* third = child<QComboBox>(w, "cmbWheel2");
    EXPECT_EQ(itemsOf(third), (QStringList{"None", "Pan Fine", "Gobo 1"}));
    child<QPushButton>(w, "Command1")->click();
    third->setCurrentIndex(2);
    sendFocus(third);
    EXPECT_EQ(w->lamp().WheelFunction[6], Gobo1);
    EXPECT_EQ(w->lamp().Wheel[2].WheelName.str(), "Fifteen char");
}

TEST_F(LampWindow, SaveAsMovesTheLampToTheNewFileOnlyWhenItSucceeds)
{
    const QString existing = saveLamp("existing.lmp", fileLamp({Zoom}));
    frmDocument* w = window("orig.lmp", fileLamp({PanCoarse}));
    const Bytes before = readAll(existing), origBefore = readAll(path("orig.lmp"));
    child(w, "txtLampName")->setText(QStringLiteral("Edited"));
    fake.fileAnswers = {existing, QString(), std::nullopt, path("copy.lmp")};
    fake.answers = {ui::Answer::No};
    w->File_Save_As();  // exists: No
    w->File_Save_As();  // empty name
    w->File_Save_As();  // cancelled: silent
    ASSERT_EQ(fake.messages.size(), 2U);
    expectMessage(fake.messages[0], "File " + existing + " exists\r\nDo you wish to overwrite it?",
                  QStringLiteral("Lamp file exists"), Icon::Question, ui::Buttons::YesNo);
    expectMessage(fake.messages[1], QStringLiteral("No filename specified"), QStringLiteral("Save Lamp as"),
                  Icon::Critical);
    EXPECT_EQ(readAll(existing), before);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("orig.lmp"));
    EXPECT_TRUE(w->changed());

    w->File_Save_As();
    EXPECT_FALSE(w->changed());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("copy.lmp"));
    EXPECT_EQ(w->filePath(), path("copy.lmp"));
    // The next Save writes the copy. The name is stored as 16 Windows-1252 bytes, '?' for others.
    child(w, "txtLampName")->setText(QString::fromUtf8("Caf\u00e9 \u20ac \u4e2d and more"));
    w->File_Save();
    EXPECT_EQ(readAll(path("orig.lmp")), origBefore);
    const Bytes copy = readAll(path("copy.lmp"));
    ASSERT_EQ(copy.size(), 1622U);
    EXPECT_EQ(std::string(copy.begin() + 2, copy.begin() + 18), "Caf\xe9 \x80 ? and mor");
    EXPECT_EQ(copy[1366 + 5], 0xA5);
}

TEST_F(LampWindow, VerifyShowsWarningsThenCompletionOrTheError)
{
    QTest::mouseClick(child<QPushButton>(window(), "btnVerify"), Qt::LeftButton);
    window("zoom.lmp", fileLamp({0, Zoom, 0, 0, Zoom}))->verifyLamp();
    ASSERT_EQ(fake.messages.size(), 6U);
    expectMessage(fake.messages[0], QStringLiteral("Warning: No dimmer channel assignment"),
                  QStringLiteral("Verify Warning"), Icon::Information);
    expectMessage(fake.messages[4], QStringLiteral("Lamp Check Complete"), QStringLiteral("Rigsmith Verify"),
                  Icon::Information);
    expectMessage(fake.messages[5], QStringLiteral("Error: Duplicate function on channels 2 and 5"),
                  QStringLiteral("Verify Error"), Icon::Critical);
}

}  // namespace
