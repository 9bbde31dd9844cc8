#include "cli/safe_names.h"

#include <QSet>

namespace cli {

namespace {

bool unsafeChar(QChar ch)
{
    const char16_t code = ch.unicode();
    if (code < 0x20 || code == 0x7F || (code >= 0x80 && code <= 0x9F))
        return true;
    // Separators, and what other systems refuse in a name, so a file copied there keeps its name.
    return QStringLiteral("/\\:*?\"<>|").contains(ch);
}

bool edgeChar(QChar ch)
{
    return ch == QLatin1Char('.') || ch == QLatin1Char(' ');
}

}  // namespace

QString safeFileStem(const QString& name, const QString& fallback)
{
    QString stem;
    stem.reserve(name.size());
    for (const QChar ch : name)
        stem += unsafeChar(ch) ? QLatin1Char('_') : ch;

    // Any run of two or more dots becomes one '_', so no ".." survives.
    QString collapsed;
    for (qsizetype i = 0; i < stem.size();) {
        if (stem[i] == QLatin1Char('.') && i + 1 < stem.size() && stem[i + 1] == QLatin1Char('.')) {
            while (i < stem.size() && stem[i] == QLatin1Char('.'))
                ++i;
            collapsed += QLatin1Char('_');
        } else {
            collapsed += stem[i++];
        }
    }

    qsizetype first = 0;
    qsizetype last = collapsed.size();
    while (first < last && edgeChar(collapsed[first]))
        ++first;
    while (last > first && edgeChar(collapsed[last - 1]))
        --last;
    QString result = collapsed.mid(first, last - first);
    if (result.isEmpty())
        return fallback;

    // Windows takes a device name, with any extension, for the device: "CON.lmp" and
    // "nul.txt.lmp" cannot be made there, so the device part gets a '_'.
    static const QStringList devices = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                        QStringLiteral("NUL")};
    qsizetype baseEnd = result.indexOf(QLatin1Char('.'));
    if (baseEnd < 0)
        baseEnd = result.size();
    qsizetype deviceEnd = baseEnd;
    while (deviceEnd > 0 && result[deviceEnd - 1] == QLatin1Char(' '))
        --deviceEnd;  // "CON .txt" names the device as well
    const QString base = result.left(deviceEnd).toUpper();
    const bool numbered = base.size() == 4 && (base.startsWith(QLatin1String("COM")) || base.startsWith(QLatin1String("LPT"))) &&
                          base[3] >= QLatin1Char('1') && base[3] <= QLatin1Char('9');
    if (devices.contains(base) || numbered)
        result.insert(deviceEnd, QLatin1Char('_'));
    return result;
}

QString argumentFromBytes(const QByteArray& bytes)
{
    // Well-formed UTF-8 is decoded; every other byte b becomes the lone surrogate
    // U+DC00 + b, which no decoded text contains, so the bytes come back unchanged.
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

QByteArray bytesFromArgument(const QString& text)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        const bool pair = QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (pair) {
            bytes += text.mid(i, 2).toUtf8();
            ++i;
        } else if (unit >= 0xDC80 && unit <= 0xDCFF) {
            bytes += static_cast<char>(unit - 0xDC00);
        } else {
            bytes += QString(QChar(unit)).toUtf8();
        }
    }
    return bytes;
}

QStringList uniqueFileNames(const QStringList& stems, const QString& extension)
{
    QStringList names;
    QSet<QString> taken;
    for (const QString& stem : stems) {
        QString name = stem + extension;
        for (int n = 2; taken.contains(name.toCaseFolded()); ++n)
            name = stem + QStringLiteral("_%1").arg(n) + extension;
        taken.insert(name.toCaseFolded());
        names << name;
    }
    return names;
}

}  // namespace cli
