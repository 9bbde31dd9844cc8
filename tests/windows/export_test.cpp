#include "console/console_file.h"
#include "console/frmExport.h"
#include "window_helpers.h"

#include <QDir>
#include <QListWidget>

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
        d = std::make_unique<frmExport>(state.AppPath, fake);
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
    Bytes lamps() const { return rig::readLampDataFile(toPath(lampData())).lampPayload; }

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
    Bytes expected;  // slots 0 to 2, the other 13 zero
    for (const char* name : {"b.lmp", "C.LMP", "a.lmp"}) {
        const Bytes image = imageOf(namedLamp(name));
        expected.insert(expected.end(), image.begin(), image.end());
    }
    expected.resize(rig::lampPayloadSize, 0);
    EXPECT_EQ(lamps(), expected);
}

TEST_F(ExportDialog, NamesAreLookedUpInTheFolderSelectedAtExport)
{
    add({"a.lmp"});
    ASSERT_TRUE(d->dirFiles_Change(source.filePath("sub")));
    fake.fileAnswers = {lampData()};
    ASSERT_TRUE(d->exportLampData());
    Bytes first = lamps();
    first.resize(rig::lampImageSize);
    EXPECT_EQ(first, imageOf(namedLamp("sub/a.lmp")));
}

TEST_F(ExportDialog, OnlyLampDatNamesGoWithoutWarning)
{
    for (const char* name : {"LAMP.DAT", "x.dat"}) {
        fake.fileAnswers = {output.filePath(name)};
        EXPECT_TRUE(d->exportLampData()) << name;
        EXPECT_EQ(readAll(output.filePath(name)).size(), 30720u) << name;
    }
    EXPECT_EQ(fake.texts(), std::vector<QString>{"Dornick will only load lamps from a data file called "
                                                 "'LAMP.DAT'.\rYou will need to rename this file before "
                                                 "loading it into the console"});
}

TEST_F(ExportDialog, DeclinedOrFailedExportsKeepTheOldFile)
{
    const Bytes old(100, 0x55);
    writeAll(lampData(), old);
    fake.fileAnswers = {std::nullopt, lampData()};
    fake.answers = {ui::Answer::No};
    EXPECT_FALSE(d->exportLampData());  // save dialog cancelled
    EXPECT_FALSE(d->exportLampData());  // No to overwriting
    add({"a.lmp"});
    ASSERT_TRUE(QFile::remove(source.filePath("a.lmp")));
    EXPECT_FALSE(d->exportLampData());  // reported before any output is chosen: none is queued

    EXPECT_EQ(fake.texts(), (std::vector<QString>{"File " + lampData() + " exists\r\nDo you wish to overwrite it?",
                                                  "Error 53: File not found: a.lmp"}));
    EXPECT_EQ(readAll(lampData()), old);
}

}  // namespace
