#pragma once

#include <QString>
#include <QStringList>

// Search by typed words: every word must occur in the manufacturer, model or short
// name, case and accents ignored. Names are folded once when an entry is indexed and
// the typed text once per keystroke, so matching is plain substring search.
namespace library {

// Lower case without accents: "Éclair Ürban" -> "eclair urban"; letters that do not
// decompose are spelled out as usual in searches ("ß" -> "ss", "ø" -> "o").
[[nodiscard]] QString foldForSearch(const QString& text);

// The folded words of a typed search, empty words dropped.
[[nodiscard]] QStringList searchWords(const QString& typed);

// True when every word occurs in an entry's folded names (Entry::searchText); no words
// match every entry.
[[nodiscard]] bool matchesWords(const QString& searchText, const QStringList& words);

// The folded names of an entry: manufacturer, model and short name on lines of their
// own, so that no word matches across two of them.
[[nodiscard]] QString searchTextOf(const QString& manufacturer, const QString& model, const QString& shortName);

}  // namespace library
