// Files come from console disks and other people's machines: whatever bytes a file
// holds, every way in gives a record or the program's message, never a crash.

#include "../common/console_bytes.h"
#include "../common/cli_run.h"
#include "windows/frmImport.h"
#include "windows/frmDocument.h"
#include "windows/frmStageScreen.h"
#include "windows/tbxLamps.h"
#include "window_helpers.h"

#include <QDialog>
#include <QFocusEvent>
#include <QRegularExpression>
#include <QTableView>
#include <QTableWidget>

#include <algorithm>
#include <ostream>
#include <utility>

namespace {

using rig::test::CliRun;
using rig::test::runCommandLine;

const QString notValid = QStringLiteral("This is not a valid Dornick Data File or the data file is corrupt");

using testbytes::consoleBlock;
using testbytes::consoleFile;
using testbytes::join;
using testbytes::put16;

Bytes cut(Bytes bytes, std::size_t size, std::uint8_t fill = 0)
{
    bytes.resize(size, fill);
    return bytes;
}

// A lamp file image as the window would save it: count and copy equal, steps 1.
Bytes savedLampImage(const char* name, int count)
{
    rig::Lamp lamp = namedLamp(name, static_cast<std::uint8_t>(count));
    lamp.NumberChannelCopy = lamp.NumberChannel;
    for (auto& channel : lamp.Channel)
        channel.Step = 1;
    return imageOf(lamp);
}

// Puts a placed lamp (channel 1) into the 31-byte patch entry at `at`.
std::size_t place(Bytes& bytes, std::size_t at, int type, int dmx, int col, int row)
{
    put16(bytes, at + 9, type);
    put16(bytes, at + 11, 1);
    put16(bytes, at + 13, dmx);
    bytes[at + 25] = static_cast<std::uint8_t>(col);
    bytes[at + 26] = static_cast<std::uint8_t>(row);
    return at;
}

// Every reserved byte 0xFF, and function, palette and wheel function codes that no
// table holds.
Bytes hostileLamp()
{
    Bytes bytes = savedLampImage("Hostile", 3);
    bytes[1] = bytes[18] = bytes[21] = 0xFF;
    for (std::size_t k = 0; k < 48; ++k)
        bytes[130 + 14 * k] = bytes[131 + 14 * k] = 0xFF;
    for (std::size_t c = 0; c < 36; ++c)
        bytes[794 + 6 * c] = 0xFF;
    std::fill(bytes.begin() + 1006, bytes.end(), 0xFF);
    const int codes[] = {48, 32767, -1};
    for (std::size_t c = 0; c < 3; ++c)
        for (const std::size_t at : {790 + 6 * c, 792 + 6 * c, 22 + 2 * c})
            put16(bytes, at, codes[c]);
    return bytes;
}

// Placed lamps of types -1, 16 and 32767, one off the stage, one with 0xFF in every
// spare byte; both counters extreme.
Bytes hostilePatch()
{
    Bytes bytes = savedLampImage("Spot", 12);
    bytes.resize(29056, 0);
    place(bytes, 25952, -1, 1, 0, 0);
    place(bytes, 25983, 16, 7, 1, 0);
    const std::size_t spares = place(bytes, 26014, 0, 13, 2, 0);
    for (const std::size_t offset : {0, 1, 2, 3, 4, 5, 6, 7, 8, 18, 19, 20, 21, 22, 23, 24, 27, 28, 29, 30})
        bytes[spares + offset] = 0xFF;
    place(bytes, 26045, 0, 25, 255, 255);
    place(bytes, 26076, 0x7FFF, -1, 3, 0);
    put16(bytes, 29052, -1);
    put16(bytes, 29054, 0x7FFF);
    return bytes;
}

// Patch and lamp blocks alternate; the patch places lamp type 0 at DMX 1, column 5 row F.
Bytes interleaved()
{
    Bytes entry(31, 0);
    place(entry, 0, 0, 1, 4, 5);
    return join({consoleBlock(0, 0, 2020, entry), consoleBlock(1, 0, 2020, savedLampImage("Alpha", 1)),
                 consoleBlock(0, 1, 980),
                   consoleBlock(1, 1, 1712)});
}

struct Item {
    const char* name;
    Bytes bytes;
    int channels;       // the count the lamp window shows
    bool countWarning;  // shown after the out-of-range count warning
    QStringList cells;  // "row,column text" of each cell the stage screen draws
    QStringList lamps;  // the names the import lists
    bool importFails;   // with the "not valid" message, taking nothing over
};

void PrintTo(const Item& item, std::ostream* os) { *os << item.name; }

std::vector<Item> corpus()
{
    std::vector<Bytes> thousand{consoleBlock(1, 0, 2020, savedLampImage("First", 1))};
    for (int n = 1; n < 1000; ++n)
        thousand.push_back(consoleBlock(1, n & 0xFF, 2020));
    const QStringList drawn = {"1,1 1.1.1\r\n", "1,2 2.1.7\r\n", "1,3 3.1.13\r\nSpot            ", "1,4 5.1.-1\r\n"};
    return {
        {"Empty", {}, 1, false, {}, {}, false},
        {"OneByte", {0x40}, 1, false, {}, {}, false},
        {"LampOneByteShort", cut(savedLampImage("Short", 6), 1621), 6, false, {}, {}, false},
        {"PatchOneByteShort", cut(hostilePatch(), 29055), 12, false, drawn, {}, true},
        {"LampDataOneByteShort", cut(consoleFile({{0, savedLampImage("Alpha", 1)}, {1, savedLampImage("Bravo", 2)}}, true), 30719),
         1, false, {}, {"Alpha", "Bravo"}, false},
        {"MuchLonger", cut(savedLampImage("Long", 8), 3 * 1024 * 1024, 0xFF), 8, false, {}, {}, true},
        {"LampReservedFilledCodesOutOfRange", hostileLamp(), 3, false, {}, {}, false},
        {"PatchHostileEntries", hostilePatch(), 12, false, drawn, {}, true},
        // The header's reserved byte 19 is where a lamp file keeps its channel count.
        {"LampDataReservedFilled", consoleFile({{0, savedLampImage("Alpha", 1)}}, true, 0xFF), 36, true, {}, {"Alpha"},
         false},
        {"ChannelCount0", savedLampImage("Zero", 0), 1, false, {}, {}, false},
        {"ChannelCount255", savedLampImage("Many", 255), 36, true, {}, {}, false},
        {"DataLengths0And2020",
         join({consoleBlock(1, 0, 0, savedLampImage("Ghost", 1)), consoleBlock(1, 1, 2020, savedLampImage("Real", 1))}),
         1, false, {}, {"Real"}, false},
        {"DataLength2021", consoleBlock(1, 0, 2021, savedLampImage("Alpha", 1)), 1, false, {}, {}, true},
        {"DataLength65535", consoleBlock(1, 0, 0xFFFF, savedLampImage("Alpha", 1)), 1, false, {}, {}, true},
        {"InterleavedSections", interleaved(), 1, false, {}, {"Alpha"}, false},
        {"ThousandBlocks", join(thousand), 1, false, {}, {"First"}, false},
    };
}

// `rigsmith-cli show`, in-process: the exit status and what it printed (errors on failure).
std::pair<int, QString> show(const QString& path)
{
    const CliRun run = runCommandLine({QStringLiteral("show"), path});
    return {run.status, run.status == cli::exitOk ? run.out : run.err};
}

class HostileInput : public MainWindowTest, public ::testing::WithParamInterface<Item> {};

TEST_P(HostileInput, EveryWayInGivesARecordOrTheMessage)
{
    const Item& item = GetParam();
    for (const char* name : {"hostile.lmp", "hostile.pat", "lamp.dat"})
        writeBytes(file(name), item.bytes);

    // The lamp window: any bytes are a lamp, with the count brought into 1 to 36.
    openFile(file("hostile.lmp"));
    auto* document = dynamic_cast<frmDocument*>(main.activeDocument());
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->lamp().NumberChannel, item.channels);
    ASSERT_EQ(fake.messages.size(), item.countWarning ? 1U : 0U);
    EXPECT_TRUE(!item.countWarning || fake.messages[0].title == QStringLiteral("Change number of channels"));
    auto* grid = document->findChild<QTableView*>(QStringLiteral("grdChannels"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->model()->rowCount(), item.channels);
    // Opening, and an editor opened and left on each cell of the first channel, repair
    // nothing beyond the count, its copy and zero steps.
    for (int column = 0; column < 3; ++column) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(0, column)).center());
        QWidget* editor = grid->indexWidget(grid->model()->index(0, column));
        ASSERT_NE(editor, nullptr) << column;
        QFocusEvent leave(QEvent::FocusOut, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(editor, &leave);
        EXPECT_EQ(grid->indexWidget(grid->model()->index(0, column)), nullptr) << column;
    }
    const Bytes image = imageOf(document->lamp());
    Bytes expected = cut(item.bytes, 1622);
    std::copy(image.begin() + 2, image.begin() + 18, expected.begin() + 2);  // the name is the text box's
    expected[19] = expected[20] = static_cast<std::uint8_t>(item.channels);
    for (std::size_t c = 0; c < static_cast<std::size_t>(item.channels); ++c)
        expected[795 + 6 * c] = std::max<std::uint8_t>(expected[795 + 6 * c], 1);
    EXPECT_EQ(image, expected);

    // The stage screen: any bytes are a patch; only lamps in use on the stage are drawn.
    fake.messages.clear();
    openFile(file("hostile.pat"));
    frmStageScreen* screen = main.stageScreen(false);
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(screen->isVisible());
    // At most the note on lamps that stand off the stage, and nothing else.
    EXPECT_LE(fake.messages.size(), 1U);
    for (const FakeUi::Message& m : fake.messages)
        EXPECT_EQ(m.title, QStringLiteral("Lamps outside the stage"));
    fake.messages.clear();
    QStringList drawn;
    for (int row = 1; row <= 24; ++row)
        for (int col = 1; col <= 20; ++col)
            if (!screen->textMatrix(row, col).isEmpty())
                drawn << QStringLiteral("%1,%2 ").arg(row).arg(col) + screen->textMatrix(row, col);
    EXPECT_EQ(drawn, item.cells);

    // The import: the lamps listed, or the message and nothing taken over.
    state.patch.patchEntries[99].StartDMX = 77;
    frmImport import(state.patch, fake);
    import.importDataFile(file("lamp.dat"));
    EXPECT_EQ(itemTexts(import.lstLamps()).replaceInStrings(QRegularExpression(" +$"), QString()), item.lamps);
    EXPECT_EQ(fake.texts(), std::vector<QString>(item.importFails ? 1 : 0, QStringLiteral("Error: ") + notValid));
    EXPECT_EQ(state.patch.patchEntries[99].StartDMX, item.importFails ? 77 : 0);

    // The command line shows each as a lamp file and as a patch file; as a console file
    // it shows the lamps the import lists, or fails with the same description.
    const auto [lampStatus, lampText] = show(file("hostile.lmp"));
    EXPECT_TRUE(lampStatus == cli::exitOk && lampText.startsWith(QStringLiteral("Lamp file: "))) << lampStatus;
    const auto [patchStatus, patchText] = show(file("hostile.pat"));
    EXPECT_TRUE(patchStatus == cli::exitOk && patchText.startsWith(QStringLiteral("Stage patch file: ")));
    const auto [status, text] = show(file("lamp.dat"));
    EXPECT_EQ(status, item.importFails ? cli::exitFailure : cli::exitOk) << text.toStdString();
    for (const QString& name : item.importFails ? QStringList{notValid} : item.lamps)
        EXPECT_TRUE(text.contains(name)) << name.toStdString();
}

