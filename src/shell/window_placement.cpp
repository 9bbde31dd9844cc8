#include "shell/window_placement.h"

#include "ui/twips.h"
#include "ui/ui.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <optional>

namespace shell {
namespace {

// Placement values beyond this are not a window position on any real screen, and
// would overflow the conversion to pixels.
constexpr double maxPlacementTwips = 1.0e6;
// A restored window must show at least this much of itself on some screen.
constexpr int minVisiblePixels = 32;

struct PlacementKey {
    const char* key;
    int defaultTwips;
};
// Left, top, width and height, in the order they are read and written.
constexpr std::array<PlacementKey, 4> placementKeys = {{
    {"MainLeft", WindowPlacement::defaultLeft},
    {"MainTop", WindowPlacement::defaultTop},
    {"MainWidth", WindowPlacement::defaultWidth},
    {"MainHeight", WindowPlacement::defaultHeight},
}};

// The stored text as a single-precision number of twips, or nothing when unusable.
std::optional<double> parseTwips(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > maxPlacementTwips)
        return std::nullopt;
    return static_cast<double>(static_cast<float>(value));
}

// Decimal text of a single-precision number; whole numbers have no decimal point.
QString twipsText(double twips)
{
    return QString::number(static_cast<double>(static_cast<float>(twips)), 'g', 7);
}

bool reachableOnSomeScreen(const QRect& frame)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return true;
    return std::any_of(screens.cbegin(), screens.cend(), [&frame](const QScreen* screen) {
        const QRect visible = screen->availableGeometry().intersected(frame);
        return visible.width() >= minVisiblePixels && visible.height() >= minVisiblePixels;
    });
}

QRect pixelRect(const std::array<double, 4>& twips)
{
    return {ui::twipsToPixels(twips[0]), ui::twipsToPixels(twips[1]), ui::twipsToPixels(twips[2]),
            ui::twipsToPixels(twips[3])};
}

}  // namespace

void WindowPlacement::restore(QWidget& window, ui::Ui& ui)
{
    std::array<double, placementKeys.size()> twips{};
    bool usable = true;
    for (std::size_t i = 0; i < placementKeys.size(); ++i) {
        const QString text =
            ui.setting(QLatin1String(placementKeys[i].key), QString::number(placementKeys[i].defaultTwips));
        const std::optional<double> value = parseTwips(text);
        usable = usable && value.has_value();
        twips[i] = value.value_or(0.0);
    }

    // A value that is no number, or a window that no screen would show, makes the
    // whole stored placement unusable: fall back to the first-start placement.
    QRect frame;
    if (usable) {
        frame = pixelRect(twips);
        usable = frame.width() > 0 && frame.height() > 0 && reachableOnSomeScreen(frame);
    }
    if (!usable) {
        twips = {defaultLeft, defaultTop, defaultWidth, defaultHeight};
        frame = pixelRect(twips);
    }

    // Position is the outer top-left corner; size is the window's own size, without the
    // window manager's frame, so a stored size comes back unchanged.
    window.resize(frame.size());
    window.move(frame.topLeft());
    m_placedTwips = twips;
    m_placedFrame = frame;
}

void WindowPlacement::store(const QWidget& window, ui::Ui& ui) const
{
    if (window.isMinimized())
        return;
    // A window still where it was placed stores the values it was placed from: a
    // round trip through whole pixels would move it by a few twips on every run.
    const std::array<int, 4> pixels = {window.pos().x(), window.pos().y(), window.width(), window.height()};
    const std::array<int, 4> placed = {m_placedFrame.x(), m_placedFrame.y(), m_placedFrame.width(),
                                       m_placedFrame.height()};
    for (std::size_t i = 0; i < placementKeys.size(); ++i) {
        const bool untouched = m_placedFrame.isValid() && pixels[i] == placed[i];
        const double twips = untouched ? m_placedTwips[i] : ui::pixelsToTwips(pixels[i]);
        ui.setSetting(QLatin1String(placementKeys[i].key), twipsText(twips));
    }
}

}  // namespace shell
