#pragma once

#include "shell/product_picture.h"

#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;
class QToolButton;
class QWidget;

// The pieces the main window's menus and toolbar are made of. Each command is one
// action: its menu item, its keys and its toolbar button are that one object, so they
// can never disagree about what runs or whether it can be chosen. Every piece carries
// an object name, by which the window tests find it.
namespace shell {

// The desktop's standard keys for `key`; `fallback` where the desktop has none.
[[nodiscard]] QList<QKeySequence> standardKeys(QKeySequence::StandardKey key, const QKeySequence& fallback = {});

// A menu of the menu bar; the menu and its title item both carry `name`.
QMenu* addMenu(QMenuBar& bar, const char* name, const QString& title);
QMenu* addSubmenu(QMenu& menu, const char* name, const QString& title);
QAction* addSeparator(QMenu& menu, const char* name);

// A command's action, appended to `menu`; the caller connects what it runs.
QAction* addCommand(QMenu& menu, const char* name, const QString& caption, const QList<QKeySequence>& keys = {});
// An item that cannot be chosen: shown greyed, and its keys do nothing.
QAction* addUnavailable(QMenu& menu, const char* name, const QString& caption,
                        const QList<QKeySequence>& keys = {});
// An action reached by its keys alone, in no menu.
QAction* addKeyCommand(QWidget& window, const char* name, const QList<QKeySequence>& keys);

// The fixed toolbar of `window`: small pictures only, not movable, no floating.
QToolBar* addToolbar(QMainWindow& window, const char* name, const QString& title);
// A button for `command` on the toolbar, named `"tbToolBar" + key`, showing `picture`
// and `tip` for its tooltip. It follows the command, greyed whenever the command
// cannot be chosen; the window connects its click to the command of its key. The
// menus keep showing the command without the picture.
QToolButton* addButton(QToolBar& toolbar, QAction& command, const QString& key, const QString& tip,
                       ToolbarPicture picture);

}  // namespace shell
