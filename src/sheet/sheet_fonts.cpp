#include "sheet/sheet_fonts.h"

namespace sheet {

QFont fontOf(Style style)
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    // Without shaping no ligature stands for two letters, so a search for "conflict"
    // finds it and text taken from the PDF reads as it was written.
    font.setStyleStrategy(QFont::PreferNoShaping);
    switch (style) {
    case Style::Title:
        font.setPointSizeF(13);
        font.setBold(true);
        break;
    case Style::Heading:
        font.setPointSizeF(10.5);
        font.setBold(true);
        break;
    case Style::Strong:
    case Style::Mark:
        font.setPointSizeF(8.5);
        font.setBold(true);
        break;
    case Style::Body:
        font.setPointSizeF(8.5);
        break;
    case Style::Small:
        font.setPointSizeF(7.5);
        break;
    }
    return font;
}

}  // namespace sheet