std::string itemName(const ::testing::TestParamInfo<Item>& param) { return param.param.name; }

INSTANTIATE_TEST_SUITE_P(Corpus, HostileInput, ::testing::ValuesIn(corpus()), itemName);

// An import replaces the placed lamps but not the lamp counter, which then points at a
// lamp that came in. Dropping a lamp must not take that one over.
using HostileInputDrop = MainWindowTest;

TEST_F(HostileInputDrop, DropAfterAnImportKeepsTheImportedLamp)
{
    writeBytes(file("lamp.dat"), interleaved());
    openFile(file("new.pat"));
    frmStageScreen* screen = main.stageScreen(false);
    ASSERT_NE(screen, nullptr);
    frmImport(state.patch, fake).importDataFile(file("lamp.dat"));
    ASSERT_TRUE(state.patch.patchEntries[0].inUse());
    ASSERT_EQ(state.patch.nNextEntry, 0);

    fake.dialogScripts.push_back([](QDialog& d) {
        click(d, "btnAutoPatch");
        click(d, "btnOK");
    });
    QMimeData mime;
    mime.setData(tbxLamps::mimeType, QByteArray::number(0));
    dragAndDrop(screen->grdStageScreen()->viewport(), screen->cellCentre(1, 1), mime);

    EXPECT_TRUE(screen->textMatrix(6, 5).startsWith(QStringLiteral("1.1.1\r\n")));
    EXPECT_TRUE(screen->textMatrix(1, 1).startsWith(QStringLiteral("2.25.25\r\n")));
    EXPECT_EQ(state.patch.nNextEntry, 2);
    EXPECT_TRUE(fake.messages.empty());
}

}  // namespace
