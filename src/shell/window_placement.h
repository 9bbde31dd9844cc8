#pragma once

#include <QRect>

#include <array>

class QWidget;

namespace ui {
class Ui;
}

namespace shell {

// The main window's position and size between runs: "MainLeft", "MainTop", "MainWidth"
// and "MainHeight" in the settings store, in twips.
class WindowPlacement {
public:
    // Placement used when the settings store has none (or an unusable one), in twips.
    static constexpr int defaultLeft = 1000;
    static constexpr int defaultTop = 1000;
    static constexpr int defaultWidth = 6500;
    static constexpr int defaultHeight = 6500;

    // Places `window` as stored; one unusable value puts it wholly at the defaults.
    void restore(QWidget& window, ui::Ui& ui);
    // Stores where `window` is now; a minimised window leaves the stored values alone.
    void store(const QWidget& window, ui::Ui& ui) const;

private:
    // The placement restore applied: the stored twips and the pixels they became.
    std::array<double, 4> m_placedTwips{};
    QRect m_placedFrame;
};

}  // namespace shell
