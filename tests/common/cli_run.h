#pragma once

// The command line run in-process, as the command-line tests run it and as window
// tests compare a window with it. Tests that include this link the command line's
// library.

#include "qt_helpers.h"

#include "cli/cli_app.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace rig::test {

// What one run of the command line gave back.
struct CliRun {
    int status = -1;
    QString out, err;
    [[nodiscard]] QStringList errLines() const { return err.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

// `appDir` is where the program's own files (showttl.dat) are looked for.
inline CliRun runCommandLine(const QStringList& args, const QString& appDir = QString())
{
    CliRun run;
    QTextStream out(&run.out), err(&run.err);
    run.status = cli::runCli(args, out, err, appDir);
    out.flush();
    err.flush();
    return run;
}

}  // namespace rig::test
