#pragma once

// Texts fitted into the room a page gives them: the widths of a table's columns, and
// the lamp numbers of a crowded cell of the stage plan.

#include "sheet/sheet_content.h"

#include <QSizeF>
#include <QString>

#include <vector>

class QPaintDevice;

namespace sheet {

// The widths of `table`'s columns across `width`, each `padding` wider than its text.
// Each column is as wide as its widest text. When they do not all fit, every column
// keeps at least its widest word and the room left is shared out in proportion to what
// each still wants; their texts wrap. With room to spare, each column gets up to
// `air` more and the last one takes the rest.
[[nodiscard]] std::vector<double> tableColumnWidths(const SheetTable& table, QPaintDevice& device, double width,
                                                    double padding, double air);

// A cell's lamp numbers ("1, 2, 3"), as many as fit `room` in the body style with a
// count of the others ("1, 2 +5").
[[nodiscard]] QString fittedLamps(const QString& lamps, const QSizeF& room, QPaintDevice& device);

}  // namespace sheet
