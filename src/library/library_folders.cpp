#include "library/library_folders.h"

#include <QDir>
#include <QStandardPaths>

#ifndef RIGSMITH_VERSION
#error "RIGSMITH_VERSION must be defined by the build"
#endif

namespace library {

namespace {

const QString programName = QStringLiteral("Rigsmith");

// File names hold a byte that is not UTF-8 as the lone surrogate U+DC00 + byte (see
// qtcore/file_names.h).
constexpr char16_t byteMarker = 0xDC00;

QString hexByte(unsigned byte)
{
    return QStringLiteral("%%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

QString userFixtureFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/') + programName +
           QStringLiteral("/fixtures");
}

QString cacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QLatin1Char('/') + programName +
           QStringLiteral("/fixture-library");
}

QString programVersion()
{
    return QStringLiteral(RIGSMITH_VERSION);
}

QStringList defaultFolders(const QString& programFolder)
{
    QStringList folders{QStringLiteral("/usr/share/qlcplus/fixtures")};
    if (!programFolder.isEmpty())
        folders << QDir::cleanPath(programFolder + QStringLiteral("/../share/qlcplus/fixtures"));
    folders << QDir::homePath() + QStringLiteral("/.qlcplus/fixtures") << userFixtureFolder();
    folders.removeDuplicates();
    return folders;
}

std::vector<LibraryFolder> libraryFolders(const QStringList& defaults, const QStringList& added)
{
    std::vector<LibraryFolder> folders;
    for (const QString& folder : defaults)
        folders.push_back({folder, true});
    for (const QString& folder : added)
        folders.push_back({folder, false});
    return folders;
}

QString foldersToSetting(const QStringList& folders)
{
    QStringList lines;
    for (const QString& folder : folders) {
        QString line;
        for (const QChar ch : folder) {
            const char16_t code = ch.unicode();
            if (code >= byteMarker + 0x80 && code <= byteMarker + 0xFF)
                line += hexByte(code - byteMarker);
            else if (code < 0x20 || code == 0x7F || code == '%')
                line += hexByte(code);
            else
                line += ch;
        }
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

QStringList foldersFromSetting(const QString& text)
{
    QStringList folders;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QString folder;
        for (qsizetype i = 0; i < line.size(); ++i) {
            bool isHex = false;
            const unsigned byte = i + 2 < line.size() && line[i] == QLatin1Char('%') ? line.mid(i + 1, 2).toUInt(&isHex, 16) : 0;
            if (!isHex) {
                folder += line[i];
                continue;
            }
            folder += byte >= 0x80 ? QChar(static_cast<char16_t>(byteMarker + byte)) : QChar(static_cast<char16_t>(byte));
            i += 2;
        }
        if (!folder.isEmpty())
            folders << folder;
    }
    return folders;
}

}  // namespace library
