#pragma once

#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QWidget;

// Where the lamp window's controls stand, in twips (1440 an inch): their design places,
// and the rules by which the lower part follows the window's foot. Creating the
// controls, fitting them to the font and laying them out after a size change all read
// this one table.
namespace lamp_layout {

struct Box {
    int left, top, width, height;
};

inline constexpr Box txtLampName{240, 120, 3975, 495};
inline constexpr Box Label1{4320, 120, 2130, 300};
inline constexpr Box txtNoChannels{6600, 75, 615, 525};
inline constexpr Box Label5{7320, 120, 465, 300};
inline constexpr Box cmbIcon{7920, 60, 1335, 420};
inline constexpr Box grdChannels{240, 840, 5175, 4575};
inline constexpr std::array<int, 3> columnWidths{2100, 1400, 600};
inline constexpr Box Label2{6240, 840, 2775, 615};
inline constexpr Box Label3{6240, 1680, 2895, 615};
inline constexpr Box Label4{6240, 2400, 3015, 615};
inline constexpr Box btnVerify{6240, 3240, 1335, 375};
// The first wheel box of each row; box i stands wheelPitch * i further right.
inline constexpr Box txtWheel{240, 5640, 1455, 375};
inline constexpr Box cmbWheel{240, 6240, 1455, 315};
inline constexpr int wheelPitch = 1800;
inline constexpr Box Command1{7800, 5640, 1455, 375};
inline constexpr Box lblPage{7800, 6240, 1455, 255};
// The two separators run from the left edge at these heights.
inline constexpr int lineLength = 9240;
inline constexpr int Line2Top = 720;
inline constexpr int Line1Top = 5520;

// The outer size of a new window, and the least outer height.
inline constexpr int initialWidth = 9480;
inline constexpr int initialHeight = 7140;
inline constexpr int minimumHeight = 5400;

// With outer height H: the wheel names at top H - 1500 and the wheel lists at H - 900,
// Next Function and the page label beside them at left 7440, Line1 at H - 1700, and the
// channel grid H - 2800 high.
inline constexpr int wheelNamesAboveFoot = 1500;
inline constexpr int wheelListsAboveFoot = 900;
inline constexpr int pageLeft = 7440;
inline constexpr int Line1AboveFoot = 1700;
inline constexpr int gridAboveFoot = 2800;

// The window's controls, for laying them out.
struct Controls {
    QLineEdit* txtLampName = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtNoChannels = nullptr;
    QLabel* Label5 = nullptr;
    QComboBox* cmbIcon = nullptr;
    QFrame* Line2 = nullptr;
    QTableView* grdChannels = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* btnVerify = nullptr;
    QFrame* Line1 = nullptr;
    std::array<QLineEdit*, 4> txtWheel{};
    std::array<QComboBox*, 4> cmbWheel{};
    QPushButton* Command1 = nullptr;
    QLabel* lblPage = nullptr;
};

// Puts `control` at its design place; `shift` moves it that many twips to the right.
void place(QWidget* control, const Box& box, int shift = 0);
// A separator line from the left edge at `top` twips.
void placeLine(QFrame* line, int top);

// Moves and widens the controls from their design places only as far as the text of the
// current font and scale needs; the channel grid's columns show whole. Returns the least
// outer height in pixels that shows every control: the design's unless the font needs more.
[[nodiscard]] int fitToFont(const Controls& controls);

// Lays out the lower part for outer height `H` (twips, at least the least height): the
// wheel rows at their distance from the foot, pushed up when taller text needs it, then
// Line1 above them and the grid's foot above that.
void followFoot(const Controls& controls, double H);

}  // namespace lamp_layout
