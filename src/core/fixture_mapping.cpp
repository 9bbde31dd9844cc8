#include "core/fixture_mapping.h"

#include "base/cp1252.h"
#include "core/fixture_names.h"
#include "core/function_names.h"
#include "base/rig_error.h"

#include <array>
#include <initializer_list>
#include <optional>
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

// Why a channel gets no natural function.
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

// A name as the lamp stores it: Windows-1252, one line.
std::string storedText(const std::string& utf8)
{
    std::string text = utf8ToCp1252(utf8);
    for (char& ch : text)
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F)
            ch = '?';
    return text;
}

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The wheel names of one lamp: each fitted to the field and no two alike. Says why a
// name is not the channel's own in `why`, empty when it is.
class WheelNames final {
public:
    std::string add(int channel, const std::string& channelName, std::string& why)
    {
        const std::string full = trimmed(storedText(channelName));
        std::string name = shortenName(full, width);
        why.clear();
        if (name != full)
            why = "wheel name shortened to " + quoted(cp1252ToUtf8(name));
        if (const Taken* other = find(name)) {
            // The lowest number from 2 that gives a name no earlier channel has.
            for (int n = 2;; ++n) {
                const std::string number = std::to_string(n);
                std::string numbered = shortenName(full.empty() ? number : full + " " + number, width);
                // A name whose own last number is too long to keep would lose the added one;
                // then it goes at the end, so every n gives a name of its own.
                if (numbered.size() < number.size() ||
                    numbered.compare(numbered.size() - number.size(), number.size(), number) != 0)
                    numbered = shortenName(full, width - number.size()) + number;
                if (find(numbered) == nullptr) {
                    why = "wheel name " + quoted(cp1252ToUtf8(numbered)) + ", as channel " + std::to_string(other->channel) +
                          " is " + quoted(cp1252ToUtf8(name));
                    name = numbered;
                    break;
                }
            }
        }
        m_taken.push_back({channel, name});
        return name;
    }

private:
    static constexpr std::size_t width = decltype(LampWheel::WheelName)::width;
    struct Taken {
        int channel;
        std::string name;
    };
    [[nodiscard]] const Taken* find(const std::string& name) const
    {
        for (const Taken& taken : m_taken)
            if (taken.name == name)
                return &taken;
        return nullptr;
    }
    std::vector<Taken> m_taken;
};

}  // namespace

std::string fixtureModeRefusal(const FixtureMode& mode)
{
    if (!mode.refusal.empty())
        return mode.refusal;
    if (mode.channels.empty())
        return "no channels";
    if (mode.channels.size() > maxChannels)
        return std::to_string(mode.channels.size()) + " channels, more than " + std::to_string(consoleChannelLimit);
    return {};
}

std::string fixtureLampName(const FixtureDescription& fixture)
{
    return fixture.shortName.empty() ? fixture.name : fixture.shortName;
}

std::size_t channelsWithoutFunction(const std::vector<FixtureNote>& notes)
{
    std::size_t count = 0;
    for (const FixtureNote& note : notes)
        if (note.about == FixtureNote::About::Function)
            ++count;
    return count;
}

