// For tests that paint without any window: a Gui application on the offscreen
// platform, as rigsmith-cli makes for a PDF, and the console's name tables.
#include "core/function_names.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    rig::initFunctionNames();
    rig::initPaletteTypeNames();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
