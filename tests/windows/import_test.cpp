#include "console/console_file.h"
#include "console/frmExport.h"
#include "console/frmImport.h"
#include "lamp/lamp.h"
#include "patch/frmStageScreen.h"
#include "patch/stage_patch.h"
#include "shell/frmMain.h"

#include "fake_ui.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string toPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

rig::Lamp namedLamp(const char* name, std::uint8_t marker)
{
    rig::Lamp lamp = rig::newLamp();
    lamp.LampName.assign(name);
    lamp.Icon = static_cast<std::uint8_t>(1 + marker % 4);
    for (std::size_t c = 0; c < rig::maxChannels; ++c)
        lamp.Channel[c].Palette = static_cast<std::int16_t>((c + marker) % 6);
    lamp.ReservedArea1[0] = marker;
    return lamp;
}

Bytes imageOf(const rig::Lamp& lamp)
{
    const rig::LampImage image = rig::encodeLamp(lamp);
    return Bytes(image.begin(), image.end());
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

void writeAll(const QString& path, const Bytes& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

class ImportDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (auto& entry : state.patch.patchEntries)
            entry.StartDMX = 7;
        state.patch.lmpLamps[0] = toolbox;
        state.patch.nNextEntry = 12;
    }

    QString writeFile(const char* name, const Bytes& lamps, const Bytes& patch = Bytes(3000, 0))
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        rig::writeLampDataFile(toPath(path), lamps, patch);
        return path;
    }
    QString threeLampFile() { return writeFile("lamp.dat", payloadWith({{0, alpha}, {1, bravo}, {2, charlie}})); }

    static QStringList listed(const frmImport& d)
    {
        QStringList names;
        for (int i = 0; i < d.lstLamps()->count(); ++i)
            names << d.lstLamps()->item(i)->text() + QLatin1Char('@') +
                         d.lstLamps()->item(i)->data(Qt::UserRole).toString();
        return names;
    }

    QStringList windowTitles() const
    {
        QStringList titles;
        for (QMdiSubWindow* sub : main.mdiArea()->subWindowList())
            titles << sub->widget()->windowTitle();
        return titles;
    }

    FakeUi fake;
    QTemporaryDir dir;
    rig::AppState state;
    frmMain main{state};
    const rig::Lamp alpha = namedLamp("Alpha", 1), bravo = namedLamp("Bravo", 2), charlie = namedLamp("Charlie", 3);
    const rig::Lamp toolbox = namedLamp("Toolbox", 5);
};

TEST_F(ImportDialog, ListsPaddedNamesInSlotOrderAndOpensTheChosenSlot)
{
    frmImport d(main);
    d.txtImportFile()->setText(threeLampFile());
    QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("btnImport")), Qt::LeftButton);
    EXPECT_EQ(listed(d), (QStringList{"Alpha           @0", "Bravo           @1", "Charlie         @2"}));

    d.lstLamps()->setCurrentRow(1);
    QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("btnOpen")), Qt::LeftButton);
    EXPECT_EQ(imageOf(state.lmpImport), imageOf(bravo));
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(windowTitles(), QStringList{"Imported Lamp"});

    // Free slots may lie anywhere; the entry carries the slot.
    d.importDataFile(writeFile("console.dat", payloadWith({{1, charlie}, {15, alpha}})));
    EXPECT_EQ(listed(d), (QStringList{"Charlie         @1", "Alpha           @15"}));
    EXPECT_EQ(imageOf(d.lmpSlots()[0]), Bytes(rig::lampImageSize, 0));
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(ImportDialog, PatchAreaReplacesPlacedLampsOnly)
{
    const QString empty = dir.filePath(QStringLiteral("empty.dat"));
    writeAll(empty, {});
    frmImport d(main);
    d.importDataFile(empty);
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_EQ(d.lstLamps()->count(), 0);
    for (const rig::PatchEntry& entry : state.patch.patchEntries)
        ASSERT_EQ(rig::encodePatchEntry(entry), rig::PatchEntryImage{});

    Bytes patch(3000, 0);
    patch[31 * 5 + 13] = 0x19;  // entry 5: StartDMX 25
    d.importDataFile(writeFile("patch.dat", {}, patch));
    EXPECT_EQ(state.patch.patchEntries[5].StartDMX, 25);
    EXPECT_EQ(imageOf(state.patch.lmpLamps[0]), imageOf(toolbox));
    EXPECT_EQ(state.patch.nNextDMX, 25);
    EXPECT_EQ(state.patch.nNextEntry, 12);
}

TEST_F(ImportDialog, FailuresAreReportedAndChangeNothing)
{
    frmImport d(main);
    d.importDataFile(threeLampFile());
    state.patch.patchEntries[3].StartDMX = 42;

    rig::ConsoleBlock good;
    rig::ConsoleBlock badSignature;
    badSignature.Signature = 0x3F41;
    rig::ConsoleBlock type2;
    type2.FileType = 2;
    const auto image = [](const rig::ConsoleBlock& block) {
        const auto bytes = rig::encodeConsoleBlock(block);
        return Bytes(bytes.begin(), bytes.end());
    };
    Bytes secondIsType2 = image(good);
    const Bytes second = image(type2);
    secondIsType2.insert(secondIsType2.end(), second.begin(), second.end());
    writeAll(dir.filePath(QStringLiteral("bad.dat")), image(badSignature));
    writeAll(dir.filePath(QStringLiteral("type2.dat")), secondIsType2);

    const QString missing = dir.filePath(QStringLiteral("missing.dat"));
    d.importDataFile(dir.filePath(QStringLiteral("bad.dat")));
    d.importDataFile(dir.filePath(QStringLiteral("type2.dat")));
    d.txtImportFile()->clear();
    QTest::keyClicks(d.txtImportFile(), missing);
    d.btnImport_Click();

    EXPECT_EQ(fake.texts(), (std::vector<QString>{
                                QStringLiteral("Error: This is not a valid Dornick Data File or the data file is corrupt"),
                                QStringLiteral("Error: Sorry this version of Tarsen Rigsmith only supports lamp files"),
                                QStringLiteral("Error: File not found"),
                            }));
    for (const auto& message : fake.messages) {
        EXPECT_EQ(message.title, QStringLiteral("TarsenRigsmith"));
        EXPECT_EQ(message.icon, ui::Icon::Critical);
    }
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(d.lstLamps()->count(), 3);
    EXPECT_EQ(state.patch.patchEntries[3].StartDMX, 42);
}

