// fixture FILE --list-modes | [--mode M] -o OUT.lmp | FILE... --all-modes -o DIR [--notes]:
// lamps made from fixture definitions.
#include "cli/command.h"
#include "cli/lamp_writer.h"
#include "cli/safe_names.h"
#include "base/cp1252.h"
#include "base/rig_error.h"
#include "core/fixture_description.h"
#include "core/fixture_mapping.h"
#include "core/lamp.h"
#include "fixture/fixture_reader.h"
#include "qtcore/file_names.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace cli {

namespace {

QList<QCommandLineOption> fixtureOptions()
{
    return {QCommandLineOption(QStringLiteral("list-modes")), QCommandLineOption(QStringLiteral("mode"), QString(), QStringLiteral("M")),
            QCommandLineOption(QStringLiteral("all-modes")), QCommandLineOption(QStringLiteral("notes")), outputOption(),
            forceOption()};
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

QString reasonOf(const std::exception& error)
{
    if (const auto* rigError = dynamic_cast<const rig::RigError*>(&error))
        return fromStd(rigError->description());
    return fromStd(error.what());
}

struct FixtureFile {
    QString path;
    rig::FixtureDescription fixture;
};

QString modeName(const FixtureFile& file, std::size_t index)
{
    return oneLine(fromStd(file.fixture.modes[index].name));
}

// The file, and the mode by its number and its name: "spot.json: mode 2 "Extended"".
QString modeLabel(const FixtureFile& file, std::size_t index)
{
    // One arg() call: a '%' in the path must not take the later arguments.
    return QStringLiteral("%1: mode %2 \"%3\"").arg(shown(file.path), QString::number(index + 1), modeName(file, index));
}

// Notes go to standard error, one line each; they never change the status.
void printNotes(Context& ctx, const FixtureFile& file, std::size_t index, const std::vector<rig::FixtureNote>& notes)
{
    for (const rig::FixtureNote& note : notes) {
        ctx.err << programName << ": " << modeLabel(file, index) << ": ";
        if (note.channel > 0)
            ctx.err << "channel " << note.channel << " \"" << oneLine(fromStd(note.name)) << "\": ";
        ctx.err << oneLine(fromStd(note.text)) << Qt::endl;
    }
}

// What a lamp's notes come to, for the one line --all-modes gives each lamp: empty, or
// ": 3 channels without a console function, 2 more notes".
QString noteSummary(const std::vector<rig::FixtureNote>& notes)
{
    const std::size_t functions = rig::channelsWithoutFunction(notes);
    const std::size_t others = notes.size() - functions;
    QStringList parts;
    if (functions > 0)
        parts << (functions == 1 ? QStringLiteral("1 channel without a console function")
                                 : QStringLiteral("%1 channels without a console function").arg(functions));
    if (others > 0)
        parts << (functions > 0 ? (others == 1 ? QStringLiteral("1 more note") : QStringLiteral("%1 more notes").arg(others))
                                : (others == 1 ? QStringLiteral("1 note") : QStringLiteral("%1 notes").arg(others)));
    return parts.isEmpty() ? QString() : QStringLiteral(": ") + parts.join(QStringLiteral(", "));
}

bool isPlainNumber(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar ch : text)
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return false;
    return true;
}

// The number a mode's name starts with ("6 channel", "16ch"), or -1.
long long leadingNumber(const QString& name)
{
    qsizetype end = 0;
    while (end < name.size() && end < 18 && name[end] >= QLatin1Char('0') && name[end] <= QLatin1Char('9'))
        ++end;
    return end == 0 ? -1 : name.left(end).toLongLong();
}

// The mode a --mode value names: a plain number is its place from 1, anything else its
// name (exact, then ignoring case). On failure `error` says why, and for a number that
// some other mode's name starts with, which mode that is.
std::optional<std::size_t> findMode(const rig::FixtureDescription& fixture, const QString& wanted, QString& error)
{
    if (isPlainNumber(wanted)) {
        bool ok = false;
        const qulonglong number = wanted.toULongLong(&ok);
        if (ok && number >= 1 && number <= fixture.modes.size())
            return static_cast<std::size_t>(number - 1);
        error = QStringLiteral("No mode %1: the fixture has %2 modes").arg(wanted).arg(fixture.modes.size());
        for (std::size_t m = 0; m < fixture.modes.size(); ++m) {
            const QString name = fromStd(fixture.modes[m].name);
            if (ok && leadingNumber(name) == static_cast<long long>(number)) {
                // A name that is itself a plain number can only be chosen by its place.
                error += QStringLiteral("; mode %1 \"%2\" starts with %3, choose it with --mode %1%4")
                             .arg(QString::number(m + 1), oneLine(name), wanted,
                                  isPlainNumber(name) ? QString() : QStringLiteral(" or its whole name"));
                return std::nullopt;
            }
        }
        error += QStringLiteral(" (see --list-modes)");
        return std::nullopt;
    }
    for (const Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive})
        for (std::size_t m = 0; m < fixture.modes.size(); ++m)
            if (fromStd(fixture.modes[m].name).compare(wanted, sensitivity) == 0)
                return m;
    error = QStringLiteral("No mode \"%1\"; see --list-modes").arg(oneLine(wanted));
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
    } else {
        QString error;
        const std::optional<std::size_t> found = findMode(fixture, wanted, error);
        if (!found)
            return fail(ctx, file.path, error);
        index = *found;
    }
    if (const std::string refusal = rig::fixtureModeRefusal(fixture.modes[index]); !refusal.empty())
        return fail(ctx, modeLabel(file, index), fromStd(refusal));
    const rig::FixtureLamp converted = rig::fixtureToLamp(fixture, index);
    // Written first: a refused or failed write has nothing to note.
    const int status = writeOneLamp(ctx, outPath, converted.lamp, force);
    if (status == exitOk)
        printNotes(ctx, file, index, converted.notes);
    return status;
}

