#include "console/console_file.h"
#include "console/frmExport.h"
#include "lamp/lamp.h"
#include "shell/file_io.h"

#include "fake_ui.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

const QString sourcePathKey = QStringLiteral("Export source path");
const QString title = QStringLiteral("Tarsen Rigsmith");

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
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

Bytes lampBytes(const char* name)
{
    rig::Lamp lamp = rig::newLamp();
    lamp.LampName.assign(name);
    const rig::LampImage image = rig::encodeLamp(lamp);
    return Bytes(image.begin(), image.end());
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

void click(QWidget& dialog, const char* button)
{
    QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
}

class ExportDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.AppPath = QFile::encodeName(program.path()).toStdString();
        writeAll(program.filePath(QStringLiteral("showttl.dat")), {'S', 0x00, 0xFE});
        writeAll(source.filePath(QStringLiteral("a.lmp")), lampBytes("Alpha"));
        writeAll(source.filePath(QStringLiteral("b.lmp")), lampBytes("Bravo"));
        writeAll(source.filePath(QStringLiteral("C.LMP")), lampBytes("Charlie"));
        writeAll(source.filePath(QStringLiteral("notes.txt")), {1});
        ASSERT_TRUE(QDir(source.path()).mkdir(QStringLiteral("sub")));
        writeAll(source.filePath(QStringLiteral("sub/a.lmp")), lampBytes("Other alpha"));
        fake.settings[sourcePathKey] = source.path();
    }

    frmExport& dialog()
    {
        if (!m_dialog)
            m_dialog = std::make_unique<frmExport>(state);
        return *m_dialog;
    }

    void add(const QStringList& names)
    {
        for (const QString& name : names) {
            const auto items = dialog().lstFiles()->findItems(name, Qt::MatchExactly);
            ASSERT_EQ(items.size(), 1) << name.toStdString();
            items.first()->setSelected(true);
            dialog().btnAdd_Click();
        }
    }

    QString lampData() const { return output.filePath(QStringLiteral("lamp.dat")); }

    Bytes slot(std::size_t n) const
    {
        const Bytes lamps = rig::readLampDataFile(QFile::encodeName(lampData()).toStdString()).lampPayload;
        const auto begin = lamps.begin() + static_cast<std::ptrdiff_t>(n * rig::lampImageSize);
        return Bytes(begin, begin + static_cast<std::ptrdiff_t>(rig::lampImageSize));
    }

    FakeUi fake;
    QTemporaryDir source, output, program;
    rig::AppState state;

private:
    std::unique_ptr<frmExport> m_dialog;
};

