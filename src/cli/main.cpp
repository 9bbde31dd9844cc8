#include "cli/cli_app.h"
#include "lamp/function_names.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

// No display is needed: only QtCore is linked.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    rig::initFunctionNames();
    rig::initPaletteTypeNames();

    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = cli::runCli(QCoreApplication::arguments().mid(1), out, err, QCoreApplication::applicationDirPath());
    out.flush();
    err.flush();
    return status;
}
