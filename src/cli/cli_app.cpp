#include "cli/cli_app.h"

#include "cli/command.h"

#include <exception>

#ifndef RIGSMITH_VERSION
#error "RIGSMITH_VERSION must be defined by the build"
#endif

namespace cli {

// Each defined in its own <name>_command.cpp.
extern const Command showCommand;
extern const Command verifyCommand;
extern const Command exportCommand;
extern const Command importCommand;
extern const Command patchSheetCommand;
extern const Command fixtureCommand;
extern const Command libraryCommand;

namespace {

// The commands, in the order the help lists them.
const Command* const commands[] = {
    &showCommand, &verifyCommand, &exportCommand, &importCommand, &patchSheetCommand, &fixtureCommand, &libraryCommand,
};

bool asksFor(const QStringList& args, const QStringList& flags)
{
    for (const QString& arg : args) {
        if (arg == QLatin1String("--"))
            return false;
        if (flags.contains(arg))
            return true;
    }
    return false;
}

}  // namespace

QString versionText()
{
    return QStringLiteral(RIGSMITH_VERSION);
}

QString usageText()
{
    QString text = QStringLiteral(
        "Usage: rigsmith-cli COMMAND [OPTIONS] FILE...\n"
        "\n"
        "Commands:\n");
    for (const Command* command : commands)
        text += QString::fromUtf8(command->usage);
    text += QStringLiteral(
        "\n"
        "Options:\n"
        "  -h, --help     Show this help.\n"
        "  --version      Show the version.\n"
        "\n"
        "Exit status: 0 success; 1 verify found an error; 2 a file could not be read\n"
        "or is malformed, the arguments are wrong, or nothing was written.\n");
    return text;
}

int runCli(const QStringList& args, QTextStream& out, QTextStream& err, const QString& appDir)
{
    Context ctx{out, err, appDir};
    if (asksFor(args, {QStringLiteral("-h"), QStringLiteral("--help")})) {
        out << usageText();
        out.flush();
        return exitOk;
    }
    if (asksFor(args, {QStringLiteral("--version")})) {
        out << versionText() << Qt::endl;
        return exitOk;
    }
    if (args.isEmpty()) {
        err << usageText();
        err.flush();
        return exitFailure;
    }

    const QString name = args.first();
    for (const Command* command : commands) {
        if (name != QLatin1String(command->name))
            continue;
        try {
            return runCommand(*command, ctx, args.mid(1));
        } catch (const std::exception& error) {
            ctx.err << programName << ": " << fromStd(error.what()) << Qt::endl;
            return exitFailure;
        }
    }
    return usageError(ctx, QStringLiteral("unknown command '%1'").arg(name));
}

}  // namespace cli
