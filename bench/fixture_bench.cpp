// Fixture definitions: converting a folder of them into lamps, against parsing the same
// files alone with the toolkit's JSON and XML parsers (reading the file included in both;
// for GDTF archives, unpacking description.xml too).
#include "bench_support.h"
#include "../tests/common/zip_writer.h"

#include "core/fixture_mapping.h"
#include "fixture/fixture_reader.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QStringList>
#include <QXmlStreamReader>

#include <benchmark/benchmark.h>

#include <array>
#include <stdexcept>

namespace {

constexpr int definitionsPerFormat = 150;

// A moving head of the usual build: 16-bit pan and tilt, dimmer, strobe, two colour
// wheels, gobo wheels with rotation, beam functions; a basic and an extended mode,
// the extended one with a few channels more per variant.
QByteArray oflDefinition(int variant)
{
    QByteArray json = R"({"name": "Bench Spot )" + QByteArray::number(variant) + R"(", "shortName": "BS)" +
                      QByteArray::number(variant) + R"(", "categories": ["Moving Head"],
  "wheels": {"Color Wheel": {"slots": [{"type": "Open"}, {"type": "Color", "name": "Red"}, {"type": "Color", "name": "Blue"}]},
             "Gobo Wheel": {"slots": [{"type": "Open"}, {"type": "Gobo", "name": "Dots"}]}},
  "availableChannels": {
    "Pan": {"fineChannelAliases": ["Pan fine"], "capability": {"type": "Pan", "angleStart": "0deg", "angleEnd": "540deg"}},
    "Tilt": {"fineChannelAliases": ["Tilt fine"], "capability": {"type": "Tilt", "angleStart": "0deg", "angleEnd": "270deg"}},
    "Dimmer": {"fineChannelAliases": ["Dimmer fine"], "capability": {"type": "Intensity"}},
    "Shutter": {"capabilities": [{"dmxRange": [0, 9], "type": "ShutterStrobe", "shutterEffect": "Closed"},
                                 {"dmxRange": [10, 255], "type": "ShutterStrobe", "shutterEffect": "Strobe", "speedStart": "1Hz", "speedEnd": "20Hz"}]},
    "Color Wheel": {"capabilities": [{"dmxRange": [0, 63], "type": "WheelSlot", "slotNumber": 1}, {"dmxRange": [64, 127], "type": "WheelSlot", "slotNumber": 2},
                                     {"dmxRange": [128, 255], "type": "WheelRotation", "speedStart": "slow CW", "speedEnd": "fast CW"}]},
    "Gobo Wheel": {"capabilities": [{"dmxRange": [0, 127], "type": "WheelSlot", "slotNumber": 1}, {"dmxRange": [128, 255], "type": "WheelShake", "slotNumber": 2}]},
    "Gobo Rotation": {"capability": {"type": "WheelSlotRotation", "wheel": "Gobo Wheel", "speedStart": "slow CW", "speedEnd": "fast CW"}},
    "Focus": {"capability": {"type": "Focus", "distanceStart": "near", "distanceEnd": "far"}},
    "Zoom": {"capability": {"type": "Zoom", "angleStart": "10deg", "angleEnd": "40deg"}},
    "Iris": {"capability": {"type": "Iris", "openPercentStart": "closed", "openPercentEnd": "open"}},
    "Prism": {"capabilities": [{"dmxRange": [0, 127], "type": "NoFunction"}, {"dmxRange": [128, 255], "type": "Prism"}]},
    "Frost": {"capability": {"type": "Frost", "frostIntensityStart": "0%", "frostIntensityEnd": "100%"}},
    "Speed": {"capability": {"type": "PanTiltSpeed", "speedStart": "fast", "speedEnd": "slow"}},
    "Control": {"capabilities": [{"dmxRange": [0, 200], "type": "NoFunction"}, {"dmxRange": [201, 255], "type": "Maintenance", "comment": "Reset"}]}
  },
  "modes": [
    {"name": "Basic", "channels": ["Pan", "Tilt", "Dimmer", "Shutter", "Color Wheel", "Gobo Wheel", "Zoom", "Control"]},
    {"name": "Extended", "channels": ["Pan", "Pan fine", "Tilt", "Tilt fine", "Speed", "Dimmer", "Dimmer fine", "Shutter",
                                      "Color Wheel", "Gobo Wheel", "Gobo Rotation", "Prism", "Focus", "Zoom", "Iris")";
    for (int extra = 0; extra < variant % 4; ++extra)
        json += R"(, "Frost", null)";
    json += R"(, "Control"]}
  ]
})";
    return json;
}

