#include "shell_fixture.h"

#include "windows/frmDocument.h"

#include <QClipboard>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTableView>
#include <QUndoStack>

namespace {

constexpr int PanCoarse = 1, PanFine = 2, Gobo1 = 13, Zoom = 18, Dimmer = 21;

rig::Lamp lampWith(std::initializer_list<int> functions)
{
    rig::Lamp lamp = rig::newLamp();
    lamp.LampName.assign("Spot");
    lamp.NumberChannel = lamp.NumberChannelCopy = static_cast<std::uint8_t>(functions.size());
    std::size_t c = 0;
    for (const int function : functions) {
        lamp.Channel[c].Function = static_cast<std::int16_t>(function);
        lamp.Channel[c].Palette = static_cast<std::int16_t>(1 + c % 5);
        lamp.Channel[c].Step = static_cast<std::uint8_t>(10 * (c + 1));
        ++c;
    }
    return lamp;
}

// The active main window; lamp windows opened from files, the clipboard empty at the start.
class LampClipboardTest : public ShellTest {
protected:
    LampClipboardTest() { QGuiApplication::clipboard()->clear(); }

    frmDocument* openLamp(const char* name, const rig::Lamp& lamp)
    {
        rig::writeLampFile(toPath(file(name)), lamp);
        openFile(file(name));
        auto* w = dynamic_cast<frmDocument*>(main.activeDocument());
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void activate(frmDocument* w) { main.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget())); }
    static QTableView* grid(frmDocument* w) { return w->findChild<QTableView*>("grdChannels"); }
    // Channel rows `first` to `last` (from 1) chosen in the grid, which has the focus, and
    // the current cell on the first.
    static void chooseRows(frmDocument* w, int first, int last)
    {
        grid(w)->setFocus();
        QAbstractItemModel* model = grid(w)->model();
        grid(w)->setCurrentIndex(model->index(first - 1, 0));
        grid(w)->selectionModel()->select(QItemSelection(model->index(first - 1, 0), model->index(last - 1, 2)),
                                          QItemSelectionModel::ClearAndSelect);
    }
    static void setRowsOnClipboard(const QByteArray& bytes)
    {
        auto* data = new QMimeData;
        data->setData(frmDocument::rowsMimeType, bytes);
        QGuiApplication::clipboard()->setMimeData(data);
    }
};

TEST_F(LampClipboardTest, RowsCopiedInOneLampWindowPasteIntoAnotherWithTheirWheelSlots)
{
    rig::Lamp source = lampWith({PanCoarse, PanFine, Gobo1, Zoom, Dimmer});
    source.WheelFunction[4] = PanFine;
    source.Wheel[4].WheelName.assign("Fine");
    source.WheelFunction[5] = Gobo1;
    source.Wheel[5].WheelName.assign("Gobos");
    rig::Lamp target = lampWith({Dimmer, 0});
    target.Wheel[0].WheelName.assign("Keep");  // a named slot is not free, even without a function
    target.WheelFunction[1] = Gobo1;           // left over from an earlier function: renamed, reused
    frmDocument* from = openLamp("spot.lmp", source);
    frmDocument* to = openLamp("wash.lmp", target);
    ASSERT_TRUE(from && to);

    activate(from);
    chooseRows(from, 2, 4);
    choose("mnuEditCopy");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "2\tPan Fine\tBeam\t20\n3\tGobo 1\tColour\t30\n4\tZoom\tIntensity\t40\n");
    EXPECT_FALSE(from->changed()) << "copying is no edit";

    activate(to);
    chooseRows(to, 2, 2);
    choose("mnuEditPaste");
    const rig::Lamp& pasted = to->lamp();
    EXPECT_EQ(pasted.NumberChannel, 4);
    EXPECT_EQ(pasted.NumberChannelCopy, 4);
    for (std::size_t c = 1; c < 4; ++c) {
        EXPECT_EQ(pasted.Channel[c].Function, source.Channel[c].Function) << c;
        EXPECT_EQ(pasted.Channel[c].Palette, source.Channel[c].Palette) << c;
        EXPECT_EQ(pasted.Channel[c].Step, source.Channel[c].Step) << c;
    }
    EXPECT_EQ(pasted.Channel[0].Function, Dimmer);
    EXPECT_EQ(pasted.Wheel[0].WheelName.str(), "Keep        ");
    EXPECT_EQ(pasted.Wheel[1].WheelName.str(), "Gobos       ");
    EXPECT_EQ(pasted.WheelFunction[2], PanFine);
    EXPECT_EQ(pasted.Wheel[2].WheelName.str(), "Fine        ");
    EXPECT_EQ(pasted.WheelFunction[3], 0) << "Zoom had no slot to bring";
    EXPECT_EQ(to->findChild<QLineEdit*>("txtNoChannels")->text(), "4");
    EXPECT_EQ(grid(to)->model()->index(3, 0).data().toString(), "Zoom");
    EXPECT_EQ(to->findChild<QComboBox*>("cmbWheel2")->currentText(), "Pan Fine");
    EXPECT_EQ(grid(to)->selectionModel()->selectedRows(2).size(), 3) << "the pasted rows are chosen";

    const Bytes after = imageOf(pasted);
    EXPECT_EQ(action("mnuEditUndo")->text(), "&Undo Paste Channels");
    choose("mnuEditUndo");
    EXPECT_EQ(imageOf(to->lamp()), imageOf(target));
    EXPECT_EQ(grid(to)->model()->rowCount(), 2);
    choose("mnuEditRedo");
    EXPECT_EQ(imageOf(to->lamp()), after);

    // Cut copies the rows and sets them to None; one step.
    activate(from);
    chooseRows(from, 3, 4);
    QGuiApplication::clipboard()->clear();
    choose("mnuEditCut");
    EXPECT_EQ(from->lamp().Channel[2].Function, 0);
    EXPECT_EQ(from->lamp().Channel[3].Palette, 0);
    EXPECT_EQ(from->lamp().Channel[3].Step, 40);
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat(frmDocument::rowsMimeType));
    EXPECT_EQ(action("mnuEditUndo")->text(), "&Undo Cut Channels");
    choose("mnuEditUndo");
    EXPECT_EQ(imageOf(from->lamp()), imageOf(source));
    EXPECT_TRUE(fake.messages.empty());
}

