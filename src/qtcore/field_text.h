#pragma once

#include "base/fixed_text.h"

#include <QString>

#include <string>
#include <string_view>

// Conversion between the files' single-byte text (Windows-1252) and the toolkit's
// strings. Every window and the command line show a stored text field through
// fromField, so a name looks the same wherever it appears.
namespace rig {

// Whether a shown field keeps its padding: names in boxes and cells are trimmed,
// lists that show the field as stored keep all of it.
enum class FieldSpaces { Keep, Trim };
// Whether control characters may stand in the text. A line of output or a list entry
// must stay one line, so there every control character (a zero byte too) becomes '?'.
enum class FieldControls { Keep, AsQuestionMark };

// Every byte as its Windows-1252 character. Trim removes spaces and zero bytes at
// both ends. With FieldControls::Keep the remaining zero bytes are dropped, so a
// never-filled field shows as empty.
[[nodiscard]] QString fromField(std::string_view bytes, FieldSpaces spaces = FieldSpaces::Keep,
                                FieldControls controls = FieldControls::Keep);
template <std::size_t N>
[[nodiscard]] QString fromField(const FixedText<N>& field, FieldSpaces spaces = FieldSpaces::Keep,
                                FieldControls controls = FieldControls::Keep)
{
    return fromField(std::string_view(reinterpret_cast<const char*>(field.bytes().data()), N), spaces, controls);
}
// Characters Windows-1252 cannot hold become '?'.
[[nodiscard]] std::string toField(const QString& text);

}  // namespace rig
