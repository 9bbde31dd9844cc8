#include "lamp/frmDocument.h"
#include "lamp/lamp.h"
#include "shell/app_state.h"
#include "shell/common_dialog.h"
#include "shell/file_io.h"
#include "ui/twips.h"

#include "fake_ui.h"

#include <QComboBox>
#include <QFile>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using ui::Buttons;
using ui::Icon;

constexpr int PanCoarse = 1, PanFine = 2, Gobo1 = 13, Zoom = 18, Dimmer = 21;

Bytes readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    return Bytes(data.begin(), data.end());
}

void sendFocus(QWidget* widget, QEvent::Type type)
{
    QFocusEvent event(type, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(widget, &event);
}

void expectMessage(const FakeUi::Message& m, const QString& text, const QString& title, Icon icon,
                   Buttons buttons = Buttons::Ok)
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
rig::Lamp fileLamp(const char* name, std::initializer_list<int> functions)
{
    rig::Lamp lamp = rig::newLamp();
    lamp.LampName.assign(name);
    lamp.NumberChannel = static_cast<std::uint8_t>(functions.size());
    lamp.NumberChannelCopy = lamp.NumberChannel;
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
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void TearDown() override
    {
        for (const QPointer<frmDocument>& window : windows)
            delete window.data();  // no close: the question is not part of the case
    }

    frmDocument* create()
    {
        auto* window = new frmDocument(state, dialog);
        windows.emplace_back(window);
        return window;
    }

    frmDocument* show(frmDocument* window)
    {
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        return window;
    }

    frmDocument* newWindow()
    {
        frmDocument* window = create();
        window->File_New();
        return show(window);
    }

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QString saveLamp(const char* name, const rig::Lamp& lamp)
    {
        const QString file = path(name);
        rig::writeLampFile(QFile::encodeName(file).toStdString(), lamp);
        return file;
    }

    frmDocument* openWindow(const char* name, const rig::Lamp& lamp)
    {
        const QString file = saveLamp(name, lamp);
        frmDocument* window = create();
        window->File_Open(file, QString::fromLatin1(name));
        return show(window);
    }

    template <typename T>
    static T* child(frmDocument* window, const QString& name)
    {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    static QTableWidget* grid(frmDocument* w) { return child<QTableWidget>(w, QStringLiteral("grdChannels")); }

    static void setCount(frmDocument* window, const QString& text)
    {
        auto* box = child<QLineEdit>(window, QStringLiteral("txtNoChannels"));
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    // Clicks grid cell (row, column), counted as the user sees them (channel rows from 1,
    // columns 1 to 3), so that its editor opens.
    static void clickCell(frmDocument* window, int row, int column)
    {
        QTableWidget* g = grid(window);
        const QRect cell = g->visualRect(g->model()->index(row - 1, column - 1));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell.center());
    }

    static QString cellText(frmDocument* window, int row, int column)
    {
        const QTableWidgetItem* item = grid(window)->item(row - 1, column - 1);
        return item ? item->text() : QStringLiteral("<no item>");
    }

    FakeUi fake;
    rig::AppState state;
    CommonDialog dialog;
    QTemporaryDir dir;
    std::vector<QPointer<frmDocument>> windows;
};

// ---- a new window and closing ---------------------------------------------------------

TEST_F(LampWindow, NewLampShowsOneChannelAndAsksBeforeClosing)
{
    frmDocument* w = newWindow();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("New Lamp"));
    EXPECT_EQ(child<QLineEdit>(w, QStringLiteral("txtLampName"))->text(), QStringLiteral("New Lamp"));
    EXPECT_EQ(child<QLineEdit>(w, QStringLiteral("txtNoChannels"))->text(), QStringLiteral("1"));
    QTableWidget* g = grid(w);
    ASSERT_EQ(g->rowCount(), 1);
    EXPECT_EQ(g->verticalHeaderItem(0)->text(), QStringLiteral("Channel 1"));
    EXPECT_EQ(g->horizontalHeaderItem(0)->text(), QStringLiteral("Function (Gang)"));
    EXPECT_EQ(cellText(w, 1, 1), QStringLiteral("None"));
    EXPECT_EQ(cellText(w, 1, 2), QStringLiteral("None"));
    EXPECT_EQ(cellText(w, 1, 3), QStringLiteral("1"));
    EXPECT_EQ(child<QLabel>(w, QStringLiteral("lblPage"))->text(), QStringLiteral("Page: 1 of 8"));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(itemsOf(child<QComboBox>(w, QStringLiteral("cmbWheel%1").arg(i))), QStringList{"None"});
        EXPECT_EQ(child<QLineEdit>(w, QStringLiteral("txtWheel%1").arg(i))->text(), QString());
    }
    EXPECT_EQ(child<QComboBox>(w, QStringLiteral("cmbIcon"))->currentText(), QStringLiteral("Scroller"));
    EXPECT_TRUE(w->changed());

    fake.answers = {ui::Answer::Cancel};
    EXPECT_FALSE(w->close());
    ASSERT_EQ(fake.messages.size(), 1U);
    expectMessage(fake.messages[0],
                  QStringLiteral("You have made changes to this lamp\r\nDo you wish to save before closing?"),
                  QStringLiteral("Close Window"), Icon::Question, Buttons::YesNoCancel);

    fake.answers = {ui::Answer::No};
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(fake.fileCalls.empty());
}