// The grid's pop-up menu copies the chosen rows even when a text box held the focus, as
// the Edit menu would then copy the box's text.
TEST_F(LampClipboardTest, TheGridsPopUpMenuCopiesTheChosenRows)
{
    frmDocument* w = openLamp("spot.lmp", lampWith({PanCoarse, Gobo1, Dimmer}));
    ASSERT_NE(w, nullptr);
    chooseRows(w, 2, 3);
    w->findChild<QLineEdit*>("txtLampName")->setFocus();
    fake.menuScripts.push_back([](QMenu& menu) { return menu.findChild<QAction*>(QStringLiteral("mnuLampCopy")); });
    userClick(grid(w)->viewport(), grid(w)->visualRect(grid(w)->model()->index(1, 0)).center(), Qt::RightButton);
    EXPECT_EQ(fake.menusShown, 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "2\tGobo 1\tBeam\t20\n3\tDimmer\tColour\t30\n");
}

TEST_F(LampClipboardTest, PastesThatWouldBreakTheLampOrComeFromElsewhereAreRefusedWithAMessage)
{
    frmDocument* from = openLamp("spot.lmp", lampWith({PanFine, Gobo1, Zoom}));
    chooseRows(from, 1, 3);
    choose("mnuEditCopy");
    const QByteArray rows = QGuiApplication::clipboard()->mimeData()->data(frmDocument::rowsMimeType);

    rig::Lamp full = lampWith({});
    full.NumberChannel = 36;
    frmDocument* to = openLamp("full.lmp", full);
    const auto refusedAt = [&](int row) {
        fake.messages.clear();
        const Bytes before = imageOf(to->lamp());
        chooseRows(to, row, row);
        choose("mnuEditPaste");
        EXPECT_EQ(imageOf(to->lamp()), before);
        EXPECT_FALSE(to->undoStack().canUndo());
        EXPECT_EQ(fake.messages.size(), 1U);
        return fake.messages.empty() ? QString() : fake.messages[0].text;
    };
    EXPECT_EQ(refusedAt(35), "3 channels pasted from channel 35 would run past channel 36, the last a lamp can have.");
    EXPECT_EQ(fake.messages[0].title, "Paste");

    to = openLamp("zoom.lmp", lampWith({Zoom, 0, 0}));
    EXPECT_EQ(refusedAt(2), "The paste would give Zoom to both channel 1 and channel 4; a lamp has each function once.");

    // Data from anywhere else is read as carefully as a file.
    setRowsOnClipboard(rows.left(rows.size() - 1));
    EXPECT_EQ(refusedAt(1), "The clipboard's lamp channels are 22 bytes long instead of 23.");
    setRowsOnClipboard(QByteArray(100000, 'x'));
    EXPECT_EQ(refusedAt(1), "The clipboard does not hold lamp channels in Rigsmith's own format.");
    QGuiApplication::clipboard()->setText("1\tPan Fine\tBeam\t20\n");
    EXPECT_EQ(refusedAt(1), "The clipboard holds no lamp channels to paste.");

    // A text box with the focus cuts, copies and pastes its own text.
    auto* name = to->findChild<QLineEdit*>("txtLampName");
    name->setFocus();
    name->selectAll();
    choose("mnuEditCopy");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Spot");
    name->setCursorPosition(4);
    choose("mnuEditPaste");
    EXPECT_EQ(to->lamp().LampName.str(), "SpotSpot        ");
}

}  // namespace
