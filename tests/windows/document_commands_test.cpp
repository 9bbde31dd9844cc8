#include "shell_fixture.h"

#include "base/file_io.h"
#include "shell/error_report.h"
#include "ui/file_dialog.h"

#include <QAbstractFileIconProvider>
#include <QDialog>
#include <QDir>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QToolButton>

#include <functional>
#include <new>
#include <stdexcept>
#include <vector>

namespace {

using DocumentCommands = ShellTest;

TEST_F(DocumentCommands, WithoutAWindowCloseSaveAndSaveAsSayWhy)
{
    for (const char* name : {"mnuFileClose", "mnuFileSave", "mnuFileSaveAs"})
        action(name)->trigger();
    const QString cannotSave = "There is not a window open that can be saved!";
    EXPECT_EQ(fake.texts(), (std::vector<QString>{"There is not a window open that can be closed!\r\n\r\n"
                                                  "Choose File, Exit if you wish to exit Rigsmith",
                                                  cannotSave, cannotSave}));
    for (const FakeUi::Message& m : fake.messages)
        EXPECT_TRUE(m.title == "Error" && m.icon == ui::Icon::Critical) << m.title.toStdString();
    EXPECT_TRUE(fake.fileCalls.empty());
}

TEST_F(DocumentCommands, SaveSaveAsAndCloseReachTheActiveWindowAndFailuresAreReported)
{
    TestDocument* keeps = addDocument("Keeps", true);
    TestDocument* goes = addDocument("Goes");
    main.mdiArea()->setActiveSubWindow(main.mdiArea()->subWindowList().at(0));
    action("mnuFileSave")->trigger();
    keeps->failure = rig::RigError(70, "Permission denied");
    action("mnuFileSaveAs")->trigger();
    action("mnuFileClose")->trigger();  // refused: the window silently stays
    EXPECT_EQ(keeps->calls, QStringList({"Save", "SaveAs", "Close"}));
    EXPECT_EQ(fake.texts(), std::vector<QString>{"Error 70 when saving file:\r\nPermission denied"});
    EXPECT_EQ(openChildren(), 2);

    main.mdiArea()->setActiveSubWindow(main.mdiArea()->subWindowList().at(1));
    action("mnuFileClose")->trigger();
    EXPECT_EQ(goes->calls, QStringList{"Close"});
    EXPECT_EQ(openChildren(), 1);
}

// What was thrown gives the number and description; what the command was doing, the
// wording. A command that throws nothing shows nothing.
TEST_F(DocumentCommands, FailuresAreReportedInTheWordsOfTheCommand)
{
    using shell::Doing;
    const auto report = [this](Doing doing, const std::function<void()>& command) {
        return shell::runReported(fake, &main, doing, command);
    };
    EXPECT_FALSE(report(Doing::Opening, [] { throw rig::RigError(53, "File not found"); }));
    EXPECT_FALSE(report(Doing::Closing, [] { throw rig::RigError(70, "Permission denied"); }));
    EXPECT_FALSE(report(Doing::Saving, [] { throw std::bad_alloc(); }));
    EXPECT_FALSE(report(Doing::Saving, [] { throw std::runtime_error("disk on fire"); }));
    EXPECT_FALSE(report(Doing::Opening, [] { throw 42; }));
    bool ran = false;
    EXPECT_TRUE(report(Doing::Saving, [&ran] { ran = true; }));
    EXPECT_TRUE(ran);

    EXPECT_EQ(fake.texts(), (std::vector<QString>{"Error53\r\nFile not found",
                                                  "Error 70 when closing file:\r\nPermission denied",
                                                  "Error 7 when saving file:\r\nOut of memory",
                                                  "Error 51 when saving file:\r\ndisk on fire",
                                                  "Error51\r\nInternal error"}));
    for (const FakeUi::Message& m : fake.messages)
        expectMessage(m, m.text, "Error", ui::Icon::Critical);
}

TEST_F(DocumentCommands, OpenOfANameEndingInNeitherLmpNorPatOpensNothingAndCancelIsSilent)
{
    // The ending is compared case-sensitively: an upper-case LMP is no lamp file.
    const QStringList neither = {"spot.LMP", "notes.txt", "spot.lmp.bak", "PAT", "mp"};
    fake.fileAnswers = {std::nullopt, QString()};
    for (const QString& name : neither)
        fake.fileAnswers.push_back(name);
    fake.fileAnswers.push_back(std::nullopt);
    for (int i = 0; i < 8; ++i)
        action("mnuFileOpen")->trigger();

    ASSERT_EQ(fake.fileCalls.size(), 8U);
    for (const FakeUi::FileCall& call : fake.fileCalls)
        EXPECT_EQ(call.request.filter, "Lamp Files (*.lmp)|*.lmp");
    EXPECT_EQ(fake.fileCalls[7].request.fileName, "");  // names that opened nothing are not kept
    ASSERT_EQ(fake.messages.size(), 5U);  // none for the cancel and the empty name
    for (int i = 0; i < 5; ++i) {
        const FakeUi::Message& m = fake.messages[static_cast<std::size_t>(i)];
        EXPECT_EQ(m.title, "Open");
        EXPECT_EQ(m.icon, ui::Icon::Information);
        EXPECT_TRUE(m.text.contains(".lmp") && m.text.contains(".pat") && m.text.contains('"' + neither[i] + '"'))
            << m.text.toStdString();
    }
    EXPECT_EQ(openChildren(), 0);
}

TEST_F(DocumentCommands, TheDialogStartsAtTheLastFileOpenedOrSavedNotAtAFailedOne)
{
    const QString spot = file("spot.lmp");
    rig::writeLampFile(toPath(spot), namedLamp("Spot"));
    openFile(spot);
    ASSERT_NE(main.activeDocument(), nullptr);

    fake.fileAnswers = {file("missing/copy.lmp"), std::nullopt};
    action("mnuFileSaveAs")->trigger();
    ASSERT_EQ(fake.messages.size(), 1U);  // the failed write, said by the lamp window
    action("mnuFileOpen")->trigger();
    ASSERT_EQ(fake.fileCalls.size(), 3U);
    EXPECT_EQ(fake.fileCalls[1].request.directory, dir.path());
    EXPECT_EQ(fake.fileCalls[2].request.fileName, spot);
}

TEST_F(DocumentCommands, FileDialogsTellFileTypesByNameWithoutReadingTheFiles)
{
    // Content that would be taken for a document if the file were read.
    writeAll(file("notes"), {'%', 'P', 'D', 'F', '-', '1', '.', '4', '\n'});
    writeAll(file("blank"), {});
    QFileDialog dialog;
    ui::prepareFileDialog(dialog, false);
    const QAbstractFileIconProvider* icons = dialog.iconProvider();
    ASSERT_NE(icons, nullptr);
    EXPECT_EQ(icons->type(QFileInfo(file("notes"))), icons->type(QFileInfo(file("blank"))));
    EXPECT_EQ(icons->type(QFileInfo(dir.path())), "Folder");
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
}

// Lamp and patch files each have their folder, kept in the settings from one run to the next.
TEST_F(DocumentCommands, OpenAndSaveAsStartInTheFolderLastUsedForTheKindOfFileAlsoAfterARestart)
{
    const QString lamps = file("lamps"), shows = file("shows");
    ASSERT_TRUE(QDir().mkpath(lamps) && QDir().mkpath(shows));
    rig::writeLampFile(toPath(lamps + "/spot.lmp"), namedLamp("Spot"));
    const QString lampKey = "Last folder lamp files", patchKey = "Last folder patch files";

    openFile(lamps + "/spot.lmp");
    EXPECT_EQ(fake.fileCalls.back().request.directory, QString()) << "nothing stored yet";
    EXPECT_EQ(fake.settings[lampKey], QDir::toNativeSeparators(lamps));
    fake.fileAnswers = {shows + "/show.pat"};
    choose("mnuFileNewStagePatch");
    choose("mnuFileSave");
    EXPECT_EQ(fake.fileCalls.back().request.directory, QString()) << "not the lamp folder";
    EXPECT_EQ(fake.settings[patchKey], QDir::toNativeSeparators(shows));
    EXPECT_EQ(fake.settings[lampKey], QDir::toNativeSeparators(lamps));

    rig::AppState nextState;
    frmMain next(nextState, fake);
    next.show();
    next.activateWindow();
    const auto run = [&next](const char* name) { next.findChild<QAction*>(QLatin1String(name))->trigger(); };
    fake.fileCalls.clear();
    fake.fileAnswers = {std::nullopt, std::nullopt, std::nullopt};
    run("mnuFileOpen");
    run("mnuFileNewLamp");
    run("mnuFileSaveAs");
    run("mnuFileNewStagePatch");
    run("mnuFileSaveAs");
    ASSERT_EQ(fake.fileCalls.size(), 3U);
    EXPECT_EQ(fake.fileCalls[0].request.directory, lamps);
    EXPECT_EQ(fake.fileCalls[0].request.fileName, QString());
    EXPECT_EQ(fake.fileCalls[1].request.directory, lamps);
    EXPECT_EQ(fake.fileCalls[1].request.fileName, "New Lamp.lmp");
    EXPECT_EQ(fake.fileCalls[2].request.directory, shows);

    // A folder that has gone since is not offered, and stays stored for when it is back.
    ASSERT_TRUE(QDir(lamps).removeRecursively());
    fake.fileAnswers = {std::nullopt};
    run("mnuFileOpen");
    EXPECT_EQ(fake.fileCalls.back().request.directory, QString());
    EXPECT_EQ(fake.settings[lampKey], QDir::toNativeSeparators(lamps));
}

// The toolkit's dialog as every open and save dialog is shown, answered by typing a name:
// what its Open or Save button then hands back, or nothing while the button is greyed.
TEST_F(DocumentCommands, OpenDialogsTakeOnlyAnExistingFileAndSaveDialogsAnyName)
{
    rig::writeLampFile(toPath(file("spot.lmp")), namedLamp("Spot"));
    const auto typed = [this](bool save, const char* name) {
        QFileDialog dialog(nullptr, QString(), dir.path());
        ui::prepareFileDialog(dialog, save);
        dialog.show();
        auto* nameBox = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        EXPECT_TRUE(nameBox != nullptr && buttons != nullptr);
        if (nameBox == nullptr || buttons == nullptr)
            return QStringLiteral("<no name box>");
        nameBox->setText(QLatin1String(name));
        QPushButton* accept = buttons->button(save ? QDialogButtonBox::Save : QDialogButtonBox::Open);
        if (accept == nullptr || !accept->isEnabled())
            return QString();
        accept->click();
        return dialog.result() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QStringLiteral("<stays>");
    };
    EXPECT_EQ(typed(false, "new.pat"), QString()) << "the file does not exist";
    EXPECT_EQ(typed(false, "spot.lmp"), file("spot.lmp"));
    EXPECT_EQ(typed(true, "new.pat"), file("new.pat"));
    EXPECT_FALSE(QFile::exists(file("new.pat")));
}

TEST_F(DocumentCommands, EachToolbarButtonRunsExactlyItsCommand)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {"Open", "file dialog"},
        {"Save", "There is not a window open that can be saved!"},
        {"About", "frmAbout"},
        {"New", "new window"},
    };
    for (const auto& [key, effect] : cases) {
        fake.messages.clear();
        fake.fileCalls.clear();
        fake.dialogsShown.clear();
        fake.fileAnswers = {std::nullopt};
        fake.dialogScripts = {[](QDialog& dialog) { dialog.accept(); }};
        const int before = openChildren();

        auto* button = main.findChild<QToolButton*>("tbToolBar" + key);
        ASSERT_NE(button, nullptr) << key.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);

        const std::vector<QString> texts = fake.texts();
        QStringList effects(static_cast<qsizetype>(fake.fileCalls.size()), "file dialog");
        effects << QStringList(texts.begin(), texts.end())
                << QStringList(fake.dialogsShown.begin(), fake.dialogsShown.end());
        if (openChildren() > before)
            effects << "new window";
        EXPECT_EQ(effects, QStringList{effect}) << key.toStdString();
    }
}

}  // namespace
