// Files come from console disks and other people's machines: whatever bytes a file
// holds, every way in gives a record or the program's message, never a crash.

#include "cli/cli_app.h"
#include "console/frmImport.h"
#include "lamp/frmDocument.h"
#include "lamp/lamp.h"
#include "patch/frmStageScreen.h"
#include "patch/tbxLamps.h"
#include "shell/frmMain.h"

#include "fake_ui.h"

#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QFile>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

const char* const notValid = "This is not a valid Dornick Data File or the data file is corrupt";
const char* const notLamps = "Sorry this version of Tarsen Rigsmith only supports lamp files";

void put16(Bytes& bytes, std::size_t at, int value)
{
    bytes.at(at) = static_cast<std::uint8_t>(value & 0xFF);
    bytes.at(at + 1) = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

Bytes cut(Bytes bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

// A lamp file image: icon 1, the name space padded, `count` channels with step 1.
Bytes lampImage(const std::string& name, int count)
{
    Bytes bytes(1622, 0);
    bytes[0] = 1;
    std::string padded = name;
    padded.resize(16, ' ');
    std::copy(padded.begin(), padded.end(), bytes.begin() + 2);
    bytes[19] = bytes[20] = static_cast<std::uint8_t>(count);
    for (int c = 0; c < std::min(count, 36); ++c)
        bytes[795 + 6 * static_cast<std::size_t>(c)] = 1;
    return bytes;
}

Bytes reservedFilledLamp()
{
    Bytes bytes = lampImage("Reserved", 3);
    for (const std::size_t at : {1, 18, 21})
        bytes[at] = 0xFF;
    for (std::size_t k = 0; k < 48; ++k)
        bytes[130 + 14 * k] = bytes[131 + 14 * k] = 0xFF;
    for (std::size_t c = 0; c < 36; ++c)
        bytes[794 + 6 * c] = 0xFF;
    std::fill(bytes.begin() + 1006, bytes.end(), 0xFF);
    return bytes;
}

// Function, palette and wheel function codes that no table holds.
Bytes outOfRangeCodes()
{
    Bytes bytes = lampImage("Codes", 3);
    const int codes[] = {48, 32767, -1};
    for (std::size_t c = 0; c < 3; ++c) {
        put16(bytes, 790 + 6 * c, codes[c]);
        put16(bytes, 792 + 6 * c, codes[c]);
        put16(bytes, 22 + 2 * c, codes[c]);
    }
    return bytes;
}

// A patch whose placed lamps name lamp types -1, 16 and 32767, sit off the stage, or
// carry 0xFF in every spare byte; both counters hold extreme values.
Bytes hostilePatch()
{
    Bytes bytes(29056, 0);
    const Bytes spot = lampImage("Spot", 12);
    std::copy(spot.begin(), spot.end(), bytes.begin());
    const auto entry = [&](std::size_t k, int type, int dmx, int col, int row) {
        const std::size_t at = 25952 + 31 * k;
        put16(bytes, at + 9, type);
        put16(bytes, at + 11, 1);
        put16(bytes, at + 13, dmx);
        bytes[at + 25] = static_cast<std::uint8_t>(col);
        bytes[at + 26] = static_cast<std::uint8_t>(row);
        return at;
    };
    entry(0, -1, 1, 0, 0);
    entry(1, 16, 7, 1, 0);
    const std::size_t spares = entry(2, 0, 13, 2, 0);
    for (const std::size_t offset : {0, 1, 2, 3, 4, 5, 6, 7, 8, 18, 19, 20, 21, 22, 23, 24, 27, 28, 29, 30})
        bytes[spares + offset] = 0xFF;
    entry(3, 0, 25, 255, 255);
    entry(4, 0x7FFF, -1, 3, 0);
    put16(bytes, 29052, -1);
    put16(bytes, 29054, 0x7FFF);
    return bytes;
}

// One console block; `reserved` fills the reserved header bytes, the tail and the
// data area beyond the data length.
Bytes block(int section, int number, int length, const Bytes& data = {}, std::uint8_t reserved = 0, int type = 3)
{
    Bytes bytes(2048, reserved);
    put16(bytes, 0, 0x3F40);
    put16(bytes, 2, type);
    put16(bytes, 6, section);
    put16(bytes, 8, length);
    bytes[10] = static_cast<std::uint8_t>(number);
    for (int i = 0; i < 2020; ++i)
        bytes[20 + static_cast<std::size_t>(i)] =
            static_cast<std::size_t>(i) < data.size() ? data[static_cast<std::size_t>(i)] : i < length ? 0 : reserved;
    return bytes;
}

Bytes joined(const std::vector<Bytes>& blocks)
{
    Bytes bytes;
    for (const Bytes& b : blocks)
        bytes.insert(bytes.end(), b.begin(), b.end());
    return bytes;
}

// The 15 blocks the export writes, for the given lamp images.
Bytes exportFile(const std::vector<Bytes>& lamps, std::uint8_t reserved = 0)
{
    Bytes payload = joined(lamps);
    payload.resize(16 * 1622, 0);
    std::vector<Bytes> blocks;
    for (int n = 0; n < 13; ++n) {
        const int length = n < 12 ? 2020 : 1712;
        const auto from = payload.begin() + n * 2020;
        blocks.push_back(block(1, n, length, Bytes(from, from + length), reserved));
    }
    blocks.push_back(block(0, 0, 2020, {}, reserved));
    blocks.push_back(block(0, 1, 980, {}, reserved));
    return joined(blocks);
}

// A patch payload whose first entry is in use: type 0, channel 1, DMX 1, column 5 row F.
Bytes placedEntry()
{
    Bytes entry(31, 0);
    put16(entry, 11, 1);
    put16(entry, 13, 1);
    entry[25] = 4;
    entry[26] = 5;
    return entry;
}

Bytes interleaved()
{
    return joined({block(0, 0, 2020, placedEntry()), block(1, 0, 2020, lampImage("Alpha", 1)), block(0, 1, 980),
                   block(1, 1, 1712)});
}

Bytes thousandBlocks()
{
    std::vector<Bytes> blocks;
    for (int n = 0; n < 1000; ++n)
        blocks.push_back(block(1, n & 0xFF, 2020, n == 0 ? lampImage("First", 1) : Bytes{}));
    return joined(blocks);
}

struct Cell {
    int row;
    int col;
    const char* text;
};

struct Item {
    const char* name;
    Bytes bytes;
    int channels;               // the count the lamp window shows
    bool countWarning;          // shown after the out-of-range count warning
    std::vector<Cell> cells;    // what the stage screen draws; every other cell is empty
    std::vector<const char*> lamps;  // the names the import lists, as stored
    const char* importError;    // or the import's message
};

void PrintTo(const Item& item, std::ostream* os) { *os << item.name; }

const std::vector<Cell> hostileCells = {{1, 1, "1.1.1\r\n"},
                                        {1, 2, "2.1.7\r\n"},
                                        {1, 3, "3.1.13\r\nSpot            "},
                                        {1, 4, "5.1.-1\r\n"}};

std::vector<Item> corpus()
{
    Bytes longer = lampImage("Long", 8);
    longer.resize(3 * 1024 * 1024, 0xFF);
    return {
        {"Empty", {}, 1, false, {}, {}, nullptr},
        {"OneByte", {0x40}, 1, false, {}, {}, nullptr},
        {"LampOneByteShort", cut(lampImage("Short", 6), 1621), 6, false, {}, {}, nullptr},
        {"PatchOneByteShort", cut(hostilePatch(), 29055), 12, false, hostileCells, {}, notValid},
        {"LampDataOneByteShort", cut(exportFile({lampImage("Alpha", 1), lampImage("Bravo", 2)}), 30719), 1, false, {},
         {"Alpha           ", "Bravo           "}, nullptr},
        {"MuchLonger", longer, 8, false, {}, {}, notValid},
        {"LampReservedFilled", reservedFilledLamp(), 3, false, {}, {}, nullptr},
        {"PatchHostileEntries", hostilePatch(), 12, false, hostileCells, {}, notValid},
        // The header's reserved byte 19 is where a lamp file keeps its channel count.
        {"LampDataReservedFilled", exportFile({lampImage("Alpha", 1)}, 0xFF), 36, true, {}, {"Alpha           "},
         nullptr},
        {"ChannelCount0", lampImage("Zero", 0), 1, false, {}, {}, nullptr},
        {"ChannelCount255", lampImage("Many", 255), 36, true, {}, {}, nullptr},
        {"CodesOutOfRange", outOfRangeCodes(), 3, false, {}, {}, nullptr},
        {"DataLengths0And2020", joined({block(1, 0, 0, lampImage("Ghost", 1)), block(1, 1, 2020, lampImage("Real", 1))}),
         1, false, {}, {"Real            "}, nullptr},
        {"DataLength2021", block(1, 0, 2021, lampImage("Alpha", 1)), 1, false, {}, {}, notValid},
        {"DataLength65535", block(1, 0, 0xFFFF, lampImage("Alpha", 1)), 1, false, {}, {}, notValid},
        {"FileType2", joined({block(1, 0, 2020, lampImage("Alpha", 1)), block(0, 0, 2020, {}, 0, 2)}), 1, false, {},
         {}, notLamps},
        {"InterleavedSections", interleaved(), 1, false, {}, {"Alpha           "}, nullptr},
        {"ThousandBlocks", thousandBlocks(), 1, false, {}, {"First           "}, nullptr},
    };
}

void writeAll(const QString& path, const Bytes& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

CliRun show(const QString& path)
{
    CliRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = cli::runCli({QStringLiteral("show"), path}, out, err, QString());
    out.flush();
    err.flush();
    return run;
}

class HostileInput : public ::testing::TestWithParam<Item> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        main.resize(1000, 800);
        main.show();
    }

    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }

    FakeUi fake;
    QTemporaryDir dir;
    rig::AppState state;
    frmMain main{state};
};

