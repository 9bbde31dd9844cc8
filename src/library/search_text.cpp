#include "library/search_text.h"


namespace library {

namespace {

// Letters that no Unicode decomposition takes apart, spelled as a search for them
// would be typed without the accent.
QString spelledOut(char32_t letter)
{
    switch (letter) {
    case U'\u00DF': return QStringLiteral("ss");  // sharp s
    case U'\u00E6': return QStringLiteral("ae");
    case U'\u0153': return QStringLiteral("oe");
    case U'\u00F8': return QStringLiteral("o");
    case U'\u0142': return QStringLiteral("l");
    case U'\u0111': return QStringLiteral("d");
    case U'\u00F0': return QStringLiteral("d");
    case U'\u00FE': return QStringLiteral("th");
    case U'\u0131': return QStringLiteral("i");  // dotless i
    default: return {};
    }
}

bool isPlainAscii(const QString& text)
{
    for (const QChar ch : text)
        if (ch.unicode() >= 0x80)
            return false;
    return true;
}

}  // namespace

QString foldForSearch(const QString& text)
{
    // Most names are ASCII: lower case is all the folding they need.
    if (isPlainAscii(text))
        return text.toLower();
    const QString decomposed = text.toCaseFolded().normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (qsizetype i = 0; i < decomposed.size(); ++i) {
        const QChar ch = decomposed[i];
        char32_t code = ch.unicode();
        if (ch.isHighSurrogate() && i + 1 < decomposed.size() && decomposed[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(ch, decomposed[i + 1]);
            folded += ch;
            folded += decomposed[++i];
            continue;
        }
        const QChar::Category category = ch.category();
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining || category == QChar::Mark_Enclosing)
            continue;
        const QString spelled = spelledOut(code);
        if (spelled.isEmpty())
            folded += ch;
        else
            folded += spelled;
    }
    return folded;
}

QStringList searchWords(const QString& typed)
{
    QStringList words;
    QString word;
    const auto finish = [&] {
        if (const QString folded = foldForSearch(word); !folded.isEmpty())
            words << folded;
        word.clear();
    };
    for (const QChar ch : typed) {
        if (ch.isSpace())
            finish();
        else
            word += ch;
    }
    finish();
    return words;
}

bool matchesWords(const QString& searchText, const QStringList& words)
{
    for (const QString& word : words)
        if (!searchText.contains(word))
            return false;
    return true;
}

QString searchTextOf(const QString& manufacturer, const QString& model, const QString& shortName)
{
    return foldForSearch(manufacturer + QLatin1Char('\n') + model + QLatin1Char('\n') + shortName);
}

}  // namespace library
