#include "core/fixture_mapping.h"

#include "base/cp1252.h"
#include "core/function_names.h"
#include "base/rig_error.h"

#include <array>
#include <initializer_list>
#include <vector>

namespace rig {

const char* channelKindText(ChannelKind kind) noexcept
{
    switch (kind) {
    case ChannelKind::NoFunction: return "no function";
    case ChannelKind::Unknown: return "unknown function";
    case ChannelKind::Pan: return "pan";
    case ChannelKind::Tilt: return "tilt";
    case ChannelKind::Intensity: return "dimmer";
    case ChannelKind::ShutterStrobe: return "shutter/strobe";
    case ChannelKind::ColourWheel: return "colour wheel";
    case ChannelKind::Red: return "red";
    case ChannelKind::Green: return "green";
    case ChannelKind::Blue: return "blue";
    case ChannelKind::Cyan: return "cyan";
    case ChannelKind::Magenta: return "magenta";
    case ChannelKind::Yellow: return "yellow";
    case ChannelKind::Amber: return "amber";
    case ChannelKind::OtherColour: return "colour";
    case ChannelKind::ColourTemperature: return "colour temperature";
    case ChannelKind::GoboWheel: return "gobo wheel";
    case ChannelKind::GoboRotation: return "gobo rotation";
    case ChannelKind::Focus: return "focus";
    case ChannelKind::Zoom: return "zoom";
    case ChannelKind::Iris: return "iris";
    case ChannelKind::Prism: return "prism";
    case ChannelKind::PrismRotation: return "prism rotation";
    case ChannelKind::Frost: return "frost";
    case ChannelKind::BladeInsertion: return "blade";
    case ChannelKind::BladeRotation: return "blade rotation";
    case ChannelKind::Speed: return "speed";
    case ChannelKind::Effect: return "effect";
    case ChannelKind::Control: return "control";
    }
    return "unknown function";
}

namespace {

constexpr int consoleChannelLimit = static_cast<int>(maxChannels);
constexpr std::array<int, 3> auxCodes = {29, 30, 31};

// The console functions a kind may take, in the order a repeated kind takes them.
std::vector<int> familyCodes(ChannelKind kind)
{
    switch (kind) {
    case ChannelKind::Intensity: return {21};
    case ChannelKind::ShutterStrobe: return {22};
    case ChannelKind::ColourWheel: return {7, 8};
    case ChannelKind::Red: return {9};
    case ChannelKind::Green: return {10};
    case ChannelKind::Blue: return {11};
    case ChannelKind::Cyan: return {32};
    case ChannelKind::Magenta: return {33};
    case ChannelKind::Yellow: return {34};
    case ChannelKind::Amber: return {36};
    case ChannelKind::ColourTemperature: return {12};
    case ChannelKind::GoboWheel: return {13, 14};
    case ChannelKind::GoboRotation: return {15, 16};
    case ChannelKind::Focus: return {17};
    case ChannelKind::Zoom: return {18};
    case ChannelKind::Iris: return {19};
    case ChannelKind::Prism: return {20};
    case ChannelKind::PrismRotation: return {35};
    case ChannelKind::Effect: return {35};
    case ChannelKind::Frost: return {37};
    case ChannelKind::BladeInsertion: return {24, 25, 26, 27, 39, 40, 41, 42};
    case ChannelKind::BladeRotation: return {23};
    case ChannelKind::Speed: return {28};
    case ChannelKind::Control: return {38};
    default: return {};
    }
}

int paletteFor(int code)
{
    if (code >= 1 && code <= 6)
        return 1;  // Position
    if (code == fn::Dimmer)
        return 4;  // Intensity
    if ((code >= 7 && code <= 12) || (code >= 32 && code <= 34) || code == 36)
        return 3;  // Colour
    if ((code >= 13 && code <= 20) || (code >= 22 && code <= 27) || code == 37 || (code >= 39 && code <= 43))
        return 2;  // Beam
    if ((code >= 28 && code <= 31) || code == 35 || code == 38)
        return 5;  // Control
    return 0;
}

// The coarse channel of a pan or tilt pair and its first fine channel, or -1.
struct Axis {
    int coarse = -1;
    int fine = -1;
};

Axis findAxis(const std::vector<FixtureChannel>& channels, ChannelKind kind)
{
    Axis axis;
    for (std::size_t c = 0; c < channels.size(); ++c)
        if (channels[c].kind == kind && channels[c].fineByte == 0) {
            axis.coarse = static_cast<int>(c);
            break;
        }
    if (axis.coarse < 0)
        return axis;
    for (std::size_t c = 0; c < channels.size(); ++c)
        if (channels[c].kind == kind && channels[c].fineByte == 1 && channels[c].coarse == axis.coarse) {
            axis.fine = static_cast<int>(c);
            break;
        }
    return axis;
}

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// Why a channel gets no natural function; empty when it gets one.
std::string demotionReason(const std::vector<FixtureChannel>& channels, const FixtureChannel& channel)
{
    if (channel.fineByte > 0) {
        if (channel.coarse >= 0 && static_cast<std::size_t>(channel.coarse) < channels.size())
            return "fine channel of channel " + std::to_string(channel.coarse + 1) + " " +
                   quoted(channels[static_cast<std::size_t>(channel.coarse)].name) + ", no console function";
        return "fine channel without its coarse channel, no console function";
    }
    switch (channel.kind) {
    case ChannelKind::Unknown:
        return channel.detail.empty() ? std::string("unknown function") : channel.detail;
    case ChannelKind::OtherColour:
        return (channel.detail.empty() ? std::string("this colour") : channel.detail) + " has no console function";
    default:
        return std::string("no free console function for another ") + channelKindText(channel.kind);
    }
}

const char* auxName(int code)
{
    switch (code) {
    case 29: return "Aux1";
    case 30: return "Aux2";
    case 31: return "Aux3";
    default: return "None";
    }
}

std::string wheelName(const std::string& utf8)
{
    std::string text = utf8ToCp1252(utf8);
    for (char& ch : text)
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F)
            ch = '?';
    return text;
}

}  // namespace