TEST_F(LampWindow, OpenedLampClosesWithoutAskingAndKeepsEveryByte)
{
    // Six channels matches the count box's first text, so the count procedure does not run.
    for (rig::Lamp original : {fileLamp("Spot", {PanCoarse, PanFine, Gobo1, Dimmer}),
                               fileLamp("Wash", {0, 0, 0, 0, 0, 0})}) {
        // Named slots between never-filled ones: each page turn changes the boxes' texts.
        original.Wheel[1].WheelName.assign("Red");
        original.Wheel[30].WheelName.assign("Blue");
        frmDocument* w = openWindow("spot.lmp", original);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("spot.lmp"));
        EXPECT_EQ(w->filePath(), path("spot.lmp"));
        EXPECT_FALSE(w->changed());
        EXPECT_EQ(w->lamp(), original);
        // Turning the wheel pages is the window's own doing, not an edit.
        for (int i = 0; i < 8; ++i)
            child<QPushButton>(w, QStringLiteral("Command1"))->click();
        EXPECT_FALSE(w->changed());
        EXPECT_EQ(w->lamp(), original);
        EXPECT_TRUE(w->close());
    }
    EXPECT_TRUE(fake.messages.empty());
}

// ---- channel count and name -----------------------------------------------------------

TEST_F(LampWindow, CountAboveThirtySixIsRefusedWithAWarning)
{
    frmDocument* w = newWindow();
    setCount(w, QStringLiteral("40"));
    ASSERT_EQ(fake.messages.size(), 1U);
    expectMessage(fake.messages[0],
                  QStringLiteral("This version of Dornick software supports lamps with between 1 and 36 channels"),
                  QStringLiteral("Change number of channels"), Icon::Exclamation);
    auto* box = child<QLineEdit>(w, QStringLiteral("txtNoChannels"));
    EXPECT_EQ(box->text(), QStringLiteral("36"));
    EXPECT_EQ(box->selectedText(), QStringLiteral("36"));
    EXPECT_EQ(grid(w)->rowCount(), 36);
    EXPECT_EQ(grid(w)->verticalHeaderItem(35)->text(), QStringLiteral("Channel 36"));
    EXPECT_EQ(w->lamp().NumberChannel, 36);
    EXPECT_EQ(w->lamp().NumberChannelCopy, 36);
    EXPECT_EQ(w->lamp().Channel[35].Step, 1);
}