TEST_F(ImportDialog, BrowseAndOpenWithoutSelection)
{
    frmImport d(main);
    fake.fileAnswers = {std::nullopt, threeLampFile()};
    d.btnBrowse_Click();
    EXPECT_TRUE(d.txtImportFile()->text().isEmpty());
    d.btnBrowse_Click();
    EXPECT_EQ(fake.fileCalls[1].request.filter, QStringLiteral("Dornick Lamp Files (lamp.dat)|lamp.dat"));
    EXPECT_EQ(d.txtImportFile()->text(), dir.filePath(QStringLiteral("lamp.dat")));
    EXPECT_EQ(d.lstLamps()->count(), 3);

    d.lstLamps()->setCurrentRow(-1);
    d.btnOpen_Click();
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, QStringLiteral("You did not select any lamps to import\r\nPlease select a lamp "
                                                    "and then click Open Entity"));
    EXPECT_EQ(fake.messages[0].title, QStringLiteral("Import Lamp Error"));
    EXPECT_EQ(fake.messages[0].icon, ui::Icon::Critical);
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_TRUE(windowTitles().isEmpty());
}

TEST_F(ImportDialog, MenuShowsAFreshDialogAndDoubleClickOpensTheLamp)
{
    const QString path = threeLampFile();
    for (int use = 0; use < 2; ++use) {
        fake.dialogScripts.push_back([&](QDialog& shown) {
            auto& d = static_cast<frmImport&>(shown);
            EXPECT_TRUE(d.txtImportFile()->text().isEmpty());
            EXPECT_EQ(d.lstLamps()->count(), 0);
            d.txtImportFile()->setText(path);
            d.btnImport_Click();
            QListWidget* list = d.lstLamps();
            const QPoint where = list->visualItemRect(list->item(2)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, where);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, where);
            EXPECT_FALSE(d.isVisible());
        });
        main.mnuFileImport_Click();
    }
    EXPECT_EQ(fake.dialogsShown, (std::vector<QString>{"frmImport", "frmImport"}));
    EXPECT_EQ(imageOf(state.lmpImport), imageOf(charlie));
    EXPECT_EQ(windowTitles(), (QStringList{"Imported Lamp", "Imported Lamp"}));
}

TEST_F(ImportDialog, OpenStageScreenIsRedrawnAndMarkedChanged)
{
    rig::StagePatch patch;
    patch.patchEntries[0].StartDMX = 25;
    patch.patchEntries[0].ScreenRow = 1;
    patch.patchEntries[0].ScreenCol = 2;
    const QString patchFile = dir.filePath(QStringLiteral("show.pat"));
    rig::writePatchFile(toPath(patchFile), patch);
    fake.fileAnswers = {patchFile};
    main.mnuFileOpen_Click();
    frmStageScreen* screen = main.stageScreen(false);
    ASSERT_NE(screen, nullptr);
    ASSERT_FALSE(screen->textMatrix(2, 3).isEmpty());
    ASSERT_FALSE(screen->isChanged());

    Bytes area(3000, 0);
    area[31 * 4 + 13] = 40;  // entry 4: StartDMX 40 at column 5, row 6
    area[31 * 4 + 25] = 5;
    area[31 * 4 + 26] = 6;
    const QString path = writeFile("lamp.dat", {}, area);
    frmImport d(main);
    d.importDataFile(path);
    EXPECT_TRUE(screen->isChanged());
    EXPECT_TRUE(screen->textMatrix(2, 3).isEmpty());
    EXPECT_TRUE(screen->textMatrix(7, 6).startsWith(QStringLiteral("5.0.40")));

    // A stage screen the user closed has nothing on show to save, so it is not marked.
    fake.answers = {ui::Answer::Ok};
    main.mdiArea()->closeAllSubWindows();
    ASSERT_FALSE(screen->isChanged());
    d.importDataFile(path);
    EXPECT_FALSE(screen->isChanged());
}

TEST_F(ImportDialog, ExportThenImportGivesBackEveryLampByteForByte)
{
    QTemporaryDir lamps;
    const rig::Lamp all[] = {alpha, bravo, charlie};
    for (std::size_t i = 0; i < 3; ++i)
        rig::writeLampFile(toPath(lamps.filePath(QStringLiteral("%1.lmp").arg(i))), all[i]);
    writeAll(dir.filePath(QStringLiteral("showttl.dat")), {'x'});
    state.AppPath = toPath(dir.path());
    fake.settings[QStringLiteral("Export source path")] = lamps.path();

    frmExport exporter(state);
    exporter.btnAddAll_Click();
    const QString path = dir.filePath(QStringLiteral("out.dat"));
    fake.fileAnswers = {path};
    ASSERT_TRUE(exporter.exportLampData());

    frmImport d(main);
    d.importDataFile(path);
    ASSERT_EQ(d.lstLamps()->count(), 3);
    for (std::size_t slot = 0; slot < 3; ++slot)
        EXPECT_EQ(imageOf(d.lmpSlots()[slot]), imageOf(all[slot])) << "slot " << slot;
}

}  // namespace
