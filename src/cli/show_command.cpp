// show FILE [--json]: a lamp file, a stage patch file or a console lamp data file.
#include "cli/command.h"
#include "cli/console_view.h"
#include "cli/record_json.h"
#include "cli/record_text.h"
#include "core/console_file.h"
#include "core/lamp.h"
#include "core/stage_patch.h"
#include "qtcore/file_names.h"

#include <QFileInfo>

namespace cli {

namespace {

QList<QCommandLineOption> showOptions()
{
    return {QCommandLineOption(QStringLiteral("json"))};
}

int runShow(Context& ctx, const QCommandLineParser& args)
{
    if (args.positionalArguments().size() != 1)
        return usageError(ctx, QStringLiteral("show takes exactly one FILE"));
    const QString path = args.positionalArguments().first();
    const bool json = args.isSet(QStringLiteral("json"));
    const QString suffix = QFileInfo(path).suffix().toLower();

    try {
        if (suffix == QLatin1String("lmp")) {
            const rig::Lamp lamp = rig::readLampFile(rig::toPath(path));
            warnOnSize(ctx, path, rig::lampImageSize, lampKind);
            if (json)
                ctx.out << lampJson(lamp).serialize();
            else
                ctx.out << "Lamp file: " << shown(path) << "\n\n" << lampText(lamp);
        } else if (suffix == QLatin1String("pat")) {
            rig::StagePatch patch;
            rig::readPatchFile(rig::toPath(path), patch, false);
            warnOnSize(ctx, path, rig::patchFileSize, patchKind);
            if (json)
                ctx.out << stagePatchJson(patch).serialize();
            else
                ctx.out << "Stage patch file: " << shown(path) << "\n\n" << stagePatchText(patch);
        } else {
            // Anything else must be a console lamp data file: its blocks carry the signature.
            const ConsoleView view = consoleView(rig::readLampDataFile(rig::toPath(path)));
            // The reading rules ignore a piece shorter than a block at the end; say so.
            const long long size = regularFileSize(path);
            if (size > 0 && size % static_cast<long long>(rig::blockSize) != 0)
                warn(ctx, QStringLiteral("%1: %2 bytes after the last whole block were ignored")
                              .arg(shown(path))
                              .arg(size % static_cast<long long>(rig::blockSize)));
            if (json)
                ctx.out << consoleJson(view).serialize();
            else
                ctx.out << "Console lamp data file: " << shown(path) << "\n\n" << consoleText(view);
        }
    } catch (const std::exception& error) {
        return fail(ctx, path, error);
    }
    ctx.out.flush();
    return exitOk;
}

}  // namespace

extern const Command showCommand = {
    "show",
    "  show FILE [--json]\n"
    "      Show a lamp file (.lmp), a stage patch file (.pat) or a console lamp\n"
    "      data file as text, or as JSON with the records' field names.\n",
    showOptions,
    runShow,
};

}  // namespace cli
