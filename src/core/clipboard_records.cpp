#include "core/clipboard_records.h"

#include "base/byte_io.h"
#include "core/function_names.h"

#include <algorithm>
#include <array>
#include <string>

namespace rig {

namespace {

using Signature = std::array<std::uint8_t, 4>;
constexpr Signature rowsSignature = {'R', 'G', 'C', 'R'};
constexpr Signature placedSignature = {'R', 'G', 'P', 'L'};
constexpr std::size_t headerSize = 6;  // signature and version
constexpr std::size_t rowsHeaderSize = headerSize + 2;
constexpr std::size_t channelSize = 5;
constexpr std::size_t wheelSize = 14;
constexpr std::size_t placedSize = headerSize + patchEntryImageSize + 16;
constexpr std::size_t pagedWheelSlots = 32;  // the slots the wheel pages reach

void writeHeader(ByteWriter& out, const Signature& signature)
{
    out.bytes(signature);
    out.u16(clipboardRecordVersion);
}

// Checks the signature and version of a record meant to be `what`.
void checkHeader(const std::uint8_t* data, std::size_t size, const Signature& signature, const std::string& what)
{
    if (data == nullptr || size < headerSize || !std::equal(signature.begin(), signature.end(), data))
        throw ClipboardRecordError("The clipboard does not hold " + what + " in Rigsmith's own format.");
    const std::uint16_t version = endian::readU16LE(data + 4);
    if (version != clipboardRecordVersion)
        throw ClipboardRecordError("The clipboard holds " + what + " in format version " + std::to_string(version) +
                                   ", which this version of Rigsmith cannot read.");
}

// `subject` names the record with its verb: "lamp channels are", "placed lamp is".
void checkSize(std::size_t size, std::size_t expected, const std::string& subject)
{
    if (size != expected)
        throw ClipboardRecordError("The clipboard's " + subject + " " + std::to_string(size) +
                                   " bytes long instead of " + std::to_string(expected) + ".");
}

bool blank(const FixedText<12>& name)
{
    return std::all_of(name.bytes().begin(), name.bytes().end(), [](std::uint8_t b) { return b == 0 || b == 0x20; });
}

}  // namespace

ChannelRows copyChannelRows(const Lamp& lamp, const std::vector<std::size_t>& indexes)
{
    ChannelRows rows;
    for (const std::size_t c : indexes) {
        if (c >= maxChannels)
            continue;
        const LampChannel& channel = lamp.Channel[c];
        rows.channels.push_back({channel.Function, channel.Palette, channel.Step});
        if (channel.Function == fn::None)
            continue;
        const bool taken = std::any_of(rows.wheels.begin(), rows.wheels.end(),
                                       [&channel](const CopiedWheel& w) { return w.Function == channel.Function; });
        if (taken)
            continue;
        for (std::size_t k = 0; k < wheelSlots; ++k) {
            if (lamp.WheelFunction[k] == channel.Function) {
                rows.wheels.push_back({channel.Function, lamp.Wheel[k].WheelName});
                break;
            }
        }
    }
    return rows;
}

std::vector<std::uint8_t> encodeChannelRows(const ChannelRows& rows)
{
    std::vector<std::uint8_t> bytes;
    ByteWriter out(bytes);
    writeHeader(out, rowsSignature);
    out.u8(static_cast<std::uint8_t>(std::min(rows.channels.size(), maxChannels)));
    out.u8(static_cast<std::uint8_t>(std::min(rows.wheels.size(), maxChannels)));
    for (std::size_t i = 0; i < rows.channels.size() && i < maxChannels; ++i) {
        out.i16(rows.channels[i].Function);
        out.i16(rows.channels[i].Palette);
        out.u8(rows.channels[i].Step);
    }
    for (std::size_t i = 0; i < rows.wheels.size() && i < maxChannels; ++i) {
        out.i16(rows.wheels[i].Function);
        out.bytes(rows.wheels[i].WheelName.bytes());
    }
    return bytes;
}

ChannelRows decodeChannelRows(const std::uint8_t* data, std::size_t size)
{
    const std::string subject = "lamp channels are";
    checkHeader(data, size, rowsSignature, "lamp channels");
    if (size < rowsHeaderSize)
        checkSize(size, rowsHeaderSize, subject);
    const std::size_t channels = data[headerSize];
    const std::size_t wheels = data[headerSize + 1];
    if (channels == 0 || channels > maxChannels)
        throw ClipboardRecordError("The clipboard's lamp channels count " + std::to_string(channels) +
                                   " rows; a lamp has 1 to 36.");
    if (wheels > channels)
        throw ClipboardRecordError("The clipboard's lamp channels bring " + std::to_string(wheels) +
                                   " wheel slots for " + std::to_string(channels) + " rows.");
    checkSize(size, rowsHeaderSize + channels * channelSize + wheels * wheelSize, subject);

    ByteReader in(data + rowsHeaderSize, size - rowsHeaderSize);
    ChannelRows rows;
    for (std::size_t i = 0; i < channels; ++i) {
        CopiedChannel channel;
        channel.Function = in.i16();
        channel.Palette = in.i16();
        channel.Step = in.u8();
        rows.channels.push_back(channel);
    }
    for (std::size_t i = 0; i < wheels; ++i) {
        CopiedWheel wheel;
        wheel.Function = in.i16();
        in.bytes(wheel.WheelName.bytes());
        const auto sameFunction = [&wheel](const auto& other) { return other.Function == wheel.Function; };
        if (wheel.Function == fn::None || std::none_of(rows.channels.begin(), rows.channels.end(), sameFunction) ||
            std::any_of(rows.wheels.begin(), rows.wheels.end(), sameFunction))
            throw ClipboardRecordError("The clipboard's lamp channels bring a wheel slot for function " +
                                       std::to_string(wheel.Function) + " that does not belong to them.");
        rows.wheels.push_back(wheel);
    }
    return rows;
}

RowsPaste pasteChannelRows(const Lamp& lamp, std::size_t first, const ChannelRows& rows)
{
    RowsPaste result;
    const std::size_t count = rows.channels.size();
    if (first > maxChannels || count > maxChannels - first) {
        result.refusal = PasteRefusal::PastLastChannel;
        return result;
    }
    Lamp pasted = lamp;
    for (std::size_t i = 0; i < count; ++i) {
        LampChannel& channel = pasted.Channel[first + i];
        channel.Function = rows.channels[i].Function;
        channel.Palette = rows.channels[i].Palette;
        channel.Step = rows.channels[i].Step;
    }
    const std::size_t inUse = std::max(lamp.usedChannels(), first + count);
    if (inUse > lamp.usedChannels())
        pasted.NumberChannel = pasted.NumberChannelCopy = static_cast<std::uint8_t>(inUse);

    // Only a function a pasted row brings counts; a lamp that held one twice already is
    // no reason to refuse.
    for (std::size_t i = first; i < first + count; ++i) {
        const int function = pasted.Channel[i].Function;
        if (function == fn::None)
            continue;
        for (std::size_t j = 0; j < inUse; ++j) {
            if (j != i && pasted.Channel[j].Function == function) {
                result.refusal = PasteRefusal::DuplicateFunction;
                result.function = function;
                result.channel = std::min(i, j);
                result.otherChannel = std::max(i, j);
                return result;
            }
        }
    }

    for (const CopiedWheel& wheel : rows.wheels) {
        std::size_t slot = wheelSlots;
        for (std::size_t k = 0; k < wheelSlots && slot == wheelSlots; ++k)
            if (pasted.WheelFunction[k] == wheel.Function)
                slot = k;
        for (std::size_t k = 0; k < pagedWheelSlots && slot == wheelSlots; ++k)
            if (pasted.WheelFunction[k] == fn::None && blank(pasted.Wheel[k].WheelName))
                slot = k;
        if (slot == wheelSlots) {
            result.refusal = PasteRefusal::NoFreeWheelSlot;
            result.function = wheel.Function;
            return result;
        }
        pasted.WheelFunction[slot] = wheel.Function;
        pasted.Wheel[slot].WheelName = wheel.WheelName;
    }
    result.lamp = pasted;
    return result;
}

std::vector<std::uint8_t> encodePlacedLamp(const PlacedLampCopy& copy)
{
    std::vector<std::uint8_t> bytes;
    // Sized up front: one allocation, and an optimised build sees no write into an empty vector.
    bytes.reserve(placedSize);
    ByteWriter out(bytes);
    writeHeader(out, placedSignature);
    out.bytes(encodePatchEntry(copy.entry));
    out.bytes(copy.typeName.bytes());
    return bytes;
}

PlacedLampCopy decodePlacedLamp(const std::uint8_t* data, std::size_t size)
{
    checkHeader(data, size, placedSignature, "a placed lamp");
    checkSize(size, placedSize, "placed lamp is");
    PlacedLampCopy copy;
    copy.entry = decodePatchEntry(data + headerSize, patchEntryImageSize);
    ByteReader in(data + headerSize + patchEntryImageSize, 16);
    in.bytes(copy.typeName.bytes());
    if (!copy.entry.hasValidLampType())
        throw ClipboardRecordError("The clipboard's placed lamp is of lamp type " +
                                   std::to_string(copy.entry.LampType) + "; the lamp table has types 0 to 15.");
    return copy;
}

}  // namespace rig
