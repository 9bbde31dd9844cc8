#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace ui {
class Ui;
}

// How the File commands report a failure: one "Error" message box, worded by what the
// command was doing.
namespace shell {

enum class Doing {
    Opening,  // "Error53" CR LF "File not found": New Lamp and Open
    Closing,  // "Error 70 when closing file:" CR LF description
    Saving,   // "Error 70 when saving file:" CR LF description
};

// Runs `command`; whatever it throws is reported in the message box for `doing`.
// False when it failed.
bool runReported(ui::Ui& ui, QWidget* parent, Doing doing, const std::function<void()>& command);

// The "Error" message box with a critical icon and an OK button.
void showError(ui::Ui& ui, QWidget* parent, const QString& text);

}  // namespace shell
