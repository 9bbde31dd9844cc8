// import LAMPDAT --list | --slot N -o FILE.lmp | --all -o DIR: lamps out of a console
// lamp data file, with the Import dialog's rules.
#include "cli/command.h"
#include "cli/lamp_writer.h"
#include "cli/safe_names.h"
#include "core/lamp.h"
#include "core/lamp_exchange.h"
#include "core/stage_patch.h"
#include "qtcore/field_text.h"
#include "qtcore/file_names.h"

#include <cstddef>
#include <vector>

namespace cli {

namespace {

using rig::FieldControls;
using rig::FieldSpaces;

QList<QCommandLineOption> importOptions()
{
    return {QCommandLineOption(QStringLiteral("list")),
            QCommandLineOption(QStringLiteral("slot"), QString(), QStringLiteral("N")),
            QCommandLineOption(QStringLiteral("all")), outputOption(), forceOption()};
}

int importOne(Context& ctx, const QString& path, const rig::ImportedLampData& data, const QString& slotText,
              const QString& outPath, bool force)
{
    bool isNumber = false;
    const int slot = slotText.toInt(&isNumber);
    if (!isNumber || slot < 0 || slot >= static_cast<int>(rig::lampSlots))
        return usageError(ctx, QStringLiteral("--slot takes a slot number from 0 to %1").arg(rig::lampSlots - 1));
    const rig::Lamp& lamp = data.lmpSlots[static_cast<std::size_t>(slot)];
    if (lamp.Icon == 0)
        return fail(ctx, path, QStringLiteral("Slot %1 holds no lamp").arg(slot));

    return writeOneLamp(ctx, outPath, lamp, force);
}

int importAll(Context& ctx, const rig::ImportedLampData& data, const QString& dirPath, bool force)
{
    const std::vector<int> slots = data.usedSlots();
    QStringList stems;
    std::vector<rig::Lamp> lamps;
    for (const int slot : slots) {
        const rig::Lamp& lamp = data.lmpSlots[static_cast<std::size_t>(slot)];
        stems << safeFileStem(rig::fromField(lamp.LampName, FieldSpaces::Trim, FieldControls::AsQuestionMark),
                              QStringLiteral("slot%1").arg(slot));
        lamps.push_back(lamp);
    }
    QStringList targets;
    if (const int status = writeLampsIntoFolder(ctx, dirPath, stems, lamps, force, targets); status != exitOk)
        return status;
    for (qsizetype i = 0; i < targets.size(); ++i)
        ctx.out << slots[static_cast<std::size_t>(i)] << '\t' << shown(targets[i]) << '\n';
    ctx.out.flush();
    return exitOk;
}

int runImport(Context& ctx, const QCommandLineParser& args)
{
    const QString list = QStringLiteral("list");
    const QString slot = QStringLiteral("slot");
    const QString output = QStringLiteral("output");
    const bool force = args.isSet(QStringLiteral("force"));
    if (args.positionalArguments().size() != 1)
        return usageError(ctx, QStringLiteral("import takes exactly one LAMPDAT"));
    const int modes = int(args.isSet(list)) + int(args.isSet(slot)) + int(args.isSet(QStringLiteral("all")));
    if (modes != 1)
        return usageError(ctx, QStringLiteral("import needs one of --list, --slot N or --all"));
    if (!args.isSet(list) && (!args.isSet(output) || args.value(output).isEmpty()))
        return usageError(ctx, QStringLiteral("import --slot and --all need -o"));

    const QString path = args.positionalArguments().first();
    rig::ImportedLampData data;
    try {
        data = rig::importLampDataFile(rig::toPath(path));
    } catch (const std::exception& error) {
        return fail(ctx, path, error);
    }

    if (args.isSet(list)) {
        // The name as stored, all 16 characters, on one line whatever they hold.
        for (const int n : data.usedSlots())
            ctx.out << n << '\t'
                    << rig::fromField(data.lmpSlots[static_cast<std::size_t>(n)].LampName, FieldSpaces::Keep,
                                      FieldControls::AsQuestionMark)
                    << '\n';
        ctx.out.flush();
        return exitOk;
    }
    if (args.isSet(slot))
        return importOne(ctx, path, data, args.value(slot), args.value(output), force);
    return importAll(ctx, data, args.value(output), force);
}

}  // namespace

extern const Command importCommand = {
    "import",
    "  import LAMPDAT --list\n"
    "      List the slots in use: slot number, a tab, the lamp name as stored.\n"
    "  import LAMPDAT --slot N -o FILE.lmp [--force]\n"
    "      Write the lamp of slot N (0 to 15) as a lamp file.\n"
    "  import LAMPDAT --all -o DIR [--force]\n"
    "      Write every lamp as DIR/<lamp name>.lmp.\n",
    importOptions,
    runImport,
};

}  // namespace cli
