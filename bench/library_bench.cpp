// The fixture library: indexing a folder tree cold (no cache) on one thread and on
// every core, against reading the same files with the readers alone on one thread;
// reopening it with nothing changed; and a search keystroke over 10,000 entries, in
// the index and in the window's filter. On a generated library of 10,000 definitions
// and, when it is installed, on the QLC+ library of qlcplus-data.
#include "bench_support.h"
#include "../tests/common/zip_writer.h"

#include "fixture/fixture_reader.h"
#include "library/folder_walk.h"
#include "library/library_scan.h"
#include "library/search_text.h"
#include "qtcore/file_names.h"
#include "windows/library_model.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {

constexpr int generatedDefinitions = 10000;
const char* const installedLibrary = "/usr/share/qlcplus/fixtures";

const char* const makers[] = {"Aurora", "Bright Works", "Citadel", "Dornfeld", "Éclat Scénique", "Fulgor", "Glimmer",
                              "Halvorsen", "Iridia", "Jötunn Licht", "Kestrel", "Lumenwerk", "Meridian", "Nordlys",
                              "Orbis", "Prisma", "Quasar", "Radiant", "Solace", "Tungsten & Co"};
const char* const kinds[] = {"Spot", "Wash", "Beam", "Profile", "Hybrid", "Par", "Bar", "Strobe"};

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray xmlText(const char* text)
{
    return QByteArray(text).replace("&", "&amp;");
}

QByteArray modelName(int i)
{
    return QByteArray(kinds[i % 8]) + ' ' + QByteArray::number(100 + (i * 37) % 900) + (i % 3 == 0 ? " LED" : "") + " Mk" +
           QByteArray::number(i % 7 + 1);
}

// A moving head in the open fixture library's format: a basic mode of 8 channels and
// an extended one of 14 to 17.
QByteArray oflDefinition(int i)
{
    QByteArray extended = R"("Pan", "Pan fine", "Tilt", "Tilt fine", "Dimmer", "Dimmer fine", "Shutter", "Color", "Gobo", "Gobo Rotation", "Prism", "Focus", "Zoom")";
    for (int extra = 0; extra < i % 4; ++extra)
        extended += R"(, "Frost")";
    return R"({"$schema": "https://example.invalid/fixture.json", "name": ")" + modelName(i) + R"(", "shortName": "G)" +
           QByteArray::number(i) + R"(", "categories": ["Moving Head"],
  "meta": {"authors": ["Bench"], "createDate": "2026-01-01", "lastModifyDate": "2026-01-01"},
  "wheels": {"Color": {"slots": [{"type": "Open"}, {"type": "Color", "name": "Red"}]}, "Gobo": {"slots": [{"type": "Open"}, {"type": "Gobo", "name": "Dots"}]}},
  "availableChannels": {
    "Pan": {"fineChannelAliases": ["Pan fine"], "capability": {"type": "Pan", "angleStart": "0deg", "angleEnd": "540deg"}},
    "Tilt": {"fineChannelAliases": ["Tilt fine"], "capability": {"type": "Tilt", "angleStart": "0deg", "angleEnd": "270deg"}},
    "Dimmer": {"fineChannelAliases": ["Dimmer fine"], "capability": {"type": "Intensity"}},
    "Shutter": {"capabilities": [{"dmxRange": [0, 9], "type": "ShutterStrobe", "shutterEffect": "Closed"}, {"dmxRange": [10, 255], "type": "ShutterStrobe", "shutterEffect": "Strobe"}]},
    "Color": {"capabilities": [{"dmxRange": [0, 127], "type": "WheelSlot", "slotNumber": 1}, {"dmxRange": [128, 255], "type": "WheelSlot", "slotNumber": 2}]},
    "Gobo": {"capabilities": [{"dmxRange": [0, 127], "type": "WheelSlot", "slotNumber": 1}, {"dmxRange": [128, 255], "type": "WheelSlot", "slotNumber": 2}]},
    "Gobo Rotation": {"capability": {"type": "WheelSlotRotation", "wheel": "Gobo", "speedStart": "slow CW", "speedEnd": "fast CW"}},
    "Prism": {"capability": {"type": "Prism"}}, "Focus": {"capability": {"type": "Focus"}}, "Zoom": {"capability": {"type": "Zoom"}},
    "Frost": {"capability": {"type": "Frost"}}
  },
  "modes": [{"name": "Basic", "channels": ["Pan", "Tilt", "Dimmer", "Shutter", "Color", "Gobo", "Zoom", "Focus"]},
            {"name": "Extended", "channels": [)" + extended + R"(]}]
})";
}

