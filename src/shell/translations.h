#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// The window texts in the user's language, where a translation is installed.
namespace shell {

// Where rigsmith_<language>.qm files are looked for, in order: translations/ beside
// the program (the build folder), then the installed data folder, found from the
// program's folder and at its configured place.
[[nodiscard]] QStringList translationFolders(const QString& programFolder);

// Installs on the application the first translation for `locale`'s languages found
// in `folders`, with the toolkit's own for its standard buttons. Returns the file
// loaded, or an empty text when there is none (the English texts stay).
QString installTranslations(const QLocale& locale, const QStringList& folders);

}  // namespace shell
