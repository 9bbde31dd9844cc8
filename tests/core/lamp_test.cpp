#include "core/lamp.h"
#include "../common/files.h"
#include "../common/records.h"

#include <gtest/gtest.h>

namespace rig {
namespace {

using test::Bytes;
using test::imageOf;

// `head` followed by zeros up to the size of a lamp image.
Bytes lampBytes(Bytes head)
{
    head.resize(lampImageSize, 0);
    return head;
}

TEST(LampImage, NewLampIsAllZeroButIconNameAndChannelCount)
{
    const Bytes expected =
        lampBytes({0x01, 0x00, 'N', 'e', 'w', ' ', 'L', 'a', 'm', 'p', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', 0x00, 0x01});
    EXPECT_EQ(imageOf(newLamp()), expected);

    test::TempDir dir;
    writeLampFile(dir.file("new.lmp"), newLamp());
    EXPECT_EQ(test::readBytes(dir.file("new.lmp")), expected);
}

TEST(LampImage, FieldsLandAtTheirOffsets)
{
    Lamp lamp;
    lamp.Reserved1 = 0x11;
    lamp.LampName.assign("ABCDEFGHIJKLMNOPQRST");  // cut to 16
    lamp.Reserved2 = 0x12;
    lamp.NumberChannel = 36;
    lamp.NumberChannelCopy = 35;
    lamp.Reserved3 = 0x13;
    lamp.WheelFunction[0] = 0x0102;
    lamp.WheelFunction[47] = -2;
    lamp.Wheel[2].WheelName.assign("Red");
    lamp.Wheel[47].Reserved2 = 0x21;
    lamp.Channel[0] = {0x0304, 0x0506, 0x07, 0x08};
    lamp.Channel[35].Step = 0xAB;
    lamp.ReservedTable[0][0] = 0xCD;
    lamp.ReservedTable[9][35] = 0xCE;
    lamp.ReservedArea1[0] = 0xE1;
    lamp.ReservedArea2[127] = 0xE2;

    const struct {
        std::size_t offset;
        std::uint8_t value;
    } cases[] = {
        {1, 0x11},    {2, 'A'},     {17, 'P'},    {18, 0x12},   {19, 36},     {20, 35},     {21, 0x13},
        {22, 0x02},   {23, 0x01},   {116, 0xFE},  {117, 0xFF},  {146, 'R'},   {148, 'd'},   {149, ' '},
        {157, ' '},   {158, 0},     {789, 0x21},  {790, 0x04},  {791, 0x03},  {792, 0x06},  {793, 0x05},
        {794, 0x07},  {795, 0x08},  {1005, 0xAB}, {1006, 0xCD}, {1365, 0xCE}, {1366, 0xE1}, {1621, 0xE2},
    };
    const Bytes image = imageOf(lamp);
    for (const auto& c : cases)
        EXPECT_EQ(image[c.offset], c.value) << "offset " << c.offset;
}

TEST(LampFile, ReadAndWriteCarryEveryByte)
{
    test::TempDir dir;
    // Non-zero everywhere, reserved areas included; bytes past the image are ignored.
    Bytes original = test::patternBytes(lampImageSize + 40, 5);
    test::writeBytes(dir.file("in.lmp"), original);
    const Lamp lamp = readLampFile(dir.file("in.lmp"));
    EXPECT_EQ(lamp.ReservedTable[4][17], original[1006 + 4 * 36 + 17]);

    // Written over a longer file, which must not keep its tail.
    test::writeBytes(dir.file("out.lmp"), Bytes(5000, 0x77));
    writeLampFile(dir.file("out.lmp"), lamp);
    original.resize(lampImageSize);
    EXPECT_EQ(test::readBytes(dir.file("out.lmp")), original);
    Lamp changed = lamp;
    changed.ReservedArea2[127] ^= 1;
    EXPECT_TRUE(lamp == readLampFile(dir.file("out.lmp")) && lamp != changed);

    // A short file reads with the missing bytes as zero; a missing one is not created.
    test::writeBytes(dir.file("short.lmp"), {0x02, 0x09, 'A'});
    EXPECT_EQ(imageOf(readLampFile(dir.file("short.lmp"))), lampBytes({0x02, 0x09, 'A'}));
    EXPECT_EQ(test::errorNumber([&] { (void)readLampFile(dir.file("absent.lmp")); }), 53);
    EXPECT_FALSE(std::filesystem::exists(dir.file("absent.lmp")));
}

}  // namespace
}  // namespace rig