TEST_P(HostileInput, EveryWayInGivesARecordOrTheMessage)
{
    const Item& item = GetParam();
    for (const char* name : {"hostile.lmp", "hostile.pat", "lamp.dat"})
        writeAll(file(name), item.bytes);

    // The lamp window: any bytes are a lamp, with the count brought into 1 to 36.
    fake.fileAnswers = {file("hostile.lmp")};
    main.mnuFileOpen_Click();
    const QList<frmDocument*> documents = main.findChildren<frmDocument*>();
    ASSERT_EQ(documents.size(), 1);
    frmDocument& document = *documents.first();
    EXPECT_EQ(document.windowTitle(), QStringLiteral("hostile.lmp"));
    EXPECT_EQ(document.lamp().NumberChannel, item.channels);
    if (item.countWarning) {
        ASSERT_EQ(fake.messages.size(), 1U);
        EXPECT_EQ(fake.messages[0].title, QStringLiteral("Change number of channels"));
    } else {
        EXPECT_TRUE(fake.messages.empty());
    }
    // Opening and opening an editor on each cell of the first channel repair nothing
    // and lose nothing beyond what the window itself sets: the count, its copy and
    // zero steps. (The name is the text box's and compared elsewhere.)
    auto* grid = document.findChild<QTableWidget*>(QStringLiteral("grdChannels"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->rowCount(), item.channels);
    for (int column = 0; column < 3; ++column) {
        grid->setCurrentCell(0, column);
        document.grdChannels_Click();
        document.grdChannels_LeaveCell();
    }
    Bytes expected = item.bytes;
    expected.resize(1622, 0);
    expected[19] = expected[20] = static_cast<std::uint8_t>(item.channels);
    for (std::size_t c = 0; c < static_cast<std::size_t>(item.channels); ++c)
        if (expected[795 + 6 * c] == 0)
            expected[795 + 6 * c] = 1;
    const rig::LampImage image = rig::encodeLamp(document.lamp());
    for (std::size_t at = 0; at < image.size(); ++at) {
        if (at < 2 || at > 17) {
            ASSERT_EQ(image[at], expected[at]) << "byte " << at;
        }
    }

    // The stage screen: any bytes are a patch; only lamps in use on the stage are drawn.
    fake.messages.clear();
    fake.fileAnswers = {file("hostile.pat")};
    main.mnuFileOpen_Click();
    frmStageScreen* screen = main.stageScreen(false);
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_TRUE(fake.messages.empty());
    int drawn = 0;
    for (int row = 1; row <= 24; ++row)
        for (int col = 1; col <= 20; ++col)
            drawn += screen->textMatrix(row, col).isEmpty() ? 0 : 1;
    EXPECT_EQ(drawn, static_cast<int>(item.cells.size()));
    for (const Cell& cell : item.cells)
        EXPECT_EQ(screen->textMatrix(cell.row, cell.col), QString::fromLatin1(cell.text));

    // The import: the lamps listed, or the message and nothing taken over.
    state.patch.patchEntries[99].StartDMX = 77;
    fake.messages.clear();
    {
        frmImport import(main);
        import.importDataFile(file("lamp.dat"));
        QStringList listed;
        for (int i = 0; i < import.lstLamps()->count(); ++i)
            listed << import.lstLamps()->item(i)->text();
        QStringList lamps;
        for (const char* name : item.lamps)
            lamps << QString::fromLatin1(name);
        EXPECT_EQ(listed, lamps);
        if (item.importError) {
            ASSERT_EQ(fake.messages.size(), 1U);
            EXPECT_EQ(fake.messages[0].text, QStringLiteral("Error: ") + QLatin1String(item.importError));
            EXPECT_EQ(fake.messages[0].title, QStringLiteral("TarsenRigsmith"));
            EXPECT_EQ(state.patch.patchEntries[99].StartDMX, 77);
        } else {
            EXPECT_TRUE(fake.messages.empty());
            EXPECT_EQ(state.patch.patchEntries[99].StartDMX, 0);
        }
    }

    // The command line shows each as a lamp file and as a patch file; as a console
    // file it shows the lamps the import lists, or fails with the same description.
    const CliRun asLamp = show(file("hostile.lmp"));
    EXPECT_EQ(asLamp.status, cli::exitOk) << asLamp.err.toStdString();
    EXPECT_TRUE(asLamp.out.startsWith(QStringLiteral("Lamp file: ")));
    const CliRun asPatch = show(file("hostile.pat"));
    EXPECT_EQ(asPatch.status, cli::exitOk) << asPatch.err.toStdString();
    EXPECT_TRUE(asPatch.out.startsWith(QStringLiteral("Stage patch file: ")));
    const CliRun asConsole = show(file("lamp.dat"));
    if (item.importError) {
        EXPECT_EQ(asConsole.status, cli::exitFailure);
        EXPECT_TRUE(asConsole.err.contains(QLatin1String(item.importError))) << asConsole.err.toStdString();
    } else {
        EXPECT_EQ(asConsole.status, cli::exitOk) << asConsole.err.toStdString();
        for (const char* name : item.lamps)
            EXPECT_TRUE(asConsole.out.contains(QString::fromLatin1(name).trimmed())) << name;
    }
}

std::string itemName(const ::testing::TestParamInfo<Item>& param) { return param.param.name; }

INSTANTIATE_TEST_SUITE_P(Corpus, HostileInput, ::testing::ValuesIn(corpus()), itemName);

// An import replaces the placed lamps but not the lamp counter, which then points at a
// lamp that came in. Dropping a lamp must not take that one over.
TEST(HostileInputDrop, DropAfterAnImportKeepsTheImportedLamp)
{
    FakeUi fake;
    QTemporaryDir dir;
    rig::AppState state;
    frmMain main{state};
    main.resize(1000, 800);
    main.show();
    const QString data = dir.filePath(QStringLiteral("lamp.dat"));
    writeAll(data, interleaved());

    fake.fileAnswers = {dir.filePath(QStringLiteral("new.pat"))};
    main.mnuFileOpen_Click();
    frmStageScreen* screen = main.stageScreen(false);
    ASSERT_NE(screen, nullptr);
    frmImport(main).importDataFile(data);
    ASSERT_TRUE(state.patch.patchEntries[0].inUse());
    ASSERT_EQ(state.patch.nNextEntry, 0);

    fake.dialogScripts.push_back([](QDialog& d) {
        QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("btnAutoPatch")), Qt::LeftButton);
        QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("btnOK")), Qt::LeftButton);
    });
    QMimeData mime;
    mime.setData(tbxLamps::mimeType, QByteArray::number(0));
    QWidget* viewport = screen->grdStageScreen()->viewport();
    const QPoint at = screen->cellCentre(1, 1);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);

    EXPECT_TRUE(screen->textMatrix(6, 5).startsWith(QStringLiteral("1.1.1\r\n")));
    EXPECT_TRUE(screen->textMatrix(1, 1).startsWith(QStringLiteral("2.25.25\r\n")));
    EXPECT_EQ(state.patch.nNextEntry, 2);
    EXPECT_TRUE(fake.messages.empty());
}

}  // namespace
