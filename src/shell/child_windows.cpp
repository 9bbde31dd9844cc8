#include "shell/child_windows.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>

#include <algorithm>

namespace shell {

QMdiSubWindow* addChild(QMdiArea& area, QWidget* child)
{
    QMdiSubWindow* sub = area.addSubWindow(child);
    // The area cuts a new child down to what it shows, which would cut off the controls
    // of a window designed larger. The child keeps its own size; the area's scroll bars
    // reach the part beyond.
    if (child->sizeHint().isValid())
        sub->resize(sub->sizeHint());
    // File > Close has the close keys; the same keys on the child's own menu would make
    // both ambiguous, and neither would run.
    if (QMenu* systemMenu = sub->systemMenu()) {
        const QList<QKeySequence> closeKeys = QKeySequence::keyBindings(QKeySequence::Close);
        for (QAction* entry : systemMenu->actions()) {
            if (!entry->shortcuts().isEmpty() && entry->shortcuts() == closeKeys)
                entry->setShortcuts({});
        }
    }
    sub->show();
    return sub;
}

void tileChildren(QMdiArea& area, Qt::Orientation strips)
{
    QList<QMdiSubWindow*> windows;
    int iconRowHeight = 0;
    for (QMdiSubWindow* sub : area.subWindowList()) {
        if (sub->isHidden())
            continue;
        if (sub->isMinimized())
            iconRowHeight = std::max(iconRowHeight, sub->height());
        else
            windows.append(sub);
    }
    if (iconRowHeight > 0)
        arrangeIcons(area);
    if (windows.isEmpty())
        return;

    QRect free = area.viewport()->rect();
    free.setHeight(std::max(1, free.height() - iconRowHeight));
    const auto count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* sub = windows.at(i);
        if (sub->isMaximized())
            sub->showNormal();
        if (strips == Qt::Horizontal) {
            const int top = free.top() + free.height() * i / count;
            const int bottom = free.top() + free.height() * (i + 1) / count;
            sub->setGeometry(free.left(), top, free.width(), bottom - top);
        } else {
            const int left = free.left() + free.width() * i / count;
            const int right = free.left() + free.width() * (i + 1) / count;
            sub->setGeometry(left, free.top(), right - left, free.height());
        }
    }
}

void arrangeIcons(QMdiArea& area)
{
    const QRect free = area.viewport()->rect();
    int x = free.left();
    int rowBottom = free.bottom() + 1;
    int rowHeight = 0;
    for (QMdiSubWindow* sub : area.subWindowList()) {
        if (sub->isHidden() || !sub->isMinimized())
            continue;
        const QSize icon = sub->size();
        if (x > free.left() && x + icon.width() > free.right() + 1) {
            x = free.left();
            rowBottom -= rowHeight;
            rowHeight = 0;
        }
        sub->move(x, rowBottom - icon.height());
        x += icon.width();
        rowHeight = std::max(rowHeight, icon.height());
    }
}

void availableWithActiveChild(QMdiArea& area, const QList<QAction*>& commands,
                              const std::function<bool(QWidget* child)>& takes)
{
    const auto update = [&area, commands, takes] {
        // The current sub-window, as the File commands are routed: it stays set while
        // another application has the focus.
        const QMdiSubWindow* sub = area.currentSubWindow();
        const bool available = sub != nullptr && takes(sub->widget());
        for (QAction* command : commands)
            command->setEnabled(available);
    };
    QObject::connect(&area, &QMdiArea::subWindowActivated, &area, update);
    update();
}

void listChildren(QMenu& menu, QAction& listBar, QMdiArea& area)
{
    const QList<QAction*> actions = menu.actions();
    const auto listStart = std::find(actions.cbegin(), actions.cend(), &listBar);
    for (auto it = listStart == actions.cend() ? listStart : listStart + 1; it != actions.cend(); ++it) {
        menu.removeAction(*it);
        delete *it;
    }

    const QMdiSubWindow* current = area.currentSubWindow();
    int number = 0;
    for (QMdiSubWindow* sub : area.subWindowList()) {
        if (sub->isHidden())
            continue;
        ++number;
        QString title = sub->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        // Access keys 1 to 9; later windows are listed without one.
        const QString caption = number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                            : QStringLiteral("%1 %2").arg(number).arg(title);
        QAction* item = menu.addAction(caption);
        item->setCheckable(true);
        item->setChecked(sub == current);
        const QPointer<QMdiSubWindow> target(sub);
        QObject::connect(item, &QAction::triggered, &area, [&area, target] {
            if (target)
                area.setActiveSubWindow(target);
        });
    }
    listBar.setVisible(number > 0);
}

}  // namespace shell