QByteArray qxfDefinition(int variant)
{
    QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE FixtureDefinition>
<FixtureDefinition xmlns="http://www.qlcplus.org/FixtureDefinition">
 <Creator><Name>Bench</Name><Version>1</Version><Author>Bench</Author></Creator>
 <Manufacturer>Bench</Manufacturer>
 <Model>Bench Wash )" + QByteArray::number(variant) + R"(</Model>
 <Type>Moving Head</Type>
)";
    const char* const channels[][3] = {
        {"Pan", "PositionPan", nullptr}, {"Pan fine", "PositionPanFine", nullptr}, {"Tilt", "PositionTilt", nullptr},
        {"Tilt fine", "PositionTiltFine", nullptr}, {"Dimmer", "IntensityMasterDimmer", nullptr},
        {"Shutter", "ShutterStrobeSlowFast", nullptr}, {"Red", "IntensityRed", nullptr}, {"Green", "IntensityGreen", nullptr},
        {"Blue", "IntensityBlue", nullptr}, {"White", "IntensityWhite", nullptr}, {"Zoom", "BeamZoomSmallBig", nullptr},
        {"Colour macro", nullptr, "Colour"}, {"Effect", nullptr, "Effect"}, {"Reset", nullptr, "Maintenance"},
    };
    for (const auto& channel : channels) {
        xml += QByteArray(" <Channel Name=\"") + channel[0] + "\"";
        if (channel[1] != nullptr) {
            xml += QByteArray(" Preset=\"") + channel[1] + "\"/>\n";
        } else {
            xml += QByteArray(">\n  <Group Byte=\"0\">") + channel[2] + "</Group>\n";
            for (int range = 0; range < 8; ++range)
                xml += "  <Capability Min=\"" + QByteArray::number(range * 32) + "\" Max=\"" + QByteArray::number(range * 32 + 31) +
                       "\">Step " + QByteArray::number(range) + "</Capability>\n";
            xml += " </Channel>\n";
        }
    }
    const int counts[] = {8, 14};
    for (const int count : counts) {
        const int used = count == 14 ? count - variant % 3 : count;
        xml += " <Mode Name=\"" + QByteArray::number(used) + " channel\">\n";
        for (int c = 0; c < used; ++c)
            xml += "  <Channel Number=\"" + QByteArray::number(c) + "\">" + channels[c][0] + "</Channel>\n";
        xml += " </Mode>\n";
    }
    xml += R"( <Physical><Bulb Type="LED" Lumens="0" ColourTemperature="0"/><Dimensions Weight="8" Width="250" Height="350" Depth="200"/>
  <Lens Name="Other" DegreesMin="8" DegreesMax="40"/><Focus Type="Head" PanMax="540" TiltMax="270"/></Physical>
</FixtureDefinition>
)";
    return xml;
}

const QStringList& definitionFiles()
{
    static const QStringList files = [] {
        QStringList list;
        const QDir dir(QString::fromStdString(bench::scratchPath("fixtures")));
        if (!QDir().mkpath(dir.path()))
            throw std::runtime_error("cannot make the fixture folder");
        for (int i = 0; i < definitionsPerFormat; ++i) {
            const QString names[2] = {dir.filePath(QStringLiteral("spot%1.json").arg(i)), dir.filePath(QStringLiteral("wash%1.qxf").arg(i))};
            const QByteArray contents[2] = {oflDefinition(i), qxfDefinition(i)};
            for (int f = 0; f < 2; ++f) {
                QFile file(names[f]);
                if (!file.open(QIODevice::WriteOnly) || file.write(contents[f]) != contents[f].size())
                    throw std::runtime_error("cannot write a fixture definition");
                list << names[f];
            }
        }
        return list;
    }();
    return files;
}

