#include "../common/console_bytes.h"
#include "core/console_file.h"
#include "windows/frmExport.h"
#include "windows/frmImport.h"
#include "windows/frmDocument.h"
#include "windows/frmStageScreen.h"
#include "core/stage_patch.h"
#include "window_helpers.h"

#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableWidget>
#include <QUndoStack>

namespace {

// A lamp whose channels use every palette code the lamp window offers.
rig::Lamp markedLamp(const char* name, std::uint8_t marker)
{
    rig::Lamp lamp = namedLamp(name);
    lamp.Icon = static_cast<std::uint8_t>(1 + marker % 4);
    for (std::size_t c = 0; c < rig::maxChannels; ++c)
        lamp.Channel[c].Palette = static_cast<std::int16_t>((c + marker) % 6);
    lamp.ReservedArea1[0] = marker;
    return lamp;
}

Bytes payloadWith(const std::vector<std::pair<std::size_t, rig::Lamp>>& lamps)
{
    Bytes payload(rig::lampPayloadSize, 0);
    for (const auto& [slot, lamp] : lamps) {
        const Bytes image = imageOf(lamp);
        std::copy(image.begin(), image.end(), payload.begin() + static_cast<std::ptrdiff_t>(slot * rig::lampImageSize));
    }
    return payload;
}

class ImportDialog : public MainWindowTest {
protected:
    QString writeFile(const char* name, const Bytes& lamps, const Bytes& patch = Bytes(3000, 0))
    {
        rig::writeLampDataFile(toPath(file(name)), lamps, patch);
        return file(name);
    }
    QString threeLampFile() { return writeFile("lamp.dat", payloadWith({{0, alpha}, {1, bravo}, {2, charlie}})); }

    static QStringList listed(const frmImport& d)
    {
        QStringList names;
        for (int i = 0; i < d.lstLamps()->count(); ++i)
            names << d.lstLamps()->item(i)->text() + '@' + d.lstLamps()->item(i)->data(Qt::UserRole).toString();
        return names;
    }

