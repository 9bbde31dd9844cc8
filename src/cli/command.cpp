#include "cli/command.h"

#include "base/file_io.h"
#include "base/rig_error.h"
#include "qtcore/file_names.h"

#include <sys/stat.h>

#include <vector>

namespace cli {

int runCommand(const Command& command, Context& ctx, const QStringList& args)
{
    QCommandLineParser parser;
    if (command.options != nullptr)
        parser.addOptions(command.options());
    if (!parser.parse(QStringList{QString::fromLatin1(programName)} + args))
        return usageError(ctx, parser.errorText());
    return command.run(ctx, parser);
}

QCommandLineOption outputOption()
{
    return QCommandLineOption({QStringLiteral("o"), QStringLiteral("output")}, QString(), QStringLiteral("path"));
}

QCommandLineOption forceOption()
{
    return QCommandLineOption(QStringLiteral("force"));
}

QString fromStd(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString shown(const QString& path)
{
    return fromStd(rig::printableName(rig::toPath(path)));
}

QString refusalText()
{
    return QStringLiteral("File exists; use --force to replace it");
}

int fail(Context& ctx, const QString& file, const QString& reason)
{
    ctx.err << programName << ": " << shown(file) << ": " << reason << Qt::endl;
    return exitFailure;
}

int fail(Context& ctx, const QString& file, const std::exception& error)
{
    QString reason;
    if (const auto* rigError = dynamic_cast<const rig::RigError*>(&error))
        reason = rigError->number() == rig::errc::fileExists ? refusalText() : fromStd(rigError->description());
    else
        reason = fromStd(error.what());
    return fail(ctx, file, reason);
}

int failAndPutBack(Context& ctx, const QString& file, const std::exception& error, rig::FileTransaction& transaction)
{
    const std::vector<std::string> unexpected = transaction.rollback();
    fail(ctx, file, error);
    for (const std::string& line : unexpected)
        ctx.err << programName << ": " << fromStd(line) << Qt::endl;
    return exitFailure;
}

int usageError(Context& ctx, const QString& reason)
{
    ctx.err << programName << ": " << reason << " (see " << programName << " --help)" << Qt::endl;
    return exitFailure;
}

void warn(Context& ctx, const QString& text)
{
    ctx.err << programName << ": warning: " << text << Qt::endl;
}

const QString lampKind = QStringLiteral("lamp file");
const QString patchKind = QStringLiteral("stage patch file");

void warnOnSize(Context& ctx, const QString& path, std::size_t expected, const QString& kind)
{
    const long long fileSize = regularFileSize(path);
    if (fileSize < 0)
        return;
    const auto size = static_cast<unsigned long long>(fileSize);
    if (size < expected)
        warn(ctx, QStringLiteral("%1: %2 bytes, a %3 has %4; the missing bytes read as zero")
                      .arg(shown(path))
                      .arg(size)
                      .arg(kind)
                      .arg(expected));
    else if (size > expected)
        warn(ctx, QStringLiteral("%1: %2 bytes, a %3 has %4; the rest is ignored").arg(shown(path)).arg(size).arg(kind).arg(expected));
}

long long regularFileSize(const QString& path)
{
    struct stat info {};
    if (::stat(rig::toPath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    return static_cast<long long>(info.st_size);
}

PathKind kindOf(const QString& path)
{
    struct stat info {};
    if (::lstat(rig::toPath(path).c_str(), &info) != 0)
        return PathKind::None;
    return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::Other;
}

}  // namespace cli
