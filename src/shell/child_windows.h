#pragma once

#include <QList>
#include <Qt>

#include <functional>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QWidget;

// Arranging and listing the child windows of the main window's client area. Hidden
// sub-windows (the stage screen's between showings) are not open and are left alone.
namespace shell {

// Puts `child` into the client area in a sub-window of its own, as large as the child
// asks to be (the area scrolls to a child larger than itself), and shows it.
QMdiSubWindow* addChild(QMdiArea& area, QWidget* child);

// Lays the open, not minimised child windows out in equal strips, side by side for
// Qt::Vertical and one above the other for Qt::Horizontal. Minimised ones keep their
// row along the bottom.
void tileChildren(QMdiArea& area, Qt::Orientation strips);

// Lines the minimised child windows up in rows from the bottom left, a new row above
// when one is full.
void arrangeIcons(QMdiArea& area);

// Keeps `commands` available only while the active child window is one `takes` accepts,
// greyed otherwise (also while no child window is open).
void availableWithActiveChild(QMdiArea& area, const QList<QAction*>& commands,
                              const std::function<bool(QWidget* child)>& takes);

// Rebuilds the list of open child windows that follows `listBar` in `menu`: numbered,
// the active one checked, choosing one activates it. The bar shows only with a list.
void listChildren(QMenu& menu, QAction& listBar, QMdiArea& area);

}  // namespace shell
