#include "shell_fixture.h"

#include "shell/frmAbout.h"

#include <QDialog>
#include <QLabel>
#include <QRegularExpression>

#include <functional>
#include <vector>

namespace {

using DocumentCommandsTest = ShellTest;

void expectError(const FakeUi& fake, const QString& text)
{
    ASSERT_EQ(fake.messages.size(), 1U) << text.toStdString();
    EXPECT_EQ(fake.messages[0].text, text);
    EXPECT_EQ(fake.messages[0].title, "Error");
    EXPECT_EQ(fake.messages[0].icon, ui::Icon::Critical);
    EXPECT_EQ(fake.messages[0].buttons, ui::Buttons::Ok);
}

TEST_F(DocumentCommandsTest, CommandsWithoutAWindowSayWhyInTheirOwnWords)
{
    const QString cannotSave = "There is not a window open that can be saved!";
    const std::vector<std::pair<const char*, QString>> cases = {
        {"mnuFileClose",
         "There is not a window open that can be closed!\r\n\r\nChoose File, Exit if you wish to exit Rigsmith"},
        {"mnuFileSave", cannotSave},
        {"mnuFileSaveAs", cannotSave},
    };
    for (const auto& [name, text] : cases) {
        fake.messages.clear();
        action(name)->trigger();
        expectError(fake, text);
    }
    EXPECT_TRUE(fake.fileCalls.empty());
}

TEST_F(DocumentCommandsTest, SaveAndSaveAsReachTheActiveWindowOnly)
{
    showActive();
    TestDocument* first = addDocument("First");
    TestDocument* second = addDocument("Second");
    window.mdiArea()->setActiveSubWindow(window.mdiArea()->subWindowList().at(0));

    action("mnuFileSave")->trigger();
    action("mnuFileSaveAs")->trigger();
    window.tbToolBar_ButtonClick("Save");

    EXPECT_EQ(first->saves, 2);
    EXPECT_EQ(first->saveAses, 1);
    EXPECT_EQ(second->saves + second->saveAses, 0);
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(DocumentCommandsTest, SaveFailuresAreReportedWithNumberAndDescription)
{
    struct Case {
        bool saveAs;
        int number;
        const char* description;
        QString expected;  // empty: no message at all
    };
    const std::vector<Case> cases = {
        {false, 70, "Permission denied", "Error 70 when saving file:\r\nPermission denied"},
        {true, 70, "Permission denied", "Error 70 when saving file:\r\nPermission denied"},
        {false, 75, "Path/File access error", "Error 75 when saving file:\r\nPath/File access error"},
        {true, 91, "Object variable not set", "Error 91 when saving file:\r\nObject variable not set"},
        {true, 32755, "Cancel was selected.", ""},
    };
    showActive();
    TestDocument* document = addDocument("Lamp");
    for (const Case& c : cases) {
        fake.messages.clear();
        document->failure = rig::RigError(c.number, c.description);
        window.mdiArea()->setActiveSubWindow(window.mdiArea()->subWindowList().at(0));
        if (c.saveAs)
            window.mnuFileSaveAs_Click();
        else
            window.mnuFileSave_Click();
        if (c.expected.isEmpty())
            EXPECT_TRUE(fake.messages.empty()) << c.number;
        else
            expectError(fake, c.expected);
    }
}

TEST_F(DocumentCommandsTest, SavingAChildThatIsNoDocumentIsAnError)
{
    showActive();
    window.addDocument(new QWidget);
    window.mnuFileSave_Click();
    expectError(fake, "Error 438 when saving file:\r\nObject doesn't support this property or method");
}

TEST_F(DocumentCommandsTest, CloseGoesThroughTheWindowsOwnClose)
{
    showActive();
    TestDocument* keeps = addDocument("Keeps", true);
    action("mnuFileClose")->trigger();
    EXPECT_EQ(keeps->closeRequests, 1);
    EXPECT_EQ(openChildren(), 1);  // refused: silently stays
    EXPECT_TRUE(fake.messages.empty());

    TestDocument* goes = addDocument("Goes");
    action("mnuFileClose")->trigger();
    EXPECT_EQ(goes->closeRequests, 1);
    EXPECT_EQ(openChildren(), 1);
    EXPECT_EQ(keeps->closeRequests, 1);
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(DocumentCommandsTest, OpenAsksWithTheLampFilterAndEndsSilentlyOnCancel)
{
    fake.fileAnswers = {std::nullopt, QString(), QString("/data/notes.txt"), std::nullopt};
    window.mnuFileOpen_Click();  // cancelled
    window.mnuFileOpen_Click();  // empty name
    EXPECT_TRUE(fake.messages.empty());
    window.mnuFileOpen_Click();
    window.mnuFileOpen_Click();

    ASSERT_EQ(fake.fileCalls.size(), 4U);
    for (const FakeUi::FileCall& call : fake.fileCalls) {
        EXPECT_FALSE(call.save);
        EXPECT_EQ(call.request.filter, "Lamp Files (*.lmp)|*.lmp");
    }
    // The name chosen last stays preset in the shared dialog.
    EXPECT_EQ(fake.fileCalls[3].request.fileName, "/data/notes.txt");
}

TEST_F(DocumentCommandsTest, OpenOfANameEndingInNeitherLmpNorPatOpensNothing)
{
    // The ending is compared case-sensitively: an upper-case LMP is no lamp file.
    for (const char* name : {"/data/spot.LMP", "/data/notes.txt", "/data/spot.lmp.bak", "/data/PAT", "/data/mp"}) {
        fake.messages.clear();
        fake.fileAnswers = {QString(name)};
        window.mnuFileOpen_Click();
        ASSERT_EQ(fake.messages.size(), 1U) << name;
        EXPECT_EQ(fake.messages[0].title, "Open");
        EXPECT_EQ(fake.messages[0].icon, ui::Icon::Information);
        EXPECT_TRUE(fake.messages[0].text.contains(".lmp")) << name;
        EXPECT_TRUE(fake.messages[0].text.contains(".pat")) << name;
        EXPECT_EQ(openChildren(), 0) << name;
    }
}

TEST_F(DocumentCommandsTest, LampFileThatCannotBeReadIsReportedAndNoWindowRemains)
{
    fake.fileAnswers = {QString("/no/such/folder/spot.lmp")};
    window.mnuFileOpen_Click();
    ASSERT_EQ(fake.messages.size(), 1U);
    const FakeUi::Message& m = fake.messages[0];
    // "Error", the number right behind it, CR LF, the description.
    EXPECT_TRUE(QRegularExpression("^Error[0-9]+\r\n.+$").match(m.text).hasMatch()) << m.text.toStdString();
    EXPECT_EQ(m.title, "Error");
    EXPECT_EQ(m.icon, ui::Icon::Critical);
    EXPECT_EQ(openChildren(), 0);
}

TEST_F(DocumentCommandsTest, ToolbarButtonsRunTheirCommands)
{
    struct Case {
        QString key;
        std::size_t fileDialogs;
        std::vector<QString> messages;
        std::vector<QString> dialogs;
    };
    const std::vector<Case> cases = {
        {"Open", 1, {}, {}},
        {"Save", 0, {"There is not a window open that can be saved!"}, {}},
        {"About", 0, {}, {"frmAbout"}},
        {"", 0, {}, {}},
        {"Help", 0, {}, {}},
    };
    for (const Case& c : cases) {
        fake.messages.clear();
        fake.fileCalls.clear();
        fake.dialogsShown.clear();
        fake.fileAnswers = {std::nullopt};
        fake.dialogScripts = {[](QDialog& dialog) { dialog.accept(); }};

        window.tbToolBar_ButtonClick(c.key);

        EXPECT_EQ(fake.fileCalls.size(), c.fileDialogs) << c.key.toStdString();
        EXPECT_EQ(fake.texts(), c.messages) << c.key.toStdString();
        EXPECT_EQ(fake.dialogsShown, c.dialogs) << c.key.toStdString();
    }
}

}  // namespace
