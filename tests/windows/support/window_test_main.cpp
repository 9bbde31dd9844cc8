#include "fake_ui.h"
#include "core/function_names.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// Window tests run headless with a real QApplication.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    rig::initFunctionNames();
    rig::initPaletteTypeNames();
    // A modal call nobody scripted fails the test at once instead of blocking it.
    FakeUi::setUnexpectedHandler([](const QString& what) { ADD_FAILURE() << "unexpected " << what.toStdString(); });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
