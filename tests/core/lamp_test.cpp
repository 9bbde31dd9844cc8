#include "lamp/lamp.h"
#include "shell/rig_error.h"
#include "test_files.h"

#include <gtest/gtest.h>

namespace rig {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

TEST(LampImage, NewLampIsAllZeroButIconNameAndChannelCount)
{
    std::vector<std::uint8_t> expected(1622, 0);
    expected[0] = 0x01;
    const std::string name = "New Lamp        ";
    std::copy(name.begin(), name.end(), expected.begin() + 2);
    expected[19] = 0x01;

    const LampImage image = encodeLamp(newLamp());
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin(), image.end()), expected);

    TempDir dir;
    writeLampFile(dir.file("new.lmp"), newLamp());
    EXPECT_EQ(readBytes(dir.file("new.lmp")), expected);
}

TEST(LampImage, FieldsLandAtTheirOffsets)
{
    Lamp lamp;
    lamp.Reserved1 = 0x11;
    lamp.Reserved2 = 0x12;
    lamp.NumberChannel = 36;
    lamp.NumberChannelCopy = 35;
    lamp.Reserved3 = 0x13;
    lamp.WheelFunction[0] = 0x0102;
    lamp.WheelFunction[47] = -2;
    lamp.Wheel[2].WheelName.assign("Red");
    lamp.Wheel[47].Reserved2 = 0x21;
    lamp.Channel[0].Palette = 0x0304;
    lamp.Channel[0].Function = 0x0506;
    lamp.Channel[0].Reserved = 0x07;
    lamp.Channel[0].Step = 0x08;
    lamp.Channel[35].Step = 0xAB;
    lamp.ReservedTable[0][0] = 0xCD;
    lamp.ReservedTable[9][35] = 0xCE;
    lamp.ReservedArea1[0] = 0xE1;
    lamp.ReservedArea2[127] = 0xE2;

    const struct {
        std::size_t offset;
        std::uint8_t value;
    } cases[] = {
        {1, 0x11},    {18, 0x12},   {19, 36},     {20, 35},     {21, 0x13},   {22, 0x02},   {23, 0x01},
        {116, 0xFE},  {117, 0xFF},  {146, 'R'},   {148, 'd'},   {149, ' '},   {157, ' '},   {158, 0},
        {789, 0x21},  {790, 0x04},  {791, 0x03},  {792, 0x06},  {793, 0x05},  {794, 0x07},  {795, 0x08},
        {1005, 0xAB}, {1006, 0xCD}, {1365, 0xCE}, {1366, 0xE1}, {1621, 0xE2},
    };
    const LampImage image = encodeLamp(lamp);
    for (const auto& c : cases)
        EXPECT_EQ(image[c.offset], c.value) << "offset " << c.offset;
}

TEST(LampImage, NamesAreCutOrPaddedToSixteen)
{
    Lamp lamp = newLamp();
    lamp.LampName.assign("ABCDEFGHIJKLMNOPQRST");
    LampImage image = encodeLamp(lamp);
    EXPECT_EQ(std::string(image.begin() + 2, image.begin() + 18), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(image[18], 0);

    lamp.LampName.assign("Wash");
    image = encodeLamp(lamp);
    EXPECT_EQ(std::string(image.begin() + 2, image.begin() + 18), "Wash            ");
    const Lamp back = decodeLamp(image.data(), image.size());
    EXPECT_EQ(back.LampName.str(), "Wash            ");
    EXPECT_EQ(back.LampName.trimmed(), "Wash");
}

TEST(LampFile, ReadThenWriteReproducesEveryByte)
{
    TempDir dir;
    // Non-zero everywhere, reserved areas included; bytes past the image are ignored.
    std::vector<std::uint8_t> original = test::patternBytes(1622 + 40, 5);
    writeBytes(dir.file("in.lmp"), original);

    const Lamp lamp = readLampFile(dir.file("in.lmp"));
    EXPECT_EQ(lamp.ReservedTable[4][17], original[1006 + 4 * 36 + 17]);
    // Written over a longer file, which must not keep its tail.
    writeBytes(dir.file("out.lmp"), std::vector<std::uint8_t>(5000, 0x77));
    writeLampFile(dir.file("out.lmp"), lamp);

    original.resize(1622);
    EXPECT_EQ(readBytes(dir.file("out.lmp")), original);
    EXPECT_TRUE(lamp == readLampFile(dir.file("out.lmp")));
    Lamp changed = lamp;
    changed.ReservedArea2[127] ^= 1;
    EXPECT_TRUE(lamp != changed);
}

TEST(LampFile, ShortFileReadsAsZeroAndMissingFileIsNotCreated)
{
    TempDir dir;
    writeBytes(dir.file("short.lmp"), {0x02, 0x09, 'A'});
    const LampImage image = encodeLamp(readLampFile(dir.file("short.lmp")));
    std::vector<std::uint8_t> expected(1622, 0);
    expected[0] = 0x02;
    expected[1] = 0x09;
    expected[2] = 'A';
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin(), image.end()), expected);

    EXPECT_EQ(test::errorNumber([&] { (void)readLampFile(dir.file("absent.lmp")); }), 53);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"short.lmp"});
}

}  // namespace
}  // namespace rig
