#include "ui/fitted_text.h"

#include <QApplication>
#include <QFont>
#include <QFontInfo>
#include <QPainter>
#include <QSizeF>
#include <QStyle>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <limits>

namespace ui {
namespace {

QTextOption wrapping(Qt::Alignment alignment)
{
    QTextOption option(alignment);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

// Fits: every line no wider than `width`, all lines no taller than the box.
bool fits(const QFont& font, const QString& text, const QSizeF& box)
{
    return FittedTextDelegate::textHeight(font, text, box.width()) <= box.height();
}

}  // namespace

double FittedTextDelegate::textHeight(const QFont& font, const QString& text, double width)
{
    double height = 0;
    const QTextOption option = wrapping(Qt::AlignLeft);
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            // A single character wider than the cell cannot be broken further.
            if (line.naturalTextWidth() > width + 0.01)
                height = std::numeric_limits<double>::infinity();
            height += line.height();
        }
        layout.endLayout();
    }
    return height;
}

QFont FittedTextDelegate::fittedFont(const QFont& font, const QString& text, const QSizeF& box)
{
    QFont fitted = font;
    double size = QFontInfo(font).pointSizeF();
    if (!(size > 0))
        size = 9.0;
    fitted.setPointSizeF(size);
    while (size > minimumPointSize && !fits(fitted, text, box)) {
        size = std::max(minimumPointSize, size - 0.5);
        fitted.setPointSizeF(size);
    }
    return fitted;
}

void FittedTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    // Line ends may come as CR LF; a line breaks at the LF.
    const QString text = QString(item.text).remove(QLatin1Char('\r'));
    item.text.clear();
    const QWidget* widget = item.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    // Background, selection and focus as the style draws them; the text comes after.
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
    if (text.isEmpty())
        return;

    const QRectF area = QRectF(item.rect).adjusted(margin, 0, -margin, 0);
    const QFont font = fittedFont(item.font, text, area.size());
    const bool selected = item.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group =
        item.state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->setFont(font);
    painter->setPen(item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setClipRect(item.rect);
    // Vertically centred as the cell's alignment asks; drawText does not do it for a
    // QTextOption, so the box is cut to the text's height first.
    const double height = std::min(area.height(), textHeight(font, text, area.width()));
    QRectF textBox = area;
    if (item.displayAlignment & Qt::AlignVCenter)
        textBox.setTop(area.top() + (area.height() - height) / 2);
    else if (item.displayAlignment & Qt::AlignBottom)
        textBox.setTop(area.bottom() - height);
    textBox.setHeight(height);
    painter->drawText(textBox, text, wrapping(item.displayAlignment & Qt::AlignHorizontal_Mask));
    painter->restore();
}

}  // namespace ui