void BM_FixtureFolder_Plain_parseOnly(benchmark::State& state)
{
    const QStringList& files = definitionFiles();
    for (auto _ : state) {
        for (const QString& path : files) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                state.SkipWithError("cannot read a definition");
            const QByteArray data = file.readAll();
            if (path.endsWith(QLatin1String(".json"))) {
                const QJsonDocument document = QJsonDocument::fromJson(data);
                benchmark::DoNotOptimize(document.isObject());
            } else {
                QXmlStreamReader xml(data);
                int elements = 0;
                while (!xml.atEnd())
                    if (xml.readNext() == QXmlStreamReader::StartElement)
                        ++elements;
                benchmark::DoNotOptimize(elements);
            }
        }
    }
}
BENCHMARK(BM_FixtureFolder_Plain_parseOnly)->Unit(benchmark::kMillisecond);

// Reading each definition of `files` and making the lamp of every mode that fits; each
// file has `modesPerFile` such modes.
void convertEveryMode(benchmark::State& state, const QStringList& files, std::size_t modesPerFile)
{
    for (auto _ : state) {
        std::size_t lamps = 0;
        for (const QString& path : files) {
            const rig::FixtureDescription fixture = fixture::readFixtureDefinition(path);
            for (std::size_t m = 0; m < fixture.modes.size(); ++m)
                if (rig::fixtureModeRefusal(fixture.modes[m]).empty()) {
                    const rig::FixtureLamp lamp = rig::fixtureToLamp(fixture, m);
                    benchmark::DoNotOptimize(lamp.lamp.NumberChannel);
                    ++lamps;
                }
        }
        if (lamps != modesPerFile * static_cast<std::size_t>(files.size()))
            state.SkipWithError("not every mode converted");
    }
}

void BM_FixtureFolder_convertEveryMode(benchmark::State& state) { convertEveryMode(state, definitionFiles(), 2); }
BENCHMARK(BM_FixtureFolder_convertEveryMode)->Unit(benchmark::kMillisecond);

