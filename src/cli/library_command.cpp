// library [--dir DIR]... [--no-defaults] list|search WORDS...|problems: the fixture
// library's index, as the Fixture Library window shows it, from the same cache.
#include "cli/command.h"
#include "cli/json.h"
#include "library/library_folders.h"
#include "library/library_scan.h"
#include "library/search_text.h"

#include <QSettings>

namespace cli {

namespace {

const QString dirOption = QStringLiteral("dir");
const QString noDefaultsOption = QStringLiteral("no-defaults");
const QString fitsOption = QStringLiteral("fits");
const QString jsonOption = QStringLiteral("json");

QList<QCommandLineOption> libraryOptions()
{
    return {QCommandLineOption(dirOption, QString(), QStringLiteral("DIR")), QCommandLineOption(noDefaultsOption),
            QCommandLineOption(fitsOption), QCommandLineOption(jsonOption)};
}

// The folders the window indexes (its defaults and those added in it), unless the
// command line says otherwise; --dir folders come after them.
std::vector<library::LibraryFolder> foldersOf(const Context& ctx, const QCommandLineParser& args)
{
    QStringList defaults;
    QStringList added;
    if (!args.isSet(noDefaultsOption)) {
        defaults = library::defaultFolders(ctx.appDir);
        QSettings settings(QStringLiteral("Rigsmith"), QStringLiteral("Rigsmith"));
        settings.beginGroup(QStringLiteral("Settings"));
        added = library::foldersFromSetting(settings.value(QLatin1String(library::foldersSettingKey)).toString());
    }
    added << args.values(dirOption);
    return library::libraryFolders(defaults, added);
}

Json entryJson(const library::Entry& entry)
{
    Json modes = Json::array();
    for (const library::ModeSummary& mode : entry.modes) {
        Json item = Json::object();
        item.set(QStringLiteral("name"), Json::string(mode.name));
        item.set(QStringLiteral("channels"), mode.readable ? Json::number(mode.channels) : Json::null());
        item.set(QStringLiteral("fits"), Json::boolean(mode.fits));
        modes.add(std::move(item));
    }
    Json object = Json::object();
    object.set(QStringLiteral("manufacturer"), Json::string(entry.manufacturer));
    object.set(QStringLiteral("model"), Json::string(entry.model));
    object.set(QStringLiteral("shortName"), Json::string(entry.shortName));
    object.set(QStringLiteral("type"), Json::string(entry.type));
    object.set(QStringLiteral("format"), Json::string(library::formatKey(entry.format)));
    object.set(QStringLiteral("path"), Json::string(shown(entry.path)));
    object.set(QStringLiteral("modes"), std::move(modes));
    return object;
}

int runLibrary(Context& ctx, const QCommandLineParser& args)
{
    const QStringList words = args.positionalArguments();
    const QString action = words.value(0);
    const bool problems = action == QLatin1String("problems");
    if (action != QLatin1String("list") && action != QLatin1String("search") && !problems)
        return usageError(ctx, words.isEmpty() ? QStringLiteral("library needs list, search WORDS... or problems")
                                               : QStringLiteral("library: unknown action '%1'").arg(action));
    if (action == QLatin1String("search") && words.size() < 2)
        return usageError(ctx, QStringLiteral("library search needs the words to look for"));
    if (action != QLatin1String("search") && words.size() > 1)
        return usageError(ctx, QStringLiteral("library %1 takes no words").arg(action));
    if (problems && (args.isSet(fitsOption) || args.isSet(jsonOption)))
        return usageError(ctx, QStringLiteral("library problems takes neither --fits nor --json"));

    library::ScanRequest request;
    request.folders = foldersOf(ctx, args);
    request.cacheFolder = library::cacheFolder();
    request.programVersion = library::programVersion();
    const library::ScanResult scanned = library::scanLibrary(request);
    for (const QString& problem : scanned.cacheProblems)
        warn(ctx, QStringLiteral("the library's cache cannot be written: ") + problem);

    int problemCount = 0;
    for (const library::Entry& entry : scanned.entries) {
        if (entry.kind != library::Entry::Kind::Problem)
            continue;
        ++problemCount;
        if (problems)
            ctx.out << shown(entry.path) << '\t' << entry.problem << '\n';
    }
    if (problems) {
        ctx.out.flush();
        return exitOk;
    }

    const QStringList wanted = library::searchWords(words.mid(1).join(QLatin1Char(' ')));
    const bool fitsOnly = args.isSet(fitsOption);
    Json list = Json::array();
    for (const library::Entry& entry : scanned.entries) {
        if (entry.kind != library::Entry::Kind::Fixture || (fitsOnly && !entry.fits()) || !library::matchesWords(entry.searchText, wanted))
            continue;
        if (args.isSet(jsonOption))
            list.add(entryJson(entry));
        else
            ctx.out << entry.manufacturer << '\t' << entry.model << '\t' << library::formatKey(entry.format) << '\t'
                    << entry.channelCounts(QStringLiteral(",")) << '\t' << shown(entry.path) << '\n';
    }
    if (args.isSet(jsonOption))
        ctx.out << list.serialize();
    ctx.out.flush();
    if (problemCount > 0)
        ctx.err << programName << ": " << problemCount << (problemCount == 1 ? " file" : " files")
                << " of the library cannot be read (see: " << programName << " library problems)" << Qt::endl;
    return exitOk;
}

}  // namespace

extern const Command libraryCommand = {
    "library",
    "  library [--dir DIR]... [--no-defaults] list [--fits] [--json]\n"
    "      List every fixture of the fixture library: manufacturer, model, format\n"
    "      (ofl, qlc, gdtf), the modes' channel counts and the file, tab-separated;\n"
    "      --fits only those with a mode the console takes. The library is the\n"
    "      default folders and those added in the window, and each --dir DIR.\n"
    "  library [--dir DIR]... [--no-defaults] search WORDS... [--fits] [--json]\n"
    "      The fixtures whose manufacturer, model or short name hold every word\n"
    "      (case and accents ignored).\n"
    "  library [--dir DIR]... [--no-defaults] problems\n"
    "      The files and folders of the library that cannot be read, and why.\n",
    libraryOptions,
    runLibrary,
};

}  // namespace cli
