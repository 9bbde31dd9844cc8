#include "windows/lamp_window_layout.h"

#include "ui/twips.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>

namespace lamp_layout {

namespace {

int px(double twips) { return ui::twipsToPixels(twips); }

// Room kept between neighbours when a larger font pushes controls apart.
constexpr int gap = 60;
constexpr int margin = 240;
// The wheel rows' spacing: list under name box, line above the names, grid above the
// line, and the room beside each box in a row.
constexpr int listBelowName = 225;
constexpr int lineAboveNames = 200;
constexpr int gridAboveLine = 260;
constexpr int besideWheelBox = wheelPitch - txtWheel.width;

int tallestWheelRowBox(const Controls& c)
{
    int height = c.Command1->height();
    for (const QLineEdit* box : c.txtWheel)
        height = std::max(height, box->height());
    return height;
}

// A control keeps its design width unless its text needs more; a text box keeps its
// width (it scrolls) and only grows in height.
void fit(QWidget* control, int left, int top, const Box& box)
{
    const QSize hint = control->sizeHint();
    const bool textBox = qobject_cast<QLineEdit*>(control) != nullptr;
    control->setGeometry(left, top, textBox ? px(box.width) : std::max(px(box.width), hint.width()),
                         std::max(px(box.height), hint.height()));
}

}  // namespace

void place(QWidget* control, const Box& box, int shift)
{
    control->setGeometry(px(box.left + shift), px(box.top), px(box.width), px(box.height));
}

void placeLine(QFrame* line, int top) { line->setGeometry(0, px(top), px(lineLength), 2); }

int fitToFont(const Controls& c)
{
    // Top row, left to right.
    struct Placed {
        QWidget* control;
        const Box& box;
    };
    int right = 0;
    int bottom = 0;
    for (const Placed& p : {Placed{c.txtLampName, txtLampName}, Placed{c.Label1, Label1},
                            Placed{c.txtNoChannels, txtNoChannels}, Placed{c.Label5, Label5},
                            Placed{c.cmbIcon, cmbIcon}}) {
        fit(p.control, std::max(px(p.box.left), right + px(gap)), px(p.box.top), p.box);
        right = p.control->geometry().right() + 1;
        bottom = std::max(bottom, p.control->geometry().bottom() + 1);
    }
    const int lineTop = std::max(px(Line2Top), bottom + px(gap));
    c.Line2->setGeometry(0, lineTop, std::max(px(lineLength), right + px(margin)), 2);

    // The channel grid: each column as wide as its heading and its widest text, never
    // under its design width, and the grid as wide as its columns, so that all three
    // show whole without a horizontal scroll bar.
    QTableView* grid = c.grdChannels;
    int columns = 0;
    for (int column = 0; column < static_cast<int>(columnWidths.size()); ++column) {
        const int width = std::max({px(columnWidths[static_cast<std::size_t>(column)]),
                                    grid->horizontalHeader()->sectionSizeHint(column),
                                    static_cast<QAbstractItemView*>(grid)->sizeHintForColumn(column)});
        grid->setColumnWidth(column, width);
        columns += width;
    }
    const int gridWidth = 2 * grid->frameWidth() + grid->verticalHeader()->sizeHint().width() + columns +
                          grid->verticalScrollBar()->sizeHint().width();
    const int gridTop = std::max(px(grdChannels.top), lineTop + px(grdChannels.top - Line2Top));
    grid->setGeometry(px(grdChannels.left), gridTop, std::max(px(grdChannels.width), gridWidth), grid->height());

    // The help texts and Verify beside the grid, one under the other.
    const int column = std::max(px(Label2.left), grid->geometry().right() + 1 + px(margin));
    int top = gridTop;
    for (const Placed& p : {Placed{c.Label2, Label2}, Placed{c.Label3, Label3}, Placed{c.Label4, Label4}}) {
        auto* label = static_cast<QLabel*>(p.control);
        const int width = px(p.box.width);
        top = std::max(px(p.box.top), top);
        label->setGeometry(column, top, width, std::max(px(p.box.height), label->heightForWidth(width)));
        top = label->geometry().bottom() + 1 + px(gap);
    }
    fit(c.btnVerify, column, std::max(px(btnVerify.top), top), btnVerify);

    // The wheel rows keep their widths; Next Function and the page label as wide as their text.
    for (const Placed& p : {Placed{c.Command1, Command1}, Placed{c.lblPage, lblPage}})
        p.control->resize(std::max(px(p.box.width), p.control->sizeHint().width()),
                          std::max(px(p.box.height), p.control->sizeHint().height()));
    for (std::size_t i = 0; i < c.txtWheel.size(); ++i) {
        c.txtWheel[i]->resize(px(txtWheel.width), std::max(px(txtWheel.height), c.txtWheel[i]->sizeHint().height()));
        c.cmbWheel[i]->resize(px(cmbWheel.width), std::max(px(cmbWheel.height), c.cmbWheel[i]->sizeHint().height()));
    }

    // Line1 stands its distance above the window's foot, higher when the wheel rows are
    // taller (as followFoot places them); Verify must end above it.
    const int footToLine =
        std::max(px(Line1AboveFoot), px(wheelListsAboveFoot + listBelowName + lineAboveNames) + tallestWheelRowBox(c));
    return std::max(px(minimumHeight), c.btnVerify->geometry().bottom() + 1 + footToLine);
}

void followFoot(const Controls& c, double H)
{
    // The wheel rows stand at their design distance from the foot; taller text pushes
    // the upper row, the line and the grid's foot up.
    const int listTop = px(H - wheelListsAboveFoot);
    const int nameTop = std::min(px(H - wheelNamesAboveFoot), listTop - px(listBelowName) - tallestWheelRowBox(c));
    int left = 0;
    for (std::size_t i = 0; i < c.txtWheel.size(); ++i) {
        const int x = std::max(px(txtWheel.left + wheelPitch * static_cast<int>(i)), left);
        c.txtWheel[i]->move(x, nameTop);
        c.cmbWheel[i]->move(x, listTop);
        left = x + std::max(c.txtWheel[i]->width(), c.cmbWheel[i]->width()) + px(besideWheelBox);
    }
    c.Command1->move(std::max(px(pageLeft), left), nameTop);
    c.lblPage->move(std::max(px(pageLeft), left), listTop);
    c.Line1->move(c.Line1->x(), std::min(px(H - Line1AboveFoot), nameTop - px(lineAboveNames)));
    c.grdChannels->resize(c.grdChannels->width(),
                          std::min(px(H - gridAboveFoot), c.Line1->y() - px(gridAboveLine) - c.grdChannels->y()));
}

}  // namespace lamp_layout
