#pragma once

// The command line run in-process, for tests that compare a window with it. Only the
// tests that link the command line's library include this.

#include "cli/cli_app.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

struct CliRun {
    int status = -1;
    QString out, err;
};

inline CliRun runCommandLine(const QStringList& args, const QString& appDir = QString())
{
    CliRun run;
    QTextStream out(&run.out), err(&run.err);
    run.status = cli::runCli(args, out, err, appDir);
    out.flush();
    err.flush();
    return run;
}
