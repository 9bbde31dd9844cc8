#include "cli/cli_app.h"

#include "cli/render.h"
#include "cli/safe_names.h"
#include "core/fixture_mapping.h"
#include "fixture/fixture_reader.h"
#include "core/console_file.h"
#include "core/lamp_exchange.h"
#include "base/cp1252.h"
#include "core/lamp.h"
#include "core/verify.h"
#include "core/stage_patch.h"
#include "base/file_io.h"
#include "base/rig_error.h"
#include "qtcore/file_names.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#ifndef RIGSMITH_VERSION
#error "RIGSMITH_VERSION must be defined by the build"
#endif

namespace cli {

namespace {

const QString lampDataFileName = QStringLiteral("lamp.dat");

struct Context {
    QTextStream& out;
    QTextStream& err;
    QString appDir;
};

QString fromStd(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A name as it is shown on one line: control characters and bytes that are not UTF-8 escaped.
QString shown(const QString& path)
{
    return fromStd(rig::printableName(rig::toPath(path)));
}

QString refusalText()
{
    return QStringLiteral("File exists; use --force to replace it");
}

// One line on standard error: the program, the file and the reason.
int fail(Context& ctx, const QString& file, const QString& reason)
{
    ctx.err << programName << ": " << shown(file) << ": " << reason << Qt::endl;
    return exitFailure;
}

QString reasonOf(const std::exception& error)
{
    if (const auto* rigError = dynamic_cast<const rig::RigError*>(&error))
        return rigError->number() == rig::errc::fileExists ? refusalText() : fromStd(rigError->description());
    return fromStd(error.what());
}

int fail(Context& ctx, const QString& file, const std::exception& error)
{
    return fail(ctx, file, reasonOf(error));
}

// After a failed write: every file the put-back could not restore, one line each.
int failAndPutBack(Context& ctx, const QString& file, const std::exception& error, rig::FileTransaction& transaction)
{
    const std::vector<std::string> unexpected = transaction.rollback();
    fail(ctx, file, error);
    for (const std::string& line : unexpected)
        ctx.err << programName << ": " << fromStd(line) << Qt::endl;
    return exitFailure;
}

// The size of a regular file, -1 for anything else.
long long regularFileSize(const QString& path)
{
    struct stat info {};
    if (::stat(rig::toPath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    return static_cast<long long>(info.st_size);
}

// What is at `path` without following a link: nothing, a folder, or something else.
enum class PathKind { None, Folder, Other };
PathKind kindOf(const QString& path)
{
    struct stat info {};
    if (::lstat(rig::toPath(path).c_str(), &info) != 0)
        return PathKind::None;
    return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::Other;
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

// The program reads a short record file with the missing bytes as zero and ignores
// bytes past the record; both are worth a word on the command line.
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

const QString lampKind = QStringLiteral("lamp file");
const QString patchKind = QStringLiteral("stage patch file");

bool parse(Context& ctx, QCommandLineParser& parser, const QStringList& args, int& status)
{
    if (!parser.parse(QStringList{QString::fromLatin1(programName)} + args)) {
        status = usageError(ctx, parser.errorText());
        return false;
    }
    return true;
}

QCommandLineOption outputOption()
{
    return QCommandLineOption({QStringLiteral("o"), QStringLiteral("output")}, QString(), QStringLiteral("path"));
}

QCommandLineOption forceOption()
{
    return QCommandLineOption(QStringLiteral("force"));
}

// show ---------------------------------------------------------------------------

int runShow(Context& ctx, const QStringList& args)
{
    QCommandLineParser parser;
    const QCommandLineOption jsonOption(QStringLiteral("json"));
    parser.addOption(jsonOption);
    int status = exitOk;
    if (!parse(ctx, parser, args, status))
        return status;
    if (parser.positionalArguments().size() != 1)
        return usageError(ctx, QStringLiteral("show takes exactly one FILE"));
    const QString path = parser.positionalArguments().first();
    const bool json = parser.isSet(jsonOption);
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

// verify -------------------------------------------------------------------------

int runVerify(Context& ctx, const QStringList& args)
{
    QCommandLineParser parser;
    int status = exitOk;
    if (!parse(ctx, parser, args, status))
        return status;
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return usageError(ctx, QStringLiteral("verify needs at least one FILE.lmp"));

    bool anyError = false;
    bool anyUnreadable = false;
    for (const QString& path : files) {
        rig::Lamp lamp;
        try {
            lamp = rig::readLampFile(rig::toPath(path));
        } catch (const std::exception& error) {
            fail(ctx, path, error);
            anyUnreadable = true;
            continue;
        }
        warnOnSize(ctx, path, rig::lampImageSize, lampKind);
        // With several files each block of findings is headed by its file.
        if (files.size() > 1)
            ctx.out << shown(path) << ":\n";
        const std::vector<rig::Finding> findings = rig::verifyLamp(lamp);
        for (const rig::Finding& finding : findings)
            ctx.out << fromStd(finding.text) << '\n';
        if (rig::hasError(findings))
            anyError = true;
        else
            ctx.out << rig::lampCheckComplete << '\n';
    }
    ctx.out.flush();
    if (anyUnreadable)
        return exitFailure;
    return anyError ? exitFindings : exitOk;
}

// export -------------------------------------------------------------------------

int runExport(Context& ctx, const QStringList& args)
{
    QCommandLineParser parser;
    const QCommandLineOption output = outputOption();
    const QCommandLineOption force = forceOption();
    parser.addOption(output);
    parser.addOption(force);
    int status = exitOk;
    if (!parse(ctx, parser, args, status))
        return status;
    if (!parser.isSet(output) || parser.value(output).isEmpty())
        return usageError(ctx, QStringLiteral("export needs -o OUT"));
    // No lamp file gives the file of 16 free slots, as the dialog does for an empty list
    // (it clears the console's lamp table).
    const QStringList files = parser.positionalArguments();
    const QString outPath = parser.value(output);

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
    if (outKind != PathKind::None && !parser.isSet(force))
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
                            parser.isSet(force) ? rig::Existing::Replace : rig::Existing::Refuse, &transaction);
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

// import -------------------------------------------------------------------------

// A name on one line whatever it holds: control characters become '?'.
QString oneLine(QString name)
{
    for (QChar& ch : name) {
        const char16_t code = ch.unicode();
        if (rig::isControlCharacter(code))
            ch = QLatin1Char('?');
    }
    return name;
}

// The name as the import list shows it: all 16 characters, one line whatever they hold.
QString listedName(const rig::Lamp& lamp)
{
    return oneLine(decodeField(lamp.LampName));
}

// Writes one lamp file; an existing file is replaced only with --force.
int writeOneLamp(Context& ctx, const QString& outPath, const rig::Lamp& lamp, bool force)
{
    const PathKind outKind = kindOf(outPath);
    if (outKind == PathKind::Folder)
        return fail(ctx, outPath, QStringLiteral("Is a folder"));
    if (outKind != PathKind::None && !force)
        return fail(ctx, outPath, refusalText());
    try {
        // Without --force a file that appears meanwhile is refused as well, never replaced.
        const rig::LampImage image = rig::encodeLamp(lamp);
        rig::writeFileAtomically(rig::toPath(outPath), std::vector<std::uint8_t>(image.begin(), image.end()),
                                 force ? rig::Existing::Replace : rig::Existing::Refuse);
    } catch (const std::exception& error) {
        return fail(ctx, outPath, error);
    }
    ctx.out << "Wrote " << shown(outPath) << Qt::endl;
    return exitOk;
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

// Writes each lamp as <stem>.lmp into the folder (made when missing, and removed again
// when the run fails), with the stems made safe and distinct. One existing name refuses
// the whole run unless `force`; a failure half way puts back every file it replaced.
// Gives the paths written, in the order of the lamps, in `targets`.
int writeLampsIntoFolder(Context& ctx, const QString& dirPath, const QStringList& stems, const std::vector<rig::Lamp>& lamps,
                         bool force, QStringList& targets)
{
    const std::string dirNative = rig::toPath(dirPath);
    bool createdDir = false;
    const PathKind dirKind = kindOf(dirPath);
    if (dirKind == PathKind::None) {
        if (::mkdir(dirNative.c_str(), 0777) != 0)
            return fail(ctx, dirPath, QStringLiteral("The folder could not be created"));
        createdDir = true;
    } else if (struct stat info {}; ::stat(dirNative.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return fail(ctx, dirPath, QStringLiteral("Not a folder"));
    }
    // A folder made for this run goes again when the run fails.
    const auto tidy = [&] {
        if (createdDir)
            ::rmdir(dirNative.c_str());
    };

    // Every name is written relative to the folder as opened here, so nothing lands
    // outside it, whatever its path or its entries turn into meanwhile.
    std::unique_ptr<rig::Folder> folder;
    try {
        folder = std::make_unique<rig::Folder>(dirNative);
    } catch (const std::exception& error) {
        tidy();
        return fail(ctx, dirPath, error);
    }

    const QStringList names = uniqueFileNames(stems, QStringLiteral(".lmp"));

    // A link, a folder or a device of an output's name refuses the run even with --force:
    // writing through it could leave the folder or land on another output.
    const QString separator = dirPath.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/");
    targets.clear();
    std::map<std::pair<std::uint64_t, std::uint64_t>, QString> existing;
    for (const QString& name : names) {
        const QString target = dirPath + separator + name;
        try {
            const rig::Folder::Entry entry = folder->entry(name.toStdString());
            if (entry == rig::Folder::Entry::Other) {
                tidy();
                return fail(ctx, target, QStringLiteral("Not a regular file (a link, a folder or a device); "
                                                        "nothing was written"));
            }
            if (entry == rig::Folder::Entry::RegularFile) {
                if (!force) {
                    tidy();
                    return fail(ctx, target, refusalText());
                }
                const auto [other, inserted] = existing.emplace(folder->identity(name.toStdString()), target);
                if (!inserted) {
                    tidy();
                    return fail(ctx, target, QStringLiteral("Is the same file as %1; nothing was written")
                                                 .arg(shown(other->second)));
                }
            }
        } catch (const std::exception& error) {
            tidy();
            return fail(ctx, target, error);
        }
        targets << target;
    }

    rig::FileTransaction transaction;
    for (qsizetype i = 0; i < targets.size(); ++i) {
        const rig::LampImage image = rig::encodeLamp(lamps[static_cast<std::size_t>(i)]);
        try {
            rig::writeFileInFolder(*folder, names[i].toStdString(), std::vector<std::uint8_t>(image.begin(), image.end()),
                                   force ? rig::Existing::Replace : rig::Existing::Refuse, &transaction);
        } catch (const std::exception& error) {
            const int result = failAndPutBack(ctx, targets[i], error, transaction);
            tidy();
            return result;
        }
    }
    for (const std::string& line : transaction.commit())
        warn(ctx, fromStd(line));
    return exitOk;
}

int importAll(Context& ctx, const rig::ImportedLampData& data, const QString& dirPath, bool force)
{
    const std::vector<int> slots = data.usedSlots();
    QStringList stems;
    std::vector<rig::Lamp> lamps;
    for (const int slot : slots) {
        const rig::Lamp& lamp = data.lmpSlots[static_cast<std::size_t>(slot)];
        stems << safeFileStem(displayText(lamp.LampName), QStringLiteral("slot%1").arg(slot));
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

int runImport(Context& ctx, const QStringList& args)
{
    QCommandLineParser parser;
    const QCommandLineOption list(QStringLiteral("list"));
    const QCommandLineOption slot(QStringLiteral("slot"), QString(), QStringLiteral("N"));
    const QCommandLineOption all(QStringLiteral("all"));
    const QCommandLineOption output = outputOption();
    const QCommandLineOption force = forceOption();
    parser.addOptions({list, slot, all, output, force});
    int status = exitOk;
    if (!parse(ctx, parser, args, status))
        return status;
    if (parser.positionalArguments().size() != 1)
        return usageError(ctx, QStringLiteral("import takes exactly one LAMPDAT"));
    const int modes = int(parser.isSet(list)) + int(parser.isSet(slot)) + int(parser.isSet(all));
    if (modes != 1)
        return usageError(ctx, QStringLiteral("import needs one of --list, --slot N or --all"));
    if (!parser.isSet(list) && (!parser.isSet(output) || parser.value(output).isEmpty()))
        return usageError(ctx, QStringLiteral("import --slot and --all need -o"));

    const QString path = parser.positionalArguments().first();
    rig::ImportedLampData data;
    try {
        data = rig::importLampDataFile(rig::toPath(path));
    } catch (const std::exception& error) {
        return fail(ctx, path, error);
    }

    if (parser.isSet(list)) {
        for (const int n : data.usedSlots())
            ctx.out << n << '\t' << listedName(data.lmpSlots[static_cast<std::size_t>(n)]) << '\n';
        ctx.out.flush();
        return exitOk;
    }
    if (parser.isSet(slot))
        return importOne(ctx, path, data, parser.value(slot), parser.value(output), parser.isSet(force));
    return importAll(ctx, data, parser.value(output), parser.isSet(force));
}

// patch-sheet --------------------------------------------------------------------

int runPatchSheet(Context& ctx, const QStringList& args)
{
    QCommandLineParser parser;
    const QCommandLineOption csv(QStringLiteral("csv"));
    parser.addOption(csv);
    int status = exitOk;
    if (!parse(ctx, parser, args, status))
        return status;
    if (parser.positionalArguments().size() != 1)
        return usageError(ctx, QStringLiteral("patch-sheet takes exactly one FILE.pat"));
    const QString path = parser.positionalArguments().first();

    rig::StagePatch patch;
    try {
        rig::readPatchFile(rig::toPath(path), patch, false);
    } catch (const std::exception& error) {
        return fail(ctx, path, error);
    }
    warnOnSize(ctx, path, rig::patchFileSize, patchKind);
    const std::vector<PatchSheetRow> rows = patchSheetRows(patch, SheetOrder::ByDmx);
    ctx.out << (parser.isSet(csv) ? patchSheetCsv(rows) : patchSheetText(rows));
    ctx.out.flush();
    return exitOk;
}

// fixture ------------------------------------------------------------------------

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

int runFixture(Context& ctx, const QStringList& args)
{
    QCommandLineParser parser;
    const QCommandLineOption listModes(QStringLiteral("list-modes"));
    const QCommandLineOption mode(QStringLiteral("mode"), QString(), QStringLiteral("M"));
    const QCommandLineOption allModes(QStringLiteral("all-modes"));
    const QCommandLineOption output = outputOption();
    const QCommandLineOption force = forceOption();
    parser.addOptions({listModes, mode, allModes, output, force});
    int status = exitOk;
    if (!parse(ctx, parser, args, status))
        return status;
    const QStringList paths = parser.positionalArguments();
    if (paths.isEmpty())
        return usageError(ctx, QStringLiteral("fixture needs a FILE"));
    if (int(parser.isSet(listModes)) + int(parser.isSet(mode)) + int(parser.isSet(allModes)) > 1)
        return usageError(ctx, QStringLiteral("fixture takes only one of --list-modes, --mode M and --all-modes"));
    if (!parser.isSet(allModes) && paths.size() != 1)
        return usageError(ctx, QStringLiteral("fixture takes exactly one FILE, or several with --all-modes"));
    if (!parser.isSet(listModes) && (!parser.isSet(output) || parser.value(output).isEmpty()))
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

    if (parser.isSet(listModes)) {
        const rig::FixtureDescription& fixture = files.front().fixture;
        for (std::size_t m = 0; m < fixture.modes.size(); ++m)
            ctx.out << m + 1 << '\t' << fixture.modes[m].channels.size() << '\t' << oneLine(fromStd(fixture.modes[m].name)) << '\n';
        ctx.out.flush();
        return exitOk;
    }
    if (parser.isSet(allModes))
        return fixtureAllModes(ctx, files, parser.value(output), parser.isSet(force));
    return fixtureOneMode(ctx, files.front(), parser.isSet(mode) ? parser.value(mode) : QString(), parser.value(output),
                          parser.isSet(force));
}

bool asksFor(const QStringList& args, const QStringList& flags)
{
    for (const QString& arg : args) {
        if (arg == QLatin1String("--"))
            return false;
        if (flags.contains(arg))
            return true;
    }
    return false;
}

}  // namespace

QString versionText()
{
    return QStringLiteral(RIGSMITH_VERSION);
}

QString usageText()
{
    return QStringLiteral(
        "Usage: rigsmith-cli COMMAND [OPTIONS] FILE...\n"
        "\n"
        "Commands:\n"
        "  show FILE [--json]\n"
        "      Show a lamp file (.lmp), a stage patch file (.pat) or a console lamp\n"
        "      data file as text, or as JSON with the records' field names.\n"
        "  verify FILE.lmp...\n"
        "      Check lamp files as the Verify button does: one line per finding,\n"
        "      then \"Lamp Check Complete\" when there was no error.\n"
        "  export -o OUT [--force] [FILE.lmp...]\n"
        "      Write the console lamp data file OUT from up to 16 lamp files (none: 16\n"
        "      free slots) and copy showttl.dat beside it. An existing OUT is replaced\n"
        "      only with --force.\n"
        "  import LAMPDAT --list\n"
        "      List the slots in use: slot number, a tab, the lamp name as stored.\n"
        "  import LAMPDAT --slot N -o FILE.lmp [--force]\n"
        "      Write the lamp of slot N (0 to 15) as a lamp file.\n"
        "  import LAMPDAT --all -o DIR [--force]\n"
        "      Write every lamp as DIR/<lamp name>.lmp.\n"
        "  patch-sheet FILE.pat [--csv]\n"
        "      List the placed lamps by DMX start address, with their conflicts.\n"
        "  fixture FILE --list-modes\n"
        "      List the modes of a fixture definition (.json from the open fixture\n"
        "      library, .qxf): number, a tab, channel count, a tab, mode name.\n"
        "  fixture FILE [--mode M] -o OUT.lmp [--force]\n"
        "      Write mode M (its number or name; not needed for a single mode) as a\n"
        "      lamp file. Channels without a console function are noted on stderr.\n"
        "  fixture FILE... --all-modes -o DIR [--force]\n"
        "      Write every mode that fits as DIR/<short name> - <mode name>.lmp.\n"
        "\n"
        "Options:\n"
        "  -h, --help     Show this help.\n"
        "  --version      Show the version.\n"
        "\n"
        "Exit status: 0 success; 1 verify found an error; 2 a file could not be read\n"
        "or is malformed, the arguments are wrong, or nothing was written.\n");
}

int runCli(const QStringList& args, QTextStream& out, QTextStream& err, const QString& appDir)
{
    Context ctx{out, err, appDir};
    if (asksFor(args, {QStringLiteral("-h"), QStringLiteral("--help")})) {
        out << usageText();
        out.flush();
        return exitOk;
    }
    if (asksFor(args, {QStringLiteral("--version")})) {
        out << versionText() << Qt::endl;
        return exitOk;
    }
    if (args.isEmpty()) {
        err << usageText();
        err.flush();
        return exitFailure;
    }

    const QString command = args.first();
    const QStringList rest = args.mid(1);
    try {
        if (command == QLatin1String("show"))
            return runShow(ctx, rest);
        if (command == QLatin1String("verify"))
            return runVerify(ctx, rest);
        if (command == QLatin1String("export"))
            return runExport(ctx, rest);
        if (command == QLatin1String("import"))
            return runImport(ctx, rest);
        if (command == QLatin1String("patch-sheet"))
            return runPatchSheet(ctx, rest);
        if (command == QLatin1String("fixture"))
            return runFixture(ctx, rest);
    } catch (const std::exception& error) {
        ctx.err << programName << ": " << fromStd(error.what()) << Qt::endl;
        return exitFailure;
    }
    return usageError(ctx, QStringLiteral("unknown command '%1'").arg(command));
}

}  // namespace cli