// A moving head as its maker would publish it: every DMX channel with its channel
// functions and sets, wheels with slots, a geometry tree; 16-bit position and dimmer;
// a basic mode, an extended one with a few channels more per variant, and a pixel mode
// of four referenced cells.
QByteArray gdtfDescription(int variant)
{
    struct Channel {
        const char* offset;
        const char* geometry;
        const char* attribute;
        int sets;
    };
    const auto channels = [](const std::vector<Channel>& list) {
        QByteArray xml;
        for (const Channel& channel : list) {
            xml += QByteArray("    <DMXChannel DMXBreak=\"1\" Offset=\"") + channel.offset + "\" Highlight=\"None\" Geometry=\"" + channel.geometry +
                   "\">\n     <LogicalChannel Attribute=\"" + channel.attribute + "\" Snap=\"No\" Master=\"None\" MibFade=\"0\">\n";
            for (int function = 0; function < 2; ++function) {
                xml += QByteArray("      <ChannelFunction Name=\"") + channel.attribute + " " + QByteArray::number(function + 1) +
                       "\" Attribute=\"" + (function == 0 ? channel.attribute : "NoFeature") + "\" DMXFrom=\"" + QByteArray::number(function * 128) +
                       "/1\" PhysicalFrom=\"0\" PhysicalTo=\"1\" RealFade=\"0\">\n";
                for (int set = 0; set < channel.sets; ++set)
                    xml += "       <ChannelSet Name=\"Step " + QByteArray::number(set) + "\" DMXFrom=\"" + QByteArray::number(function * 128 + set * 8) +
                           "/1\" WheelSlotIndex=\"" + QByteArray::number(set + 1) + "\"/>\n";
                xml += "      </ChannelFunction>\n";
            }
            xml += "     </LogicalChannel>\n    </DMXChannel>\n";
        }
        return xml;
    };
    const std::vector<Channel> basic = {{"1", "Yoke", "Pan", 2}, {"2", "Head", "Tilt", 2}, {"3", "Head", "Dimmer", 2},
                                        {"4", "Head", "Shutter1", 6}, {"5", "Head", "Color1", 12}, {"6", "Head", "Gobo1", 10},
                                        {"7", "Head", "Zoom", 2}, {"8", "Head", "Control1", 8}};
    std::vector<Channel> extended = {{"1,2", "Yoke", "Pan", 2}, {"3,4", "Head", "Tilt", 2}, {"5", "Head", "PositionMSpeed", 2},
                                     {"6,7", "Head", "Dimmer", 2}, {"8", "Head", "Shutter1", 6}, {"9", "Head", "Color1", 12},
                                     {"10", "Head", "Gobo1", 10}, {"11", "Head", "Gobo1PosRotate", 4}, {"12", "Head", "Prism1", 2},
                                     {"13", "Head", "Focus1", 2}, {"14", "Head", "Zoom", 2}, {"15", "Head", "Iris", 2}};
    const std::array<const char*, 4> extras = {"16", "17", "18", "19"};
    for (int extra = 0; extra < variant % 4; ++extra)
        extended.push_back({extras[static_cast<std::size_t>(extra)], "Head", "Frost1", 2});
    // The last channel follows the extra ones.
    extended.push_back({extras[static_cast<std::size_t>(variant % 4)], "Head", "Control1", 8});
    const std::vector<Channel> cells = {{"1", "Body", "Dimmer", 2}, {"1", "Cell", "ColorAdd_R", 2}, {"2", "Cell", "ColorAdd_G", 2},
                                        {"3", "Cell", "ColorAdd_B", 2}};

    QByteArray wheels;
    for (const char* wheel : {"ColorWheel", "GoboWheel"}) {
        wheels += QByteArray("   <Wheel Name=\"") + wheel + "\">\n";
        for (int slot = 0; slot < 10; ++slot)
            wheels += "    <Slot Name=\"Slot " + QByteArray::number(slot) + "\" Color=\"0.3127,0.3290,100.0\" MediaFileName=\"slot" +
                      QByteArray::number(slot) + "\"/>\n";
        wheels += "   </Wheel>\n";
    }
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="no" ?>
<GDTF DataVersion="1.1">
 <FixtureType Name="Bench Spot )" + QByteArray::number(variant) + R"(" ShortName="BG)" + QByteArray::number(variant) +
           R"(" LongName="Bench Spot" Manufacturer="Bench" Description="" FixtureTypeID="2D2B7C5E-0000-4000-8000-000000000001" RefFT="" Thumbnail="thumbnail">
  <AttributeDefinitions>
   <FeatureGroups><FeatureGroup Name="Position"><Feature Name="PanTilt"/></FeatureGroup><FeatureGroup Name="Dimmer"><Feature Name="Dimmer"/></FeatureGroup></FeatureGroups>
   <Attributes>
    <Attribute Name="Pan" Pretty="P" Feature="Position.PanTilt"/><Attribute Name="Tilt" Pretty="T" Feature="Position.PanTilt"/>
    <Attribute Name="Dimmer" Pretty="Dim" Feature="Dimmer.Dimmer"/><Attribute Name="NoFeature" Pretty="NoFeature" Feature="Control.Control"/>
   </Attributes>
  </AttributeDefinitions>
  <Wheels>
)" + wheels + R"(  </Wheels>
  <Models><Model Name="Base" Length="0.3" Width="0.3" Height="0.1" PrimitiveType="Base"/></Models>
  <Geometries>
   <Geometry Name="Base" Model="Base"><Axis Name="Yoke" Model="Yoke"><Axis Name="Head" Model="Head"><Beam Name="Beam" Model="Beam" BeamAngle="20"/></Axis></Axis></Geometry>
   <Beam Name="Cell" Model="Cell"/>
   <Geometry Name="Body" Model="Base">
    <GeometryReference Name="Cell1" Geometry="Cell"><Break DMXOffset="2"/></GeometryReference>
    <GeometryReference Name="Cell2" Geometry="Cell"><Break DMXOffset="5"/></GeometryReference>
    <GeometryReference Name="Cell3" Geometry="Cell"><Break DMXOffset="8"/></GeometryReference>
    <GeometryReference Name="Cell4" Geometry="Cell"><Break DMXOffset="11"/></GeometryReference>
   </Geometry>
  </Geometries>
  <DMXModes>
   <DMXMode Name="Basic" Geometry="Base">
    <DMXChannels>
)" + channels(basic) + R"(    </DMXChannels>
   </DMXMode>
   <DMXMode Name="Extended" Geometry="Base">
    <DMXChannels>
)" + channels(extended) + R"(    </DMXChannels>
   </DMXMode>
   <DMXMode Name="Cells" Geometry="Body">
    <DMXChannels>
)" + channels(cells) + R"(    </DMXChannels>
   </DMXMode>
  </DMXModes>
 </FixtureType>
</GDTF>
)";
}

