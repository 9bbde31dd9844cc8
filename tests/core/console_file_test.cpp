#include "core/console_file.h"
#include "../common/console_bytes.h"
#include "../common/files.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rig {
namespace {

using test::errorNumber;
using test::TempDir;

using testbytes::Bytes;

Bytes slice(const Bytes& bytes, std::size_t from, std::size_t count)
{
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
}

// A block as the console would write it, its header fields given explicitly.
Bytes block(int signature, int type, int section, int length, std::uint8_t fill)
{
    return testbytes::consoleBlock(section, 0, length, Bytes(2020, fill), 0, signature, type);
}

using testbytes::join;

TEST(LampDataFile, SixteenLampsWrittenAndReadBack)
{
    const Bytes lamps = test::patternBytes(16 * 1622, 9);
    const Bytes patch = test::patternBytes(3000, 8);
    TempDir dir;
    writeLampDataFile(dir.file("lamp.dat"), lamps, patch);
    const Bytes file = test::readBytes(dir.file("lamp.dat"));
    ASSERT_EQ(file.size(), 30720u);

    const struct {
        std::size_t offset;
        Bytes header;
    } cases[] = {
        {0, {0x40, 0x3F, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0xE4, 0x07, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}},
        {24576, {0x40, 0x3F, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0xB0, 0x06, 0x0C, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}},
        {26624, {0x40, 0x3F, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE4, 0x07, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}},
        {28672, {0x40, 0x3F, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD4, 0x03, 0x01, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(slice(file, c.offset, 20), c.header) << "block at " << c.offset;
    EXPECT_EQ(file[2048 * 5 + 10], 5);  // block number of the sixth lamp block

    const LampDataPayloads read = readLampDataFile(dir.file("lamp.dat"));
    EXPECT_EQ(read.lampPayload, lamps);
    EXPECT_EQ(read.patchPayload, patch);
}

TEST(LampDataFile, LampSlotsRunAcrossBlocks)
{
    // 17 lamps: the last one does not fit and is not stored.
    const Bytes lamps = test::patternBytes(17 * 1622, 4);
    const Bytes file = encodeLampDataFile(lamps, {});

    EXPECT_EQ(file[1642], lamps[1622]);        // slot 1 starts inside the first block
    EXPECT_EQ(file[2039], lamps[1622 + 397]);  // ... runs to its data area's end
    EXPECT_EQ(slice(file, 2040, 10), (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0x40, 0x3F}));
    EXPECT_EQ(file[2068], lamps[1622 + 398]);      // ... and goes on in the second block
    EXPECT_EQ(file[26307], lamps[16 * 1622 - 1]);  // slot 15 ends the 13th block's data
    EXPECT_TRUE(std::all_of(file.begin() + 26308, file.begin() + 26624, [](std::uint8_t b) { return b == 0; }));
    // An empty patch payload is written as zeros.
    EXPECT_TRUE(std::all_of(file.begin() + 26644, file.begin() + 28664, [](std::uint8_t b) { return b == 0; }));
}

TEST(LampDataFile, BlocksAreTakenInFileOrder)
{
    const Bytes a = block(blockSignature, 3, 1, 3, 0xA1);
    const Bytes b = block(blockSignature, 3, 1, 2, 0xB2);
    const Bytes p = block(blockSignature, 3, 0, 1, 0xC3);
    const Bytes other = block(blockSignature, 3, 2, 2, 0xD4);  // any section but 1 is patch data

    LampDataPayloads read = decodeLampDataFile(join({b, p, a, other}).data(), 4 * 2048);
    EXPECT_EQ(read.lampPayload, (Bytes{0xB2, 0xB2, 0xA1, 0xA1, 0xA1}));
    EXPECT_EQ(read.patchPayload, (Bytes{0xC3, 0xD4, 0xD4}));

    // A trailing piece shorter than a block is ignored, even when it is garbage.
    const Bytes withTail = join({a, Bytes(2047, 0xFF)});
    read = decodeLampDataFile(withTail.data(), withTail.size());
    EXPECT_EQ(read.lampPayload, (Bytes{0xA1, 0xA1, 0xA1}));
    EXPECT_TRUE(read.patchPayload.empty());
}

TEST(LampDataFile, CorruptBlocksAreRefused)
{
    const Bytes good = block(blockSignature, 3, 1, 2020, 0x01);
    const struct {
        const char* what;
        Bytes file;
        int error;
    } cases[] = {
        {"signature checked before type", join({block(0x3F41, 4, 1, 10, 0)}), 1052},
        {"wrong type", join({good, block(blockSignature, 2, 1, 10, 0)}), 1053},
        {"first failing block decides", join({block(blockSignature, 0, 1, 10, 0), block(0, 3, 1, 10, 0)}), 1053},
        {"data length beyond the area", join({good, block(blockSignature, 3, 0, 2021, 0)}), 1052},
        {"negative data length", join({block(blockSignature, 3, 0, -1, 0)}), 1052},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorNumber([&] { (void)decodeLampDataFile(c.file.data(), c.file.size()); }), c.error) << c.what;
}

TEST(LampDataFile, EmptyAndOversizedFiles)
{
    TempDir dir;
    test::writeBytes(dir.file("empty.dat"), {});
    const LampDataPayloads read = readLampDataFile(dir.file("empty.dat"));
    EXPECT_TRUE(read.lampPayload.empty() && read.patchPayload.empty());

    // Far too large to be a lamp data file: refused without loading it whole.
    Bytes huge;
    const Bytes one = block(blockSignature, 3, 1, 4, 0x11);
    for (std::size_t i = 0; i <= maxLampDataFileSize / blockSize; ++i)
        huge.insert(huge.end(), one.begin(), one.end());
    test::writeBytes(dir.file("huge.dat"), huge);
    EXPECT_EQ(errorNumber([&] { (void)readLampDataFile(dir.file("huge.dat")); }), 1052);
}

}  // namespace
}  // namespace rig
