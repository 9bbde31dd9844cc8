// export -o OUT [--force] [FILE.lmp...]: the console lamp data file from lamp files.
#include "cli/command.h"
#include "base/file_io.h"
#include "core/lamp.h"
#include "core/lamp_exchange.h"
#include "core/stage_patch.h"
#include "qtcore/file_names.h"

#include <algorithm>
#include <string>
#include <vector>

namespace cli {

namespace {

const QString lampDataFileName = QStringLiteral("lamp.dat");

QList<QCommandLineOption> exportOptions()
{
    return {outputOption(), forceOption()};
}

int runExport(Context& ctx, const QCommandLineParser& args)
{
    const QString output = QStringLiteral("output");
    const bool force = args.isSet(QStringLiteral("force"));
    if (!args.isSet(output) || args.value(output).isEmpty())
        return usageError(ctx, QStringLiteral("export needs -o OUT"));
    // No lamp file gives the file of 16 free slots, as the dialog does for an empty list
    // (it clears the console's lamp table).
    const QStringList files = args.positionalArguments();
    const QString outPath = args.value(output);
    // Every lamp file is read before anything is written, as the export dialog does.
    std::vector<std::string> sources;
    for (const QString& path : files) {
        try {
            (void)rig::readFileBytes(rig::toPath(path), rig::lampImageSize);
        } catch (const std::exception& error) {
            return fail(ctx, path, error);
        }
        warnOnSize(ctx, path, rig::lampImageSize, lampKind);
        sources.push_back(rig::toPath(path));
    }

    const PathKind outKind = kindOf(outPath);
    if (outKind == PathKind::Folder)
        return fail(ctx, outPath, QStringLiteral("Is a folder"));
    if (outKind != PathKind::None && !force)
        return fail(ctx, outPath, refusalText());
    if (QString::fromStdString(rig::nameOfPath(rig::toPath(outPath))).toLower() != lampDataFileName)
        warn(ctx, QStringLiteral("%1: Dornick will only load lamps from a data file called 'LAMP.DAT'. "
                                 "You will need to rename this file before loading it into the console")
                      .arg(shown(outPath)));
    if (files.size() > static_cast<qsizetype>(rig::lampSlots))
        warn(ctx, QStringLiteral("%1 lamp files given; only the first %2 are stored").arg(files.size()).arg(rig::lampSlots));

    // Checked first so that a missing console file cannot leave a lamp data file alone.
    const QString showTitle = rig::fromPath(rig::showTitleSourcePath(rig::toPath(ctx.appDir)));
    try {
        (void)rig::readFileBytes(rig::toPath(showTitle), 1);
    } catch (const std::exception& error) {
        return fail(ctx, showTitle, error);
    }

    rig::FileTransaction transaction;
    try {
        // The export dialog's own conversion; the sources are whole paths, so no folder.
        rig::exportLampData(std::string(), sources, rig::toPath(outPath), rig::toPath(ctx.appDir),
                            force ? rig::Existing::Replace : rig::Existing::Refuse, &transaction);
    } catch (const std::exception& error) {
        return failAndPutBack(ctx, outPath, error, transaction);
    }
    for (const std::string& line : transaction.commit())
        warn(ctx, fromStd(line));

    const auto stored = std::min<qsizetype>(files.size(), static_cast<qsizetype>(rig::lampSlots));
    ctx.out << "Wrote " << shown(outPath) << " with " << stored << (stored == 1 ? " lamp" : " lamps") << " and "
            << rig::showTitleFileName << " beside it" << Qt::endl;
    return exitOk;
}

}  // namespace

extern const Command exportCommand = {
    "export",
    "  export -o OUT [--force] [FILE.lmp...]\n"
    "      Write the console lamp data file OUT from up to 16 lamp files (none: 16\n"
    "      free slots) and copy showttl.dat beside it. An existing OUT is replaced\n"
    "      only with --force.\n",
    exportOptions,
    runExport,
};

}  // namespace cli
