#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

// The program's command line: `rigsmith [FILE...]`, plus --help and --version.
namespace shell {

// What --help or --version prints, and the exit status, when the arguments ask for
// either. Answered from the raw arguments before the toolkit starts, so that both
// work without a display.
struct InformationAnswer {
    std::string text;
    int status = 0;
};
[[nodiscard]] std::optional<InformationAnswer> informationAnswer(int argc, const char* const* argv);

// The files to open, as absolute names, from the arguments the toolkit left over
// after taking its own options (the first is the program). An unknown option gives
// an error text instead. After "--" every argument is a file.
struct FileArguments {
    QStringList files;
    QString error;
};
[[nodiscard]] FileArguments fileArguments(const QStringList& arguments, const QString& workingFolder);

// The usage text that --help prints and an argument error repeats.
[[nodiscard]] std::string usageText();

}  // namespace shell
