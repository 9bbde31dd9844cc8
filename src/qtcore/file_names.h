#pragma once

#include <QByteArray>
#include <QString>

#include <string>

// File names cross between the toolkit's strings and the core's paths here only, in
// the windows and the command line alike (QtCore only). A path is the bytes the
// system gave: well-formed UTF-8 is decoded, and any other byte b is held as the lone
// surrogate U+DC00 + b, which no decoded text contains, so toPath gives the same
// bytes back. For a name without such surrogates (every name the toolkit's file
// dialogs give) toPath is the UTF-8 the toolkit itself would use.
namespace rig {

[[nodiscard]] std::string toPath(const QString& fileName);
[[nodiscard]] QString fromPath(const QByteArray& path);
[[nodiscard]] QString fromPath(const std::string& path);

}  // namespace rig