// A wash in the QLC+ format: modes of 8 and 12 channels.
QByteArray qxfDefinition(int i, const char* maker)
{
    QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE FixtureDefinition>
<FixtureDefinition xmlns="http://www.qlcplus.org/FixtureDefinition">
 <Creator><Name>Bench</Name><Version>1</Version><Author>Bench</Author></Creator>
 <Manufacturer>)" + xmlText(maker) + "</Manufacturer>\n <Model>" + modelName(i) + "</Model>\n <Type>Moving Head</Type>\n";
    const char* const channels[] = {"Pan", "Pan fine", "Tilt", "Tilt fine", "Dimmer", "Shutter", "Red", "Green", "Blue", "White", "Zoom", "Reset"};
    const char* const presets[] = {"PositionPan", "PositionPanFine", "PositionTilt", "PositionTiltFine", "IntensityMasterDimmer",
                                   "ShutterStrobeSlowFast", "IntensityRed", "IntensityGreen", "IntensityBlue", "IntensityWhite",
                                   "BeamZoomSmallBig", "ResetAll"};
    for (int c = 0; c < 12; ++c)
        xml += QByteArray(" <Channel Name=\"") + channels[c] + "\" Preset=\"" + presets[c] + "\"/>\n";
    for (const int count : {8, 12}) {
        xml += " <Mode Name=\"" + QByteArray::number(count) + " channel\">\n";
        for (int c = 0; c < count; ++c)
            xml += "  <Channel Number=\"" + QByteArray::number(c) + "\">" + channels[c] + "</Channel>\n";
        xml += " </Mode>\n";
    }
    return xml + " <Physical><Dimensions Weight=\"8\" Width=\"250\" Height=\"350\" Depth=\"200\"/></Physical>\n</FixtureDefinition>\n";
}

QByteArray gdtfDescription(int i, const char* maker)
{
    QByteArray channels;
    const char* const attributes[][2] = {{"1,2", "Pan"}, {"3,4", "Tilt"}, {"5", "Dimmer"}, {"6", "Shutter1"}, {"7", "Color1"},
                                         {"8", "Gobo1"}, {"9", "Zoom"}, {"10", "Control1"}};
    for (const auto& [offset, attribute] : attributes)
        channels += QByteArray("    <DMXChannel DMXBreak=\"1\" Offset=\"") + offset + "\" Geometry=\"" +
                    (QByteArray(attribute) == "Pan" ? "Yoke" : "Head") + "\"><LogicalChannel Attribute=\"" + attribute +
                    "\"><ChannelFunction Attribute=\"" + attribute + "\" DMXFrom=\"0/1\"/></LogicalChannel></DMXChannel>\n";
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<GDTF DataVersion="1.1">
 <FixtureType Name=")" + modelName(i) + R"(" ShortName="GD)" + QByteArray::number(i) + R"(" Manufacturer=")" + xmlText(maker) +
           R"(" FixtureTypeID="2D2B7C5E-0000-4000-8000-000000000001">
  <AttributeDefinitions><Attributes>
   <Attribute Name="Pan" Feature="Position.PanTilt"/><Attribute Name="Tilt" Feature="Position.PanTilt"/><Attribute Name="Dimmer" Feature="Dimmer.Dimmer"/>
  </Attributes></AttributeDefinitions>
  <Models><Model Name="Base"/></Models>
  <Geometries><Geometry Name="Base" Model="Base"><Axis Name="Yoke"><Axis Name="Head"><Beam Name="Beam"/></Axis></Axis></Geometry></Geometries>
  <DMXModes><DMXMode Name="Standard" Geometry="Base"><DMXChannels>
)" + channels + R"(   </DMXChannels></DMXMode></DMXModes>
 </FixtureType>
</GDTF>
)";
}

// 4,500 open fixture library files in manufacturer folders with their manufacturers.json,
// 4,500 QLC+ files and 1,000 GDTF archives.
const QString& generatedLibrary()
{
    static const QString root = [] {
        const QString dir = QString::fromStdString(bench::scratchPath("library"));
        QByteArray manufacturers = "{";
        for (int m = 0; m < 20; ++m)
            manufacturers += (m == 0 ? "" : ",") + QByteArray("\"maker") + QByteArray::number(m) + "\": {\"name\": \"" + makers[m] + "\"}";
        writeFile(dir + "/ofl/fixtures/manufacturers.json", manufacturers + "}");
        for (int i = 0; i < generatedDefinitions; ++i) {
            const int m = i % 20;
            if (i % 10 < 9 && i % 2 == 0)
                writeFile(QStringLiteral("%1/ofl/fixtures/maker%2/fixture-%3.json").arg(dir).arg(m).arg(i), oflDefinition(i));
            else if (i % 10 < 9)
                writeFile(QStringLiteral("%1/qlc/maker%2/fixture-%3.qxf").arg(dir).arg(m).arg(i), qxfDefinition(i, makers[m]));
            else {
                QDir().mkpath(dir + "/gdtf");
                rig::test::writeZip(QStringLiteral("%1/gdtf/fixture-%2.gdtf").arg(dir).arg(i).toStdString(),
                                    {{"description.xml", gdtfDescription(i, makers[m]).toStdString(), ZIP_CM_DEFLATE},
                                     {"thumbnail.png", std::string(4096, '\x42'), ZIP_CM_STORE}});
            }
        }
        return dir;
    }();
    return root;
}

