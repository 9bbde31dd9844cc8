#include "sheet/sheet_pages.h"

#include "sheet/text_fitting.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <numeric>

namespace sheet {
namespace {

const QColor headingFill(225, 225, 225);
const QColor markFill(255, 214, 170);
const QColor markText(170, 0, 0);
const QColor ruleColour(160, 160, 160);
constexpr int mapColumns = 3;

class Layout {
public:
    Layout(const SheetContent& content, QPaintDevice& device)
        : m_content(content),
          m_device(device),
          m_dpi(device.logicalDpiY()),
          m_width(device.width()),
          m_height(device.height())
    {
    }

    std::vector<Page> run();

private:
    [[nodiscard]] double mm(double millimetres) const { return millimetres * m_dpi / 25.4; }
    [[nodiscard]] QFontMetricsF metrics(Style style) const { return QFontMetricsF(fontOf(style), &m_device); }
    [[nodiscard]] double lineHeight(Style style) const { return metrics(style).height(); }
    [[nodiscard]] double textHeight(const QString& text, Style style, double width) const;
    [[nodiscard]] double cellPad() const { return mm(1.2); }
    [[nodiscard]] double rowPad() const { return mm(0.6); }

    Page& page() { return m_pages.back(); }
    void text(const QRectF& rect, const QString& text, Style style, int flags)
    {
        if (!text.isEmpty())
            page().texts.push_back({rect, text, style, flags});
    }
    void line(const QLineF& line, bool strong) { page().lines.push_back({line, mm(strong ? 0.3 : 0.12), strong ? Qt::black : ruleColour}); }

    // The flow: pages of `m_columns` columns, filled top to bottom, left to right.
    void startPage();
    void setColumns(int count);
    void nextColumn();
    [[nodiscard]] double columnLeft() const { return m_column * (m_columnWidth + mm(6)); }
    [[nodiscard]] double room() const { return m_bottom - m_y; }
    [[nodiscard]] bool atColumnTop() const { return m_y <= m_columnTop; }

    void placeText(const QString& text, Style style);
    void placeTable(const SheetTable& table);
    [[nodiscard]] double rowHeight(const QStringList& cells, const std::vector<double>& widths, const SheetTable& table,
                                   bool heading, bool marked) const;
    void drawRow(const QStringList& cells, const std::vector<double>& widths, double height, const SheetTable& table,
                 bool heading, bool marked);
    void placeStagePlan(const StagePlan& plan);
    void numberPages();

