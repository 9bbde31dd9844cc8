#include "qtcore/field_text.h"

#include "base/cp1252.h"

namespace rig {

QString fromField(std::string_view bytes, FieldSpaces spaces, FieldControls controls)
{
    if (spaces == FieldSpaces::Trim) {
        const auto blank = [](char c) { return c == ' ' || c == '\0'; };
        while (!bytes.empty() && blank(bytes.front()))
            bytes.remove_prefix(1);
        while (!bytes.empty() && blank(bytes.back()))
            bytes.remove_suffix(1);
    }
    std::string kept;
    kept.reserve(bytes.size());
    for (char c : bytes)
        if (c != '\0' || controls == FieldControls::AsQuestionMark)
            kept.push_back(c);
    QString text = QString::fromStdString(cp1252ToUtf8(kept));
    if (controls == FieldControls::AsQuestionMark) {
        for (QChar& ch : text)
            if (isControlCharacter(ch.unicode()))
                ch = QLatin1Char('?');
    }
    return text;
}

std::string toField(const QString& text) { return utf8ToCp1252(text.toStdString()); }

}  // namespace rig