    const rig::Lamp alpha = markedLamp("Alpha", 1), bravo = markedLamp("Bravo", 2), charlie = markedLamp("Charlie", 3);
};

TEST_F(ImportDialog, ListsTheLampsAndDoubleClickOpensTheChosenSlot)
{
    const QString path = threeLampFile();
    fake.dialogScripts.push_back([&path](QDialog& shown) {
        auto& d = static_cast<frmImport&>(shown);
        QTest::keyClicks(d.txtImportFile(), path);
        click(d, "btnImport");
        EXPECT_EQ(listed(d), (QStringList{"Alpha           @0", "Bravo           @1", "Charlie         @2"}));
        clickRow(d.lstLamps(), 1, true);
        EXPECT_FALSE(d.isVisible());
    });
    choose("mnuFileImport");
    EXPECT_EQ(state.lmpImport, bravo);
    ASSERT_EQ(main.mdiArea()->subWindowList().size(), 1);
    const auto* imported = qobject_cast<const frmDocument*>(main.mdiArea()->subWindowList()[0]->widget());
    ASSERT_NE(imported, nullptr);
    EXPECT_EQ(imported->windowTitle(), "Imported Lamp");
    // The slot's lamp, reserved bytes included, unsaved and with no file yet.
    EXPECT_EQ(imported->lamp().LampName, bravo.LampName);
    EXPECT_EQ(imported->lamp().ReservedArea1, bravo.ReservedArea1);
    EXPECT_TRUE(imported->changed());
    EXPECT_TRUE(imported->filePath().isEmpty());
}

TEST_F(ImportDialog, FreeSlotsMayLieAnywhereAndAnEmptyFileListsNothing)
{
    frmImport d(state.patch, fake);
    // Free slots may lie anywhere; the entry carries the slot.
    d.importDataFile(writeFile("console.dat", payloadWith({{1, charlie}, {15, alpha}})));
    EXPECT_EQ(listed(d), (QStringList{"Charlie         @1", "Alpha           @15"}));
    EXPECT_EQ(imageOf(d.lmpSlots()[0]), Bytes(rig::lampImageSize, 0));

    // A 0-byte file lists nothing and clears the placed lamps, not the lamp types.
    writeBytes(file("empty.dat"), {});
    for (auto& entry : state.patch.patchEntries)
        entry.StartDMX = 7;
    const rig::Lamp toolbox = state.patch.lmpLamps[0] = alpha;
    d.importDataFile(file("empty.dat"));
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_EQ(d.lstLamps()->count(), 0);
    for (const rig::PatchEntry& entry : state.patch.patchEntries)
        ASSERT_EQ(rig::encodePatchEntry(entry), rig::PatchEntryImage{});
    EXPECT_EQ(state.patch.lmpLamps[0], toolbox);
}

TEST_F(ImportDialog, FailuresAreReportedAndChangeNothing)
{
    frmImport d(state.patch, fake);
    d.importDataFile(threeLampFile());
    state.patch.patchEntries[3].StartDMX = 42;

    using testbytes::consoleBlock;
    writeBytes(file("type2.dat"), testbytes::join({consoleBlock(0, 0, 0), consoleBlock(0, 0, 0, {}, 0, 0x3F40, 2)}));

    d.importDataFile(file("type2.dat"));
    d.txtImportFile()->clear();
    QTest::keyClicks(d.txtImportFile(), file("missing.dat"));
    d.findChild<QPushButton*>(QStringLiteral("btnImport"))->click();
    EXPECT_EQ(fake.texts(), (std::vector<QString>{
                                "Error: Sorry this version of Tarsen Rigsmith only supports lamp files",
                                "Error: File not found",
                            }));
    EXPECT_FALSE(QFile::exists(file("missing.dat")));
    EXPECT_EQ(d.lstLamps()->count(), 3);
    EXPECT_EQ(state.patch.patchEntries[3].StartDMX, 42);
}

TEST_F(ImportDialog, OpenStageScreenIsRedrawnAndMarkedChanged)
{
    rig::StagePatch patch;
    patch.patchEntries[0].StartDMX = 25;
    patch.patchEntries[0].ScreenRow = 1;
    patch.patchEntries[0].ScreenCol = 2;
    rig::writePatchFile(toPath(file("show.pat")), patch);
    openFile(file("show.pat"));
    frmStageScreen* screen = main.stageScreen(false);
    ASSERT_NE(screen, nullptr);
    ASSERT_FALSE(screen->textMatrix(2, 3).isEmpty());
    screen->grdStageScreen()->setCurrentCell(1, 2);
    screen->editCut();  // a step the import makes meaningless
    ASSERT_TRUE(screen->undoStack().canUndo());
    main.mdiArea()->currentSubWindow()->showMinimized();  // minimised is still open

    Bytes area(3000, 0);
    area[31 * 4 + 13] = 40;  // entry 4: StartDMX 40 at column 5, row 6
    area[31 * 4 + 25] = 5;
    area[31 * 4 + 26] = 6;
    fake.dialogScripts.push_back([this, &area](QDialog& shown) {
        static_cast<frmImport&>(shown).importDataFile(writeFile("lamp.dat", {}, area));
    });
    choose("mnuFileImport");
    EXPECT_TRUE(screen->isChanged());
    EXPECT_FALSE(screen->undoStack().canUndo());
    EXPECT_TRUE(screen->textMatrix(2, 3).isEmpty());
    EXPECT_TRUE(screen->textMatrix(7, 6).startsWith("5.0.40"));
}

TEST_F(ImportDialog, ExportThenImportGivesBackEveryLampByteForByte)
{
    QTemporaryDir lamps;
    const rig::Lamp all[] = {alpha, bravo, charlie};
    for (int i = 0; i < 3; ++i)
        rig::writeLampFile(toPath(lamps.filePath(QStringLiteral("%1.lmp").arg(i))), all[i]);
    writeBytes(file("showttl.dat"), {'x'});
    state.AppPath = toPath(dir.path());
    fake.settings[QStringLiteral("Export source path")] = lamps.path();
    frmExport exporter(state.AppPath, fake);
    ASSERT_TRUE(QTest::qWaitFor([&exporter] { return exporter.fileList().size() == 3; }));
    exporter.findChild<QPushButton*>(QStringLiteral("btnAddAll"))->click();
    fake.fileAnswers = {file("out.dat")};
    ASSERT_TRUE(exporter.exportLampData());

    frmImport d(state.patch, fake);
    d.importDataFile(file("out.dat"));
    for (std::size_t slot = 0; slot < 3; ++slot)
        EXPECT_EQ(imageOf(d.lmpSlots()[slot]), imageOf(all[slot])) << "slot " << slot;
}

}  // namespace
