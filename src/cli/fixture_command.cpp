// fixture FILE --list-modes | [--mode M] -o OUT.lmp | FILE... --all-modes -o DIR:
// lamps made from fixture definitions.
#include "cli/command.h"
#include "cli/lamp_writer.h"
#include "cli/safe_names.h"
#include "base/cp1252.h"
#include "core/fixture_description.h"
#include "core/fixture_mapping.h"
#include "core/lamp.h"
#include "fixture/fixture_reader.h"
#include "qtcore/file_names.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace cli {

namespace {

QList<QCommandLineOption> fixtureOptions()
{
    return {QCommandLineOption(QStringLiteral("list-modes")), QCommandLineOption(QStringLiteral("mode"), QString(), QStringLiteral("M")),
            QCommandLineOption(QStringLiteral("all-modes")), outputOption(), forceOption()};
}

// A text from a definition or the command line on one line whatever it holds: control
// characters become '?'.
QString oneLine(QString text)
{
    for (QChar& ch : text) {
        const char16_t code = ch.unicode();
        if (rig::isControlCharacter(code))
            ch = QLatin1Char('?');
    }
    return text;
}

struct FixtureFile {
    QString path;
    rig::FixtureDescription fixture;
};

QString modeLabel(const FixtureFile& file, std::size_t index)
{
    return QStringLiteral("%1: mode %2").arg(shown(file.path)).arg(index + 1);
}

// Notes go to standard error, one line each; they never change the status.
void printNotes(Context& ctx, const FixtureFile& file, std::size_t index, const std::vector<rig::FixtureNote>& notes)
{
    for (const rig::FixtureNote& note : notes)
        ctx.err << programName << ": " << modeLabel(file, index) << ": channel " << note.channel << " \""
                << oneLine(fromStd(note.name)) << "\": " << oneLine(fromStd(note.text)) << Qt::endl;
}

// The mode a --mode value names: its number from 1, else its name (exact, then ignoring case).
std::optional<std::size_t> findMode(const rig::FixtureDescription& fixture, const QString& wanted)
{
    bool isNumber = false;
    const int number = wanted.toInt(&isNumber);
    if (isNumber && number >= 1 && static_cast<std::size_t>(number) <= fixture.modes.size())
        return static_cast<std::size_t>(number - 1);
    for (const Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive})
        for (std::size_t m = 0; m < fixture.modes.size(); ++m)
            if (fromStd(fixture.modes[m].name).compare(wanted, sensitivity) == 0)
                return m;
    return std::nullopt;
}

int fixtureOneMode(Context& ctx, const FixtureFile& file, const QString& wanted, const QString& outPath, bool force)
{
    const rig::FixtureDescription& fixture = file.fixture;
    std::size_t index = 0;
    if (wanted.isNull()) {
        if (fixture.modes.size() != 1)
            return fail(ctx, file.path, QStringLiteral("The fixture has %1 modes; choose one with --mode (see --list-modes)")
                                            .arg(fixture.modes.size()));
    } else if (const std::optional<std::size_t> found = findMode(fixture, wanted)) {
        index = *found;
    } else {
        return fail(ctx, file.path, QStringLiteral("No mode \"%1\"; see --list-modes").arg(oneLine(wanted)));
    }
    if (const std::string refusal = rig::fixtureModeRefusal(fixture.modes[index]); !refusal.empty())
        return fail(ctx, modeLabel(file, index), fromStd(refusal));
    const rig::FixtureLamp converted = rig::fixtureToLamp(fixture, index);
    printNotes(ctx, file, index, converted.notes);
    return writeOneLamp(ctx, outPath, converted.lamp, force);
}

