#include "shell/command_line.h"

#include "shell/version.h"

#include <QDir>

#include <cstring>

namespace shell {

std::string usageText()
{
    return "Usage: rigsmith [OPTION]... [FILE]...\n"
           "Start Rigsmith and open each FILE as File > Open does: a lamp file (.lmp)\n"
           "in a lamp window, a stage patch file (.pat) in the stage screen.\n"
           "\n"
           "Options:\n"
           "  -h, --help     Show this help and exit.\n"
           "  --version      Show the version and exit.\n"
           "  --             Take every later argument as a file name.\n"
           "\n"
           "The toolkit's own options (-platform NAME, -style NAME, ...) are accepted too.\n";
}

std::optional<InformationAnswer> informationAnswer(int argc, const char* const* argv)
{
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--") == 0)
            break;
        if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "--help") == 0)
            return InformationAnswer{usageText(), 0};
        if (std::strcmp(arg, "--version") == 0)
            return InformationAnswer{"rigsmith " + std::to_string(versionMajor) + "." + std::to_string(versionMinor) +
                                         "." + std::to_string(versionRevision) + "\n",
                                     0};
    }
    return std::nullopt;
}

FileArguments fileArguments(const QStringList& arguments, const QString& workingFolder)
{
    FileArguments result;
    const QDir base(workingFolder);
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (!optionsEnded && arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        // A lone "-" names no file either; it is refused with the options.
        if (!optionsEnded && arg.startsWith(QLatin1Char('-'))) {
            result.error = QStringLiteral("rigsmith: unknown option '%1'").arg(arg);
            result.files.clear();
            return result;
        }
        if (arg.isEmpty())
            continue;
        result.files << QDir::cleanPath(base.absoluteFilePath(arg));
    }
    return result;
}

}  // namespace shell
