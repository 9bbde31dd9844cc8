#include "ui/twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace ui {
namespace {

double pixelsPerTwip()
{
    double dpi = 96.0;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        dpi = screen->logicalDotsPerInch();
    if (!(dpi > 0.0))
        dpi = 96.0;
    return dpi / 1440.0;
}

}  // namespace

int twipsToPixels(double twips) { return static_cast<int>(std::lround(twips * pixelsPerTwip())); }

double pixelsToTwips(int pixels) { return pixels / pixelsPerTwip(); }

}  // namespace ui
