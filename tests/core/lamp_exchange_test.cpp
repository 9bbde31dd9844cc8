#include "console/lamp_exchange.h"

#include "shell/file_io.h"
#include "shell/rig_error.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

namespace rig {
namespace {

using test::errorNumber;
using test::patternBytes;
using test::readBytes;
using test::TempDir;
using test::writeBytes;
using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;

const Bytes showTitleBytes = {'s', 'h', 0x00, 0xFF, '\r', '\n'};

// Lamp payload of `slot` as it lies in the file: lamp blocks first, 20 header bytes each.
Bytes slotInFile(const Bytes& file, std::size_t slot)
{
    Bytes image;
    for (std::size_t p = slot * lampImageSize; p < (slot + 1) * lampImageSize; ++p)
        image.push_back(file.at(blockSize * (p / blockDataSize) + blockHeaderSize + p % blockDataSize));
    return image;
}

Names sortedNames(const TempDir& dir)
{
    Names names = dir.names();
    std::sort(names.begin(), names.end());
    return names;
}

// Lamp files lamp0..2.lmp in one folder, the output in another, showttl.dat in a third.
struct ExportSetup {
    TempDir source, output, program;
    ExportSetup()
    {
        writeBytes(program.file(showTitleFileName), showTitleBytes);
        for (unsigned i = 0; i < 3; ++i)
            writeBytes(source.file("lamp" + std::to_string(i) + ".lmp"), patternBytes(lampImageSize, i * 40 + 3));
    }
    [[nodiscard]] std::string lampData() const { return output.file("lamp.dat"); }
    [[nodiscard]] Bytes lamp(const char* name) const { return readBytes(source.file(name)); }
    void run(const Names& names) const { exportLampData(source.file(""), names, lampData(), program.file("")); }
};

TEST(ExportLampData, EmptyListWritesEmptyPayloadsAndCopiesShowTitle)
{
    ExportSetup setup;
    setup.run({});
    const std::string empty = setup.output.file("empty");
    writeLampDataFile(empty, {}, {});  // its block headers are checked byte by byte on their own
    const Bytes file = readBytes(setup.lampData());
    EXPECT_EQ(file.size(), 30720u);
    EXPECT_EQ(file, readBytes(empty));
    EXPECT_EQ(readBytes(setup.output.file(showTitleFileName)), showTitleBytes);
}

TEST(ExportLampData, FillsSlotsInListOrderAndStoresNoSeventeenth)
{
    ExportSetup setup;
    Names seventeen(15, "lamp0.lmp");
    seventeen.insert(seventeen.end(), {"lamp1.lmp", "lamp2.lmp"});
    setup.run(seventeen);
    Bytes file = readBytes(setup.lampData());
    ASSERT_EQ(file.size(), 30720u);
    EXPECT_EQ(slotInFile(file, 15), setup.lamp("lamp1.lmp"));
    EXPECT_EQ(file[26307], setup.lamp("lamp1.lmp").back());  // the last lamp byte of block number 12
    EXPECT_EQ(file[26308], 0);

    // After that larger export: a short file is padded, the same file twice fills two slots.
    writeBytes(setup.source.file("short.lmp"), {0x04, 0x00, 'S'});
    setup.run({"lamp2.lmp", "short.lmp", "lamp0.lmp", "lamp0.lmp"});
    file = readBytes(setup.lampData());
    Bytes shortImage(lampImageSize, 0);
    shortImage[0] = 0x04;
    shortImage[2] = 'S';
    EXPECT_EQ(slotInFile(file, 0), setup.lamp("lamp2.lmp"));
    EXPECT_EQ(slotInFile(file, 1), shortImage);
    EXPECT_EQ(slotInFile(file, 2), setup.lamp("lamp0.lmp"));
    EXPECT_EQ(slotInFile(file, 3), setup.lamp("lamp0.lmp"));
    for (std::size_t slot = 4; slot < lampSlots; ++slot)
        EXPECT_EQ(slotInFile(file, slot), Bytes(lampImageSize, 0)) << "slot " << slot;
    EXPECT_EQ(file[1642], 0x04);  // slot 1 starts at byte 1622 of the first data area
}

TEST(ExportLampData, MissingNameStopsBeforeAnythingIsWrittenOrCreated)
{
    ExportSetup setup;
    const Bytes oldFile = patternBytes(5000, 1);
    writeBytes(setup.lampData(), oldFile);
    const Names sourceBefore = sortedNames(setup.source);
    Names beyond(16, "lamp0.lmp");  // every entry is read, also one beyond the 16th
    beyond.push_back("gone.lmp");
    for (const Names& names : {Names{"lamp0.lmp", "gone.lmp"}, beyond}) {
        EXPECT_EQ(errorNumber([&] { setup.run(names); }), errc::fileNotFound);
        EXPECT_EQ(sortedNames(setup.source), sourceBefore);
        EXPECT_EQ(readBytes(setup.lampData()), oldFile);
        EXPECT_EQ(sortedNames(setup.output), Names{"lamp.dat"});
    }
}

TEST(ExportLampData, FailedWriteKeepsTheOldFileAndLeavesNoStagingFile)
{
    ExportSetup setup;
    const Bytes oldFile = patternBytes(40000, 2);
    writeBytes(setup.lampData(), oldFile);
    testing::failNextWrites(ENOSPC, 1);
    EXPECT_EQ(errorNumber([&] { setup.run({"lamp0.lmp"}); }), errc::diskFull);
    testing::failNextWrites(0, 0);
    EXPECT_EQ(readBytes(setup.lampData()), oldFile);
    EXPECT_EQ(sortedNames(setup.output), Names{"lamp.dat"});  // and no staging file beside it
    EXPECT_EQ(sortedNames(setup.program), Names{showTitleFileName});
}

TEST(DecodeImportedLampData, FindsUsedSlotsAndLowersPaletteCodes)
{
    Bytes lampPayload(lampPayloadSize + 500, 0);
    lampPayload[1 * lampImageSize] = 2;  // slot 0 free, slots 1 and 3 in use
    lampPayload[3 * lampImageSize] = 4;
    for (std::size_t c = 0; c < 9; ++c)  // palette codes 0 to 8 on slot 1
        lampPayload[lampImageSize + lampChannelOffset + 6 * c] = static_cast<std::uint8_t>(c);
    lampPayload[lampImageSize + lampChannelOffset + 6 * 35 + 1] = 0x01;  // 256 on its last channel
    lampPayload[lampPayloadSize] = 9;  // beyond the 16 slots: not read

    LampDataPayloads payloads;
    payloads.lampPayload = lampPayload;
    const ImportedLampData data = decodeImportedLampData(payloads);
    EXPECT_EQ(data.usedSlots(), (std::vector<int>{1, 3}));

    Bytes expected(lampPayload.begin() + lampImageSize, lampPayload.begin() + 2 * lampImageSize);
    for (std::size_t c : {6, 7, 8, 35}) {  // only the codes above 5 change
        expected[lampChannelOffset + 6 * c] = 5;
        expected[lampChannelOffset + 6 * c + 1] = 0;
    }
    const LampImage image = encodeLamp(data.lmpSlots[1]);
    EXPECT_EQ(Bytes(image.begin(), image.end()), expected);
}

}  // namespace
}  // namespace rig
