#pragma once

#include "fake_ui.h"
#include "lamp/lamp.h"
#include "shell/app_state.h"
#include "shell/frmMain.h"
#include "ui/file_names.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

using ui::toPath;

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

// A shown main window with a fresh program state, the scripted ui and a scratch folder.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        main.setGeometry(100, 80, 1000, 800);
        main.show();
    }

    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    FakeUi fake;
    rig::AppState state;
    frmMain main{state, fake};
};
