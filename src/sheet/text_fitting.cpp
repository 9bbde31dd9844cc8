#include "sheet/text_fitting.h"

#include "sheet/sheet_fonts.h"

#include <QFontMetricsF>
#include <QStringList>

#include <algorithm>
#include <numeric>

namespace sheet {

std::vector<double> tableColumnWidths(const SheetTable& table, QPaintDevice& device, double width, double padding,
                                      double air)
{
    const auto count = static_cast<std::size_t>(table.headings.size());
    std::vector<double> widths(count, 0.0);
    std::vector<double> least(count, 0.0);
    const auto measure = [&](std::size_t c, const QString& cell, Style style) {
        const QFontMetricsF metrics(fontOf(style), &device);
        widths[c] = std::max(widths[c], metrics.horizontalAdvance(cell));
        for (const QString& word : cell.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            least[c] = std::max(least[c], metrics.horizontalAdvance(word));
    };
    for (std::size_t c = 0; c < count; ++c)
        measure(c, table.headings[static_cast<qsizetype>(c)], Style::Strong);
    for (const SheetTable::Row& row : table.rows) {
        for (std::size_t c = 0; c < count && c < static_cast<std::size_t>(row.cells.size()); ++c)
            measure(c, row.cells[static_cast<qsizetype>(c)],
                    row.marked && static_cast<int>(c) == table.markColumn ? Style::Mark : Style::Body);
    }
    for (std::size_t c = 0; c < count; ++c) {
        widths[c] += padding;
        least[c] += padding;
    }

    const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
    if (total <= width) {
        const double extra = std::min((width - total) / static_cast<double>(count), air);
        for (double& column : widths)
            column += extra;
        widths.back() += width - total - extra * static_cast<double>(count);
        return widths;
    }
    const double leastTotal = std::accumulate(least.begin(), least.end(), 0.0);
    const double room = std::max(width - leastTotal, 0.0);
    const double wanted = total - leastTotal;
    for (std::size_t c = 0; c < count; ++c)
        widths[c] = least[c] + (widths[c] - least[c]) * room / wanted;
    return widths;
}

QString fittedLamps(const QString& lamps, const QSizeF& room, QPaintDevice& device)
{
    const QFontMetricsF metrics(fontOf(Style::Body), &device);
    const auto fits = [&](const QString& candidate) {
        const QRectF needed =
            metrics.boundingRect(QRectF(QPointF(), room), Qt::AlignCenter | Qt::TextWordWrap, candidate);
        return needed.width() <= room.width() && needed.height() <= room.height();
    };
    if (lamps.isEmpty() || fits(lamps))
        return lamps;
    // The patch table lists every lamp with its position, so none is lost here.
    const QStringList numbers = lamps.split(QStringLiteral(", "));
    for (qsizetype shown = numbers.size() - 1; shown > 0; --shown) {
        const QString candidate = numbers.mid(0, shown).join(QStringLiteral(", ")) + QStringLiteral(" +") +
                                  QString::number(numbers.size() - shown);
        if (fits(candidate))
            return candidate;
    }
    return QStringLiteral("+") + QString::number(numbers.size());
}

}  // namespace sheet
