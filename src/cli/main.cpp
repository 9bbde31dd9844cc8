#include "cli/cli_app.h"
#include "base/file_io.h"
#include "core/function_names.h"
#include "qtcore/file_names.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>

// No display is needed: a PDF is painted on the offscreen platform, and every other
// command makes no Gui application at all.
int main(int argc, char* argv[])
{
    // An interrupted write leaves no temporary file behind.
    rig::removeTemporariesOnSignals();

    // The arguments as the bytes the system gave, so that any file name works. Taken
    // before the application exists: a Gui application takes options such as
    // -platform out of argv.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << rig::fromPath(QByteArray(argv[i]));

    std::unique_ptr<QCoreApplication> app;
    if (cli::needsGraphics(args)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    rig::initFunctionNames();
    rig::initPaletteTypeNames();

    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = cli::runCli(args, out, err, QCoreApplication::applicationDirPath());
    out.flush();
    err.flush();
    return status;
}
