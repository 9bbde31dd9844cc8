#include "core/console_file.h"
#include "windows/frmExport.h"
#include "window_helpers.h"

#include <QDir>
#include <QFileSystemModel>
#include <QListView>
#include <QListWidget>
#include <QTreeView>

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

    // The file list fills as its folder is read.
    bool listed(const QStringList& names) const
    {
        return QTest::qWaitFor([&] { return d->fileList() == names; });
    }

    void add(const QStringList& names)
    {
        for (const QString& name : names) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return d->fileList().contains(name); })) << name.toStdString();
            const QAbstractItemModel* files = d->lstFiles()->model();
            const QModelIndexList found = files->match(files->index(0, 0, d->lstFiles()->rootIndex()),
                                                       Qt::DisplayRole, name, 1, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << name.toStdString();
            d->lstFiles()->selectionModel()->select(found.first(), QItemSelectionModel::Select);
            d->findChild<QPushButton*>(QStringLiteral("btnAdd"))->click();
        }
    }

    QString lampData() const { return output.filePath("lamp.dat"); }
    Bytes lamps() const { return rig::readLampDataFile(toPath(lampData())).lampPayload; }

    FakeUi fake;
    QTemporaryDir source, output, program;
    rig::AppState state;
    std::unique_ptr<frmExport> d;
};

TEST_F(ExportDialog, SlotsFollowTheList)
{
    EXPECT_TRUE(listed({"a.lmp", "b.lmp", "C.LMP"}));  // lamp files of any case, sorted
    add({"a.lmp", "b.lmp"});
    d->findChild<QPushButton*>(QStringLiteral("btnRemoveAll"))->click();
    add({"b.lmp", "C.LMP", "a.lmp"});
    fake.fileAnswers = {lampData()};
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
    // A click on a folder of the directory list selects it, and it is remembered.
    d->show();
    const auto* folders = static_cast<const QFileSystemModel*>(d->dirFiles()->model());
    const QModelIndex sub = folders->index(source.filePath("sub"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return d->dirFiles()->visualRect(sub).isValid(); }));
    QTest::mouseClick(d->dirFiles()->viewport(), Qt::LeftButton, {}, d->dirFiles()->visualRect(sub).center());
    EXPECT_EQ(d->currentFolder(), QDir::cleanPath(source.filePath("sub")));
    EXPECT_EQ(fake.settings[QStringLiteral("Export source path")], QDir::cleanPath(source.filePath("sub")));
    EXPECT_TRUE(listed({"a.lmp"}));
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

TEST_F(ExportDialog, RemoveTakesTheSelectedEntryAndLeavesNothingSelected)
{
    add({"a.lmp", "b.lmp", "C.LMP"});
    d->show();
    QListWidget* list = d->lstExport();
    clickRow(list, 0);
    click(*d, "btnRemove");
    EXPECT_TRUE(list->selectedItems().isEmpty());
    click(*d, "btnRemove");  // nothing selected: nothing more goes
    EXPECT_EQ(d->exportList(), (QStringList{"b.lmp", "C.LMP"}));
}

// The tree shows which folder Export reads: opened down to it, selected and in sight, once
// the folders on the way have been read (many folders above it push it down meanwhile).
TEST_F(ExportDialog, TheFolderTreeOpensAtTheCurrentFolderSelectedAndInSight)
{
    QDir root(source.path());
    for (int i = 0; i < 60; ++i)
        ASSERT_TRUE(root.mkdir(QStringLiteral("a%1").arg(i, 2, 10, QLatin1Char('0'))));
    ASSERT_TRUE(root.mkpath("zz/deep/er"));
    const QString deep = QDir::cleanPath(source.filePath("zz/deep"));
    QTemporaryDir home;
    ASSERT_TRUE(QDir(home.path()).mkpath("shows"));
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));

    // Checked once the folders on the way have had time to be read, and sorted.
    const auto inSight = [](const frmExport& e, const QString& folder) {
        QTest::qWait(400);
        return QTest::qWaitFor([&] {
            const QTreeView* tree = e.dirFiles();
            const auto* model = static_cast<const QFileSystemModel*>(tree->model());
            const QModelIndex current = tree->currentIndex();
            if (model->filePath(current) != folder || !tree->isExpanded(current))
                return false;
            for (QModelIndex up = current.parent(); up.isValid() && up != tree->rootIndex(); up = up.parent())
                if (!tree->isExpanded(up))
                    return false;
            return tree->viewport()->rect().contains(tree->visualRect(current));
        });
    };
    for (const bool stored : {true, false}) {
        fake.settings.clear();
        if (stored)
            fake.settings[QStringLiteral("Export source path")] = deep;
        frmExport e(state.AppPath, fake);
        e.show();
        const QString expected = stored ? deep : QDir::cleanPath(home.path());
        EXPECT_EQ(e.currentFolder(), expected);
        EXPECT_TRUE(inSight(e, expected)) << "stored " << stored;
    }
    qputenv("HOME", oldHome);

    // A click on a folder, or a key that moves to another, selects that folder.
    fake.settings[QStringLiteral("Export source path")] = deep;
    frmExport e(state.AppPath, fake);
    e.show();
    ASSERT_TRUE(inSight(e, deep));
    QTreeView* tree = e.dirFiles();
    const auto* model = static_cast<const QFileSystemModel*>(tree->model());
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount(tree->currentIndex()) == 1; }));  // "er" is read
    QTest::keyClick(tree, Qt::Key_Down);
    EXPECT_EQ(e.currentFolder(), deep + "/er");
    EXPECT_EQ(fake.settings[QStringLiteral("Export source path")], QDir::toNativeSeparators(deep + "/er"));
    const QModelIndex zz = model->index(source.filePath("zz"));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(zz).center());
    EXPECT_EQ(e.currentFolder(), QDir::cleanPath(source.filePath("zz")));
    EXPECT_TRUE(inSight(e, QDir::cleanPath(source.filePath("zz"))));
}

TEST_F(ExportDialog, TheSaveDialogStartsInTheFolderOfTheLastExportElseTheSourceFolder)
{
    fake.fileAnswers = {lampData(), lampData(), lampData()};
    fake.answers = {ui::Answer::Yes, ui::Answer::Yes};
    ASSERT_TRUE(d->exportLampData());
    ASSERT_TRUE(d->exportLampData());
    EXPECT_EQ(fake.settings[QStringLiteral("Export target path")], QDir::cleanPath(output.path()));
    fake.settings[QStringLiteral("Export target path")] = output.filePath("gone");
    ASSERT_TRUE(d->exportLampData());

    ASSERT_EQ(fake.fileCalls.size(), 3u);
    EXPECT_EQ(fake.fileCalls[0].request.directory, QDir::cleanPath(source.path()));
    EXPECT_EQ(fake.fileCalls[1].request.directory, QDir::cleanPath(output.path()));
    EXPECT_EQ(fake.fileCalls[2].request.directory, QDir::cleanPath(source.path()));
    EXPECT_EQ(fake.fileCalls[2].request.fileName, "Lamp.dat");
}

}  // namespace