int fixtureAllModes(Context& ctx, const std::vector<FixtureFile>& files, const QString& dirPath, bool force)
{
    QStringList stems;
    std::vector<rig::Lamp> lamps;
    QStringList labels;
    for (std::size_t f = 0; f < files.size(); ++f) {
        const FixtureFile& file = files[f];
        const QString shortName = fromStd(rig::fixtureLampName(file.fixture)).trimmed();
        for (std::size_t m = 0; m < file.fixture.modes.size(); ++m) {
            if (const std::string refusal = rig::fixtureModeRefusal(file.fixture.modes[m]); !refusal.empty()) {
                warn(ctx, modeLabel(file, m) + QStringLiteral(": skipped: ") + fromStd(refusal));
                continue;
            }
            const rig::FixtureLamp converted = rig::fixtureToLamp(file.fixture, m);
            printNotes(ctx, file, m, converted.notes);
            stems << safeFileStem(shortName + QStringLiteral(" - ") + fromStd(file.fixture.modes[m].name).trimmed(),
                                  QStringLiteral("fixture%1-mode%2").arg(f + 1).arg(m + 1));
            lamps.push_back(converted.lamp);
            labels << shown(file.path) + QLatin1Char('\t') + QString::number(m + 1);
        }
    }
    if (lamps.empty())
        return fail(ctx, dirPath, QStringLiteral("No mode fits the console; nothing was written"));
    QStringList targets;
    if (const int status = writeLampsIntoFolder(ctx, dirPath, stems, lamps, force, targets); status != exitOk)
        return status;
    for (qsizetype i = 0; i < targets.size(); ++i)
        ctx.out << labels[i] << '\t' << shown(targets[i]) << '\n';
    ctx.out.flush();
    return exitOk;
}

int runFixture(Context& ctx, const QCommandLineParser& args)
{
    const QString listModes = QStringLiteral("list-modes");
    const QString mode = QStringLiteral("mode");
    const QString allModes = QStringLiteral("all-modes");
    const QString output = QStringLiteral("output");
    const bool force = args.isSet(QStringLiteral("force"));
    const QStringList paths = args.positionalArguments();
    if (paths.isEmpty())
        return usageError(ctx, QStringLiteral("fixture needs a FILE"));
    if (int(args.isSet(listModes)) + int(args.isSet(mode)) + int(args.isSet(allModes)) > 1)
        return usageError(ctx, QStringLiteral("fixture takes only one of --list-modes, --mode M and --all-modes"));
    if (!args.isSet(allModes) && paths.size() != 1)
        return usageError(ctx, QStringLiteral("fixture takes exactly one FILE, or several with --all-modes"));
    if (!args.isSet(listModes) && (!args.isSet(output) || args.value(output).isEmpty()))
        return usageError(ctx, QStringLiteral("fixture needs -o (a lamp file, or a folder with --all-modes)"));

    // Every definition is read before anything is written.
    std::vector<FixtureFile> files;
    for (const QString& path : paths) {
        try {
            files.push_back({path, fixture::readFixtureDefinition(rig::toPath(path))});
        } catch (const std::exception& error) {
            return fail(ctx, path, error);
        }
    }

    if (args.isSet(listModes)) {
        const rig::FixtureDescription& fixture = files.front().fixture;
        for (std::size_t m = 0; m < fixture.modes.size(); ++m)
            ctx.out << m + 1 << '\t' << fixture.modes[m].channels.size() << '\t' << oneLine(fromStd(fixture.modes[m].name)) << '\n';
        ctx.out.flush();
        return exitOk;
    }
    if (args.isSet(allModes))
        return fixtureAllModes(ctx, files, args.value(output), force);
    return fixtureOneMode(ctx, files.front(), args.isSet(mode) ? args.value(mode) : QString(), args.value(output), force);
}

}  // namespace

extern const Command fixtureCommand = {
    "fixture",
    "  fixture FILE --list-modes\n"
    "      List the modes of a fixture definition (.json from the open fixture\n"
    "      library, .qxf): number, a tab, channel count, a tab, mode name.\n"
    "  fixture FILE [--mode M] -o OUT.lmp [--force]\n"
    "      Write mode M (its number or name; not needed for a single mode) as a\n"
    "      lamp file. Channels without a console function are noted on stderr.\n"
    "  fixture FILE... --all-modes -o DIR [--force]\n"
    "      Write every mode that fits as DIR/<short name> - <mode name>.lmp.\n",
    fixtureOptions,
    runFixture,
};

}  // namespace cli
