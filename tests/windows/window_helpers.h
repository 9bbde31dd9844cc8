#pragma once

#include "fake_ui.h"
#include "core/lamp.h"
#include "core/app_state.h"
#include "shell/frmMain.h"
#include "qtcore/file_names.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

using rig::toPath;

inline Bytes readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    return Bytes(data.begin(), data.end());
}

inline void writeAll(const QString& path, const Bytes& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

inline Bytes imageOf(const rig::Lamp& lamp)
{
    const rig::LampImage image = rig::encodeLamp(lamp);
    return Bytes(image.begin(), image.end());
}

inline rig::Lamp namedLamp(const char* name, std::uint8_t channels = 1)
{
    rig::Lamp lamp = rig::newLamp();
    lamp.LampName.assign(name);
    lamp.NumberChannel = channels;
    return lamp;
}

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

// A shown main window with a fresh program state, the scripted ui and a scratch folder.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
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

    QTemporaryDir dir;
    FakeUi fake;
    rig::AppState state;
    frmMain main{state, fake};
};
