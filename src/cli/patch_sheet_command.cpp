// patch-sheet FILE.pat [--csv | --pdf OUT.pdf [--force] [--paper a4|letter]]: the placed
// lamps by DMX start address, as text, CSV or the printed sheet.
#include "cli/command.h"
#include "cli/patch_sheet_text.h"
#include "core/patch_sheet.h"
#include "core/stage_patch.h"
#include "qtcore/file_names.h"
#include "sheet/sheet_content.h"
#include "sheet/sheet_output.h"

#include <QGuiApplication>

#include <optional>
#include <vector>

namespace cli {

namespace {

const QString csvName = QStringLiteral("csv");
const QString pdfName = QStringLiteral("pdf");
const QString paperName = QStringLiteral("paper");
const QString forceName = QStringLiteral("force");

QList<QCommandLineOption> patchSheetOptions()
{
    return {QCommandLineOption(csvName), QCommandLineOption(pdfName, QString(), QStringLiteral("path")), forceOption(),
            QCommandLineOption(paperName, QString(), QStringLiteral("size"))};
}

std::optional<sheet::Paper> paperOf(const QString& value)
{
    if (value.compare(QLatin1String("a4"), Qt::CaseInsensitive) == 0)
        return sheet::Paper::A4;
    if (value.compare(QLatin1String("letter"), Qt::CaseInsensitive) == 0)
        return sheet::Paper::Letter;
    return std::nullopt;
}

int writePdf(Context& ctx, const QString& path, const rig::StagePatch& patch, const QString& outPath, sheet::Paper paper,
             bool force)
{
    const PathKind outKind = kindOf(outPath);
    if (outKind == PathKind::Folder)
        return fail(ctx, outPath, QStringLiteral("Is a folder"));
    if (outKind != PathKind::None && !force)
        return fail(ctx, outPath, refusalText());
    // Fonts and painting need the Gui application that main makes for --pdf.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return fail(ctx, outPath, QStringLiteral("a PDF needs the graphics library, which was not started"));
    int pages = 0;
    try {
        pages = sheet::writeSheetPdf(outPath, sheet::makeSheetContent(patch, path, false), paper,
                                     force ? rig::Existing::Replace : rig::Existing::Refuse);
    } catch (const std::exception& error) {
        return fail(ctx, outPath, error);
    }
    ctx.out << "Wrote " << shown(outPath) << " with " << pages << (pages == 1 ? " page" : " pages") << Qt::endl;
    return exitOk;
}

int runPatchSheet(Context& ctx, const QCommandLineParser& args)
{
    if (args.positionalArguments().size() != 1)
        return usageError(ctx, QStringLiteral("patch-sheet takes exactly one FILE.pat"));
    const QString path = args.positionalArguments().first();
    const bool pdf = args.isSet(pdfName);
    if (pdf && args.isSet(csvName))
        return usageError(ctx, QStringLiteral("patch-sheet takes --csv or --pdf, not both"));
    if (!pdf && (args.isSet(forceName) || args.isSet(paperName)))
        return usageError(ctx, QStringLiteral("--force and --paper go with --pdf"));
    if (pdf && args.value(pdfName).isEmpty())
        return usageError(ctx, QStringLiteral("patch-sheet --pdf needs OUT.pdf"));
    const std::optional<sheet::Paper> paper =
        args.isSet(paperName) ? paperOf(args.value(paperName)) : std::optional<sheet::Paper>(sheet::Paper::A4);
    if (!paper)
        return usageError(ctx, QStringLiteral("--paper takes a4 or letter"));

    rig::StagePatch patch;
    try {
        rig::readPatchFile(rig::toPath(path), patch, false);
    } catch (const std::exception& error) {
        return fail(ctx, path, error);
    }
    warnOnSize(ctx, path, rig::patchFileSize, patchKind);
    if (pdf)
        return writePdf(ctx, path, patch, args.value(pdfName), *paper, args.isSet(forceName));
    const std::vector<rig::PatchSheetRow> rows = rig::patchSheetRows(patch, rig::SheetOrder::ByDmx);
    ctx.out << (args.isSet(csvName) ? patchSheetCsv(rows) : patchSheetText(rows));
    ctx.out.flush();
    return exitOk;
}

}  // namespace

extern const Command patchSheetCommand = {
    "patch-sheet",
    "  patch-sheet FILE.pat [--csv]\n"
    "      List the placed lamps by DMX start address, with their conflicts.\n"
    "  patch-sheet FILE.pat --pdf OUT.pdf [--force] [--paper a4|letter]\n"
    "      Write the printed patch sheet as a PDF (landscape A4 unless --paper\n"
    "      letter): the lamps, each lamp type's channels and the stage plan. An\n"
    "      existing OUT.pdf is replaced only with --force.\n",
    patchSheetOptions,
    runPatchSheet,
};

bool needsGraphics(const QStringList& args)
{
    if (args.isEmpty() || args.first() != QLatin1String(patchSheetCommand.name))
        return false;
    for (const QString& arg : args.mid(1)) {
        if (arg == QLatin1String("--"))
            return false;
        if (arg == QLatin1String("--pdf") || arg.startsWith(QLatin1String("--pdf=")))
            return true;
    }
    return false;
}

}  // namespace cli
