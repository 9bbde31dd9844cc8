// Every way a save or an export can fail must leave what the user had on disk
// exactly as it was, leave no temporary file behind, and say what happened.

#include "console/console_file.h"
#include "console/frmExport.h"
#include "lamp/frmDocument.h"
#include "lamp/lamp.h"
#include "patch/frmStageScreen.h"
#include "patch/stage_patch.h"
#include "shell/file_io.h"
#include "shell/frmMain.h"

#include "fake_ui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

enum class Write { LampSave, LampSaveAs, PatchSave, PatchSaveAs, ExportLampData, ExportShowTitle };
enum class Kind { ReadOnlyFile, ReadOnlyFolder, DiskFull, FolderInTheWay, PipeInTheWay };

struct Case {
    Write write;
    Kind kind;
    const char* expectedText;  // the failure message; one ending in ": " goes on to name the file
};

const char* const exportRefused =
    "An export error has occurred\r\nIt is possible that you are trying to save to a write protected file";

// Write paths down, failure kinds across; the number and description a kind yields are
// 70 "Permission denied", 61 "Disk full" and 75 "Path/File access error".
const Case cases[] = {
    {Write::LampSave, Kind::ReadOnlyFile, "The disk that you are saving to is write protected"},
    {Write::LampSave, Kind::ReadOnlyFolder, "The disk that you are saving to is write protected"},
    {Write::LampSave, Kind::DiskFull, "Error 61: Disk full"},
    {Write::LampSave, Kind::FolderInTheWay, "Error 75: Path/File access error"},
    {Write::LampSaveAs, Kind::ReadOnlyFile, "The disk that you are saving to is write protected"},
    {Write::LampSaveAs, Kind::ReadOnlyFolder, "The disk that you are saving to is write protected"},
    {Write::LampSaveAs, Kind::DiskFull, "Error 61: Disk full"},
    {Write::LampSaveAs, Kind::FolderInTheWay, "Error 75: Path/File access error"},
    {Write::LampSaveAs, Kind::PipeInTheWay, "Error 75: Path/File access error"},
    {Write::PatchSave, Kind::ReadOnlyFile, "Error 70 when saving file:\r\nPermission denied"},
    {Write::PatchSave, Kind::ReadOnlyFolder, "Error 70 when saving file:\r\nPermission denied"},
    {Write::PatchSave, Kind::DiskFull, "Error 61 when saving file:\r\nDisk full"},
    {Write::PatchSave, Kind::FolderInTheWay, "Error 75 when saving file:\r\nPath/File access error"},
    {Write::PatchSaveAs, Kind::ReadOnlyFile, "Error 70\r\nPermission denied"},
    {Write::PatchSaveAs, Kind::ReadOnlyFolder, "Error 70\r\nPermission denied"},
    {Write::PatchSaveAs, Kind::DiskFull, "Error 61\r\nDisk full"},
    {Write::PatchSaveAs, Kind::FolderInTheWay, "Error 75\r\nPath/File access error"},
    {Write::PatchSaveAs, Kind::PipeInTheWay, "Error 75\r\nPath/File access error"},
    {Write::ExportLampData, Kind::ReadOnlyFile, exportRefused},
    {Write::ExportLampData, Kind::ReadOnlyFolder, exportRefused},
    {Write::ExportLampData, Kind::DiskFull, "Error 61: Disk full"},
    {Write::ExportLampData, Kind::FolderInTheWay, exportRefused},
    // In a read-only folder the lamp data file fails first; the copy is never reached.
    {Write::ExportShowTitle, Kind::ReadOnlyFile, exportRefused},
    {Write::ExportShowTitle, Kind::DiskFull, "Error 61: Disk full: "},
    {Write::ExportShowTitle, Kind::FolderInTheWay, exportRefused},
};

std::string native(const QString& path) { return QFile::encodeName(path).toStdString(); }

Bytes readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    return Bytes(data.begin(), data.end());
}

void writeAll(const QString& path, const Bytes& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

Bytes pattern(std::size_t size, int seed)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 7 + static_cast<std::size_t>(seed)) & 0xFF);
    return bytes;
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

