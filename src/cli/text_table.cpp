#include "cli/text_table.h"

#include <algorithm>
#include <cstddef>

namespace cli {

QString formatTable(const std::vector<Column>& columns, const std::vector<QStringList>& rows)
{
    std::vector<qsizetype> widths;
    for (const Column& column : columns)
        widths.push_back(column.title.size());
    for (const QStringList& row : rows)
        for (qsizetype c = 0; c < row.size() && c < static_cast<qsizetype>(widths.size()); ++c)
            widths[static_cast<std::size_t>(c)] = std::max(widths[static_cast<std::size_t>(c)], row[c].size());

    const auto line = [&](const QStringList& cells) {
        QString text;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const QString cell = static_cast<qsizetype>(c) < cells.size() ? cells[static_cast<qsizetype>(c)] : QString();
            if (c != 0)
                text += QStringLiteral("  ");
            const auto width = static_cast<int>(widths[c]);
            text += columns[c].alignRight ? cell.rightJustified(width) : cell.leftJustified(width);
        }
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        return text + QLatin1Char('\n');
    };

    QStringList titles;
    for (const Column& column : columns)
        titles << column.title;
    QString out = line(titles);
    for (const QStringList& row : rows)
        out += line(row);
    return out;
}

}  // namespace cli
