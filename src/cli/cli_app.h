#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace cli {

inline constexpr const char* programName = "rigsmith-cli";

// Exit statuses: success, a lamp check that found an error, and every failure
// (bad arguments, a file that cannot be read or is malformed, a refused or failed write).
enum ExitStatus : int { exitOk = 0, exitFindings = 1, exitFailure = 2 };

[[nodiscard]] QString versionText();
[[nodiscard]] QString usageText();

// Runs one command line. `args` are the arguments after the program name; `appDir`
// is the folder that holds the program's "showttl.dat". Results go to `out`,
// warnings and errors (one line each) to `err`. Returns the exit status.
int runCli(const QStringList& args, QTextStream& out, QTextStream& err, const QString& appDir);

}  // namespace cli