class FailedWrites : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        for (const char* folder : {"out", "app", "src"})
            ASSERT_TRUE(QDir(root.path()).mkdir(QLatin1String(folder)));
        state.AppPath = native(root.filePath(QStringLiteral("app")));
        writeAll(root.filePath(QStringLiteral("app/showttl.dat")), {'N', 'E', 'W', 0x00, 0xFF});
        fake.settings[QStringLiteral("Export source path")] = root.filePath(QStringLiteral("src"));
        main.show();
        main.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    }

    void TearDown() override
    {
        rig::testing::failNextWrites(0, 0);
        ::chmod(native(out()).c_str(), 0755);
    }

    QString out() const { return root.filePath(QStringLiteral("out")); }
    QString out(const char* name) const { return root.filePath(QStringLiteral("out/") + QLatin1String(name)); }

    // A lamp the window can open without changing a byte of it.
    static Bytes lampBytes()
    {
        rig::Lamp lamp = rig::newLamp();
        lamp.LampName.assign("Old lamp");
        lamp.NumberChannel = lamp.NumberChannelCopy = 4;
        for (auto& channel : lamp.Channel)
            channel.Step = 1;
        lamp.ReservedArea2[127] = 0x5A;
        const rig::LampImage image = rig::encodeLamp(lamp);
        return Bytes(image.begin(), image.end());
    }

    static Bytes patchBytes()
    {
        rig::StagePatch patch;
        patch.lmpLamps[0].LampName.assign("Old type");
        patch.patchEntries[0].StartDMX = 1;
        patch.patchEntries[0].Spare3 = -2;
        return rig::encodePatchFile(patch);
    }

    // Makes the write to `target` fail the way `kind` says; the copy of "showttl.dat"
    // is the second write of an export, so `writesBefore` lets the first go through.
    void makeFail(const QString& target, Kind kind, int writesBefore)
    {
        switch (kind) {
        case Kind::ReadOnlyFile:
            ASSERT_EQ(::chmod(native(target).c_str(), 0444), 0);
            break;
        case Kind::ReadOnlyFolder:
            ASSERT_EQ(::chmod(native(out()).c_str(), 0555), 0);
            // A privileged user writes into a read-only folder regardless; the refusal
            // an ordinary user gets is injected instead.
            if (::geteuid() == 0)
                rig::testing::failNextWrites(EACCES, 1, writesBefore);
            break;
        case Kind::DiskFull:
            rig::testing::failNextWrites(ENOSPC, 1, writesBefore);
            break;
        case Kind::FolderInTheWay:
            QFile::remove(target);
            ASSERT_TRUE(QDir().mkdir(target));
            writeAll(target + QStringLiteral("/keep"), {'k'});
            break;
        case Kind::PipeInTheWay:
            QFile::remove(target);
            ASSERT_EQ(::mkfifo(native(target).c_str(), 0644), 0);
            break;
        }
    }

    // A snapshot of whatever is at `path`: its bytes, or for a folder its listing and
    // the bytes of its one file, or for a pipe only its kind.
    static QString describe(const QString& path)
    {
        const QFileInfo info(path);
        if (info.isDir())
            return QStringLiteral("folder ") + entries(path).join(QLatin1Char(',')) +
                   QString::number(readAll(path + QStringLiteral("/keep")).size());
        struct stat st {};
        if (::stat(native(path).c_str(), &st) == 0 && S_ISFIFO(st.st_mode))
            return QStringLiteral("pipe");
        const Bytes bytes = readAll(path);
        return QStringLiteral("file %1 ").arg(bytes.size()) +
               QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size()))
                                       .toHex());
    }

    FakeUi fake;
    QTemporaryDir root;
    rig::AppState state;
    frmMain main{state};
};

