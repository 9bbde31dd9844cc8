#pragma once

// Window layouts are designed in twips (1440 an inch, 15 a pixel at 96 dpi).
// This is the one place they become pixels, scaled for the primary screen.
namespace ui {

[[nodiscard]] int twipsToPixels(double twips);
[[nodiscard]] double pixelsToTwips(int pixels);

}  // namespace ui
