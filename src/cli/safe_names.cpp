#include "cli/safe_names.h"

#include "base/cp1252.h"

#include <QSet>

namespace cli {

namespace {

bool unsafeChar(QChar ch)
{
    const char16_t code = ch.unicode();
    if (rig::isControlCharacter(code))
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
