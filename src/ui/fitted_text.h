#pragma once

#include <QStyledItemDelegate>

class QFont;
class QSizeF;

namespace ui {

// Draws a cell's whole text inside the cell: the lines break at spaces, or anywhere
// in a word longer than the cell, and the font shrinks until every line fits. Grids
// whose cells have a fixed size use it so that no text is cut or elided.
class FittedTextDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The largest size of `font`, down to minimumPointSize, at which `text` fits in `box`.
    [[nodiscard]] static QFont fittedFont(const QFont& font, const QString& text, const QSizeF& box);
    // Height of `text` laid out in `font` across `width`, each line break a new line.
    [[nodiscard]] static double textHeight(const QFont& font, const QString& text, double width);

    static constexpr double minimumPointSize = 5.0;
    // Space between the cell's edge and its text, in pixels.
    static constexpr int margin = 2;
};

}  // namespace ui