// Every mode of every definition that could be read and fits the console, into one
// folder. A file or mode that cannot be read is named and makes the status 1; a mode the
// console cannot hold (too large, on a second DMX break) is named only.
int fixtureAllModes(Context& ctx, const std::vector<FixtureFile>& files, bool unreadable, const QString& dirPath, bool force,
                    bool withNotes)
{
    QStringList stems;
    std::vector<rig::Lamp> lamps;
    std::vector<std::pair<std::size_t, std::size_t>> sources;  // file, mode
    std::vector<std::vector<rig::FixtureNote>> notes;
    for (std::size_t f = 0; f < files.size(); ++f) {
        const FixtureFile& file = files[f];
        const QString shortName = fromStd(rig::fixtureLampName(file.fixture)).trimmed();
        for (std::size_t m = 0; m < file.fixture.modes.size(); ++m) {
            const rig::FixtureMode& mode = file.fixture.modes[m];
            if (const std::string refusal = rig::fixtureModeRefusal(mode); !refusal.empty()) {
                if (mode.refusal.empty() || !mode.refusalIsFault) {
                    warn(ctx, modeLabel(file, m) + QStringLiteral(": skipped: ") + fromStd(refusal));
                } else {
                    fail(ctx, modeLabel(file, m), QStringLiteral("skipped: ") + fromStd(refusal));
                    unreadable = true;
                }
                continue;
            }
            rig::FixtureLamp converted = rig::fixtureToLamp(file.fixture, m);
            stems << safeFileStem(shortName + QStringLiteral(" - ") + fromStd(mode.name).trimmed(),
                                  QStringLiteral("fixture%1-mode%2").arg(f + 1).arg(m + 1));
            lamps.push_back(converted.lamp);
            sources.emplace_back(f, m);
            notes.push_back(std::move(converted.notes));
        }
    }
    if (lamps.empty())
        return fail(ctx, dirPath, QStringLiteral("No mode could be converted; nothing was written"));
    QStringList targets;
    if (const int status = writeLampsIntoFolder(ctx, dirPath, stems, lamps, force, targets); status != exitOk)
        return status;
    for (qsizetype i = 0; i < targets.size(); ++i)
        ctx.out << "wrote " << shown(targets[i]) << noteSummary(notes[static_cast<std::size_t>(i)]) << '\n';
    ctx.out.flush();
    if (withNotes)
        for (std::size_t i = 0; i < notes.size(); ++i)
            printNotes(ctx, files[sources[i].first], sources[i].second, notes[i]);
    return unreadable ? exitFindings : exitOk;
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

    // Every definition is read before anything is written. With --all-modes one that
    // cannot be read is named and left out; otherwise it ends the run.
    std::vector<FixtureFile> files;
    bool unreadable = false;
    for (const QString& path : paths) {
        try {
            files.push_back({path, fixture::readFixtureDefinition(rig::toPath(path))});
        } catch (const std::exception& error) {
            if (!args.isSet(allModes))
                return fail(ctx, path, error);
            fail(ctx, path, QStringLiteral("skipped: ") + reasonOf(error));
            unreadable = true;
        }
    }

    if (args.isSet(listModes)) {
        const rig::FixtureDescription& fixture = files.front().fixture;
        for (std::size_t m = 0; m < fixture.modes.size(); ++m)
            ctx.out << m + 1 << '\t' << fixture.modes[m].channels.size() << '\t' << oneLine(fromStd(fixture.modes[m].name)) << '\t'
                    << oneLine(fromStd(rig::fixtureModeRefusal(fixture.modes[m]))) << '\n';
        ctx.out.flush();
        return exitOk;
    }
    if (args.isSet(allModes))
        return fixtureAllModes(ctx, files, unreadable, args.value(output), force, args.isSet(QStringLiteral("notes")));
    return fixtureOneMode(ctx, files.front(), args.isSet(mode) ? args.value(mode) : QString(), args.value(output), force);
}

}  // namespace

extern const Command fixtureCommand = {
    "fixture",
    "  fixture FILE --list-modes\n"
    "      List the modes of a fixture definition (open fixture library JSON,\n"
    "      QLC+ XML, or a GDTF archive or its description.xml), one per line,\n"
    "      tab-separated: number, channel count, mode name, and why the mode\n"
    "      cannot be converted (empty when it can).\n"
    "  fixture FILE [--mode M] -o OUT.lmp [--force]\n"
    "      Write mode M (a plain number is its place, anything else its name; not\n"
    "      needed for a single mode) as a lamp file. Notes go to stderr.\n"
    "  fixture FILE... --all-modes -o DIR [--notes] [--force]\n"
    "      Write every mode that can be converted as DIR/<short name> - <mode name>.lmp,\n"
    "      one line per lamp; --notes lists every note. Status 1 when a file or a\n"
    "      mode could not be read.\n",
    fixtureOptions,
    runFixture,
};

}  // namespace cli