const QStringList& gdtfFiles()
{
    static const QStringList files = [] {
        QStringList list;
        const QDir dir(QString::fromStdString(bench::scratchPath("gdtf")));
        if (!QDir().mkpath(dir.path()))
            throw std::runtime_error("cannot make the GDTF folder");
        for (int i = 0; i < definitionsPerFormat; ++i) {
            const QString name = dir.filePath(QStringLiteral("spot%1.gdtf").arg(i));
            // Beside the description, what an archive usually carries: a thumbnail, wheel
            // images and a model, none of which the reader unpacks.
            std::vector<rig::test::ZipEntry> entries = {{"description.xml", gdtfDescription(i).toStdString(), i % 2 == 0 ? ZIP_CM_DEFLATE : ZIP_CM_BZIP2},
                                                        {"thumbnail.png", std::string(4096, '\x42'), ZIP_CM_STORE},
                                                        {"models/3ds/base.3ds", std::string(65536, '\x17'), ZIP_CM_DEFLATE}};
            for (int slot = 0; slot < 10; ++slot)
                entries.push_back({"wheels/slot" + std::to_string(slot) + ".png", std::string(2048, static_cast<char>(slot)), ZIP_CM_STORE});
            rig::test::writeZip(name.toStdString(), entries);
            list << name;
        }
        return list;
    }();
    return files;
}

// Unpacking description.xml and walking its every token, with no interpretation.
void BM_GdtfFolder_Plain_unzipAndParse(benchmark::State& state)
{
    const QStringList& files = gdtfFiles();
    qsizetype unpacked = 0;
    for (auto _ : state) {
        unpacked = 0;
        for (const QString& path : files) {
            int code = 0;
            zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
            const zip_int64_t index = archive == nullptr ? -1 : zip_name_locate(archive, "description.xml", ZIP_FL_ENC_RAW);
            zip_file_t* entry = index < 0 ? nullptr : zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0);
            if (entry == nullptr) {
                state.SkipWithError("cannot open an archive");
                if (archive != nullptr)
                    zip_discard(archive);
                return;
            }
            QByteArray data;
            std::array<char, 64 * 1024> buffer{};
            zip_int64_t got = 0;
            while ((got = zip_fread(entry, buffer.data(), buffer.size())) > 0)
                data.append(buffer.data(), static_cast<qsizetype>(got));
            zip_fclose(entry);
            zip_discard(archive);
            unpacked += data.size();
            QXmlStreamReader xml(data);
            int elements = 0;
            while (!xml.atEnd())
                if (xml.readNext() == QXmlStreamReader::StartElement)
                    ++elements;
            benchmark::DoNotOptimize(elements);
        }
    }
    state.counters["description_KiB"] = static_cast<double>(unpacked) / 1024.0 / static_cast<double>(files.size());
}
BENCHMARK(BM_GdtfFolder_Plain_unzipAndParse)->Unit(benchmark::kMillisecond);

// Reading each archive and making the lamp of every mode.
void BM_GdtfFolder_convertEveryMode(benchmark::State& state) { convertEveryMode(state, gdtfFiles(), 3); }
BENCHMARK(BM_GdtfFolder_convertEveryMode)->Unit(benchmark::kMillisecond);

}  // namespace
