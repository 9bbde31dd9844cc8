#include "shell_fixture.h"

#include "shell/translations.h"

#include <QDir>
#include <QMenuBar>
#include <QTranslator>

namespace {

// Takes out every translator a test installed, so the English texts come back.
void removeTranslators()
{
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

TEST(Translations, AreLookedForBesideTheProgramThenInTheInstalledDataFolder)
{
    const QStringList folders = shell::translationFolders("/opt/rig/bin");
    ASSERT_GE(folders.size(), 2);
    EXPECT_EQ(folders.first(), "/opt/rig/bin/translations");
    EXPECT_EQ(folders.at(1), "/opt/rig/share/rigsmith/translations");
}

using TranslatedMainWindow = ShellTest;

TEST_F(TranslatedMainWindow, TheUsersLanguageIsUsedWhenInstalledElseTheEnglishTexts)
{
#ifndef RIGSMITH_TEST_TRANSLATIONS
    FAIL() << "lrelease (qt6-l10n-tools) was not found when the tests were built; scripts/install-deps.sh installs it";
#else
    const QString folder = QStringLiteral(RIGSMITH_TEST_TRANSLATIONS);
    EXPECT_TRUE(shell::installTranslations(QLocale("fr_FR"), {folder}).isEmpty());
    EXPECT_EQ(QCoreApplication::translate("frmMain", "&File"), "&File");

    // A regional locale finds its language's file, here in the second folder.
    EXPECT_EQ(shell::installTranslations(QLocale("de_AT"), {"/nonexistent", folder}),
              QDir(folder).filePath("rigsmith_de.qm"));
    frmMain translated(state, fake);
    EXPECT_EQ(translated.menuBar()->actions().first()->text(), "&Datei");
    translated.findChild<QAction*>("mnuFileSave")->trigger();
    EXPECT_EQ(fake.texts(), std::vector<QString>{"Es ist kein Fenster offen, das gespeichert werden kann!"});
    removeTranslators();
#endif
}

}  // namespace