TEST_F(LampWindow, CountTextsAreReadByTheirLeadingNumber)
{
    struct Case {
        const char* typed;
        int count;
        const char* shown;
        const char* selected;
    };
    const Case cases[] = {{"12abc", 12, "12abc", ""}, {"3.6", 4, "3.6", ""},  {"abc", 1, "1", "1"},
                          {"0", 1, "1", "1"},         {"-5", 1, "1", "1"},    {" 7", 7, " 7", ""}};
    for (const Case& c : cases) {
        frmDocument* w = newWindow();
        auto* box = child<QLineEdit>(w, QStringLiteral("txtNoChannels"));
        box->setText(QString::fromLatin1(c.typed));  // pasted whole
        EXPECT_EQ(w->lamp().NumberChannel, c.count) << c.typed;
        EXPECT_EQ(grid(w)->rowCount(), c.count) << c.typed;
        EXPECT_EQ(box->text(), QString::fromLatin1(c.shown)) << c.typed;
        EXPECT_EQ(box->selectedText(), QString::fromLatin1(c.selected)) << c.typed;
    }
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(LampWindow, LoweringAndRaisingTheCountKeepsTheDroppedChannels)
{
    // Twelve channels of data of which the file uses six; steps of 0 become 1 once in use.
    rig::Lamp lamp = fileLamp("Twelve", {1, 2, 4, 5, 13, 14, 7, 8, 17, 18, 19, 21});
    lamp.NumberChannel = lamp.NumberChannelCopy = 6;
    lamp.Channel[3].Step = 0;
    lamp.Channel[9].Step = 0;
    frmDocument* w = openWindow("twelve.lmp", lamp);
    EXPECT_EQ(w->lamp(), lamp) << "six channels: opening runs no count procedure";
    setCount(w, QStringLiteral("4"));
    EXPECT_EQ(grid(w)->rowCount(), 4);
    EXPECT_EQ(w->lamp().Channel[3].Step, 1);
    EXPECT_EQ(w->lamp().Channel[9].Step, 0);
    EXPECT_TRUE(w->changed());
    setCount(w, QStringLiteral("12"));
    ASSERT_EQ(grid(w)->rowCount(), 12);
    for (int row = 5; row <= 12; ++row) {
        const rig::LampChannel& channel = w->lamp().Channel[static_cast<std::size_t>(row - 1)];
        EXPECT_EQ(channel.Function, lamp.Channel[static_cast<std::size_t>(row - 1)].Function) << row;
        EXPECT_EQ(channel.Palette, 1) << row;
        EXPECT_EQ(cellText(w, row, 2), QStringLiteral("Position")) << row;
    }
    EXPECT_EQ(cellText(w, 5, 1), QStringLiteral("Gobo 1"));
    EXPECT_EQ(cellText(w, 12, 1), QStringLiteral("Dimmer"));
    EXPECT_EQ(cellText(w, 8, 3), QStringLiteral("8"));
    EXPECT_EQ(w->lamp().Channel[9].Step, 1);
    EXPECT_EQ(cellText(w, 10, 3), QStringLiteral("1"));
}

TEST_F(LampWindow, LampFileWithACountOutsideTheRangeOpensClamped)
{
    rig::Lamp tooMany = fileLamp("Big", {PanCoarse});
    tooMany.NumberChannel = 200;
    frmDocument* big = openWindow("big.lmp", tooMany);
    ASSERT_EQ(fake.messages.size(), 1U);
    EXPECT_EQ(fake.messages[0].title, QStringLiteral("Change number of channels"));
    EXPECT_EQ(big->lamp().NumberChannel, 36);
    EXPECT_EQ(grid(big)->rowCount(), 36);

    rig::Lamp none = fileLamp("Empty", {PanCoarse});
    none.NumberChannel = 0;
    frmDocument* empty = openWindow("empty.lmp", none);
    EXPECT_EQ(fake.messages.size(), 1U);
    EXPECT_EQ(empty->lamp().NumberChannel, 1);
    EXPECT_EQ(grid(empty)->rowCount(), 1);
}

TEST_F(LampWindow, NameIsStoredAsSixteenWindows1252Bytes)
{
    frmDocument* w = openWindow("n.lmp", fileLamp("Name", {0}));
    auto* name = child<QLineEdit>(w, QStringLiteral("txtLampName"));
    EXPECT_EQ(name->text(), QStringLiteral("Name"));
    name->setText(QStringLiteral("Twenty characters!!!"));
    EXPECT_EQ(w->lamp().LampName.str(), "Twenty character");
    EXPECT_TRUE(w->changed());
    name->setText(QString::fromUtf8("Caf\u00e9 \u20ac \u4e2d"));  // the last one has no Windows-1252 byte
    EXPECT_EQ(w->lamp().LampName.str(), std::string("Caf\xe9 \x80 ?") + std::string(8, ' '));
}

// ---- grid editing ----------------------------------------------------------------------

TEST_F(LampWindow, PickedFunctionReachesTheWheelListsOnEveryCommitPath)
{
    enum class Leave { OtherCell, EditorLosesFocus, GridGetsFocus };
    for (Leave leave : {Leave::OtherCell, Leave::EditorLosesFocus, Leave::GridGetsFocus}) {
        frmDocument* w = openWindow("four.lmp", fileLamp("Four", {PanCoarse, 0, 0, Dimmer}));
        clickCell(w, 3, 1);
        auto* editor = child<QComboBox>(w, QStringLiteral("cmbEdit"));
        ASSERT_TRUE(editor->isVisible());
        ASSERT_EQ(editor->count(), 48);
        EXPECT_EQ(editor->itemText(43), QStringLiteral("Lens"));
        EXPECT_EQ(editor->itemText(47), QString());
        EXPECT_EQ(editor->currentIndex(), 0);
        editor->setCurrentIndex(PanFine);
        EXPECT_EQ(w->lamp().Channel[2].Function, 0) << "nothing is stored before the cell is left";

        switch (leave) {
        case Leave::OtherCell:
            grid(w)->setCurrentCell(0, 0);
            break;
        case Leave::EditorLosesFocus:
            sendFocus(editor, QEvent::FocusOut);
            break;
        case Leave::GridGetsFocus:
            sendFocus(grid(w), QEvent::FocusIn);
            break;
        }
        EXPECT_FALSE(editor->isVisible());
        EXPECT_EQ(w->lamp().Channel[2].Function, PanFine);
        EXPECT_EQ(cellText(w, 3, 1), QStringLiteral("Pan Fine"));
        EXPECT_TRUE(w->changed());
        EXPECT_EQ(itemsOf(child<QComboBox>(w, QStringLiteral("cmbWheel2"))),
                  (QStringList{"None", "Pan Fine"}));
    }
}

TEST_F(LampWindow, PaletteAndStepEditors)
{
    frmDocument* w = openWindow("two.lmp", fileLamp("Two", {PanCoarse, 0}));
    clickCell(w, 2, 2);
    auto* list = child<QComboBox>(w, QStringLiteral("cmbEdit"));
    EXPECT_EQ(itemsOf(list), (QStringList{"None", "Position", "Beam", "Colour", "Intensity", "Control"}));
    list->setCurrentIndex(4);
    clickCell(w, 2, 3);  // leaving for another cell commits and opens the step editor
    EXPECT_EQ(w->lamp().Channel[1].Palette, 4);
    EXPECT_EQ(cellText(w, 2, 2), QStringLiteral("Intensity"));

    auto* step = child<QLineEdit>(w, QStringLiteral("txtEdit"));
    ASSERT_TRUE(step->isVisible());
    EXPECT_EQ(step->text(), QStringLiteral("2"));
    EXPECT_EQ(step->selectedText(), QStringLiteral("2"));
    struct Entry {
        const char* text;
        int stored;
    };
    for (const Entry& e : {Entry{"255", 255}, Entry{"256", 255}, Entry{"-1", 255}, Entry{"1.5", 255},
                           Entry{"abc", 255}, Entry{" 0 ", 0}}) {
        clickCell(w, 2, 3);
        step->setText(QString::fromLatin1(e.text));
        sendFocus(step, QEvent::FocusOut);
        EXPECT_FALSE(step->isVisible()) << e.text;
        EXPECT_EQ(w->lamp().Channel[1].Step, e.stored) << e.text;
        EXPECT_EQ(cellText(w, 2, 3), QString::number(e.stored)) << e.text;
    }
}

TEST_F(LampWindow, CodeWithoutAnEditorEntryIsKeptWhenNothingIsPicked)
{
    rig::Lamp lamp = fileLamp("Odd", {PanCoarse, 0});
    lamp.Channel[0].Palette = 7;
    lamp.Channel[1].Function = 60;
    frmDocument* w = openWindow("odd.lmp", lamp);
    EXPECT_EQ(cellText(w, 1, 2), QStringLiteral("Aux2"));

    auto* editor = child<QComboBox>(w, QStringLiteral("cmbEdit"));
    clickCell(w, 1, 2);
    EXPECT_EQ(editor->currentIndex(), -1);
    sendFocus(editor, QEvent::FocusOut);
    clickCell(w, 2, 1);
    EXPECT_EQ(editor->currentIndex(), -1);
    sendFocus(editor, QEvent::FocusOut);
    EXPECT_EQ(w->lamp(), lamp);
    EXPECT_FALSE(w->changed());
}

TEST_F(LampWindow, TypingInTheGridOpensTheEditorWithoutTheKey)
{
    frmDocument* w = newWindow();
    grid(w)->setCurrentCell(0, 2);
    QTest::keyClick(grid(w), Qt::Key_7, {}, -1);
    auto* step = child<QLineEdit>(w, QStringLiteral("txtEdit"));
    EXPECT_TRUE(step->isVisible());
    EXPECT_EQ(step->text(), QStringLiteral("1"));
}

// ---- wheels and icon -------------------------------------------------------------------

TEST_F(LampWindow, WheelListsPagesAndPicks)
{
    frmDocument* w = openWindow("wheels.lmp", fileLamp("Wheels", {PanCoarse, PanFine, Gobo1, Dimmer}));
    auto* third = child<QComboBox>(w, QStringLiteral("cmbWheel2"));
    EXPECT_EQ(itemsOf(third), (QStringList{"None", "Pan Fine", "Gobo 1"}));

    auto* next = child<QPushButton>(w, QStringLiteral("Command1"));
    auto* page = child<QLabel>(w, QStringLiteral("lblPage"));
    next->click();
    EXPECT_EQ(page->text(), QStringLiteral("Page: 2 of 8"));
    third->setCurrentIndex(2);
    sendFocus(third, QEvent::FocusOut);
    EXPECT_EQ(w->lamp().WheelFunction[6], Gobo1);
    EXPECT_TRUE(w->changed());

    for (int i = 0; i < 7; ++i)
        next->click();
    EXPECT_EQ(page->text(), QStringLiteral("Page: 1 of 8"));
    EXPECT_EQ(third->currentIndex(), 0);
    next->click();
    EXPECT_EQ(third->currentText(), QStringLiteral("Gobo 1"));
}

TEST_F(LampWindow, WheelNameAndIconEditsMarkTheLampChanged)
{
    rig::Lamp lamp = fileLamp("Icons", {PanCoarse, PanFine});
    lamp.Icon = 3;
    lamp.Wheel[1].WheelName.assign("Red");
    frmDocument* w = openWindow("icons.lmp", lamp);
    auto* icon = child<QComboBox>(w, QStringLiteral("cmbIcon"));
    EXPECT_EQ(icon->currentText(), QStringLiteral("Scan 2"));
    EXPECT_EQ(child<QLineEdit>(w, QStringLiteral("txtWheel1"))->text(), QStringLiteral("Red         "));
    EXPECT_FALSE(w->changed());

    icon->setCurrentIndex(3);
    sendFocus(icon, QEvent::FocusOut);
    EXPECT_EQ(w->lamp().Icon, 4);
    EXPECT_TRUE(w->changed());

    frmDocument* second = openWindow("icons2.lmp", lamp);
    auto* name = child<QLineEdit>(second, QStringLiteral("txtWheel2"));
    QTest::keyClicks(name, QStringLiteral("Fifteen chars!!"));
    EXPECT_EQ(second->lamp().Wheel[2].WheelName.str(), "Fifteen char");
    EXPECT_TRUE(second->changed());
    QTest::mouseClick(name, Qt::LeftButton, {}, QPoint(name->width() - 4, name->height() / 2));
    EXPECT_EQ(name->cursorPosition(), 0);
    EXPECT_FALSE(name->hasSelectedText());
}

// ---- saving ------------------------------------------------------------------------------

TEST_F(LampWindow, SaveOfANewLampWritesTheExpectedImage)
{
    frmDocument* w = newWindow();
    const QString target = path("New Lamp.lmp");
    fake.fileAnswers = {target};
    w->File_Save();
    ASSERT_EQ(fake.fileCalls.size(), 1U);
    EXPECT_TRUE(fake.fileCalls[0].save);
    EXPECT_EQ(fake.fileCalls[0].request.fileName, QStringLiteral("New Lamp.lmp"));
    EXPECT_EQ(fake.fileCalls[0].request.filter, QStringLiteral("Lamps (*.lmp)|*.lmp"));
    EXPECT_FALSE(w->changed());

    Bytes expected(1622, 0x00);
    const Bytes head = {0x01, 0x00, 'N', 'e', 'w', ' ', 'L', 'a', 'm', 'p', ' ', ' ',
                        ' ',  ' ',  ' ', ' ', ' ', ' ', 0x00, 0x01, 0x01};
    std::copy(head.begin(), head.end(), expected.begin());
    expected[795] = 0x01;  // step of channel 1
    EXPECT_EQ(readAll(target), expected);

    // The window now belongs to that file: the next Save writes there without asking.
    EXPECT_EQ(w->windowTitle(), QStringLiteral("New Lamp.lmp"));
    EXPECT_EQ(w->filePath(), target);
    child<QLineEdit>(w, QStringLiteral("txtLampName"))->setText(QStringLiteral("Spot"));
    w->File_Save();
    EXPECT_EQ(fake.fileCalls.size(), 1U);
    EXPECT_EQ(readAll(target)[2], 'S');
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(LampWindow, SaveAsMovesTheWindowToTheNewFile)
{
    const rig::Lamp lamp = fileLamp("Orig", {PanCoarse});
    frmDocument* w = openWindow("orig.lmp", lamp);
    const Bytes before = readAll(path("orig.lmp"));
    child<QLineEdit>(w, QStringLiteral("txtLampName"))->setText(QStringLiteral("Copy"));
    fake.fileAnswers = {path("copy.lmp")};
    w->File_Save_As();
    EXPECT_EQ(fake.fileCalls.at(0).request.fileName, QStringLiteral("Copy.lmp"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("copy.lmp"));
    EXPECT_EQ(w->filePath(), path("copy.lmp"));

    child<QLineEdit>(w, QStringLiteral("txtLampName"))->setText(QStringLiteral("Copy2"));
    w->File_Save();
    EXPECT_EQ(readAll(path("orig.lmp")), before);
    const Bytes copy = readAll(path("copy.lmp"));
    ASSERT_EQ(copy.size(), 1622U);
    EXPECT_EQ(std::string(copy.begin() + 2, copy.begin() + 18), "Copy2           ");
    EXPECT_EQ(copy[1366 + 5], 0xA5);
}

TEST_F(LampWindow, SaveAsRefusalsLeaveFilesAndFlagAlone)
{
    const QString existing = saveLamp("existing.lmp", fileLamp("Other", {Zoom}));
    const Bytes before = readAll(existing);
    frmDocument* w = newWindow();

    fake.fileAnswers = {existing, QString(), std::nullopt};
    fake.answers = {ui::Answer::No};
    w->File_Save_As();  // exists: No
    w->File_Save_As();  // empty name
    w->File_Save_As();  // cancelled: silent
    ASSERT_EQ(fake.messages.size(), 2U);
    expectMessage(fake.messages[0], QStringLiteral("File ") + existing + QStringLiteral(" exists\r\nDo you wish to overwrite it?"),
                  QStringLiteral("Lamp file exists"), Icon::Question, Buttons::YesNo);
    expectMessage(fake.messages[1], QStringLiteral("No filename specified"), QStringLiteral("Save Lamp as"),
                  Icon::Critical);
    EXPECT_EQ(readAll(existing), before);
    EXPECT_TRUE(w->changed());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("New Lamp"));
    EXPECT_TRUE(w->filePath().isEmpty());
}

TEST_F(LampWindow, FailedSavesAreReportedAndKeepTheChanges)
{
    frmDocument* w = openWindow("locked.lmp", fileLamp("Locked", {PanCoarse}));
    const Bytes before = readAll(path("locked.lmp"));
    child<QLineEdit>(w, QStringLiteral("txtLampName"))->setText(QStringLiteral("Edited"));

    ASSERT_TRUE(QFile::setPermissions(path("locked.lmp"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    w->File_Save();
    ASSERT_TRUE(QFile::setPermissions(path("locked.lmp"), QFile::ReadOwner | QFile::WriteOwner));
    rig::testing::failNextWrites(EIO, 1);
    w->File_Save();
    rig::testing::failNextWrites(0, 0);

    ASSERT_EQ(fake.messages.size(), 2U);
    expectMessage(fake.messages[0], QStringLiteral("The disk that you are saving to is write protected"),
                  QStringLiteral("Tarsen Rigsmith"), Icon::Critical);
    expectMessage(fake.messages[1], QStringLiteral("Error 75: Path/File access error"),
                  QStringLiteral("Tarsen Rigsmith"), Icon::Exclamation);
    EXPECT_EQ(readAll(path("locked.lmp")), before);
    EXPECT_TRUE(w->changed());
}

TEST_F(LampWindow, CloseKeepsTheWindowWhenTheSaveDoesNotHappen)
{
    frmDocument* w = newWindow();
    fake.answers = {ui::Answer::Yes};
    fake.fileAnswers = {std::nullopt};
    EXPECT_FALSE(w->close()) << "cancelled Save As";

    const QString locked = saveLamp("locked.lmp", fileLamp("Locked", {0}));
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner));
    fake.answers = {ui::Answer::Yes, ui::Answer::Yes};
    fake.fileAnswers = {locked};
    EXPECT_FALSE(w->close()) << "write refused";
    EXPECT_EQ(fake.messages.back().text, QStringLiteral("The disk that you are saving to is write protected"));
    EXPECT_TRUE(w->changed());

    fake.answers = {ui::Answer::Yes};
    fake.fileAnswers = {path("saved.lmp")};
    EXPECT_TRUE(w->close());
    EXPECT_EQ(readAll(path("saved.lmp")).size(), 1622U);
}

TEST_F(LampWindow, CloseCommitsAnOpenEditorFirst)
{
    frmDocument* w = openWindow("edit.lmp", fileLamp("Edit", {PanCoarse, 0}));
    clickCell(w, 2, 1);
    child<QComboBox>(w, QStringLiteral("cmbEdit"))->setCurrentIndex(Zoom);
    fake.answers = {ui::Answer::Yes};
    EXPECT_TRUE(w->close());
    EXPECT_EQ(rig::readLampFile(QFile::encodeName(path("edit.lmp")).toStdString()).Channel[1].Function, Zoom);
}

// ---- verification and layout ---------------------------------------------------------

TEST_F(LampWindow, VerifyShowsItsFindingsInOrder)
{
    frmDocument* fresh = newWindow();
    QTest::mouseClick(child<QPushButton>(fresh, QStringLiteral("btnVerify")), Qt::LeftButton);
    ASSERT_EQ(fake.messages.size(), 5U);
    expectMessage(fake.messages[0], QStringLiteral("Warning: No dimmer channel assignment"),
                  QStringLiteral("Verify Warning"), Icon::Information);
    EXPECT_EQ(fake.messages[3].text, QStringLiteral("Warning: Channel 1 has palette set to None"));
    expectMessage(fake.messages[4], QStringLiteral("Lamp Check Complete"), QStringLiteral("Rigsmith Verify"),
                  Icon::Information);

    fake.messages.clear();
    frmDocument* twin = openWindow("zoom.lmp", fileLamp("Zoom", {0, Zoom, 0, 0, Zoom}));
    twin->verifyLamp();
    ASSERT_EQ(fake.messages.size(), 1U);
    expectMessage(fake.messages[0], QStringLiteral("Error: Duplicate function on channels 2 and 5"),
                  QStringLiteral("Verify Error"), Icon::Critical);
    EXPECT_FALSE(twin->changed());
}

TEST_F(LampWindow, HeightBelowTheMinimumSnapsBack)
{
    frmDocument* w = newWindow();
    const int minimum = ui::twipsToPixels(5400);
    w->resize(w->width(), minimum / 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(w->frameGeometry().height(), minimum);
    const int H = 5400;
    EXPECT_EQ(child<QLineEdit>(w, QStringLiteral("txtWheel1"))->pos(),
              QPoint(ui::twipsToPixels(2040), ui::twipsToPixels(H - 1500)));
    EXPECT_EQ(child<QLabel>(w, QStringLiteral("lblPage"))->pos(),
              QPoint(ui::twipsToPixels(7440), ui::twipsToPixels(H - 900)));
    EXPECT_EQ(grid(w)->height(), ui::twipsToPixels(H - 2800));

    w->resize(w->width(), ui::twipsToPixels(9000));
    QCoreApplication::processEvents();
    const double outer = ui::pixelsToTwips(w->frameGeometry().height());
    EXPECT_EQ(child<QComboBox>(w, QStringLiteral("cmbWheel3"))->pos(),
              QPoint(ui::twipsToPixels(5640), ui::twipsToPixels(outer - 900)));
}

}  // namespace
