#include "core/clipboard_records.h"

#include "../common/records.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace rig {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int PanCoarse = 1, Gobo1 = 13, Gobo2 = 14, Zoom = 18, Dimmer = 21;

// Channels with the given functions on palette 2, steps from 10 so that no step equals
// a channel's number; no wheel slot is filled.
Lamp lampWith(std::initializer_list<int> functions) { return test::lampWithFunctions(functions, 2, 10); }

void expectRefused(const Bytes& bytes, const std::function<void(const Bytes&)>& decode, const std::string& label)
{
    try {
        decode(bytes);
        ADD_FAILURE() << label << ": accepted";
    } catch (const ClipboardRecordError& error) {
        const std::string text = error.what();
        EXPECT_FALSE(text.empty()) << label;
        EXPECT_EQ(text.find('\n'), std::string::npos) << label << ": " << text;
    }
}

TEST(ChannelRowsRecord, CarriesRowsAndTheWheelSlotsOfTheirFunctionsFieldByField)
{
    Lamp lamp = lampWith({Gobo1, 0, Zoom, Gobo1});
    lamp.WheelFunction[3] = Gobo1;
    lamp.Wheel[3].WheelName.assign("Gobos");
    lamp.WheelFunction[9] = Gobo1;  // a later slot of the same function is not taken
    lamp.WheelFunction[5] = Zoom;
    lamp.Wheel[5].WheelName.assign("Zoom wheel");
    lamp.Channel[2].Function = -2;  // odd codes travel as they are
    lamp.WheelFunction[6] = -2;

    const ChannelRows rows = copyChannelRows(lamp, {0, 1, 2, 3, 40});
    ASSERT_EQ(rows.channels.size(), 4U) << "an index past the channels is skipped";
    ASSERT_EQ(rows.wheels.size(), 2U) << "None has no slot and Gobo 1 brings one";
    EXPECT_EQ(rows.wheels[0].WheelName.str(), "Gobos       ");

    const Bytes bytes = encodeChannelRows(copyChannelRows(lamp, {2, 1}));
    const Bytes expected = {'R', 'G', 'C', 'R', 1, 0, 2, 1,        // signature, version, counts
                            0xFE, 0xFF, 2, 0, 12,                 // channel 3
                            0, 0, 2, 0, 11,                       // channel 2
                            0xFE, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(bytes, expected);

    const Bytes full = encodeChannelRows(rows);
    const ChannelRows back = decodeChannelRows(full.data(), full.size());
    EXPECT_EQ(encodeChannelRows(back), full);
}

TEST(ChannelRowsRecord, RefusesEverythingButAWholeWellFormedRecord)
{
    const Bytes good = encodeChannelRows(copyChannelRows(lampWith({Gobo1, Zoom}), {0, 1}));
    const auto decode = [](const Bytes& b) { (void)decodeChannelRows(b.data(), b.size()); };
    for (std::size_t size = 0; size < good.size(); ++size)
        expectRefused(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)), decode,
                      "cut to " + std::to_string(size));

    const auto changed = [&good](std::size_t at, std::uint8_t value) {
        Bytes b = good;
        b.at(at) = value;
        return b;
    };
    Bytes longer = good;
    longer.push_back(0);
    Bytes withWheel = good;
    withWheel[7] = 1;  // one wheel slot, for Gobo 1
    withWheel.insert(withWheel.end(), {0x0D, 0x00, 'G', 'o', 'b', 'o', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '});
    EXPECT_NO_THROW(decode(withWheel));
    const std::vector<std::pair<std::string, Bytes>> bad = {
        {"longer", longer},
        {"signature", changed(0, 'X')},
        {"placed lamp signature", changed(3, 'L')},
        {"version 2", changed(4, 2)},
        {"no rows", changed(6, 0)},
        {"37 rows", changed(6, 37)},
        {"more wheels than rows", changed(7, 3)},
        {"wheel of None", [&] { Bytes b = withWheel; b[18] = 0; return b; }()},
        {"wheel of a function no row holds", [&] { Bytes b = withWheel; b[18] = Gobo2; return b; }()},
        {"one function's wheel twice", [&] {
             Bytes b = withWheel;
             b[7] = 2;
             b.insert(b.end(), b.end() - 14, b.end());
             return b;
         }()},
    };
    for (const auto& [label, bytes] : bad)
        expectRefused(bytes, decode, label);
    EXPECT_THROW((void)decodeChannelRows(nullptr, 10), ClipboardRecordError);
}

TEST(RowsPaste, WritesFromTheRowDownAndRaisesTheCountOnlyWhenReachingPastIt)
{
    const Lamp source = lampWith({Gobo1, Zoom});
    ChannelRows rows = copyChannelRows(source, {0, 1});
    rows.wheels = {{Gobo1, FixedText<12>::fromText("Gobos")}};

    Lamp target = lampWith({PanCoarse, 0, 0, Dimmer});
    target.NumberChannelCopy = 9;  // kept unless the count changes
    target.Channel[2].Reserved = 0x33;
    RowsPaste inside = pasteChannelRows(target, 1, rows);
    ASSERT_EQ(inside.refusal, PasteRefusal::None);
    EXPECT_EQ(inside.lamp.NumberChannel, 4);
    EXPECT_EQ(inside.lamp.NumberChannelCopy, 9);
    EXPECT_EQ(inside.lamp.Channel[1].Function, Gobo1);
    EXPECT_EQ(inside.lamp.Channel[2].Function, Zoom);
    EXPECT_EQ(inside.lamp.Channel[2].Step, 11);
    EXPECT_EQ(inside.lamp.Channel[2].Reserved, 0x33) << "the target's reserved byte stays";
    EXPECT_EQ(inside.lamp.WheelFunction[0], Gobo1) << "the first free slot";
    EXPECT_EQ(inside.lamp.Wheel[0].WheelName.str(), "Gobos       ");

    RowsPaste past = pasteChannelRows(target, 3, rows);
    ASSERT_EQ(past.refusal, PasteRefusal::None);
    EXPECT_EQ(past.lamp.NumberChannel, 5);
    EXPECT_EQ(past.lamp.NumberChannelCopy, 5);
    EXPECT_EQ(past.lamp.Channel[3].Function, Gobo1) << "Dimmer was overwritten";

    Lamp full = lampWith({});
    full.NumberChannel = 34;
    EXPECT_EQ(pasteChannelRows(full, 34, rows).lamp.NumberChannel, 36);
    EXPECT_EQ(pasteChannelRows(full, 35, rows).refusal, PasteRefusal::PastLastChannel);
    EXPECT_EQ(pasteChannelRows(full, 200, rows).refusal, PasteRefusal::PastLastChannel);
}

TEST(RowsPaste, RefusesAFunctionOnASecondChannelInUseOrAWheelWithoutRoom)
{
    const ChannelRows rows = copyChannelRows(lampWith({Gobo1, Zoom}), {0, 1});

    // Zoom stays on channel 4, in use: refused, and the channels named lower first.
    const RowsPaste twice = pasteChannelRows(lampWith({0, 0, 0, Zoom}), 0, rows);
    EXPECT_EQ(twice.refusal, PasteRefusal::DuplicateFunction);
    EXPECT_EQ(twice.function, Zoom);
    EXPECT_EQ(twice.channel, 1U);
    EXPECT_EQ(twice.otherChannel, 3U);

    // A channel beyond the count does not count, nor does a duplicate the paste did not bring.
    Lamp target = lampWith({0, 0, Dimmer, Dimmer});
    target.Channel[10].Function = Zoom;
    EXPECT_EQ(pasteChannelRows(target, 0, rows).refusal, PasteRefusal::None);
    const ChannelRows itself = copyChannelRows(lampWith({Zoom, Zoom}), {0, 1});
    EXPECT_EQ(pasteChannelRows(lampWith({0}), 0, itself).refusal, PasteRefusal::DuplicateFunction);

    // A slot that holds the function already takes the copied name; no other slot is used.
    ChannelRows named = rows;
    named.wheels = {{Zoom, FixedText<12>::fromText("Zoom")}};
    Lamp withSlot = lampWith({0, 0});
    withSlot.WheelFunction[40] = Zoom;
    const RowsPaste renamed = pasteChannelRows(withSlot, 0, named);
    EXPECT_EQ(renamed.lamp.Wheel[40].WheelName.str(), "Zoom        ");
    EXPECT_EQ(renamed.lamp.WheelFunction[0], 0);

    // A free slot has function None and a blank name, and lies on one of the eight pages.
    Lamp crowded = lampWith({0, 0});
    for (std::size_t k = 0; k < 32; ++k)
        crowded.WheelFunction[k] = static_cast<std::int16_t>(k == 31 ? 0 : 30 + k % 5);
    crowded.Wheel[31].WheelName.assign("kept");
    const RowsPaste noRoom = pasteChannelRows(crowded, 0, named);
    EXPECT_EQ(noRoom.refusal, PasteRefusal::NoFreeWheelSlot);
    EXPECT_EQ(noRoom.function, Zoom);
    crowded.Wheel[31].WheelName.assign("");
    EXPECT_EQ(pasteChannelRows(crowded, 0, named).lamp.WheelFunction[31], Zoom);
}

TEST(PlacedLampRecord, CarriesTheWholeEntryAndItsTypeName)
{
    PlacedLampCopy copy;
    copy.entry.EntryText.assign("ABCDEFGH");
    copy.entry.LampType = 15;
    copy.entry.StartDMX = 300;
    copy.entry.PanInvert = 1;
    copy.entry.PanTiltSwap = 1;
    copy.entry.Point = -7;
    copy.typeName.assign("Spot 575");
    const Bytes bytes = encodePlacedLamp(copy);
    ASSERT_EQ(bytes.size(), 53U);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 6), (Bytes{'R', 'G', 'P', 'L', 1, 0}));
    const PatchEntryImage image = encodePatchEntry(copy.entry);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), bytes.begin() + 6));
    EXPECT_EQ(std::string(bytes.begin() + 37, bytes.end()), "Spot 575        ");

    const PlacedLampCopy back = decodePlacedLamp(bytes.data(), bytes.size());
    EXPECT_TRUE(back.entry == copy.entry);
    EXPECT_EQ(back.typeName, copy.typeName);

    const auto decode = [](const Bytes& b) { (void)decodePlacedLamp(b.data(), b.size()); };
    for (const std::int16_t type : {std::int16_t{16}, std::int16_t{-1}}) {
        Bytes b = bytes;
        b[6 + 9] = static_cast<std::uint8_t>(type & 0xFF);
        b[6 + 10] = static_cast<std::uint8_t>((type >> 8) & 0xFF);
        expectRefused(b, decode, "lamp type " + std::to_string(type));
    }
    expectRefused(Bytes(bytes.begin(), bytes.end() - 1), decode, "short");
    expectRefused(encodeChannelRows(copyChannelRows(lampWith({Gobo1}), {0})), decode, "channel rows");
}

}  // namespace
}  // namespace rig
