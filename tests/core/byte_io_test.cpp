#include "base/byte_io.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

// A range that ends inside a field: the field keeps the bytes that are there and
// reads zero for the rest, and everything after it reads zero.
TEST(ByteReaderTest, RangeEndingInsideAFieldReadsTheRestAsZero)
{
    const std::uint8_t data[] = {0x11, 0x22, 0x33, 0x44, 0x55};
    rig::ByteReader reader(data, sizeof data);
    EXPECT_EQ(reader.u16(), 0x2211);

    std::array<std::uint8_t, 2> inside{0xAA, 0xAA};
    reader.bytes(inside);
    EXPECT_EQ(inside, (std::array<std::uint8_t, 2>{0x33, 0x44}));

    std::array<std::uint8_t, 3> across{0xAA, 0xAA, 0xAA};
    rig::ByteReader tail(data + 3, 2);
    EXPECT_EQ(tail.i16(), static_cast<std::int16_t>(0x5544));
    rig::ByteReader split(data + 4, 1);
    EXPECT_EQ(split.u16(), 0x0055);  // low byte present, high byte past the end
    split.bytes(across);
    EXPECT_EQ(across, (std::array<std::uint8_t, 3>{0, 0, 0}));
    EXPECT_EQ(split.position(), 5u);
}

}  // namespace