// The folder of a benchmark's argument: 0 the generated library, 1 the installed one.
QString libraryOf(benchmark::State& state)
{
    if (state.range(0) == 0)
        return generatedLibrary();
    if (!QFileInfo(QLatin1String(installedLibrary)).isDir())
        state.SkipWithError("qlcplus-data is not installed");
    return QLatin1String(installedLibrary);
}

library::ScanResult scanOnce(const QString& folder, const QString& cache, int threads)
{
    library::ScanRequest request;
    request.folders = {{folder, false}};
    request.cacheFolder = cache;
    request.programVersion = QStringLiteral("bench");
    request.threads = threads;
    return library::scanLibrary(request);
}

void setLabel(benchmark::State& state, const library::ScanResult& result)
{
    state.counters["files"] = result.filesFound;
    state.counters["read"] = result.filesRead;
}

// The readers alone, one file after the other, on the files the index finds.
void BM_Library_Plain_readersOneThread(benchmark::State& state)
{
    const QString folder = libraryOf(state);
    library::FolderWalk walk;
    library::FolderWalker().walk(rig::toPath(folder), false, walk);
    for (auto _ : state) {
        int fixtures = 0;
        for (const library::FoundFile& file : walk.files) {
            try {
                benchmark::DoNotOptimize(fixture::readFixtureDefinition(file.path).modes.size());
                ++fixtures;
            } catch (const std::exception&) {
            }
        }
        state.counters["fixtures"] = fixtures;
    }
}
BENCHMARK(BM_Library_Plain_readersOneThread)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Walking, reading every file and writing the cache, with no cache to start from;
// on one thread (second argument 1) and on every core (0).
void BM_Library_coldIndex(benchmark::State& state)
{
    const QString folder = libraryOf(state);
    const QString cache = QString::fromStdString(bench::scratchPath("cold-cache"));
    const int threads = static_cast<int>(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        QDir(cache).removeRecursively();
        state.ResumeTiming();
        setLabel(state, scanOnce(folder, cache, threads));
    }
    state.counters["threads"] = threads > 0 ? threads : QThread::idealThreadCount();
}
BENCHMARK(BM_Library_coldIndex)->Args({0, 1})->Args({0, 0})->Args({1, 1})->Args({1, 0})->Unit(benchmark::kMillisecond)->UseRealTime();

// Opening the library again with nothing changed: the walk, the cache, the listing.
void BM_Library_reopenUnchanged(benchmark::State& state)
{
    const QString folder = libraryOf(state);
    const QString cache = QString::fromStdString(bench::scratchPath("warm-cache"));
    (void)scanOnce(folder, cache, 0);
    for (auto _ : state)
        setLabel(state, scanOnce(folder, cache, 0));
}
BENCHMARK(BM_Library_reopenUnchanged)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

const std::vector<library::Entry>& generatedEntries()
{
    static const std::vector<library::Entry> entries = scanOnce(generatedLibrary(), QString(), 0).entries;
    return entries;
}

// Typing "tungsten 42" and erasing it again, a keystroke at a time: each keystroke folds
// the typed text and matches every entry.
const QStringList& keystrokes()
{
    static const QStringList typed = [] {
        const QString phrase = QStringLiteral("tungsten 42");
        QStringList list;
        for (qsizetype n = 1; n <= phrase.size(); ++n)
            list << phrase.left(n);
        for (qsizetype n = phrase.size() - 1; n >= 0; --n)
            list << phrase.left(n);
        return list;
    }();
    return typed;
}

void BM_LibrarySearch_keystrokeInIndex(benchmark::State& state)
{
    const std::vector<library::Entry>& entries = generatedEntries();
    for (auto _ : state) {
        for (const QString& typed : keystrokes()) {
            const QStringList words = library::searchWords(typed);
            int found = 0;
            for (const library::Entry& entry : entries)
                found += library::matchesWords(entry.searchText, words) ? 1 : 0;
            benchmark::DoNotOptimize(found);
        }
    }
    state.counters["entries"] = static_cast<double>(entries.size());
    state.counters["per_keystroke"] = benchmark::Counter(static_cast<double>(keystrokes().size()),
                                                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LibrarySearch_keystrokeInIndex)->Unit(benchmark::kMillisecond);

// The same keystrokes in the window's filter over its table model, sorted by manufacturer.
void BM_LibrarySearch_keystrokeInWindowFilter(benchmark::State& state)
{
    LibraryModel model;
    model.append(generatedEntries());
    LibraryFilter filter(model);
    filter.setFitsOnly(true);
    filter.sort(LibraryModel::ManufacturerColumn);
    for (auto _ : state)
        for (const QString& typed : keystrokes())
            filter.setSearch(typed);
    state.counters["entries"] = model.rowCount();
    state.counters["per_keystroke"] = benchmark::Counter(static_cast<double>(keystrokes().size()),
                                                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LibrarySearch_keystrokeInWindowFilter)->Unit(benchmark::kMillisecond);

}  // namespace
