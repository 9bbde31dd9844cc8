#pragma once

// What the window tests share besides tests/common: the scripted ui, user actions on
// widgets, and a shown main window.

#include "../common/qt_helpers.h"
#include "../common/records.h"
#include "fake_ui.h"
#include "core/app_state.h"
#include "shell/frmMain.h"
#include "windows/frmDocument.h"
#include "qtcore/file_names.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using rig::test::Bytes;
using rig::test::imageOf;
using rig::test::namedLamp;
using rig::test::readBytes;
using rig::test::writeBytes;
using rig::toPath;

// A recorded message box, every field of it.
inline void expectMessage(const FakeUi::Message& m, const QString& text, const QString& title, ui::Icon icon,
                          ui::Buttons buttons = ui::Buttons::Ok)
{
    EXPECT_EQ(m.text, text);
    EXPECT_EQ(m.title, title);
    EXPECT_EQ(m.icon, icon);
    EXPECT_EQ(m.buttons, buttons);
}

inline QLineEdit* box(QWidget& dialog, const char* name) { return dialog.findChild<QLineEdit*>(QLatin1String(name)); }

inline void click(QWidget& dialog, const char* button)
{
    auto* found = dialog.findChild<QPushButton*>(QLatin1String(button));
    ASSERT_NE(found, nullptr) << button;
    QTest::mouseClick(found, Qt::LeftButton);
}

inline QStringList itemTexts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// Clicks row `row` of `list`, twice over for a double click.
inline void clickRow(QListWidget* list, int row, bool doubleClick = false)
{
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (doubleClick)
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

// A click as the user makes it, at `at` in `widget`'s coordinates: it goes in through the
// window system and reaches whatever lies under the pointer at that moment (an in-place
// editor over a cell, an open drop-down list), and a double click is two such clicks.
inline void userClick(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton, bool doubleClick = false)
{
    QWidget* window = widget->window();
    const QPoint inWindow = widget->mapTo(window, at);
    if (doubleClick)
        QTest::mouseDClick(window->windowHandle(), button, {}, inWindow);
    else
        QTest::mouseClick(window->windowHandle(), button, {}, inWindow);
    QCoreApplication::processEvents();
}

// The mouse moved over `at` with no button held.
inline void hover(QWidget* widget, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// Drags `data` onto `target` at `at` and drops it there if the target takes it; returns
// the action the drop was taken with, IgnoreAction when it was not.
inline Qt::DropAction dragAndDrop(QWidget* target, QPoint at, const QMimeData& data,
                                  Qt::DropActions offered = Qt::CopyAction)
{
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return Qt::IgnoreAction;
    QDropEvent drop(QPointF(at), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

// The named child of `w`; a missing one fails the test.
template <typename T = QLineEdit>
T* child(QWidget* w, const char* name)
{
    T* found = w->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

inline QStringList itemsOf(const QComboBox* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

// Focus given to or taken from `widget`, as when the user moves on.
inline void sendFocus(QWidget* widget, QEvent::Type type = QEvent::FocusOut)
{
    QFocusEvent event(type, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(widget, &event);
}

// A lamp window's channel grid; its rows and columns counted from 1, as the user counts them.
inline QTableView* channelGrid(QWidget* lampWindow) { return child<QTableView>(lampWindow, "grdChannels"); }
inline QModelIndex channelCell(QWidget* lampWindow, int row, int column)
{
    return channelGrid(lampWindow)->model()->index(row - 1, column - 1);
}
inline void clickCell(QWidget* lampWindow, int row, int column)
{
    // Editors closed before are gone first, so that a name finds the open one.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTableView* grid = channelGrid(lampWindow);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(channelCell(lampWindow, row, column)).center());
}

// A shown main window with a fresh program state, the scripted ui, a scratch folder and
// an empty clipboard (a case run after another must not find what that one copied).
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        QGuiApplication::clipboard()->clear();
        main.setGeometry(100, 80, 1000, 800);
        main.show();
    }

    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }
    // Runs the main window's command `name` as choosing its menu item does.
    void choose(const char* name)
    {
        auto* command = main.findChild<QAction*>(QLatin1String(name));
        ASSERT_NE(command, nullptr) << name;
        ASSERT_TRUE(command->isEnabled()) << name;
        command->trigger();
    }

    // File > Open with `path` chosen in the file dialog.
    void openFile(const QString& path)
    {
        fake.fileAnswers = {path};
        choose("mnuFileOpen");
    }

    // `lamp` saved as `name` in the scratch folder and opened: the lamp window it opened in.
    frmDocument* openLamp(const char* name, const rig::Lamp& lamp)
    {
        rig::writeLampFile(toPath(file(name)), lamp);
        openFile(file(name));
        auto* w = dynamic_cast<frmDocument*>(main.activeDocument());
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    QTemporaryDir dir;
    FakeUi fake;
    rig::AppState state;
    frmMain main{state, fake};
};
