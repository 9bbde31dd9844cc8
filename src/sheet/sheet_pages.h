#pragma once

// The patch sheet laid out on pages: every text, line and shaded box at its place, in
// the units of the device it will be painted on. Laying out first lets each page say
// "Page X of Y" and repeat a table's column headings where the table goes on.

#include "sheet/sheet_content.h"
#include "sheet/sheet_fonts.h"

#include <QColor>
#include <QLineF>
#include <QRectF>
#include <QString>

#include <vector>

class QPaintDevice;
class QPainter;

namespace sheet {

struct TextInk {
    QRectF rect;
    QString text;
    Style style = Style::Body;
    int flags = 0;  // Qt::AlignmentFlag and Qt::TextFlag
};

struct LineInk {
    QLineF line;
    double width = 0;
    QColor colour;
};

struct BoxInk {
    QRectF rect;
    QColor fill;
};

struct Page {
    std::vector<BoxInk> boxes;
    std::vector<LineInk> lines;
    std::vector<TextInk> texts;
};

// Lays the sheet out for pages of `device`'s paint area: the heading on every page,
// the patch table, the channel maps, the stage plan and, last, each page's number.
[[nodiscard]] std::vector<Page> layOutSheet(const SheetContent& content, QPaintDevice& device);

// Paints one laid-out page; the painter is active on the device it was laid out for.
void paintPage(QPainter& painter, const Page& page);

}  // namespace sheet
