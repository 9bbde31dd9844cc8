#pragma once

#include <QPoint>
#include <QString>
#include <Qt>

#include <memory>
#include <optional>

class QAction;
class QDialog;
class QDrag;
class QMenu;
class QWidget;

// The one seam between the windows and the toolkit's modal parts: message boxes,
// file dialogs, modal dialogs, pop-up menus, drags and the settings store. Each window
// is handed the one it uses, so tests give theirs a scripted fake.
namespace ui {

enum class Icon { None, Critical, Exclamation, Information, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct FileRequest {
    QString title;
    QString filter;     // "Description|pattern" pairs joined by '|', e.g. "Lamps (*.lmp)|*.lmp"
    QString fileName;   // proposed name (or full path)
    QString directory;  // initial folder; empty for the dialog's own choice
};

class Ui {
public:
    virtual ~Ui() = default;

    virtual Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon,
                           Buttons buttons) = 0;
    // std::nullopt when the user cancels.
    virtual std::optional<QString> openFileName(QWidget* parent, const FileRequest& request) = 0;
    virtual std::optional<QString> saveFileName(QWidget* parent, const FileRequest& request) = 0;
    // Shows the dialog modally; returns QDialog::Accepted or QDialog::Rejected.
    virtual int execDialog(QDialog& dialog) = 0;
    // Shows a pop-up menu at a global position; the chosen action or nullptr when dismissed.
    virtual QAction* execMenu(QMenu& menu, const QPoint& globalPos) = 0;
    // Runs a drag to its end.
    virtual Qt::DropAction execDrag(QDrag& drag, Qt::DropActions actions) = 0;

    // Per-user settings: application "Rigsmith", section "Settings", values as text.
    virtual QString setting(const QString& key, const QString& defaultValue) = 0;
    virtual void setSetting(const QString& key, const QString& value) = 0;
};

// The implementation over the toolkit's own dialogs and the per-user settings store.
[[nodiscard]] std::unique_ptr<Ui> createQtUi();

// "Description|pattern|…" to a Qt name filter list ("Description (pattern);;…").
QString toQtFilter(const QString& filter);

}  // namespace ui
