#include "core/lamp.h"

#include "base/byte_io.h"
#include "base/file_io.h"

#include <cstring>
#include <vector>

namespace rig {

namespace {

// Where each field starts in the image. Every part follows the one before it with
// no gap; the checks below prove that the parts fill exactly one image, so the
// fixed offsets used by encode and decode can never leave it.
namespace at {
constexpr std::size_t Icon = lampIconOffset;
constexpr std::size_t Reserved1 = Icon + 1;
constexpr std::size_t LampName = lampNameOffset;
constexpr std::size_t Reserved2 = LampName + decltype(Lamp::LampName)::width;
constexpr std::size_t NumberChannel = Reserved2 + 1;
constexpr std::size_t NumberChannelCopy = NumberChannel + 1;
constexpr std::size_t Reserved3 = NumberChannelCopy + 1;
constexpr std::size_t WheelFunction = Reserved3 + 1;
constexpr std::size_t Wheel = lampWheelOffset;
constexpr std::size_t Channel = lampChannelOffset;
constexpr std::size_t ReservedTable = lampReservedTableOffset;
constexpr std::size_t ReservedArea1 = ReservedTable + reservedTables * reservedTableSize;
constexpr std::size_t ReservedArea2 = ReservedArea1 + reservedAreaSize;
constexpr std::size_t End = ReservedArea2 + reservedAreaSize;
}  // namespace at

constexpr std::size_t wheelNameSize = decltype(LampWheel::WheelName)::width;
constexpr std::size_t wheelSize = wheelNameSize + 2;  // name, Reserved1, Reserved2
constexpr std::size_t channelSize = 6;                // Palette, Function, Reserved, Step

static_assert(at::Reserved1 + 1 == at::LampName);
static_assert(at::WheelFunction + 2 * wheelSlots == at::Wheel);
static_assert(at::Wheel + wheelSize * wheelSlots == at::Channel);
static_assert(at::Channel + channelSize * maxChannels == at::ReservedTable);
static_assert(at::End == lampImageSize);

template <std::size_t N>
void putBytes(std::uint8_t* to, const std::array<std::uint8_t, N>& bytes)
{
    std::memcpy(to, bytes.data(), N);
}

template <std::size_t N>
void getBytes(std::array<std::uint8_t, N>& bytes, const std::uint8_t* from)
{
    std::memcpy(bytes.data(), from, N);
}

// Field by field at fixed offsets: with no running position to check, the compiler
// turns the loops into plain block moves.
void writeImage(LampImage& image, const Lamp& lamp)
{
    std::uint8_t* const p = image.data();
    p[at::Icon] = lamp.Icon;
    p[at::Reserved1] = lamp.Reserved1;
    putBytes(p + at::LampName, lamp.LampName.bytes());
    p[at::Reserved2] = lamp.Reserved2;
    p[at::NumberChannel] = lamp.NumberChannel;
    p[at::NumberChannelCopy] = lamp.NumberChannelCopy;
    p[at::Reserved3] = lamp.Reserved3;
    for (std::size_t i = 0; i < wheelSlots; ++i)
        endian::writeI16LE(p + at::WheelFunction + 2 * i, lamp.WheelFunction[i]);
    for (std::size_t i = 0; i < wheelSlots; ++i) {
        std::uint8_t* const wheel = p + at::Wheel + wheelSize * i;
        putBytes(wheel, lamp.Wheel[i].WheelName.bytes());
        wheel[wheelNameSize] = lamp.Wheel[i].Reserved1;
        wheel[wheelNameSize + 1] = lamp.Wheel[i].Reserved2;
    }
    for (std::size_t i = 0; i < maxChannels; ++i) {
        std::uint8_t* const channel = p + at::Channel + channelSize * i;
        endian::writeI16LE(channel, lamp.Channel[i].Palette);
        endian::writeI16LE(channel + 2, lamp.Channel[i].Function);
        channel[4] = lamp.Channel[i].Reserved;
        channel[5] = lamp.Channel[i].Step;
    }
    for (std::size_t i = 0; i < reservedTables; ++i)
        putBytes(p + at::ReservedTable + reservedTableSize * i, lamp.ReservedTable[i]);
    putBytes(p + at::ReservedArea1, lamp.ReservedArea1);
    putBytes(p + at::ReservedArea2, lamp.ReservedArea2);
}

// `p` holds one whole image.
Lamp readImage(const std::uint8_t* p)
{
    Lamp lamp;
    lamp.Icon = p[at::Icon];
    lamp.Reserved1 = p[at::Reserved1];
    getBytes(lamp.LampName.bytes(), p + at::LampName);
    lamp.Reserved2 = p[at::Reserved2];
    lamp.NumberChannel = p[at::NumberChannel];
    lamp.NumberChannelCopy = p[at::NumberChannelCopy];
    lamp.Reserved3 = p[at::Reserved3];
    for (std::size_t i = 0; i < wheelSlots; ++i)
        lamp.WheelFunction[i] = endian::readI16LE(p + at::WheelFunction + 2 * i);
    for (std::size_t i = 0; i < wheelSlots; ++i) {
        const std::uint8_t* const wheel = p + at::Wheel + wheelSize * i;
        getBytes(lamp.Wheel[i].WheelName.bytes(), wheel);
        lamp.Wheel[i].Reserved1 = wheel[wheelNameSize];
        lamp.Wheel[i].Reserved2 = wheel[wheelNameSize + 1];
    }
    for (std::size_t i = 0; i < maxChannels; ++i) {
        const std::uint8_t* const channel = p + at::Channel + channelSize * i;
        lamp.Channel[i].Palette = endian::readI16LE(channel);
        lamp.Channel[i].Function = endian::readI16LE(channel + 2);
        lamp.Channel[i].Reserved = channel[4];
        lamp.Channel[i].Step = channel[5];
    }
    for (std::size_t i = 0; i < reservedTables; ++i)
        getBytes(lamp.ReservedTable[i], p + at::ReservedTable + reservedTableSize * i);
    getBytes(lamp.ReservedArea1, p + at::ReservedArea1);
    getBytes(lamp.ReservedArea2, p + at::ReservedArea2);
    return lamp;
}

}  // namespace

bool operator==(const Lamp& a, const Lamp& b)
{
    return encodeLamp(a) == encodeLamp(b);
}

Lamp newLamp()
{
    Lamp lamp;
    lamp.Icon = 1;
    lamp.LampName.assign("New Lamp");
    lamp.NumberChannel = 1;
    return lamp;
}

LampImage encodeLamp(const Lamp& lamp)
{
    // Written in place: the image size is fixed, so it needs no growing buffer.
    LampImage image{};
    writeImage(image, lamp);
    return image;
}

Lamp decodeLamp(const std::uint8_t* data, std::size_t size)
{
    // Never look beyond one image, however much the caller hands over; a short one
    // reads as if padded with zeros.
    if (size >= lampImageSize)
        return readImage(data);
    LampImage padded{};
    if (size > 0)
        std::memcpy(padded.data(), data, size);
    return readImage(padded.data());
}

Lamp readLampFile(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = readFileBytes(path, lampImageSize);
    return decodeLamp(bytes.data(), bytes.size());
}

void writeLampFile(const std::string& path, const Lamp& lamp)
{
    const LampImage image = encodeLamp(lamp);
    writeFileAtomically(path, std::vector<std::uint8_t>(image.begin(), image.end()));
}

}  // namespace rig
