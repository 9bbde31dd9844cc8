#include "shell/menu_commands.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace shell {

QList<QKeySequence> standardKeys(QKeySequence::StandardKey key, const QKeySequence& fallback)
{
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (keys.isEmpty() && !fallback.isEmpty())
        keys << fallback;
    return keys;
}

QMenu* addMenu(QMenuBar& bar, const char* name, const QString& title)
{
    QMenu* menu = bar.addMenu(title);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

QMenu* addSubmenu(QMenu& menu, const char* name, const QString& title)
{
    QMenu* submenu = menu.addMenu(title);
    submenu->setObjectName(QLatin1String(name));
    submenu->menuAction()->setObjectName(QLatin1String(name));
    return submenu;
}

QAction* addSeparator(QMenu& menu, const char* name)
{
    QAction* bar = menu.addSeparator();
    bar->setObjectName(QLatin1String(name));
    return bar;
}

QAction* addCommand(QMenu& menu, const char* name, const QString& caption, const QList<QKeySequence>& keys)
{
    QAction* action = menu.addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    return action;
}

QAction* addUnavailable(QMenu& menu, const char* name, const QString& caption, const QList<QKeySequence>& keys)
{
    QAction* action = addCommand(menu, name, caption, keys);
    // A disabled action runs neither from the menu nor through its shortcut.
    action->setEnabled(false);
    return action;
}

QAction* addKeyCommand(QWidget& window, const char* name, const QList<QKeySequence>& keys)
{
    auto* action = new QAction(&window);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    window.addAction(action);
    return action;
}

QToolBar* addToolbar(QMainWindow& window, const char* name, const QString& title)
{
    QToolBar* toolbar = window.addToolBar(title);
    toolbar->setObjectName(QLatin1String(name));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setIconSize(QSize(16, 16));
    toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return toolbar;
}

QToolButton* addButton(QToolBar& toolbar, QAction& command, const QString& key, const QString& tip,
                       ToolbarPicture picture)
{
    command.setIcon(toolbarIcon(picture));
    command.setIconVisibleInMenu(false);
    auto* button = new QToolButton(&toolbar);
    button->setObjectName(QStringLiteral("tbToolBar") + key);
    button->setIcon(command.icon());
    button->setIconSize(toolbar.iconSize());
    button->setToolTip(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setEnabled(command.isEnabled());
    QObject::connect(&command, &QAction::changed, button,
                     [button, &command] { button->setEnabled(command.isEnabled()); });
    toolbar.addWidget(button);
    return button;
}

}  // namespace shell
