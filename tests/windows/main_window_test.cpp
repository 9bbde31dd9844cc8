#include "shell_fixture.h"

#include "ui/twips.h"

#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>

#include <map>
#include <vector>

namespace {

using MainWindowTest = ShellTest;

QStringList objectNames(const QList<QAction*>& actions)
{
    QStringList names;
    for (const QAction* a : actions)
        names << a->objectName();
    return names;
}

TEST_F(MainWindowTest, StartsWithCaptionToolbarAndStatusBar)
{
    EXPECT_EQ(window.windowTitle(), "Tarsen Rigsmith");
    auto* toolbar = window.findChild<QToolBar*>("tbToolBar");
    ASSERT_NE(toolbar, nullptr);
    EXPECT_TRUE(toolbar->isVisibleTo(&window));
    EXPECT_TRUE(window.statusBar()->isVisibleTo(&window));
    EXPECT_EQ(window.statusBar()->objectName(), "sbStatusBar");
    EXPECT_EQ(window.statusText(), "Tarsen Rigsmith V1.0");
    EXPECT_TRUE(action("mnuViewToolbar")->isChecked());
    EXPECT_TRUE(action("mnuViewStatusBar")->isChecked());
    EXPECT_EQ(window.stageScreen(false), nullptr);
    EXPECT_EQ(window.activeDocument(), nullptr);
}

TEST_F(MainWindowTest, MenusHoldTheirItemsInOrder)
{
    QStringList titles;
    for (const QAction* a : window.menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Edit", "&View", "&Window", "&Help"}));

    const std::map<QString, QStringList> menus = {
        {"mnuFile",
         {"mnuFileNew", "mnuFileOpen", "mnuFileClose", "mnuFileBar1", "mnuFileSave", "mnuFileSaveAs", "mnuFileBar1_5",
          "mnuFileExport", "mnuFileImport", "mnuFileBar4", "mnuFileExit"}},
        {"mnuFileNew", {"mnuFileNewLamp", "mnuFileNewStagePatch"}},
        {"mnuEdit",
         {"mnuEditUndo", "mnuEditBar1", "mnuEditCut", "mnuEditCopy", "mnuEditPaste", "mnuEditPasteSpecial"}},
        {"mnuView", {"mnuViewToolbar", "mnuViewStatusBar"}},
        {"mnuHelp", {"mnuHelpAbout"}},
    };
    for (const auto& [menuName, items] : menus) {
        auto* menu = window.findChild<QMenu*>(menuName);
        ASSERT_NE(menu, nullptr) << menuName.toStdString();
        EXPECT_EQ(objectNames(menu->actions()), items) << menuName.toStdString();
    }
    // The Window menu ends in the (rebuilt) list of child windows.
    auto* windowMenu = window.findChild<QMenu*>("mnuWindow");
    ASSERT_NE(windowMenu, nullptr);
    EXPECT_EQ(objectNames(windowMenu->actions()).mid(0, 6),
              QStringList({"mnuWindowNewWindow", "mnuWindowBar1", "mnuWindowCascade", "mnuWindowTileHorizontal",
                           "mnuWindowTileVertical", "mnuWindowArrangeIcons"}));
}

TEST_F(MainWindowTest, MenuItemsHaveCaptionsShortcutsAndState)
{
    struct Item {
        const char* name;
        const char* caption;
        const char* shortcut;
        bool enabled;
    };
    const std::vector<Item> items = {
        {"mnuFileNew", "&New", "", true},
        {"mnuFileNewLamp", "Lamp", "", true},
        {"mnuFileNewStagePatch", "Stage Patch", "", false},
        {"mnuFileOpen", "&Open", "Ctrl+O", true},
        {"mnuFileClose", "&Close", "", true},
        {"mnuFileSave", "&Save", "Ctrl+S", true},
        {"mnuFileSaveAs", "Save &As...", "", true},
        {"mnuFileExport", "&Export...", "", true},
        {"mnuFileImport", "&Import...", "", true},
        {"mnuFileExit", "E&xit", "", true},
        {"mnuEditUndo", "&Undo", "Ctrl+Z", false},
        {"mnuEditCut", "Cu&t", "Ctrl+X", false},
        {"mnuEditCopy", "&Copy", "Ctrl+C", false},
        {"mnuEditPaste", "&Paste", "Ctrl+V", false},
        {"mnuEditPasteSpecial", "Paste &Special...", "", false},
        {"mnuViewToolbar", "&Toolbar", "", true},
        {"mnuViewStatusBar", "Status &Bar", "", true},
        {"mnuWindowNewWindow", "&New Window", "", false},
        {"mnuWindowCascade", "&Cascade", "", true},
        {"mnuWindowTileHorizontal", "Tile &Horizontal", "", true},
        {"mnuWindowTileVertical", "Tile &Vertical", "", true},
        {"mnuWindowArrangeIcons", "&Arrange Icons", "", true},
        {"mnuHelpAbout", "&About Tarsen Rigsmith...", "", true},
    };
    for (const Item& item : items) {
        QAction* a = action(item.name);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(), item.caption) << item.name;
        EXPECT_EQ(a->shortcut().toString(QKeySequence::PortableText), item.shortcut) << item.name;
        EXPECT_EQ(a->isEnabled(), item.enabled) << item.name;
    }
}

TEST_F(MainWindowTest, ShortcutsOfItemsThatCannotBeChosenDoNothing)
{
    showActive();
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (const char* name : {"mnuEditUndo", "mnuEditCut", "mnuEditCopy", "mnuEditPaste"})
        spies.push_back(std::make_unique<QSignalSpy>(action(name), &QAction::triggered));

    for (const Qt::Key key : {Qt::Key_Z, Qt::Key_X, Qt::Key_C, Qt::Key_V})
        QTest::keyClick(&window, key, Qt::ControlModifier);
    for (const auto& spy : spies)
        EXPECT_EQ(spy->count(), 0);

    // The same route does reach a command that can be chosen.
    fake.fileAnswers.push_back(std::nullopt);
    QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(fake.fileCalls.size(), 1U);
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(MainWindowTest, ToolbarHoldsFiveItems)
{
    auto* toolbar = window.findChild<QToolBar*>("tbToolBar");
    ASSERT_NE(toolbar, nullptr);
    const QList<QAction*> items = toolbar->actions();
    ASSERT_EQ(items.size(), 5);
    const QStringList keys = {"New", "Open", "Save", "", "About"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(items.at(i)->isSeparator(), i == 3) << i;
        EXPECT_EQ(items.at(i)->data().toString(), keys.at(i)) << i;
        EXPECT_EQ(items.at(i)->toolTip(), i == 3 ? QString() : keys.at(i)) << i;
        if (i != 3) {
            EXPECT_FALSE(items.at(i)->icon().isNull()) << i;
        }
    }
}

TEST_F(MainWindowTest, ViewItemsToggleToolbarAndStatusBar)
{
    const std::vector<std::pair<const char*, QWidget*>> toggles = {
        {"mnuViewToolbar", window.findChild<QToolBar*>("tbToolBar")},
        {"mnuViewStatusBar", window.statusBar()},
    };
    showActive();
    for (const auto& [name, bar] : toggles) {
        QAction* item = action(name);
        item->trigger();
        EXPECT_FALSE(bar->isVisible()) << name;
        EXPECT_FALSE(item->isChecked()) << name;
        item->trigger();
        EXPECT_TRUE(bar->isVisible()) << name;
        EXPECT_TRUE(item->isChecked()) << name;
    }
    // Called directly (not through the menu) the handlers toggle just the same.
    window.mnuViewToolbar_Click();
    EXPECT_FALSE(toggles[0].second->isVisible());
    EXPECT_FALSE(action("mnuViewToolbar")->isChecked());
    window.mnuViewStatusBar_Click();
    EXPECT_FALSE(window.statusBar()->isVisible());
    EXPECT_FALSE(action("mnuViewStatusBar")->isChecked());
}

// --- Placement ---------------------------------------------------------------------

using PlacementTest = ShellTest;

QRect twipsRect(int left, int top, int width, int height)
{
    return {ui::twipsToPixels(left), ui::twipsToPixels(top), ui::twipsToPixels(width), ui::twipsToPixels(height)};
}

QRect placement(const frmMain& w) { return {w.pos(), w.size()}; }

// Whole inches come back as the same twips at any whole dots-per-inch.
const std::map<QString, QString> storedInches = {
    {"MainLeft", "1440"}, {"MainTop", "2880"}, {"MainWidth", "8640"}, {"MainHeight", "7200"}};

TEST_F(PlacementTest, EmptyStoreOpensAtTheFirstStartPlacement)
{
    window.MDIForm_Load();
    EXPECT_EQ(placement(window), twipsRect(1000, 1000, 6500, 6500));
}

TEST_F(PlacementTest, StoredPlacementIsRestoredAndWrittenBackAsWholeNumbers)
{
    fake.settings = storedInches;
    window.MDIForm_Load();
    EXPECT_EQ(placement(window), twipsRect(1440, 2880, 8640, 7200));

    fake.settings.clear();
    window.MDIForm_Unload();
    EXPECT_EQ(fake.settings, storedInches);
}

TEST_F(PlacementTest, UnusableStoredValueFallsBackToTheWholeDefaultPlacement)
{
    const std::vector<std::pair<QString, QString>> spoiled = {
        {"MainLeft", "abc"},    {"MainTop", ""},          {"MainWidth", "12x"}, {"MainHeight", "1e30"},
        {"MainTop", "nan"},     {"MainLeft", "-100000"},  {"MainTop", "90000"}, {"MainWidth", "0"},
        {"MainHeight", "-700"},
    };
    for (const auto& [key, value] : spoiled) {
        fake.settings = storedInches;
        fake.settings[key] = value;
        window.MDIForm_Load();
        EXPECT_EQ(placement(window), twipsRect(1000, 1000, 6500, 6500))
            << key.toStdString() << "=" << value.toStdString();
    }
}

// --- Ending ------------------------------------------------------------------------

using ExitTest = ShellTest;

TEST_F(ExitTest, ExitClosesEveryChildThenStoresThePlacement)
{
    fake.settings = storedInches;
    window.MDIForm_Load();
    showActive();
    TestDocument* first = addDocument("First");
    TestDocument* second = addDocument("Second");
    fake.settings.clear();

    action("mnuFileExit")->trigger();

    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(first->closeRequests, 1);
    EXPECT_EQ(second->closeRequests, 1);
    EXPECT_EQ(openChildren(), 0);
    EXPECT_EQ(fake.settings, storedInches);
}

TEST_F(ExitTest, MinimisedExitLeavesTheStoredPlacement)
{
    const std::map<QString, QString> before = {
        {"MainLeft", "15"}, {"MainTop", "30"}, {"MainWidth", "9000"}, {"MainHeight", "6000"}};
    fake.settings = before;
    window.MDIForm_Load();
    window.show();
    window.setGeometry(300, 200, 320, 240);  // a write would now store other values
    window.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(window.isMinimized());

    EXPECT_TRUE(window.close());
    EXPECT_EQ(fake.settings, before);
}

TEST_F(ExitTest, RefusingChildStopsTheExitAndNothingIsWritten)
{
    window.MDIForm_Load();
    showActive();
    TestDocument* closes = addDocument("Closes");
    TestDocument* refuses = addDocument("Refuses", true);
    TestDocument* untouched = addDocument("Later");

    window.mnuFileExit_Click();

    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(fake.settings.empty());
    EXPECT_EQ(closes->closeRequests, 1);
    EXPECT_EQ(refuses->closeRequests, 1);
    EXPECT_EQ(untouched->closeRequests, 0);
    EXPECT_EQ(openChildren(), 2);

    // The close box behaves the same way.
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(fake.settings.empty());
}

// --- Window menu -------------------------------------------------------------------

using WindowMenuTest = ShellTest;

TEST_F(WindowMenuTest, TilingLaysChildrenOutInEqualStrips)
{
    window.MDIForm_Load();
    showActive();
    for (const char* title : {"One", "Two", "Three"})
        addDocument(title);
    const QList<QMdiSubWindow*> subs = window.mdiArea()->subWindowList();
    ASSERT_EQ(subs.size(), 3);
    subs[1]->showMaximized();

    const QRect area = window.mdiArea()->viewport()->rect();

    window.mnuWindowTileVertical_Click();
    int left = area.left();
    for (QMdiSubWindow* sub : subs) {
        EXPECT_FALSE(sub->isMaximized());
        EXPECT_EQ(sub->geometry().left(), left);
        EXPECT_EQ(sub->geometry().top(), area.top());
        EXPECT_EQ(sub->height(), area.height());
        EXPECT_NEAR(sub->width(), area.width() / 3, 1);
        left += sub->width();
    }
    EXPECT_EQ(left, area.right() + 1);

    window.mnuWindowTileHorizontal_Click();
    int top = area.top();
    for (QMdiSubWindow* sub : subs) {
        EXPECT_EQ(sub->geometry().top(), top);
        EXPECT_EQ(sub->geometry().left(), area.left());
        EXPECT_EQ(sub->width(), area.width());
        EXPECT_NEAR(sub->height(), area.height() / 3, 1);
        top += sub->height();
    }
    EXPECT_EQ(top, area.bottom() + 1);
}

TEST_F(WindowMenuTest, ArrangeIconsLinesUpMinimisedChildrenAlongTheBottom)
{
    window.MDIForm_Load();
    showActive();
    for (const char* title : {"One", "Two", "Three"})
        addDocument(title);
    const QList<QMdiSubWindow*> subs = window.mdiArea()->subWindowList();
    subs[0]->showMinimized();
    subs[2]->showMinimized();
    subs[0]->move(120, 40);
    subs[2]->move(10, 10);
    subs[1]->move(30, 20);

    window.mnuWindowArrangeIcons_Click();

    const QRect area = window.mdiArea()->viewport()->rect();
    EXPECT_EQ(subs[0]->geometry().bottom(), area.bottom());
    EXPECT_EQ(subs[0]->x(), area.left());
    EXPECT_EQ(subs[2]->geometry().bottom(), area.bottom());
    EXPECT_EQ(subs[2]->x(), subs[0]->geometry().right() + 1);
    EXPECT_EQ(subs[1]->pos(), QPoint(30, 20));  // an open window stays where it is
}

TEST_F(WindowMenuTest, WindowListNamesChildrenAndActivatesTheChosenOne)
{
    showActive();
    TestDocument* alpha = addDocument("Alpha");
    TestDocument* beta = addDocument("Beta & Co");
    auto* menu = window.findChild<QMenu*>("mnuWindow");
    ASSERT_NE(menu, nullptr);

    const auto listed = [menu] {
        QList<QAction*> entries;
        bool afterBar = false;
        for (QAction* a : menu->actions()) {
            if (afterBar)
                entries << a;
            afterBar = afterBar || a->objectName() == "mnuWindowListBar";
        }
        return entries;
    };

    emit menu->aboutToShow();
    QList<QAction*> entries = listed();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0]->text(), "&1 Alpha");
    EXPECT_EQ(entries[1]->text(), "&2 Beta && Co");
    EXPECT_FALSE(entries[0]->isChecked());
    EXPECT_TRUE(entries[1]->isChecked());
    EXPECT_EQ(window.activeDocument(), beta);

    entries[0]->trigger();
    EXPECT_EQ(window.activeDocument(), alpha);

    emit menu->aboutToShow();
    entries = listed();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_TRUE(entries[0]->isChecked());
    EXPECT_FALSE(entries[1]->isChecked());
}

}  // namespace
