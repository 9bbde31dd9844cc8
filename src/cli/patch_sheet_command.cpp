// patch-sheet FILE.pat [--csv]: the placed lamps by DMX start address.
#include "cli/command.h"
#include "cli/patch_sheet_text.h"
#include "core/patch_sheet.h"
#include "core/stage_patch.h"
#include "qtcore/file_names.h"

#include <vector>

namespace cli {

namespace {

QList<QCommandLineOption> patchSheetOptions()
{
    return {QCommandLineOption(QStringLiteral("csv"))};
}

int runPatchSheet(Context& ctx, const QCommandLineParser& args)
{
    if (args.positionalArguments().size() != 1)
        return usageError(ctx, QStringLiteral("patch-sheet takes exactly one FILE.pat"));
    const QString path = args.positionalArguments().first();

    rig::StagePatch patch;
    try {
        rig::readPatchFile(rig::toPath(path), patch, false);
    } catch (const std::exception& error) {
        return fail(ctx, path, error);
    }
    warnOnSize(ctx, path, rig::patchFileSize, patchKind);
    const std::vector<rig::PatchSheetRow> rows = rig::patchSheetRows(patch, rig::SheetOrder::ByDmx);
    ctx.out << (args.isSet(QStringLiteral("csv")) ? patchSheetCsv(rows) : patchSheetText(rows));
    ctx.out.flush();
    return exitOk;
}

}  // namespace

extern const Command patchSheetCommand = {
    "patch-sheet",
    "  patch-sheet FILE.pat [--csv]\n"
    "      List the placed lamps by DMX start address, with their conflicts.\n",
    patchSheetOptions,
    runPatchSheet,
};

}  // namespace cli
