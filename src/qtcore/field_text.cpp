#include "qtcore/field_text.h"

#include "base/cp1252.h"

namespace rig {

QString fromField(const std::string& bytes)
{
    std::string withoutZeros;
    withoutZeros.reserve(bytes.size());
    for (char c : bytes)
        if (c != '\0')
            withoutZeros.push_back(c);
    return QString::fromStdString(rig::cp1252ToUtf8(withoutZeros));
}

std::string toField(const QString& text) { return rig::utf8ToCp1252(text.toStdString()); }

}  // namespace rig
