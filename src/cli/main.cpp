#include "cli/cli_app.h"
#include "base/file_io.h"
#include "core/function_names.h"
#include "qtcore/file_names.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

// No display is needed: only QtCore is linked.
int main(int argc, char* argv[])
{
    // An interrupted write leaves no temporary file behind.
    rig::removeTemporariesOnSignals();

    QCoreApplication app(argc, argv);
    rig::initFunctionNames();
    rig::initPaletteTypeNames();

    // The arguments as the bytes the system gave, so that any file name works.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << rig::fromPath(QByteArray(argv[i]));

    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = cli::runCli(args, out, err, QCoreApplication::applicationDirPath());
    out.flush();
    err.flush();
    return status;
}
