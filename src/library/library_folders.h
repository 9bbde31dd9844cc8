#pragma once

#include "library/library_scan.h"

#include <QString>
#include <QStringList>

// Where the library's definition files and its cache are, for the window and the
// command line alike. Both programs use the paths the window program (application
// name "Rigsmith") has as its own, whatever the running program is called.
namespace library {

// The settings key (section "Settings" of the program's settings) of the folders added
// in the window, and the values the window and the command line read it with.
inline constexpr const char* foldersSettingKey = "Fixture library folders";

// The folder where the user puts downloaded definitions: "fixtures" in the program's
// data folder (~/.local/share/Rigsmith/fixtures).
[[nodiscard]] QString userFixtureFolder();
// The folder of the index caches (~/.cache/Rigsmith/fixture-library).
[[nodiscard]] QString cacheFolder();
// The program version the caches are written for.
[[nodiscard]] QString programVersion();

// The folders used when present, for a program in `programFolder`: the system's QLC+
// library, the one of a QLC+ installed beside the program, the user's QLC+ folder and
// the user's own folder.
[[nodiscard]] QStringList defaultFolders(const QString& programFolder);

// The folders to index: the default ones (optional), then the added ones.
[[nodiscard]] std::vector<LibraryFolder> libraryFolders(const QStringList& defaults, const QStringList& added);

// The added folders as one settings text, one folder a line; any byte of a file name
// that is not printable UTF-8 (and "%") is written as %XX, so every name comes back
// as the same bytes.
[[nodiscard]] QString foldersToSetting(const QStringList& folders);
[[nodiscard]] QStringList foldersFromSetting(const QString& text);

}  // namespace library