FixtureLamp fixtureToLamp(const FixtureDescription& fixture, std::size_t modeIndex)
{
    if (modeIndex >= fixture.modes.size())
        throw RigError(errc::fixtureMode, "There is no mode " + std::to_string(modeIndex + 1) + "; the fixture has " +
                                              std::to_string(fixture.modes.size()));
    const FixtureMode& mode = fixture.modes[modeIndex];
    if (const std::string refusal = fixtureModeRefusal(mode); !refusal.empty())
        throw RigError(errc::fixtureMode, "Mode " + quoted(mode.name) + ": " + refusal);

    // What a reader could not tell, the channel's name may: "Frost 1/2" in any group.
    std::vector<FixtureChannel> channels = mode.channels;
    for (FixtureChannel& channel : channels)
        if (channel.kind == ChannelKind::Unknown)
            if (const std::optional<ChannelKind> named = channelKindFromName(channel.name))
                channel.kind = *named;
    const Axis pan = findAxis(channels, ChannelKind::Pan);
    const Axis tilt = findAxis(channels, ChannelKind::Tilt);

    FixtureLamp result;
    for (const std::string& note : mode.notes)
        result.notes.push_back({0, {}, note, FixtureNote::About::Reading});
    Lamp& lamp = result.lamp;
    lamp = newLamp();
    FixtureBody body = fixture.body;
    if (body == FixtureBody::ByMode)
        body = pan.coarse >= 0 && tilt.coarse >= 0 ? FixtureBody::MovingHead : FixtureBody::Other;
    lamp.Icon = body == FixtureBody::MovingHead ? 4 : body == FixtureBody::Scanner ? 2 : 1;
    const std::string lampName = storedText(fixtureLampName(fixture));
    lamp.LampName.assign(lampName);
    if (lampName.find_last_not_of(' ') + 1 > lamp.LampName.width)
        result.notes.push_back({0, {}, "lamp name cut to " + quoted(cp1252ToUtf8(lamp.LampName.trimmed())), FixtureNote::About::Name});
    lamp.NumberChannel = static_cast<std::uint8_t>(channels.size());
    lamp.NumberChannelCopy = lamp.NumberChannel;

    // Natural functions first, in channel order.
    std::array<bool, functionCodes> used{};
    std::vector<int> codes(channels.size(), fn::None);
    std::vector<bool> demoted(channels.size(), false);
    for (std::size_t c = 0; c < channels.size(); ++c) {
        const FixtureChannel& channel = channels[c];
        const int index = static_cast<int>(c);
        int& code = codes[c];
        if (index == pan.coarse) {
            code = pan.fine >= 0 ? fn::PanCoarse : fn::Pan8Bit;
        } else if (index == pan.fine) {
            code = fn::PanFine;
        } else if (index == tilt.coarse) {
            code = tilt.fine >= 0 ? fn::TiltCoarse : fn::Tilt8Bit;
        } else if (index == tilt.fine) {
            code = fn::TiltFine;
        } else if (channel.kind != ChannelKind::NoFunction) {
            demoted[c] = true;
            if (channel.fineByte == 0)
                for (const int candidate : familyCodes(channel.kind))
                    if (!used[static_cast<std::size_t>(candidate)]) {
                        code = candidate;
                        demoted[c] = false;
                        break;
                    }
        }
        used[static_cast<std::size_t>(code)] = code != fn::None;
    }
    // Aux1 to Aux3 go to channels that do something before fine bytes, each in channel order.
    std::size_t nextAux = 0;
    for (const bool fineBytes : {false, true})
        for (std::size_t c = 0; c < channels.size(); ++c)
            if (demoted[c] && (channels[c].fineByte > 0) == fineBytes && nextAux < auxCodes.size())
                codes[c] = auxCodes[nextAux++];

    WheelNames wheelNames;
    std::size_t nextWheel = 0;
    for (std::size_t c = 0; c < channels.size(); ++c) {
        const FixtureChannel& channel = channels[c];
        const int index = static_cast<int>(c);
        const int code = codes[c];
        if (demoted[c])
            result.notes.push_back({index + 1, channel.name, demotionReason(channels, channel) + ", became " + auxName(code)});
        LampChannel& target = lamp.Channel[c];
        target.Function = static_cast<std::int16_t>(code);
        target.Palette = static_cast<std::int16_t>(paletteFor(code));
        target.Step = 1;
        if (!isWheelExempt(code)) {
            std::string why;
            lamp.WheelFunction[nextWheel] = static_cast<std::int16_t>(code);
            lamp.Wheel[nextWheel].WheelName.assign(wheelNames.add(index + 1, channel.name, why));
            ++nextWheel;
            if (!why.empty())
                result.notes.push_back({index + 1, channel.name, why, FixtureNote::About::Name});
        }
    }
    return result;
}

}  // namespace rig
