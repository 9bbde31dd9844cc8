#include "core/lamp_exchange.h"

#include "base/rig_error.h"
#include "../common/files.h"

#include <gtest/gtest.h>

#include <algorithm>

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

TEST(ExportLampData, FillsSlotsInListOrderAfterALargerExport)
{
    ExportSetup setup;
    setup.run(Names(16, "lamp1.lmp"));
    // Three lamps, the same file twice, the other 13 slots zero.
    setup.run({"lamp2.lmp", "lamp0.lmp", "lamp0.lmp"});
    const Bytes file = readBytes(setup.lampData());
    EXPECT_EQ(slotInFile(file, 0), setup.lamp("lamp2.lmp"));
    EXPECT_EQ(slotInFile(file, 1), setup.lamp("lamp0.lmp"));
    EXPECT_EQ(slotInFile(file, 2), setup.lamp("lamp0.lmp"));
    for (std::size_t slot = 3; slot < lampSlots; ++slot)
        EXPECT_EQ(slotInFile(file, slot), Bytes(lampImageSize, 0)) << "slot " << slot;
}

TEST(ExportLampData, MissingNameStopsBeforeAnythingIsWrittenOrCreated)
{
    ExportSetup setup;
    const Bytes oldFile = patternBytes(5000, 1);
    writeBytes(setup.lampData(), oldFile);
    const Names sourceBefore = sortedNames(setup.source);
    EXPECT_EQ(errorNumber([&] { setup.run({"lamp0.lmp", "gone.lmp"}); }), errc::fileNotFound);
    EXPECT_EQ(sortedNames(setup.source), sourceBefore);
    EXPECT_EQ(readBytes(setup.lampData()), oldFile);
    EXPECT_EQ(sortedNames(setup.output), Names{"lamp.dat"});
}

// An output named like the console file would be overwritten by the copy beside it.
TEST(ExportLampData, RefusesAnOutputNamedLikeTheConsoleFile)
{
    ExportSetup setup;
    EXPECT_EQ(errorNumber([&] {
                  exportLampData(setup.source.file(""), {"lamp0.lmp"}, setup.program.file("ShowTtl.DAT"),
                                 setup.program.file(""));
              }),
              errc::badFileName);
    EXPECT_EQ(readBytes(setup.program.file(showTitleFileName)), showTitleBytes);
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