TEST_F(ExportDialog, FoldersFilesAndTheStoredSetting)
{
    frmExport& d = dialog();
    EXPECT_EQ(d.currentFolder(), source.path());
    EXPECT_EQ(d.fileList(), (QStringList{"a.lmp", "b.lmp", "C.LMP"}));  // any case, sorted

    const auto sub = d.dirFiles()->findItems(QStringLiteral("sub"), Qt::MatchEndsWith);
    ASSERT_EQ(sub.size(), 1);
    emit d.dirFiles()->itemActivated(sub.first());
    EXPECT_EQ(d.fileList(), QStringList{"a.lmp"});
    EXPECT_EQ(fake.settings[sourcePathKey], source.filePath(QStringLiteral("sub")));
    // The folders above are listed too and lead back.
    const auto up = d.dirFiles()->findItems(QDir(source.path()).dirName(), Qt::MatchEndsWith);
    ASSERT_EQ(up.size(), 1);
    emit d.dirFiles()->itemActivated(up.first());
    EXPECT_EQ(d.currentFolder(), source.path());

    // A stored folder that is away keeps its setting, silently; none at all means home.
    const QString gone = source.filePath(QStringLiteral("gone"));
    fake.settings[sourcePathKey] = gone;
    EXPECT_NE(frmExport(state).currentFolder(), gone);
    EXPECT_EQ(fake.settings[sourcePathKey], gone);
    fake.settings.clear();
    EXPECT_EQ(frmExport(state).currentFolder(), QDir::homePath());
    EXPECT_EQ(fake.settings[sourcePathKey], QDir::homePath());
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(ExportDialog, AddAddAllRemoveAndRemoveAll)
{
    frmExport& d = dialog();
    d.lstFiles()->item(2)->setSelected(true);
    d.lstFiles()->item(0)->setSelected(true);
    click(d, "btnAdd");
    EXPECT_EQ(d.exportList(), (QStringList{"a.lmp", "C.LMP"}));  // file-list order
    EXPECT_TRUE(d.lstFiles()->selectedItems().isEmpty());
    d.lstFiles()->item(0)->setSelected(true);
    emit d.lstFiles()->itemDoubleClicked(d.lstFiles()->item(0));
    EXPECT_EQ(d.exportList(), (QStringList{"a.lmp", "C.LMP", "a.lmp"}));

    d.lstExport()->clearSelection();
    click(d, "btnRemove");
    EXPECT_EQ(d.exportList().size(), 3);
    d.lstExport()->item(1)->setSelected(true);
    click(d, "btnRemove");
    EXPECT_EQ(d.exportList(), (QStringList{"a.lmp", "a.lmp"}));

    click(d, "btnAddAll");
    EXPECT_EQ(d.exportList(), (QStringList{"a.lmp", "b.lmp", "C.LMP"}));
    click(d, "btnRemoveAll");
    EXPECT_TRUE(d.exportList().isEmpty());
}

TEST_F(ExportDialog, UnreadableDriveIsReported)
{
    frmExport& d = dialog();
    const QString bogus = source.filePath(QStringLiteral("no-such-drive"));
    d.drvFiles()->addItem(bogus, bogus);
    d.drvFiles()->setCurrentIndex(d.drvFiles()->count() - 1);
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, QStringLiteral("The drive you have selected is not responding"));
    EXPECT_EQ(fake.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(fake.messages[0].icon, ui::Icon::Critical);
    EXPECT_EQ(d.drvFiles()->currentText(), bogus);
    EXPECT_EQ(d.currentFolder(), source.path());
}

TEST_F(ExportDialog, SlotsFollowTheListAfterLargerAndAbandonedExports)
{
    frmExport& d = dialog();
    add({"a.lmp", "b.lmp", "C.LMP", "a.lmp", "b.lmp"});
    fake.fileAnswers = {lampData(), lampData()};
    fake.answers = {ui::Answer::No};
    ASSERT_TRUE(d.exportLampData());
    EXPECT_FALSE(d.exportLampData());  // abandoned at the overwrite question

    d.btnRemoveAll_Click();
    add({"b.lmp", "C.LMP", "a.lmp"});
    fake.fileAnswers = {lampData()};
    fake.answers = {ui::Answer::Yes};
    ASSERT_TRUE(d.exportLampData());

    EXPECT_EQ(fake.fileCalls[0].request.title, QStringLiteral("Export to Dornick lamp data file"));
    EXPECT_EQ(fake.fileCalls[0].request.filter, QStringLiteral("Dornick Lamp Data File (lamp.dat)|lamp.dat"));
    EXPECT_EQ(fake.fileCalls[0].request.fileName, QStringLiteral("Lamp.dat"));
    EXPECT_EQ(readAll(lampData()).size(), 30720u);
    EXPECT_EQ(slot(0), lampBytes("Bravo"));
    EXPECT_EQ(slot(1), lampBytes("Charlie"));
    EXPECT_EQ(slot(2), lampBytes("Alpha"));
    for (std::size_t n = 3; n < 16; ++n)
        EXPECT_EQ(slot(n), Bytes(rig::lampImageSize, 0)) << "slot " << n;
    EXPECT_EQ(readAll(output.filePath(QStringLiteral("showttl.dat"))), (Bytes{'S', 0x00, 0xFE}));
}

TEST_F(ExportDialog, NamesAreLookedUpInTheFolderSelectedAtExport)
{
    add({"a.lmp"});
    ASSERT_TRUE(dialog().dirFiles_Change(source.filePath(QStringLiteral("sub"))));
    fake.fileAnswers = {lampData()};
    ASSERT_TRUE(dialog().exportLampData());
    EXPECT_EQ(slot(0), lampBytes("Other alpha"));
}

TEST_F(ExportDialog, OnlyLampDatNamesGoWithoutWarning)
{
    for (const char* name : {"LAMP.DAT", "Lamp.dat", "x.dat"}) {
        fake.messages.clear();
        const QString path = output.filePath(QString::fromLatin1(name));
        fake.fileAnswers = {path};
        EXPECT_TRUE(dialog().exportLampData()) << name;
        EXPECT_EQ(readAll(path).size(), 30720u) << name;
        QFile::remove(path);
        if (QByteArray(name) != "x.dat") {
            EXPECT_TRUE(fake.messages.empty()) << name;
            continue;
        }
        ASSERT_EQ(fake.messages.size(), 1u);
        EXPECT_EQ(fake.messages[0].text,
                  QStringLiteral("Dornick will only load lamps from a data file called 'LAMP.DAT'.\rYou will need to "
                                 "rename this file before loading it into the console"));
        EXPECT_EQ(fake.messages[0].title, QStringLiteral("File export warning"));
        EXPECT_EQ(fake.messages[0].icon, ui::Icon::Exclamation);
    }
}

TEST_F(ExportDialog, DecliningLeavesEverythingAsItWas)
{
    const Bytes old = {9, 8, 7};
    writeAll(lampData(), old);
    fake.fileAnswers = {std::nullopt, QString(), lampData()};
    fake.answers = {ui::Answer::No};
    EXPECT_FALSE(dialog().exportLampData());  // save dialog cancelled
    EXPECT_FALSE(dialog().exportLampData());  // empty name
    EXPECT_FALSE(dialog().exportLampData());  // No to overwriting

    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text,
              QStringLiteral("File ") + lampData() + QStringLiteral(" exists\r\nDo you wish to overwrite it?"));
    EXPECT_EQ(fake.messages[0].title, QStringLiteral("Lamp file exists"));
    EXPECT_EQ(fake.messages[0].icon, ui::Icon::Question);
    EXPECT_EQ(fake.messages[0].buttons, ui::Buttons::YesNo);
    EXPECT_EQ(readAll(lampData()), old);
    EXPECT_EQ(entries(output.path()), QStringList{"lamp.dat"});
}

