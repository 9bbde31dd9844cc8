#include "console/console_file.h"
#include "console/frmExport.h"
#include "window_helpers.h"

#include <QDir>
#include <QListWidget>

#include <sys/stat.h>

namespace {

// Lamp files in `source` (and its folder "sub"), showttl.dat in `program`, output in `output`.
class ExportDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.AppPath = toPath(program.path());
        writeAll(program.filePath("showttl.dat"), {'S', 0x00, 0xFE});
        ASSERT_TRUE(QDir(source.path()).mkdir("sub"));
        for (const char* name : {"a.lmp", "b.lmp", "C.LMP", "sub/a.lmp"})
            rig::writeLampFile(toPath(source.filePath(name)), namedLamp(name));
        writeAll(source.filePath("notes.txt"), {1});
        fake.settings[QStringLiteral("Export source path")] = source.path();
        d = std::make_unique<frmExport>(state);
    }

    void add(const QStringList& names)
    {
        for (const QString& name : names) {
            const auto items = d->lstFiles()->findItems(name, Qt::MatchExactly);
            ASSERT_EQ(items.size(), 1) << name.toStdString();
            items.first()->setSelected(true);
            d->btnAdd_Click();
        }
    }

    QString lampData() const { return output.filePath("lamp.dat"); }
    Bytes slot(std::size_t n) const
    {
        const Bytes lamps = rig::readLampDataFile(toPath(lampData())).lampPayload;
        const auto begin = lamps.begin() + static_cast<std::ptrdiff_t>(n * rig::lampImageSize);
        return Bytes(begin, begin + static_cast<std::ptrdiff_t>(rig::lampImageSize));
    }

    FakeUi fake;
    QTemporaryDir source, output, program;
    rig::AppState state;
    std::unique_ptr<frmExport> d;
};

TEST_F(ExportDialog, SlotsFollowTheListAfterALargerExport)
{
    EXPECT_EQ(d->fileList(), (QStringList{"a.lmp", "b.lmp", "C.LMP"}));  // lamp files of any case, sorted
    add({"a.lmp", "b.lmp", "C.LMP", "a.lmp", "b.lmp"});
    fake.fileAnswers = {lampData(), lampData()};
    fake.answers = {ui::Answer::Yes};
    ASSERT_TRUE(d->exportLampData());
    d->btnRemoveAll_Click();
    add({"b.lmp", "C.LMP", "a.lmp"});
    ASSERT_TRUE(d->exportLampData());

    EXPECT_EQ(fake.fileCalls[0].request.filter, QStringLiteral("Dornick Lamp Data File (lamp.dat)|lamp.dat"));
    EXPECT_EQ(readAll(lampData()).size(), 30720u);
    EXPECT_EQ(slot(0), imageOf(namedLamp("b.lmp")));
    EXPECT_EQ(slot(1), imageOf(namedLamp("C.LMP")));
    EXPECT_EQ(slot(2), imageOf(namedLamp("a.lmp")));
    for (std::size_t n = 3; n < 16; ++n)
        EXPECT_EQ(slot(n), Bytes(rig::lampImageSize, 0)) << "slot " << n;
    EXPECT_EQ(readAll(output.filePath("showttl.dat")), (Bytes{'S', 0x00, 0xFE}));
}

TEST_F(ExportDialog, NamesAreLookedUpInTheFolderSelectedAtExport)
{
    add({"a.lmp"});
    ASSERT_TRUE(d->dirFiles_Change(source.filePath("sub")));
    fake.fileAnswers = {lampData()};
    ASSERT_TRUE(d->exportLampData());
    EXPECT_EQ(slot(0), imageOf(namedLamp("sub/a.lmp")));
}

TEST_F(ExportDialog, OnlyLampDatNamesGoWithoutWarning)
{
    for (const char* name : {"LAMP.DAT", "x.dat"}) {
        fake.fileAnswers = {output.filePath(name)};
        EXPECT_TRUE(d->exportLampData()) << name;
        EXPECT_EQ(readAll(output.filePath(name)).size(), 30720u) << name;
    }
    ASSERT_EQ(fake.texts(), std::vector<QString>{"Dornick will only load lamps from a data file called "
                                                 "'LAMP.DAT'.\rYou will need to rename this file before "
                                                 "loading it into the console"});
    EXPECT_EQ(fake.messages[0].title, QStringLiteral("File export warning"));
    EXPECT_EQ(fake.messages[0].icon, ui::Icon::Exclamation);
}

TEST_F(ExportDialog, DeclinedOrFailedExportsKeepTheOldFile)
{
    const Bytes old(100, 0x55);
    writeAll(lampData(), old);
    fake.fileAnswers = {std::nullopt, QString(), lampData(), lampData()};
    fake.answers = {ui::Answer::No, ui::Answer::Yes};
    EXPECT_FALSE(d->exportLampData());  // save dialog cancelled
    EXPECT_FALSE(d->exportLampData());  // empty name
    EXPECT_FALSE(d->exportLampData());  // No to overwriting
    ASSERT_EQ(::chmod(QFile::encodeName(lampData()).constData(), 0444), 0);
    EXPECT_FALSE(d->exportLampData());
    add({"a.lmp"});
    ASSERT_TRUE(QFile::remove(source.filePath("a.lmp")));
    EXPECT_FALSE(d->exportLampData());  // reported before any output is chosen

    const QString question = "File " + lampData() + " exists\r\nDo you wish to overwrite it?";
    EXPECT_EQ(fake.texts(), (std::vector<QString>{
                                question, question,
                                "An export error has occurred\r\nIt is possible that you are trying to save to a "
                                "write protected file",
                                "Error 53: File not found: a.lmp"}));
    EXPECT_EQ(fake.messages[0].buttons, ui::Buttons::YesNo);
    EXPECT_EQ(fake.messages[2].icon, ui::Icon::Exclamation);
    EXPECT_EQ(fake.fileCalls.size(), 4u);
    EXPECT_EQ(readAll(lampData()), old);
    EXPECT_EQ(QDir(output.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"lamp.dat"});
}

}  // namespace
