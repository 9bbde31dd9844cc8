#pragma once

#include <QString>

#include <string>

// Conversion between the files' single-byte text (Windows-1252) and the toolkit's
// strings, done at the window edge only.
namespace rig {

// Every byte as its Windows-1252 character; zero bytes are dropped so that a
// never-filled field shows as empty.
[[nodiscard]] QString fromField(const std::string& bytes);
// Characters Windows-1252 cannot hold become '?'.
[[nodiscard]] std::string toField(const QString& text);

}  // namespace rig
