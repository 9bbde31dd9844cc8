#pragma once

#include "cli/program.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QStringList>
#include <QString>
#include <QTextStream>

#include <cstddef>
#include <exception>
#include <string>

namespace rig {
class FileTransaction;
}

namespace cli {

// Where a command writes, and the folder that holds the program's "showttl.dat".
struct Context {
    QTextStream& out;
    QTextStream& err;
    QString appDir;
};

// One command of the command line, defined in a file of its own. Adding a command is
// that file and one entry in the table of cli_app.cpp.
struct Command {
    const char* name;
    // Its lines of the help text.
    const char* usage;
    // The options it takes besides its files; none when null.
    QList<QCommandLineOption> (*options)();
    // Runs the command once its arguments have parsed against its options.
    int (*run)(Context& ctx, const QCommandLineParser& args);
};

// Parses `args` (the words after the command's name) against the command's options and
// runs it; wrong arguments give a usage error.
int runCommand(const Command& command, Context& ctx, const QStringList& args);

QCommandLineOption outputOption();  // -o / --output PATH
QCommandLineOption forceOption();   // --force

[[nodiscard]] QString fromStd(const std::string& text);
// A path as it is shown on one line: control characters and bytes that are not UTF-8 escaped.
[[nodiscard]] QString shown(const QString& path);
[[nodiscard]] QString refusalText();

// One line on standard error: the program, the file and the reason. Returns exitFailure.
int fail(Context& ctx, const QString& file, const QString& reason);
int fail(Context& ctx, const QString& file, const std::exception& error);
// After a failed write: the failure, then every file the put-back could not restore.
int failAndPutBack(Context& ctx, const QString& file, const std::exception& error, rig::FileTransaction& transaction);
// Wrong arguments: the reason and a pointer to --help. Returns exitFailure.
int usageError(Context& ctx, const QString& reason);
void warn(Context& ctx, const QString& text);

extern const QString lampKind;   // "lamp file"
extern const QString patchKind;  // "stage patch file"
// The program reads a short record file with the missing bytes as zero and ignores
// bytes past the record; both are worth a word on the command line.
void warnOnSize(Context& ctx, const QString& path, std::size_t expected, const QString& kind);

// The size of a regular file, -1 for anything else.
[[nodiscard]] long long regularFileSize(const QString& path);
// What is at `path` without following a link: nothing, a folder, or something else.
enum class PathKind { None, Folder, Other };
[[nodiscard]] PathKind kindOf(const QString& path);

}  // namespace cli