TEST_F(ExportDialog, FailuresAreReportedAndKeepTheOldFile)
{
    const Bytes old(100, 0x55);
    writeAll(lampData(), old);
    ASSERT_EQ(::chmod(QFile::encodeName(lampData()).constData(), 0444), 0);
    const QString other = output.filePath(QStringLiteral("other.dat"));
    writeAll(other, old);
    fake.fileAnswers = {lampData(), other};
    fake.answers = {ui::Answer::Yes, ui::Answer::Yes};
    EXPECT_FALSE(dialog().exportLampData());
    rig::testing::failNextWrites(ENOSPC, 1);
    EXPECT_FALSE(dialog().exportLampData());
    rig::testing::failNextWrites(0, 0);

    // Missing lamp file: reported before any output is chosen, nothing created.
    add({"a.lmp"});
    ASSERT_TRUE(QFile::remove(source.filePath(QStringLiteral("a.lmp"))));
    const QStringList sourceBefore = entries(source.path());
    EXPECT_FALSE(dialog().exportLampData());

    const std::vector<QString> expected = {
        QStringLiteral("File ") + lampData() + QStringLiteral(" exists\r\nDo you wish to overwrite it?"),
        QStringLiteral("An export error has occurred\r\nIt is possible that you are trying to save to a write "
                       "protected file"),
        QStringLiteral("File ") + other + QStringLiteral(" exists\r\nDo you wish to overwrite it?"),
        QStringLiteral("Dornick will only load lamps from a data file called 'LAMP.DAT'.\rYou will need to rename "
                       "this file before loading it into the console"),
        QStringLiteral("Error 61: Disk full"),
        QStringLiteral("Error 53: File not found: a.lmp"),
    };
    EXPECT_EQ(fake.texts(), expected);
    for (std::size_t i : {1, 4, 5}) {
        EXPECT_EQ(fake.messages[i].title, title);
        EXPECT_EQ(fake.messages[i].icon, ui::Icon::Exclamation);
    }
    EXPECT_EQ(fake.fileCalls.size(), 2u);
    EXPECT_EQ(readAll(lampData()), old);
    EXPECT_EQ(readAll(other), old);
    EXPECT_EQ(entries(output.path()), (QStringList{"lamp.dat", "other.dat"}));
    EXPECT_EQ(entries(source.path()), sourceBefore);
}

TEST_F(ExportDialog, SuccessHidesKeepingStateAndCancelDiscards)
{
    std::unique_ptr<frmExport> instance;
    fake.fileAnswers = {lampData(), std::nullopt};
    fake.dialogScripts.push_back([](QDialog& shown) {
        auto& d = static_cast<frmExport&>(shown);
        d.lstFiles()->item(1)->setSelected(true);
        d.btnAdd_Click();
        click(d, "btnExport");
    });
    frmExport::showExport(instance, state);
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(slot(0), lampBytes("Bravo"));

    frmExport* first = instance.get();
    fake.dialogScripts.push_back([first](QDialog& shown) {
        EXPECT_EQ(&shown, first);
        EXPECT_EQ(static_cast<frmExport&>(shown).exportList(), QStringList{"b.lmp"});
        click(shown, "btnExport");  // cancelled save: the dialog stays open
        EXPECT_TRUE(shown.isVisible());
        click(shown, "btnCancel");
    });
    frmExport::showExport(instance, state);
    EXPECT_EQ(instance, nullptr);

    fake.dialogScripts.push_back([](QDialog& shown) {
        EXPECT_TRUE(static_cast<frmExport&>(shown).exportList().isEmpty());
        click(shown, "btnCancel");
    });
    frmExport::showExport(instance, state);
    EXPECT_EQ(fake.dialogsShown.size(), 3u);
}

}  // namespace
