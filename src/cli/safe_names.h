#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace cli {

// A lamp name turned into a file name stem that stays inside its folder: no path
// separators, no "..", no control or reserved characters (each becomes '_'), no
// leading or trailing dots or spaces. An empty result becomes `fallback`.
[[nodiscard]] QString safeFileStem(const QString& name, const QString& fallback);

// Appends `extension` to each stem; a name that clashes with an earlier one (case
// ignored, as some file systems do) gets "_2", "_3", ... before the extension.
[[nodiscard]] QStringList uniqueFileNames(const QStringList& stems, const QString& extension);

}  // namespace cli
