#include "shell_fixture.h"

#include "shell/frmAbout.h"
#include "shell/frmSplash.h"
#include "shell/product_picture.h"
#include "ui/twips.h"

#include <QElapsedTimer>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <map>
#include <vector>

namespace {

using MainWindow = ShellTest;

// The platform's keys for a standard command, or the usual ones where it has none.
QList<QKeySequence> standardKeys(QKeySequence::StandardKey key, const QString& fallback = {})
{
    QList<QKeySequence> bindings = QKeySequence::keyBindings(key);
    if (bindings.isEmpty() && !fallback.isEmpty())
        bindings << QKeySequence(fallback, QKeySequence::PortableText);
    return bindings;
}

// One line a menu item, indented by its depth: name, caption and keys, and whether it
// is hidden or cannot be chosen.
void listItems(const QMenu& menu, const QString& indent, QStringList& lines)
{
    for (const QAction* a : menu.actions()) {
        QString line = indent + a->objectName();
        if (!a->isSeparator())
            line += " \"" + a->text() + "\"";
        QStringList keys;
        for (const QKeySequence& key : a->shortcuts())
            keys << key.toString(QKeySequence::PortableText);
        if (!keys.isEmpty())
            line += " " + keys.join(", ");
        if (!a->isVisible())
            line += " (hidden)";  // hidden actions count as disabled too
        else if (!a->isEnabled())
            line += " (off)";
        lines << line;
        if (a->menu())
            listItems(*a->menu(), indent + "  ", lines);
    }
}

TEST_F(MainWindow, MenusHoldEveryItemWithItsCaptionKeysAndAvailability)
{
    const auto keys = [](QKeySequence::StandardKey key, const QString& fallback = {}) {
        QStringList texts;
        for (const QKeySequence& sequence : standardKeys(key, fallback))
            texts << sequence.toString(QKeySequence::PortableText);
        return texts.isEmpty() ? QString() : " " + texts.join(", ");
    };
    QStringList lines;
    for (const QAction* title : main.menuBar()->actions()) {
        lines << title->objectName() + " \"" + title->text() + "\"";
        listItems(*title->menu(), "  ", lines);
    }
    const QStringList expected = {
        "mnuFile \"&File\"",
        "  mnuFileNew \"&New\"",
        "    mnuFileNewLamp \"Lamp\"" + keys(QKeySequence::New),
        "    mnuFileNewStagePatch \"Stage Patch\"",
        "  mnuFileOpen \"&Open\" Ctrl+O",
        "  mnuFileClose \"&Close\"" + keys(QKeySequence::Close),
        "  mnuFileBar1",
        "  mnuFileSave \"&Save\" Ctrl+S",
        "  mnuFileSaveAs \"Save &As...\"" + keys(QKeySequence::SaveAs, "Ctrl+Shift+S"),
        "  mnuFileBar1_5",
        "  mnuFileExport \"&Export...\"",
        "  mnuFileImport \"&Import...\"",
        "  mnuFileImportFixture \"Import &Fixture...\"",
        "  mnuFileFixtureLibrary \"Fixture &Library...\"",
        "  mnuFilePrintSheet \"&Print Patch Sheet...\" (off)",
        "  mnuFileExportSheet \"Export Patch Sheet as &PDF...\" (off)",
        "  mnuFileBar4",
        "  mnuFileRecent1 \"\" (hidden)",
        "  mnuFileRecent2 \"\" (hidden)",
        "  mnuFileRecent3 \"\" (hidden)",
        "  mnuFileRecent4 \"\" (hidden)",
        "  mnuFileRecentBar (hidden)",
        "  mnuFileExit \"E&xit\"" + keys(QKeySequence::Quit, "Ctrl+Q"),
        "mnuEdit \"&Edit\"",
        "  mnuEditUndo \"&Undo\" Ctrl+Z (off)",
        "  mnuEditRedo \"&Redo\"" + keys(QKeySequence::Redo, "Ctrl+Shift+Z") + " (off)",
        "  mnuEditBar1",
        "  mnuEditCut \"Cu&t\" Ctrl+X (off)",
        "  mnuEditCopy \"&Copy\" Ctrl+C (off)",
        "  mnuEditPaste \"&Paste\" Ctrl+V (off)",
        "  mnuEditPasteSpecial \"Paste &Special...\" (off)",
        "mnuView \"&View\"",
        "  mnuViewToolbar \"&Toolbar\"",
        "  mnuViewStatusBar \"Status &Bar\"",
        "mnuWindow \"&Window\"",
        "  mnuWindowNewWindow \"&New Window\" (off)",
        "  mnuWindowBar1",
        "  mnuWindowCascade \"&Cascade\"",
        "  mnuWindowTileHorizontal \"Tile &Horizontal\"",
        "  mnuWindowTileVertical \"Tile &Vertical\"",
        "  mnuWindowArrangeIcons \"&Arrange Icons\"",
        "  mnuWindowListBar",
        "mnuHelp \"&Help\"",
        "  mnuHelpAbout \"&About Tarsen Rigsmith...\"",
    };
    EXPECT_EQ(lines.join('\n').toStdString(), expected.join('\n').toStdString());
}

// Each button is greyed with its menu command, so a button and its menu item cannot
// differ in whether they can be chosen.
TEST_F(MainWindow, ToolbarButtonsFollowTheMenuCommandsOfTheirKeys)
{
    auto* toolbar = main.findChild<QToolBar*>("tbToolBar");
    ASSERT_NE(toolbar, nullptr);
    QStringList keys;
    QStringList tips;
    for (QAction* a : toolbar->actions()) {
        QWidget* button = a->isSeparator() ? nullptr : toolbar->widgetForAction(a);
        keys << (button ? button->objectName() : QStringLiteral("-"));
        if (button)
            tips << button->toolTip();
    }
    EXPECT_EQ(keys, QStringList({"tbToolBarNew", "tbToolBarOpen", "tbToolBarSave", "-", "tbToolBarAbout"}));
    EXPECT_EQ(tips, QStringList({"New", "Open", "Save", "About"}));

    const std::vector<std::pair<QString, const char*>> commands{
        {"New", "mnuFileNewLamp"}, {"Open", "mnuFileOpen"}, {"Save", "mnuFileSave"}, {"About", "mnuHelpAbout"}};
    for (const auto& [key, name] : commands) {
        QAction* command = action(name);
        // The pictures are for the toolbar: the menus show the captions alone.
        EXPECT_FALSE(command->isIconVisibleInMenu()) << name;
        auto* button = main.findChild<QToolButton*>("tbToolBar" + key);
        ASSERT_NE(button, nullptr) << name;
        command->setEnabled(false);
        EXPECT_FALSE(button->isEnabled()) << name;
        command->setEnabled(true);
        EXPECT_TRUE(button->isEnabled()) << name;
    }
    // What a click runs is checked with each command's effect in the document commands' tests.
}

TEST_F(MainWindow, ShortcutsOfItemsThatCannotBeChosenDoNothing)
{
    int fired = 0;
    for (const char* name : {"mnuEditUndo", "mnuEditCut", "mnuEditCopy", "mnuEditPaste"})
        QObject::connect(action(name), &QAction::triggered, [&fired] { ++fired; });
    for (const Qt::Key key : {Qt::Key_Z, Qt::Key_X, Qt::Key_C, Qt::Key_V})
        QTest::keyClick(&main, key, Qt::ControlModifier);
    EXPECT_EQ(fired, 0);

    // The same route does reach an item that can be chosen.
    fake.fileAnswers = {std::nullopt};
    QTest::keyClick(&main, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(fake.fileCalls.size(), 1U);
}

TEST_F(MainWindow, StandardKeysReachTheirCommandsAndNoKeyIsTakenTwice)
{
    TestDocument* first = addDocument("First");
    TestDocument* second = addDocument("Second");
    addDocument("Third");
    main.stageScreen(true);

    // Two enabled shortcuts on one key in one window would make Qt run neither.
    std::map<QString, QString> owners;
    for (const QAction* a : main.findChildren<QAction*>()) {
        if (!a->isEnabled())
            continue;
        for (const QKeySequence& key : a->shortcuts()) {
            const QString text = key.toString(QKeySequence::PortableText);
            const auto [it, fresh] = owners.emplace(text, a->objectName() + "/" + a->text());
            EXPECT_TRUE(fresh) << text.toStdString() << " is taken by " << it->second.toStdString() << " and "
                               << (a->objectName() + "/" + a->text()).toStdString();
        }
    }

    const auto press = [this](QKeySequence::StandardKey key, const QString& fallback = {}) {
        const QList<QKeySequence> bindings = standardKeys(key, fallback);
        ASSERT_FALSE(bindings.isEmpty()) << key;
        QTest::keySequence(&main, bindings.first());
    };
    const auto active = [this] { return main.mdiArea()->currentSubWindow()->widget()->windowTitle(); };
    press(QKeySequence::NextChild);
    EXPECT_EQ(active(), "First");
    press(QKeySequence::PreviousChild);
    EXPECT_EQ(active(), "Third");
    press(QKeySequence::PreviousChild);
    EXPECT_EQ(active(), "Second");
    press(QKeySequence::Close);
    EXPECT_EQ(second->calls, QStringList{"Close"});
    EXPECT_EQ(openChildren(), 2);

    main.mdiArea()->setActiveSubWindow(main.mdiArea()->subWindowList().first());
    press(QKeySequence::SaveAs, "Ctrl+Shift+S");
    EXPECT_EQ(first->calls, QStringList{"SaveAs"});
    press(QKeySequence::New);
    EXPECT_EQ(openChildren(), 3);
    EXPECT_EQ(active(), "New Lamp");

    fake.answers = {ui::Answer::No};  // the new lamp is not saved
    press(QKeySequence::Quit, "Ctrl+Q");
    EXPECT_FALSE(main.isVisible());
}

TEST_F(MainWindow, ViewItemsHideAndShowTheirBar)
{
    const std::vector<std::pair<const char*, QWidget*>> toggles = {
        {"mnuViewToolbar", main.findChild<QToolBar*>("tbToolBar")}, {"mnuViewStatusBar", main.statusBar()}};
    for (const auto& [name, bar] : toggles) {
        QAction* item = action(name);
        EXPECT_TRUE(item->isChecked()) << name;
        for (const bool shown : {false, true}) {
            item->trigger();
            EXPECT_EQ(bar->isVisible(), shown) << name;
            EXPECT_EQ(item->isChecked(), shown) << name;
        }
    }
}

// --- Placement and ending ----------------------------------------------------------

using Placement = ShellTest;

QRect twipsRect(int left, int top, int width, int height)
{
    return {ui::twipsToPixels(left), ui::twipsToPixels(top), ui::twipsToPixels(width), ui::twipsToPixels(height)};
}

QRect placementOf(const frmMain& w) { return {w.pos(), w.size()}; }

// Whole inches come back as the same twips at any whole dots-per-inch.
const std::map<QString, QString> storedInches = {
    {"MainLeft", "1440"}, {"MainTop", "2880"}, {"MainWidth", "8640"}, {"MainHeight", "7200"}};

TEST_F(Placement, ComesFromTheStoreOrWhollyFromTheDefaultsAndExitWritesItBack)
{
    main.MDIForm_Load();  // empty store
    EXPECT_EQ(placementOf(main), twipsRect(1000, 1000, 6500, 6500));

    // One value that is no number, or a window no screen would show, spoils them all.
    const std::vector<std::pair<QString, QString>> spoiled = {
        {"MainLeft", "abc"},   {"MainTop", ""},        {"MainWidth", "12x"}, {"MainHeight", "1e30"}, {"MainTop", "nan"},
        {"MainLeft", "-100000"}, {"MainTop", "90000"}, {"MainWidth", "0"},   {"MainHeight", "-700"},
    };
    for (const auto& [key, value] : spoiled) {
        fake.settings = storedInches;
        fake.settings[key] = value;
        main.MDIForm_Load();
        EXPECT_EQ(placementOf(main), twipsRect(1000, 1000, 6500, 6500)) << key.toStdString() << "=" << value.toStdString();
    }

    fake.settings = storedInches;
    main.MDIForm_Load();
    EXPECT_EQ(placementOf(main), twipsRect(1440, 2880, 8640, 7200));

    // Exit closes every child, then writes the placement as whole numbers.
    TestDocument* first = addDocument("First");
    TestDocument* second = addDocument("Second");
    fake.settings.clear();
    action("mnuFileExit")->trigger();
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(first->calls, QStringList{"Close"});
    EXPECT_EQ(second->calls, QStringList{"Close"});
    EXPECT_EQ(openChildren(), 0);
    EXPECT_EQ(fake.settings, storedInches);
}

TEST_F(Placement, ValuesTheUserLeftAloneAreStoredAsPlacedOthersWhereTheWindowIs)
{
    main.MDIForm_Load();  // first start: no pixel rounding may creep into the store
    EXPECT_TRUE(main.close());
    EXPECT_EQ(fake.settings, (std::map<QString, QString>{
                                 {"MainLeft", "1000"}, {"MainTop", "1000"}, {"MainWidth", "6500"}, {"MainHeight", "6500"}}));

    main.show();
    main.MDIForm_Load();
    const QPoint placed = main.pos();
    main.move(placed.x() + 10, placed.y());
    EXPECT_TRUE(main.close());
    EXPECT_EQ(fake.settings["MainLeft"], QString::number(ui::pixelsToTwips(placed.x() + 10), 'g', 7));
    EXPECT_EQ(fake.settings["MainTop"], "1000");
    EXPECT_EQ(fake.settings["MainHeight"], "6500");
}

TEST_F(Placement, MinimisedExitWritesNothing)
{
    fake.settings = storedInches;
    main.MDIForm_Load();
    main.setGeometry(300, 200, 320, 240);  // a write would now store other values
    main.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(main.isMinimized());

    EXPECT_TRUE(main.close());
    EXPECT_EQ(fake.settings, storedInches);
}

TEST_F(Placement, RefusingChildStopsTheExitAndNothingIsWritten)
{
    TestDocument* closes = addDocument("Closes");
    TestDocument* refuses = addDocument("Refuses", true);
    TestDocument* later = addDocument("Later");

    action("mnuFileExit")->trigger();
    EXPECT_FALSE(main.close());  // the close box too
    EXPECT_TRUE(main.isVisible());

    EXPECT_TRUE(fake.settings.empty());
    EXPECT_EQ(closes->calls, QStringList{"Close"});
    EXPECT_EQ(refuses->calls, QStringList({"Close", "Close"}));
    EXPECT_TRUE(later->calls.isEmpty());
    EXPECT_EQ(openChildren(), 2);
}

// --- Window menu -------------------------------------------------------------------

TEST_F(MainWindow, WindowMenuTilesOpenChildrenInEqualStrips)
{
    for (const char* title : {"One", "Two", "Three"})
        addDocument(title);
    const QList<QMdiSubWindow*> subs = main.mdiArea()->subWindowList();
    subs[1]->showMaximized();
    const QRect area = main.mdiArea()->viewport()->rect();
    for (const bool vertical : {true, false}) {
        action(vertical ? "mnuWindowTileVertical" : "mnuWindowTileHorizontal")->trigger();
        const QSize strip = vertical ? QSize(area.width() / 3, area.height()) : QSize(area.width(), area.height() / 3);
        QRect covered;
        for (const QMdiSubWindow* sub : subs) {
            EXPECT_NEAR(sub->width(), strip.width(), 1) << vertical;
            EXPECT_NEAR(sub->height(), strip.height(), 1) << vertical;
            EXPECT_FALSE(covered.intersects(sub->geometry())) << vertical;
            covered |= sub->geometry();
        }
        EXPECT_EQ(covered, area) << vertical;
    }
}

TEST_F(MainWindow, WindowMenuListsTheOpenChildrenAndChoosingOneActivatesIt)
{
    addDocument("R&D");
    addDocument("Gone");
    addDocument("Two");
    main.mdiArea()->subWindowList().at(1)->hide();  // hidden is not open
    auto* menu = main.findChild<QMenu*>("mnuWindow");
    const auto listed = [&] {
        menu->popup(main.mapToGlobal(QPoint(0, 0)));  // the list is rebuilt for every showing
        menu->hide();
        QStringList items;
        const QList<QAction*> actions = menu->actions();
        for (auto it = actions.begin() + actions.indexOf(action("mnuWindowListBar")) + 1; it != actions.end(); ++it)
            items << (*it)->text() + ((*it)->isChecked() ? " *" : "");
        return items;
    };
    EXPECT_EQ(listed(), QStringList({"&1 R&&D", "&2 Two *"}));
    EXPECT_TRUE(action("mnuWindowListBar")->isVisible());

    menu->actions().at(menu->actions().indexOf(action("mnuWindowListBar")) + 1)->trigger();
    EXPECT_EQ(main.mdiArea()->currentSubWindow()->widget()->windowTitle(), "R&D");
    EXPECT_EQ(listed(), QStringList({"&1 R&&D *", "&2 Two"}));
}

TEST_F(MainWindow, ArrangeIconsLinesMinimisedChildrenUpAlongTheBottom)
{
    for (const char* title : {"One", "Two", "Open"})
        addDocument(title);
    const QList<QMdiSubWindow*> subs = main.mdiArea()->subWindowList();
    subs[0]->showMinimized();
    subs[2]->showMinimized();
    subs[0]->move(300, 40);
    const QRect open = subs[1]->geometry();

    action("mnuWindowArrangeIcons")->trigger();
    const int bottom = main.mdiArea()->viewport()->height();
    EXPECT_EQ(subs[0]->geometry().topLeft(), QPoint(0, bottom - subs[0]->height()));
    EXPECT_EQ(subs[2]->geometry().topLeft(), QPoint(subs[0]->width(), bottom - subs[2]->height()));
    EXPECT_EQ(subs[1]->geometry(), open);
}

// In the client area the lamp window's height rule applies to the sub-window's outer height.
TEST_F(MainWindow, NewLampSubWindowKeepsItsLeastHeight)
{
    action("mnuFileNewLamp")->trigger();
    ASSERT_EQ(main.mdiArea()->subWindowList().size(), 1);
    QMdiSubWindow* sub = main.mdiArea()->subWindowList()[0];
    sub->resize(sub->width(), ui::twipsToPixels(2000));
    QCoreApplication::processEvents();
    EXPECT_EQ(sub->height(), ui::twipsToPixels(5400));
    EXPECT_EQ(sub->findChild<QLabel*>(QStringLiteral("lblPage"))->y(), ui::twipsToPixels(5400 - 900));
}

// At the first-start size a lamp window is larger than the client area: it keeps its size
// and the area scrolls to every one of its controls.
TEST_F(MainWindow, TheClientAreaScrollsToAChildLargerThanItself)
{
    main.MDIForm_Load();
    ASSERT_EQ(main.size(), twipsRect(0, 0, 6500, 6500).size());
    action("mnuFileNewLamp")->trigger();
    QCoreApplication::processEvents();
    QMdiArea* area = main.mdiArea();
    QMdiSubWindow* sub = area->subWindowList().at(0);
    const QSize design = sub->widget()->sizeHint();
    EXPECT_GE(sub->widget()->width(), design.width());
    EXPECT_GE(sub->widget()->height(), design.height());
    ASSERT_TRUE(area->horizontalScrollBar()->isVisible());
    ASSERT_TRUE(area->verticalScrollBar()->isVisible());

    area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    QCoreApplication::processEvents();
    for (const char* name : {"btnVerify", "lblPage", "Command1"}) {
        auto* control = sub->findChild<QWidget*>(QLatin1String(name));
        ASSERT_NE(control, nullptr) << name;
        const QRect shown(control->mapTo(area->viewport(), QPoint(0, 0)), control->size());
        EXPECT_TRUE(area->viewport()->rect().contains(shown)) << name;
    }
}

// --- About box and splash ----------------------------------------------------------

TEST_F(MainWindow, AboutBoxShowsNameAndBuildModallyOverTheMainWindowUntilOk)
{
    EXPECT_EQ(frmAbout::buildText(2, 10, 105), "Build 2.10.105");  // plain decimals, never padded

    bool inspected = false;
    fake.dialogScripts = {[&](QDialog& dialog) {
        auto* about = qobject_cast<frmAbout*>(&dialog);
        ASSERT_NE(about, nullptr);
        inspected = true;
        EXPECT_EQ(about->parentWidget(), &main);
        EXPECT_EQ(about->lblBuild()->text(), "Build " RIGSMITH_TEST_VERSION);

        QTest::mouseClick(about->cmdOK(), Qt::LeftButton);
        EXPECT_EQ(about->result(), QDialog::Accepted);
        EXPECT_FALSE(about->isVisible());
    }};
    action("mnuHelpAbout")->trigger();
    EXPECT_TRUE(inspected);
    EXPECT_EQ(fake.dialogsShown, std::vector<QString>{"frmAbout"});
}

TEST_F(MainWindow, PicturesAreDrawnForTheScreensScale)
{
    // Toolbar buttons: the theme's or ours, either way not a small picture blown up.
    auto* toolbar = main.findChild<QToolBar*>("tbToolBar");
    ASSERT_NE(toolbar, nullptr);
    int buttons = 0;
    for (const QToolButton* button : toolbar->findChildren<QToolButton*>()) {
        if (!button->objectName().startsWith("tbToolBar"))
            continue;
        ++buttons;
        const QImage sharp = button->icon().pixmap(QSize(16, 16), 2.0).toImage();
        EXPECT_EQ(sharp.size(), QSize(32, 32)) << button->toolTip().toStdString();
        EXPECT_GT(sharp.convertToFormat(QImage::Format_Alpha8).bits()[16 * 32 + 16], 0)
            << button->toolTip().toStdString();
    }
    EXPECT_EQ(buttons, 4);

    const QPixmap picture = shell::productPicture(2.0);
    EXPECT_EQ(picture.size(), QSize(970, 652));
    EXPECT_EQ(picture.deviceIndependentSize().toSize(), QSize(485, 326));
    // The frame runs along the far edges, not across the middle of a blown-up picture.
    const QImage image = picture.toImage();
    EXPECT_EQ(image.pixelColor(968, 400), image.pixelColor(1, 400));
    EXPECT_NE(image.pixelColor(968, 400), image.pixelColor(484, 400));
    EXPECT_FALSE(shell::productIcon().pixmap(QSize(64, 64)).isNull());
}

TEST(Splash, IsThePictureAloneAndOnlyItsTimerClosesIt)
{
    constexpr int intervalMs = 300;
    frmSplash splash(intervalMs);
    bool pokedWhileShown = false;
    // While the splash waits, the user presses keys, clicks and asks the window to close.
    QTimer::singleShot(50, &splash, [&] {
        pokedWhileShown = splash.isVisible();
        QTest::keyClick(&splash, Qt::Key_Escape);
        QTest::keyClick(&splash, Qt::Key_Return);
        QTest::mouseClick(&splash, Qt::LeftButton);
        EXPECT_FALSE(splash.close());
        EXPECT_TRUE(splash.isVisible());
    });
    QElapsedTimer clock;
    clock.start();
    splash.showAndWait();
    EXPECT_TRUE(pokedWhileShown);
    EXPECT_GE(clock.elapsed(), intervalMs);
    EXPECT_FALSE(splash.isVisible());
}

}  // namespace