    const SheetContent& m_content;
    QPaintDevice& m_device;
    double m_dpi;
    double m_width;
    double m_height;
    double m_top = 0;
    double m_bottom = 0;
    double m_columnTop = 0;
    double m_y = 0;
    int m_columns = 1;
    int m_column = 0;
    double m_columnWidth = 0;
    std::vector<Page> m_pages;
};

double Layout::textHeight(const QString& text, Style style, double width) const
{
    const QRectF bounds = metrics(style).boundingRect(QRectF(0, 0, std::max(width, 1.0), 1e9), Qt::TextWordWrap, text);
    return std::max(bounds.height(), lineHeight(style));
}

// The heading every page carries: the file, its date and time, the program, the counts.
void Layout::startPage()
{
    m_pages.emplace_back();
    const double titleHeight = lineHeight(Style::Title);
    const double programWidth = metrics(Style::Body).horizontalAdvance(m_content.program) + mm(1);
    const double nameWidth = std::max(m_width - programWidth - mm(6), m_width / 2);
    text(QRectF(0, 0, nameWidth, titleHeight),
         metrics(Style::Title).elidedText(m_content.fileName, Qt::ElideMiddle, nameWidth), Style::Title,
         Qt::AlignLeft | Qt::AlignBottom);
    text(QRectF(m_width - programWidth, 0, programWidth, titleHeight), m_content.program, Style::Body,
         Qt::AlignRight | Qt::AlignBottom);
    double y = titleHeight + mm(0.5);
    const QString facts = m_content.stamp + QStringLiteral(" · ") + m_content.counts;
    const double factsHeight = textHeight(facts, Style::Body, m_width);
    text(QRectF(0, y, m_width, factsHeight), facts, Style::Body, Qt::AlignLeft | Qt::TextWordWrap);
    y += factsHeight + mm(1.5);
    line(QLineF(0, y, m_width, y), true);

    m_top = y + mm(4);
    m_bottom = m_height - lineHeight(Style::Small) - mm(3);
    m_columnTop = m_top;
    m_y = m_top;
    m_column = 0;
}

void Layout::setColumns(int count)
{
    m_columns = count;
    m_column = 0;
    m_columnTop = m_y;
    m_columnWidth = (m_width - (count - 1) * mm(6)) / count;
}

void Layout::nextColumn()
{
    if (m_column + 1 < m_columns) {
        ++m_column;
        m_y = m_columnTop;
    } else {
        startPage();
    }
}

void Layout::placeText(const QString& content, Style style)
{
    const double height = textHeight(content, style, m_columnWidth);
    if (height > room() && !atColumnTop())
        nextColumn();
    text(QRectF(columnLeft(), m_y, m_columnWidth, height), content, style, Qt::AlignLeft | Qt::TextWordWrap);
    m_y += height + mm(1);
}

double Layout::rowHeight(const QStringList& cells, const std::vector<double>& widths, const SheetTable& table,
                         bool heading, bool marked) const
{
    double height = 0;
    for (std::size_t c = 0; c < widths.size() && c < static_cast<std::size_t>(cells.size()); ++c) {
        const Style style = heading ? Style::Strong : marked && static_cast<int>(c) == table.markColumn ? Style::Mark : Style::Body;
        height = std::max(height, textHeight(cells[static_cast<qsizetype>(c)], style, widths[c] - 2 * cellPad()));
    }
    return height + 2 * rowPad();
}

void Layout::drawRow(const QStringList& cells, const std::vector<double>& widths, double height,
                     const SheetTable& table, bool heading, bool marked)
{
    const double left = columnLeft();
    const QRectF whole(left, m_y, m_columnWidth, height);
    if (heading)
        page().boxes.push_back({whole, headingFill});
    else if (marked)
        page().boxes.push_back({whole, markFill});
    double x = left;
    for (std::size_t c = 0; c < widths.size() && c < static_cast<std::size_t>(cells.size()); ++c) {
        const bool numeric = c < table.numeric.size() && table.numeric[c];
        const Style style = heading ? Style::Strong : marked && static_cast<int>(c) == table.markColumn ? Style::Mark : Style::Body;
        text(QRectF(x + cellPad(), m_y + rowPad(), widths[c] - 2 * cellPad(), height - 2 * rowPad()),
             cells[static_cast<qsizetype>(c)], style,
             Qt::TextWordWrap | Qt::AlignTop | (numeric ? Qt::AlignRight : Qt::AlignLeft));
        x += widths[c];
    }
    m_y += height;
    line(QLineF(left, m_y, left + m_columnWidth, m_y), heading);
}

// A table keeps together when it fits a column; a longer one runs on into the next
// columns and pages, its title and column headings repeated at the top of each.
void Layout::placeTable(const SheetTable& table)
{
    const std::vector<double> widths = tableColumnWidths(table, m_device, m_columnWidth, 2 * cellPad() + 1, mm(5));
    const double headingHeight = rowHeight(table.headings, widths, table, true, false);
    std::vector<double> heights;
    for (const SheetTable::Row& row : table.rows)
        heights.push_back(rowHeight(row.cells, widths, table, false, row.marked));
    double titleHeight = textHeight(table.title, Style::Heading, m_columnWidth) + mm(1);
    if (!table.subtitle.isEmpty())
        titleHeight += textHeight(table.subtitle, Style::Body, m_columnWidth) + mm(1);
    const double whole = titleHeight + headingHeight + std::accumulate(heights.begin(), heights.end(), 0.0);
    const double start = titleHeight + headingHeight + (heights.empty() ? 0.0 : heights.front());
    const bool fitsColumn = whole <= m_bottom - m_columnTop;
    if (!atColumnTop() && (fitsColumn ? whole > room() : start > room()))
        nextColumn();

    placeText(table.title, Style::Heading);
    if (!table.subtitle.isEmpty())
        placeText(table.subtitle, Style::Body);
    drawRow(table.headings, widths, headingHeight, table, true, false);
    int rowsHere = 0;
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        if (heights[r] > room() && rowsHere > 0) {
            nextColumn();
            placeText(table.title + SheetText::tr(" (continued)"), Style::Heading);
            drawRow(table.headings, widths, headingHeight, table, true, false);
            rowsHere = 0;
        }
        drawRow(table.rows[r].cells, widths, heights[r], table, false, table.rows[r].marked);
        ++rowsHere;
    }
    m_y += mm(5);
}

// The grid of the stage screen filling the rest of the page: column numbers above,
// row letters beside, each placed lamp's number in its cell.
void Layout::placeStagePlan(const StagePlan& plan)
{
    const double offGridHeight = plan.offGrid.isEmpty() ? 0.0 : textHeight(plan.offGrid, Style::Body, m_width) + mm(2);
    const double top = m_y;
    const double headWidth = std::max(mm(6), metrics(Style::Small).horizontalAdvance(QStringLiteral("WW")));
    const double headHeight = lineHeight(Style::Small) + mm(1.5);
    const double cellWidth = (m_width - headWidth) / rig::stageCols;
    const double cellHeight = std::max(lineHeight(Style::Body), (m_bottom - offGridHeight - top - headHeight) / rig::stageRows);
    const double gridLeft = headWidth;
    const double gridTop = top + headHeight;
    const double gridBottom = gridTop + cellHeight * rig::stageRows;
    const int centred = Qt::AlignCenter | Qt::TextWordWrap;

    for (int c = 0; c < rig::stageCols; ++c)
        text(QRectF(gridLeft + c * cellWidth, top, cellWidth, headHeight), QString::number(c + 1), Style::Small, centred);
    for (int r = 0; r < rig::stageRows; ++r) {
        const double y = gridTop + r * cellHeight;
        text(QRectF(0, y, headWidth, cellHeight), QString(QChar(u'A' + r)), Style::Small, centred);
        for (int c = 0; c < rig::stageCols; ++c) {
            const QRectF cell(gridLeft + c * cellWidth, y, cellWidth, cellHeight);
            if (plan.marked[r][c])
                page().boxes.push_back({cell, markFill});
            const QRectF inner = cell.adjusted(mm(0.5), 0, -mm(0.5), 0);
            text(inner, fittedLamps(plan.cells[r][c], inner.size(), m_device), Style::Body, centred);
        }
    }
    for (int c = 0; c <= rig::stageCols; ++c) {
        const double x = gridLeft + c * cellWidth;
        line(QLineF(x, gridTop, x, gridBottom), c == 0 || c == rig::stageCols);
    }
    for (int r = 0; r <= rig::stageRows; ++r) {
        const double y = gridTop + r * cellHeight;
        line(QLineF(gridLeft, y, m_width, y), r == 0 || r == rig::stageRows);
    }
    m_y = gridBottom + mm(2);
    if (!plan.offGrid.isEmpty())
        placeText(plan.offGrid, Style::Body);
}

void Layout::numberPages()
{
    const double height = lineHeight(Style::Small);
    const auto count = m_pages.size();
    for (std::size_t k = 0; k < count; ++k)
        m_pages[k].texts.push_back({QRectF(0, m_height - height, m_width, height),
                                    SheetText::tr("Page %1 of %2").arg(k + 1).arg(count), Style::Small,
                                    Qt::AlignHCenter | Qt::AlignBottom});
}

std::vector<Page> Layout::run()
{
    startPage();
    setColumns(1);
    if (m_content.empty) {
        placeText(SheetText::tr("No lamps placed"), Style::Heading);
    } else {
        placeTable(m_content.patch);

        startPage();
        setColumns(1);
        placeText(SheetText::tr("Channel maps"), Style::Heading);
        setColumns(mapColumns);
        for (const SheetTable& map : m_content.channelMaps)
            placeTable(map);

        startPage();
        setColumns(1);
        placeText(SheetText::tr("Stage plan"), Style::Heading);
        placeText(SheetText::tr("Row A at the top, as on the stage screen; shaded cells hold a lamp with a DMX conflict."),
                  Style::Small);
        placeStagePlan(m_content.plan);
    }
    numberPages();
    return std::move(m_pages);
}

}  // namespace

std::vector<Page> layOutSheet(const SheetContent& content, QPaintDevice& device)
{
    return Layout(content, device).run();
}

void paintPage(QPainter& painter, const Page& page)
{
    for (const BoxInk& box : page.boxes)
        painter.fillRect(box.rect, box.fill);
    for (const LineInk& rule : page.lines) {
        QPen pen(rule.colour);
        pen.setWidthF(rule.width);
        painter.setPen(pen);
        painter.drawLine(rule.line);
    }
    for (const TextInk& ink : page.texts) {
        painter.setFont(fontOf(ink.style));
        painter.setPen(ink.style == Style::Mark ? markText : QColor(Qt::black));
        painter.drawText(ink.rect, ink.flags, ink.text);
    }
}

}  // namespace sheet