std::string fixtureModeRefusal(const FixtureMode& mode)
{
    if (!mode.refusal.empty())
        return mode.refusal;
    if (mode.channels.empty())
        return "the mode has no channels";
    if (mode.channels.size() > maxChannels)
        return "the mode has " + std::to_string(mode.channels.size()) + " channels, the console takes at most " +
               std::to_string(consoleChannelLimit);
    return {};
}

std::string fixtureLampName(const FixtureDescription& fixture)
{
    return fixture.shortName.empty() ? fixture.name : fixture.shortName;
}

FixtureLamp fixtureToLamp(const FixtureDescription& fixture, std::size_t modeIndex)
{
    if (modeIndex >= fixture.modes.size())
        throw RigError(errc::fixtureMode, "There is no mode " + std::to_string(modeIndex + 1) + "; the fixture has " +
                                              std::to_string(fixture.modes.size()));
    const FixtureMode& mode = fixture.modes[modeIndex];
    if (const std::string refusal = fixtureModeRefusal(mode); !refusal.empty())
        throw RigError(errc::fixtureMode, "Mode " + quoted(mode.name) + ": " + refusal);

    const std::vector<FixtureChannel>& channels = mode.channels;
    const Axis pan = findAxis(channels, ChannelKind::Pan);
    const Axis tilt = findAxis(channels, ChannelKind::Tilt);

    FixtureLamp result;
    Lamp& lamp = result.lamp;
    lamp = newLamp();
    FixtureBody body = fixture.body;
    if (body == FixtureBody::ByMode)
        body = pan.coarse >= 0 && tilt.coarse >= 0 ? FixtureBody::MovingHead : FixtureBody::Other;
    lamp.Icon = body == FixtureBody::MovingHead ? 4 : body == FixtureBody::Scanner ? 2 : 1;
    lamp.LampName.assign(wheelName(fixtureLampName(fixture)));
    lamp.NumberChannel = static_cast<std::uint8_t>(channels.size());
    lamp.NumberChannelCopy = lamp.NumberChannel;

    std::array<bool, functionCodes> used{};
    std::size_t nextAux = 0;
    std::size_t nextWheel = 0;
    for (std::size_t c = 0; c < channels.size(); ++c) {
        const FixtureChannel& channel = channels[c];
        const int index = static_cast<int>(c);
        int code = fn::None;
        bool natural = true;
        if (index == pan.coarse) {
            code = pan.fine >= 0 ? fn::PanCoarse : fn::Pan8Bit;
        } else if (index == pan.fine) {
            code = fn::PanFine;
        } else if (index == tilt.coarse) {
            code = tilt.fine >= 0 ? fn::TiltCoarse : fn::Tilt8Bit;
        } else if (index == tilt.fine) {
            code = fn::TiltFine;
        } else if (channel.kind == ChannelKind::NoFunction) {
            code = fn::None;
        } else {
            natural = false;
            if (channel.fineByte == 0)
                for (const int candidate : familyCodes(channel.kind))
                    if (!used[static_cast<std::size_t>(candidate)]) {
                        code = candidate;
                        natural = true;
                        break;
                    }
        }
        if (!natural) {
            if (nextAux < auxCodes.size())
                code = auxCodes[nextAux++];
            result.notes.push_back({index + 1, channel.name, demotionReason(channels, channel) + ", became " + auxName(code)});
        }
        used[static_cast<std::size_t>(code)] = code != fn::None;

        LampChannel& target = lamp.Channel[c];
        target.Function = static_cast<std::int16_t>(code);
        target.Palette = static_cast<std::int16_t>(paletteFor(code));
        target.Step = 1;
        if (!isWheelExempt(code)) {
            lamp.WheelFunction[nextWheel] = static_cast<std::int16_t>(code);
            lamp.Wheel[nextWheel].WheelName.assign(wheelName(channel.name));
            ++nextWheel;
        }
    }
    return result;
}

}  // namespace rig
