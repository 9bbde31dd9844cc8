#include "shell/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

// Set by the build (src/shell/CMakeLists.txt): the installed translations folder,
// relative to the installed program's folder and as the configured absolute path.
#ifndef RIGSMITH_TRANSLATIONS_FROM_BIN
#define RIGSMITH_TRANSLATIONS_FROM_BIN ""
#endif
#ifndef RIGSMITH_TRANSLATIONS_DIR
#define RIGSMITH_TRANSLATIONS_DIR ""
#endif

namespace shell {

QStringList translationFolders(const QString& programFolder)
{
    const QDir program(programFolder);
    QStringList folders{program.filePath(QStringLiteral("translations"))};
    const QString fromProgram = QStringLiteral(RIGSMITH_TRANSLATIONS_FROM_BIN);
    if (!fromProgram.isEmpty())
        folders << QDir::cleanPath(program.filePath(fromProgram));
    const QString configured = QStringLiteral(RIGSMITH_TRANSLATIONS_DIR);
    if (!configured.isEmpty())
        folders << QDir::cleanPath(configured);
    folders.removeDuplicates();
    return folders;
}

QString installTranslations(const QLocale& locale, const QStringList& folders)
{
    QCoreApplication* app = QCoreApplication::instance();
    for (const QString& folder : folders) {
        auto* ours = new QTranslator(app);
        if (!ours->load(locale, QStringLiteral("rigsmith"), QStringLiteral("_"), folder)) {
            delete ours;
            continue;
        }
        QCoreApplication::installTranslator(ours);
        // The toolkit's texts (Yes, No, Cancel in message boxes) in the same language.
        auto* toolkit = new QTranslator(app);
        if (toolkit->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(toolkit);
        else
            delete toolkit;
        return ours->filePath();
    }
    return {};
}

}  // namespace shell
