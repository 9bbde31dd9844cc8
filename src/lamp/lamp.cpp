#include "lamp/lamp.h"

#include "lamp/byte_io.h"
#include "shell/file_io.h"

#include <vector>

namespace rig {

namespace {

void writeImage(ByteWriter& out, const Lamp& lamp)
{
    out.u8(lamp.Icon);
    out.u8(lamp.Reserved1);
    out.bytes(lamp.LampName.bytes());
    out.u8(lamp.Reserved2);
    out.u8(lamp.NumberChannel);
    out.u8(lamp.NumberChannelCopy);
    out.u8(lamp.Reserved3);
    for (const auto function : lamp.WheelFunction)
        out.i16(function);
    for (const auto& wheel : lamp.Wheel) {
        out.bytes(wheel.WheelName.bytes());
        out.u8(wheel.Reserved1);
        out.u8(wheel.Reserved2);
    }
    for (const auto& channel : lamp.Channel) {
        out.i16(channel.Palette);
        out.i16(channel.Function);
        out.u8(channel.Reserved);
        out.u8(channel.Step);
    }
    for (const auto& table : lamp.ReservedTable)
        out.bytes(table);
    out.bytes(lamp.ReservedArea1);
    out.bytes(lamp.ReservedArea2);
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
    std::vector<std::uint8_t> bytes;
    bytes.reserve(lampImageSize);
    ByteWriter out(bytes);
    writeImage(out, lamp);

    LampImage image{};
    for (std::size_t i = 0; i < image.size() && i < bytes.size(); ++i)
        image[i] = bytes[i];
    return image;
}

Lamp decodeLamp(const std::uint8_t* data, std::size_t size)
{
    // Never look beyond one image, however much the caller hands over.
    ByteReader in(data, size < lampImageSize ? size : lampImageSize);
    Lamp lamp;
    lamp.Icon = in.u8();
    lamp.Reserved1 = in.u8();
    in.bytes(lamp.LampName.bytes());
    lamp.Reserved2 = in.u8();
    lamp.NumberChannel = in.u8();
    lamp.NumberChannelCopy = in.u8();
    lamp.Reserved3 = in.u8();
    for (auto& function : lamp.WheelFunction)
        function = in.i16();
    for (auto& wheel : lamp.Wheel) {
        in.bytes(wheel.WheelName.bytes());
        wheel.Reserved1 = in.u8();
        wheel.Reserved2 = in.u8();
    }
    for (auto& channel : lamp.Channel) {
        channel.Palette = in.i16();
        channel.Function = in.i16();
        channel.Reserved = in.u8();
        channel.Step = in.u8();
    }
    for (auto& table : lamp.ReservedTable)
        in.bytes(table);
    in.bytes(lamp.ReservedArea1);
    in.bytes(lamp.ReservedArea2);
    return lamp;
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
