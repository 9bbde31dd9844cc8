#include "console/lamp_exchange.h"

#include "shell/file_io.h"
#include "shell/rig_error.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

namespace rig {
namespace {

using test::patternBytes;
using test::readBytes;
using test::TempDir;
using test::writeBytes;
using Bytes = std::vector<std::uint8_t>;

const Bytes showTitleBytes = {'s', 'h', 0x00, 0xFF, '\r', '\n'};

// Lamp payload byte p as it lies in the file: lamp blocks first, 20 header bytes each.
Bytes slotInFile(const Bytes& file, std::size_t slot)
{
    Bytes image;
    for (std::size_t p = slot * lampImageSize; p < (slot + 1) * lampImageSize; ++p)
        image.push_back(file.at(blockSize * (p / blockDataSize) + blockHeaderSize + p % blockDataSize));
    return image;
}

std::vector<std::string> sortedNames(const TempDir& dir)
{
    std::vector<std::string> names = dir.names();
    std::sort(names.begin(), names.end());
    return names;
}

// Lamp files in one folder, the output in another, showttl.dat in a third.
struct ExportSetup {
    TempDir source, output, program;
    ExportSetup()
    {
        writeBytes(program.file(showTitleFileName), showTitleBytes);
        for (unsigned i = 0; i < 3; ++i)
            writeBytes(source.file("lamp" + std::to_string(i) + ".lmp"), patternBytes(lampImageSize, i * 40 + 3));
    }
    [[nodiscard]] std::string lampData() const { return output.file("lamp.dat"); }
    void run(const std::vector<std::string>& names) const
    {
        exportLampData(source.file(""), names, lampData(), program.file(""));
    }
};

TEST(ExportLampData, JoinsFolderAndNameWithOneSeparator)
{
    EXPECT_EQ(joinFolderAndName("/data/lamps", "a.lmp"), "/data/lamps/a.lmp");
    EXPECT_EQ(joinFolderAndName("/data/lamps/", "a.lmp"), "/data/lamps/a.lmp");
    EXPECT_EQ(joinFolderAndName("/", "a.lmp"), "/a.lmp");
}

TEST(ExportLampData, EmptyListWritesOnlyHeadersAndCopiesShowTitle)
{
    ExportSetup setup;
    setup.run({});
    const Bytes file = readBytes(setup.lampData());
    ASSERT_EQ(file.size(), 30720u);
    const struct {
        std::size_t offset;
        Bytes header;
    } headers[] = {
        {0, {0x40, 0x3F, 0x03, 0, 0, 0, 0x01, 0, 0xE4, 0x07, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {24576, {0x40, 0x3F, 0x03, 0, 0, 0, 0x01, 0, 0xB0, 0x06, 0x0C, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {26624, {0x40, 0x3F, 0x03, 0, 0, 0, 0x00, 0, 0xE4, 0x07, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {28672, {0x40, 0x3F, 0x03, 0, 0, 0, 0x00, 0, 0xD4, 0x03, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& h : headers)
        EXPECT_EQ(Bytes(file.begin() + static_cast<std::ptrdiff_t>(h.offset),
                        file.begin() + static_cast<std::ptrdiff_t>(h.offset + blockHeaderSize)),
                  h.header)
            << "header at " << h.offset;
    for (std::size_t offset = 0; offset < file.size(); ++offset) {
        if (offset % blockSize >= blockHeaderSize) {
            ASSERT_EQ(file[offset], 0) << "offset " << offset;
        }
    }
    EXPECT_EQ(readBytes(setup.output.file(showTitleFileName)), showTitleBytes);
}

TEST(ExportLampData, FillsSlotsInListOrderAfterALargerExport)
{
    ExportSetup setup;
    setup.run({"lamp0.lmp", "lamp1.lmp", "lamp2.lmp", "lamp2.lmp", "lamp2.lmp"});
    // A short file is padded with zeros, the same file twice fills two slots.
    writeBytes(setup.source.file("short.lmp"), {0x04, 0x00, 'S'});
    setup.run({"lamp2.lmp", "short.lmp", "lamp0.lmp", "lamp0.lmp"});

    const Bytes file = readBytes(setup.lampData());
    ASSERT_EQ(file.size(), 30720u);
    Bytes shortImage(lampImageSize, 0);
    shortImage[0] = 0x04;
    shortImage[2] = 'S';
    EXPECT_EQ(slotInFile(file, 0), readBytes(setup.source.file("lamp2.lmp")));
    EXPECT_EQ(slotInFile(file, 1), shortImage);
    EXPECT_EQ(slotInFile(file, 2), readBytes(setup.source.file("lamp0.lmp")));
    EXPECT_EQ(slotInFile(file, 3), slotInFile(file, 2));
    for (std::size_t slot = 4; slot < lampSlots; ++slot)
        EXPECT_EQ(slotInFile(file, slot), Bytes(lampImageSize, 0)) << "slot " << slot;
    EXPECT_EQ(file[1642], 0x04);  // slot 1 starts at byte 1622 of the first data area
    EXPECT_EQ(file[1644], 'S');
}

TEST(ExportLampData, SeventeenthEntryIsNotStored)
{
    ExportSetup setup;
    std::vector<std::string> names(15, "lamp0.lmp");
    names.push_back("lamp1.lmp");
    names.push_back("lamp2.lmp");
    setup.run(names);
    const Bytes file = readBytes(setup.lampData());
    ASSERT_EQ(file.size(), 30720u);
    const Bytes lamp1 = readBytes(setup.source.file("lamp1.lmp"));
    EXPECT_EQ(slotInFile(file, 15), lamp1);
    EXPECT_EQ(file[26307], lamp1.back());  // the last lamp byte of block number 12
    EXPECT_EQ(file[26308], 0);
}

TEST(ExportLampData, MissingNameStopsBeforeAnythingIsWrittenOrCreated)
{
    ExportSetup setup;
    const Bytes oldFile = patternBytes(5000, 1);
    writeBytes(setup.lampData(), oldFile);
    const auto sourceBefore = sortedNames(setup.source);
    // Every entry is read, also one beyond the 16th.
    std::vector<std::string> beyond(16, "lamp0.lmp");
    beyond.push_back("gone.lmp");
    for (const auto& names : {std::vector<std::string>{"lamp0.lmp", "gone.lmp"}, beyond}) {
        try {
            setup.run(names);
            FAIL() << "a missing lamp file was not reported";
        } catch (const RigError& error) {
            EXPECT_EQ(error.number(), errc::fileNotFound);
            EXPECT_EQ(error.description(), "File not found: gone.lmp");
        }
        EXPECT_EQ(sortedNames(setup.source), sourceBefore);
        EXPECT_EQ(readBytes(setup.lampData()), oldFile);
        EXPECT_EQ(sortedNames(setup.output), std::vector<std::string>{"lamp.dat"});
    }
}

TEST(ExportLampData, FailedWriteKeepsTheOldFile)
{
    ExportSetup setup;
    const Bytes oldFile = patternBytes(40000, 2);
    writeBytes(setup.lampData(), oldFile);
    testing::failNextWrites(ENOSPC, 1);
    EXPECT_THROW(setup.run({"lamp0.lmp"}), RigError);
    testing::failNextWrites(0, 0);
    EXPECT_EQ(readBytes(setup.lampData()), oldFile);
    EXPECT_EQ(sortedNames(setup.output), std::vector<std::string>{"lamp.dat"});
}

TEST(ExportLampData, ShowTitleIsReplacedOrItsAbsenceReportedAfterTheLampData)
{
    ExportSetup setup;
    writeBytes(setup.output.file(showTitleFileName), patternBytes(3000, 4));
    setup.run({"lamp0.lmp"});
    EXPECT_EQ(readBytes(setup.output.file(showTitleFileName)), showTitleBytes);

    TempDir emptyProgram, otherOutput;
    try {
        exportLampData(setup.source.file(""), {"lamp1.lmp"}, otherOutput.file("lamp.dat"), emptyProgram.file(""));
        FAIL() << "a missing show title file was not reported";
    } catch (const RigError& error) {
        EXPECT_EQ(error.number(), errc::fileNotFound);
        EXPECT_NE(error.description().find("showttl.dat"), std::string::npos) << error.description();
    }
    EXPECT_EQ(slotInFile(readBytes(otherOutput.file("lamp.dat")), 0), readBytes(setup.source.file("lamp1.lmp")));
    // Staging stays in memory: no other file appears anywhere.
    EXPECT_EQ(sortedNames(otherOutput), std::vector<std::string>{"lamp.dat"});
    EXPECT_TRUE(emptyProgram.names().empty());
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

    // Only the palette codes above 5 change.
    Bytes expected(lampPayload.begin() + lampImageSize, lampPayload.begin() + 2 * lampImageSize);
    for (std::size_t c : {6, 7, 8, 35}) {
        expected[lampChannelOffset + 6 * c] = 5;
        expected[lampChannelOffset + 6 * c + 1] = 0;
    }
    const LampImage image = encodeLamp(data.lmpSlots[1]);
    EXPECT_EQ(Bytes(image.begin(), image.end()), expected);
}

TEST(DecodeImportedLampData, ShortPayloadsReadAsZero)
{
    LampDataPayloads payloads;
    payloads.lampPayload.assign(lampImageSize + 3, 0);
    payloads.lampPayload[lampImageSize] = 1;  // slot 1 exists only in part
    payloads.lampPayload[lampImageSize + 2] = 'Q';
    payloads.patchPayload.assign(patchPayloadSize, 0xAB);

    const ImportedLampData data = decodeImportedLampData(payloads);
    EXPECT_EQ(data.usedSlots(), std::vector<int>{1});
    EXPECT_EQ(data.lmpSlots[1].LampName.bytes()[0], 'Q');
    EXPECT_EQ(data.lmpSlots[1].LampName.bytes()[1], 0);

    // Entries 0 to 95 whole, 96 takes 24 bytes, 97 to 99 nothing.
    PatchEntryImage full{};
    full.fill(0xAB);
    PatchEntryImage partial{};
    std::fill(partial.begin(), partial.begin() + 24, std::uint8_t{0xAB});
    EXPECT_EQ(encodePatchEntry(data.patchEntries[95]), full);
    EXPECT_EQ(encodePatchEntry(data.patchEntries[96]), partial);
    for (std::size_t k = 97; k < patchEntryCount; ++k)
        EXPECT_EQ(encodePatchEntry(data.patchEntries[k]), PatchEntryImage{}) << "entry " << k;
}

TEST(ImportLampDataFile, MissingFileFailsWithoutCreatingIt)
{
    TempDir dir;
    try {
        (void)importLampDataFile(dir.file("lamp.dat"));
        FAIL() << "a missing file was read";
    } catch (const RigError& error) {
        EXPECT_EQ(error.number(), errc::fileNotFound);
    }
    EXPECT_TRUE(dir.names().empty());
}

}  // namespace
}  // namespace rig
