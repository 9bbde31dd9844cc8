#include "patch/stage_patch.h"
#include "shell/rig_error.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rig {
namespace {

using test::errorNumber;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

TEST(PatchFile, StartUpPatchIsZerosThenTwentyFive)
{
    TempDir dir;
    writePatchFile(dir.file("new.pat"), StagePatch{});
    const std::vector<std::uint8_t> bytes = readBytes(dir.file("new.pat"));

    std::vector<std::uint8_t> expected(29052, 0);
    expected.insert(expected.end(), {0x19, 0x00, 0x00, 0x00});
    EXPECT_EQ(bytes, expected);
}

TEST(PatchFile, EntryImageAtItsIndex)
{
    StagePatch patch;
    PatchEntry& entry = patch.patchEntries[7];
    entry.LampType = 2;
    entry.StartChannel = 25;
    entry.StartDMX = 25;
    entry.ScreenCol = 3;
    entry.ScreenRow = 1;

    const std::vector<std::uint8_t> expected = {
        0, 0, 0, 0, 0, 0, 0, 0, 0,  // EntryText, Spare1
        0x02, 0x00, 0x19, 0x00, 0x19, 0x00, 0, 0, 0, 0, 0x00, 0x00, 0, 0, 0, 0, 0x03, 0x01, 0x00, 0x00, 0x00, 0x00};
    const std::vector<std::uint8_t> bytes = encodePatchFile(patch);
    const std::size_t at = 25952 + 31 * 7;
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + at, bytes.begin() + at + 31), expected);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), 29056 - 6);  // 5 fields set, plus nNextDMX
}

TEST(PatchEntryImage, EveryFieldAtItsOffset)
{
    PatchEntry entry;
    entry.EntryText.assign("ABCDEFGH");
    entry.Spare1 = 0x91;
    entry.LampType = -1;
    entry.StartChannel = 0x0201;
    entry.StartDMX = 0x0403;
    entry.PanInvert = 1;
    entry.TiltInvert = 2;
    entry.PanTiltSwap = 3;
    entry.Spare2 = 0x92;
    entry.Spare3 = 0x0605;
    entry.Spare4 = {0xA1, 0xA2, 0xA3, 0xA4};
    entry.ScreenCol = 19;
    entry.ScreenRow = 23;
    entry.Point = 0x0807;
    entry.Spare5 = {0xB1, 0xB2};

    const PatchEntryImage expected = {'A',  'B',  'C',  'D',  'E',  'F',  'G',  'H',  0x91, 0xFF, 0xFF,
                                      0x01, 0x02, 0x03, 0x04, 0x01, 0x02, 0x03, 0x92, 0x05, 0x06, 0xA1,
                                      0xA2, 0xA3, 0xA4, 19,   23,   0x07, 0x08, 0xB1, 0xB2};
    EXPECT_EQ(encodePatchEntry(entry), expected);
    EXPECT_TRUE(decodePatchEntry(expected.data(), expected.size()) == entry);
}

TEST(PatchFile, WriteAndReadReproduceEverything)
{
    // A patch whose every byte is distinct from its neighbours, spare fields and text included.
    const std::vector<std::uint8_t> image = test::patternBytes(29056, 3);
    const StagePatch original = decodePatchFile(image.data(), image.size());
    ASSERT_EQ(encodePatchFile(original), image);

    TempDir dir;
    writePatchFile(dir.file("full.pat"), original);
    EXPECT_EQ(readBytes(dir.file("full.pat")), image);

    StagePatch loaded;
    readPatchFile(dir.file("full.pat"), loaded);
    EXPECT_EQ(encodePatchFile(loaded), image);
    EXPECT_TRUE(loaded.patchEntries[99] == original.patchEntries[99]);
}

TEST(PatchFile, ShortFileLeavesTheRestAtStartUpValues)
{
    TempDir dir;
    StagePatch patch;
    patch.nNextDMX = 300;
    patch.nNextEntry = 12;
    patch.patchEntries[5].StartDMX = 9;

    // One lamp slot and 5 bytes of the next.
    std::vector<std::uint8_t> bytes = test::patternBytes(1622 + 5, 1);
    writeBytes(dir.file("short.pat"), bytes);
    readPatchFile(dir.file("short.pat"), patch);

    EXPECT_EQ(patch.nNextDMX, 25);
    EXPECT_EQ(patch.nNextEntry, 0);
    EXPECT_FALSE(patch.patchEntries[5].inUse());
    EXPECT_EQ(patch.lmpLamps[1].LampName.bytes()[2], bytes[1622 + 4]);
    EXPECT_EQ(patch.lmpLamps[1].LampName.bytes()[3], 0);
    EXPECT_TRUE(patch.lmpLamps[2] == Lamp{});

    // The counters are read once the file reaches them.
    bytes = std::vector<std::uint8_t>(29052, 0);
    bytes.insert(bytes.end(), {0x2C, 0x01});
    writeBytes(dir.file("counter.pat"), bytes);
    readPatchFile(dir.file("counter.pat"), patch);
    EXPECT_EQ(patch.nNextDMX, 300);
    EXPECT_EQ(patch.nNextEntry, 0);
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
