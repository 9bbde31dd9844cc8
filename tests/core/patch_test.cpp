#include "core/stage_patch.h"
#include "../common/files.h"

#include <gtest/gtest.h>

namespace rig {
namespace {

using test::errorNumber;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

using Bytes = std::vector<std::uint8_t>;

TEST(PatchFile, StartUpPatchAndOnePlacedLamp)
{
    TempDir dir;
    writePatchFile(dir.file("new.pat"), StagePatch{});
    Bytes expected(29052, 0);
    expected.insert(expected.end(), {0x19, 0x00, 0x00, 0x00});
    EXPECT_EQ(readBytes(dir.file("new.pat")), expected);

    // Lamp type 2 from channel 25 at DMX 25, in column 3 of row 1, as entry 7: only its 31 bytes change.
    StagePatch patch;
    PatchEntry& entry = patch.patchEntries[7];
    entry.LampType = 2;
    entry.StartChannel = 25;
    entry.StartDMX = 25;
    entry.ScreenCol = 3;
    entry.ScreenRow = 1;
    const Bytes image = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0x02, 0x00, 0x19, 0x00, 0x19, 0x00, 0,
                         0, 0, 0, 0, 0, 0, 0, 0, 0, 0x03, 0x01, 0x00, 0x00, 0x00, 0x00};
    std::copy(image.begin(), image.end(), expected.begin() + 25952 + 31 * 7);
    EXPECT_EQ(encodePatchFile(patch), expected);
}

TEST(PatchEntryImage, EveryFieldAtItsOffset)
{
    // Values in image order, each different from its neighbours.
    const PatchEntry entry{FixedText<8>::fromText("ABCDEFGH"), 0x91, -1, 0x0201, 0x0403, 1, 2, 3, 0x92, 0x0605,
                           {0xA1, 0xA2, 0xA3, 0xA4}, 19, 23, 0x0807, {0xB1, 0xB2}};
    const PatchEntryImage expected = {'A',  'B',  'C',  'D',  'E',  'F',  'G',  'H',  0x91, 0xFF, 0xFF,
                                      0x01, 0x02, 0x03, 0x04, 0x01, 0x02, 0x03, 0x92, 0x05, 0x06, 0xA1,
                                      0xA2, 0xA3, 0xA4, 19,   23,   0x07, 0x08, 0xB1, 0xB2};
    EXPECT_EQ(encodePatchEntry(entry), expected);
    EXPECT_TRUE(decodePatchEntry(expected.data(), expected.size()) == entry);
}

TEST(PatchFile, ReadAndWriteCarryEveryByte)
{
    // Every byte distinct from its neighbours, spare fields and text included.
    const Bytes image = test::patternBytes(29056, 3);
    TempDir dir;
    writeBytes(dir.file("in.pat"), image);
    StagePatch loaded;
    readPatchFile(dir.file("in.pat"), loaded);
    writePatchFile(dir.file("out.pat"), loaded);
    EXPECT_EQ(readBytes(dir.file("out.pat")), image);

    // A short file (one lamp slot and 5 bytes of the next) leaves the rest at start-up values.
    const Bytes part(image.begin(), image.begin() + 1622 + 5);
    writeBytes(dir.file("short.pat"), part);
    readPatchFile(dir.file("short.pat"), loaded);
    EXPECT_EQ(loaded.nNextDMX, 25);
    EXPECT_EQ(loaded.nNextEntry, 0);
    EXPECT_FALSE(loaded.patchEntries[5].inUse());
    EXPECT_EQ(loaded.lmpLamps[1].LampName.bytes()[2], part[1622 + 4]);
    EXPECT_EQ(loaded.lmpLamps[1].LampName.bytes()[3], 0);
    EXPECT_TRUE(loaded.lmpLamps[2] == Lamp{});

    // The counters are read once the file reaches them.
    Bytes counter(29052, 0);
    counter.insert(counter.end(), {0x2C, 0x01});
    writeBytes(dir.file("counter.pat"), counter);
    readPatchFile(dir.file("counter.pat"), loaded);
    EXPECT_EQ(loaded.nNextDMX, 300);
    EXPECT_EQ(loaded.nNextEntry, 0);
    // One byte of a counter is not glued into a value: it keeps its start-up value.
    counter.pop_back();
    writeBytes(dir.file("half.pat"), counter);
    readPatchFile(dir.file("half.pat"), loaded);
    EXPECT_EQ(loaded.nNextDMX, 25);
}

TEST(PatchFile, OpeningANewNameStartsAnEmptyPatch)
{
    TempDir dir;
    StagePatch patch;
    patch.nNextEntry = 4;
    patch.lmpLamps[0] = newLamp();

    // Without creation, a missing file is an error that leaves the patch alone.
    EXPECT_EQ(errorNumber([&] { readPatchFile(dir.file("none.pat"), patch, false); }), 53);
    EXPECT_TRUE(dir.names().empty());
    std::filesystem::create_directory(dir.file("folder.pat"));
    EXPECT_EQ(errorNumber([&] { readPatchFile(dir.file("folder.pat"), patch); }), 75);
    EXPECT_EQ(patch.nNextEntry, 4);

    readPatchFile(dir.file("fresh.pat"), patch);
    EXPECT_EQ(readBytes(dir.file("fresh.pat")).size(), 0u);
    EXPECT_EQ(encodePatchFile(patch), encodePatchFile(StagePatch{}));
}

}  // namespace
}  // namespace rig
