#pragma once

#include "cli/program.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace cli {

[[nodiscard]] QString versionText();
[[nodiscard]] QString usageText();

// True when the command line makes a PDF, which needs Qt Gui (on the offscreen
// platform); every other command runs on QtCore alone.
[[nodiscard]] bool needsGraphics(const QStringList& args);

// Runs one command line. `args` are the arguments after the program name; `appDir`
// is the folder that holds the program's "showttl.dat". Results go to `out`,
// warnings and errors (one line each) to `err`. Returns the exit status.
int runCli(const QStringList& args, QTextStream& out, QTextStream& err, const QString& appDir);

}  // namespace cli
