#include "qtcore/file_names.h"

namespace rig {

QString fromPath(const QByteArray& bytes)
{
    QString text;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const unsigned char lead = data[i];
        qsizetype length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                                                        : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        if (length > 1) {
            const QString decoded = i + length <= size ? QString::fromUtf8(bytes.mid(i, length)) : QString();
            if (decoded.isEmpty() || decoded.contains(QChar::ReplacementCharacter) ||
                decoded.toUtf8() != bytes.mid(i, length))
                length = 0;
            else
                text += decoded;
        } else if (length == 1) {
            text += QChar(lead);
        }
        if (length == 0) {
            text += QChar(static_cast<char16_t>(0xDC00 + lead));
            length = 1;
        }
        i += length;
    }
    return text;
}

std::string toPath(const QString& text)
{
    std::string bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        const bool pair = QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (pair) {
            bytes += text.mid(i, 2).toStdString();
            ++i;
        } else if (unit >= 0xDC80 && unit <= 0xDCFF) {
            bytes += static_cast<char>(unit - 0xDC00);
        } else {
            bytes += QString(QChar(unit)).toStdString();
        }
    }
    return bytes;
}

QString fromPath(const std::string& path)
{
    return fromPath(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

}  // namespace rig
