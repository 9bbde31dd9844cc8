#pragma once

// The sheet's few text styles and their fonts, the same for the printer and the PDF.

#include <QFont>

namespace sheet {

enum class Style { Title, Heading, Body, Strong, Mark, Small };

// The font of a style; its point size is measured against the device painted on.
[[nodiscard]] QFont fontOf(Style style);

}  // namespace sheet
