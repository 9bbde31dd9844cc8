// Fixture definitions: converting a folder of them into lamps, against parsing the same
// files alone with the toolkit's JSON and XML parsers (reading the file included in both).
#include "bench_support.h"

#include "core/fixture_mapping.h"
#include "fixture/fixture_reader.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QStringList>
#include <QXmlStreamReader>

#include <benchmark/benchmark.h>

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

// Reading each definition and making the lamp of every mode that fits.
void BM_FixtureFolder_convertEveryMode(benchmark::State& state)
{
    const QStringList& files = definitionFiles();
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
        if (lamps != static_cast<std::size_t>(2 * files.size()))
            state.SkipWithError("not every mode converted");
    }
}
BENCHMARK(BM_FixtureFolder_convertEveryMode)->Unit(benchmark::kMillisecond);

}  // namespace