TEST_P(FailedWrites, KeepsTheOldFileLeavesNoTemporaryAndSaysSo)
{
    const Case c = GetParam();
    const bool lamp = c.write == Write::LampSave || c.write == Write::LampSaveAs;
    const bool exporting = c.write == Write::ExportLampData || c.write == Write::ExportShowTitle;
    const QString target = lamp ? out("old.lmp")
                           : exporting ? out(c.write == Write::ExportShowTitle ? "showttl.dat" : "lamp.dat")
                                       : out("old.pat");

    // What the user has on disk before the write.
    writeAll(out("old.lmp"), lampBytes());
    writeAll(out("old.pat"), patchBytes());
    writeAll(out("lamp.dat"), pattern(rig::lampDataFileSize, 3));
    writeAll(out("showttl.dat"), {'O', 'L', 'D'});

    // The document as it stands when the user saves: it differs from the file.
    frmDocument* document = nullptr;
    frmStageScreen* screen = nullptr;
    if (c.write == Write::LampSave) {
        fake.fileAnswers = {out("old.lmp")};
        main.mnuFileOpen_Click();
        document = dynamic_cast<frmDocument*>(main.activeDocument());
        ASSERT_NE(document, nullptr);
        document->findChild<QLineEdit*>(QStringLiteral("txtLampName"))->setText(QStringLiteral("Changed"));
    } else if (c.write == Write::LampSaveAs) {
        main.mnuFileNewLamp_Click();
        document = dynamic_cast<frmDocument*>(main.activeDocument());
        ASSERT_NE(document, nullptr);
    } else if (!exporting) {
        const QString opened = c.write == Write::PatchSave ? out("old.pat") : root.filePath(QStringLiteral("current.pat"));
        fake.fileAnswers = {opened};
        main.mnuFileOpen_Click();
        screen = main.stageScreen(false);
        ASSERT_NE(screen, nullptr);
        ASSERT_EQ(main.activeDocument(), screen);
        state.patch.nNextDMX = 400;
        screen->setChanged(true);
    }
    ASSERT_TRUE(fake.messages.empty());

    makeFail(target, c.kind, c.write == Write::ExportShowTitle ? 1 : 0);
    const QString before = describe(target);
    const QStringList listing = entries(out());
    const Bytes oldLampData = readAll(out("lamp.dat"));
    const Bytes oldShowTitle = readAll(out("showttl.dat"));

    // Save As and Export ask before replacing an existing file: the user says Yes.
    const bool asks = (c.write == Write::LampSaveAs || exporting) &&
                      rig::fileExists(native(exporting ? out("lamp.dat") : target));
    if (asks)
        fake.answers = {ui::Answer::Yes};
    const std::size_t questions = asks ? 1 : 0;

    switch (c.write) {
    case Write::LampSave:
    case Write::PatchSave:
        main.mnuFileSave_Click();
        break;
    case Write::LampSaveAs:
    case Write::PatchSaveAs:
        fake.fileAnswers = {target};
        main.mnuFileSaveAs_Click();
        break;
    case Write::ExportLampData:
    case Write::ExportShowTitle: {
        frmExport dialog(state);
        fake.fileAnswers = {out("lamp.dat")};
        EXPECT_FALSE(dialog.exportLampData());
        break;
    }
    }

    ::chmod(native(out()).c_str(), 0755);
    EXPECT_EQ(describe(target), before) << "the old file was touched";
    EXPECT_EQ(entries(out()), listing) << "a temporary file was left behind";
    if (c.write == Write::ExportShowTitle) {
        EXPECT_EQ(readAll(out("lamp.dat")).size(), rig::lampDataFileSize) << "written before the copy failed";
    } else {
        EXPECT_EQ(readAll(out("lamp.dat")), oldLampData);
        EXPECT_EQ(readAll(out("showttl.dat")), oldShowTitle);
    }

    EXPECT_TRUE(fake.answers.empty()) << "the overwrite question was not asked";
    ASSERT_EQ(fake.messages.size(), questions + 1);
    const FakeUi::Message& shown = fake.messages.back();
    const QString expected = QString::fromLatin1(c.expectedText);
    if (expected.endsWith(QLatin1String(": ")))  // the description goes on to name the file
        EXPECT_EQ(shown.text, expected + native(target).c_str());
    else
        EXPECT_EQ(shown.text, expected);
    EXPECT_EQ(shown.buttons, ui::Buttons::Ok);
    if (lamp) {
        EXPECT_EQ(shown.title, QStringLiteral("Tarsen Rigsmith"));
        EXPECT_EQ(shown.icon, expected.startsWith(QLatin1String("The disk")) ? ui::Icon::Critical : ui::Icon::Exclamation);
        // The lamp is still unsaved and still belongs where it came from.
        EXPECT_TRUE(document->changed());
        EXPECT_EQ(document->filePath(), c.write == Write::LampSave ? out("old.lmp") : QString());
    } else if (exporting) {
        EXPECT_EQ(shown.title, QStringLiteral("Tarsen Rigsmith"));
        EXPECT_EQ(shown.icon, ui::Icon::Exclamation);
    } else {
        EXPECT_EQ(shown.title, QStringLiteral("Error"));
        EXPECT_EQ(shown.icon, ui::Icon::Critical);
        EXPECT_TRUE(screen->isChanged());
        EXPECT_EQ(screen->fileName(),
                  c.write == Write::PatchSave ? out("old.pat") : root.filePath(QStringLiteral("current.pat")));
    }
}

std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    static const char* const writes[] = {"LampSave", "LampSaveAs", "PatchSave", "PatchSaveAs", "ExportLampData",
                                         "ExportShowTitle"};
    static const char* const kinds[] = {"ReadOnlyFile", "ReadOnlyFolder", "DiskFull", "FolderInTheWay",
                                        "PipeInTheWay"};
    return std::string(writes[static_cast<int>(info.param.write)]) + "_" + kinds[static_cast<int>(info.param.kind)];
}

INSTANTIATE_TEST_SUITE_P(EveryWritePath, FailedWrites, ::testing::ValuesIn(cases), caseName);

}  // namespace
