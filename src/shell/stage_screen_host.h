#pragma once

#include <QObject>

class CommonDialog;
class QMdiArea;
class QWidget;
class frmStageScreen;
class tbxLamps;

namespace rig {
struct AppState;
}

namespace ui {
class Ui;
}

namespace shell {

// The one stage screen of a run, with its lamp toolbox, in the main window's client
// area. Made on first use and kept to the end: closing the screen takes its sub-window
// out of the client area, and the next patch opened brings it back.
class StageScreenHost final : public QObject {
    Q_OBJECT

public:
    // `owner` is the main window: it owns the toolbox and the screen.
    StageScreenHost(rig::AppState& state, ui::Ui& ui, CommonDialog& dlgCommonDialog, QWidget& owner,
                    QMdiArea& area);

    // The stage screen; made when there is none and `create` is set, else nullptr.
    frmStageScreen* screen(bool create);
    // Shows the screen in the client area as the active child window. The first showing
    // fills the area but for the column at the right edge where the toolbox stands.
    void show();
    // Shows the screen with an empty patch and no file name, once any unsaved changes
    // may be dropped (the user is asked).
    void newPatch();
    // An import replaced the placed lamps the screen shows.
    void patchEntriesReplaced();

signals:
    void statusText(const QString& text);
    void fileSaved(const QString& fileName);

private:
    void closed();

    rig::AppState& m_state;
    ui::Ui& m_ui;
    CommonDialog& m_dlgCommonDialog;
    QWidget& m_owner;
    QMdiArea& m_area;
    frmStageScreen* m_screen = nullptr;
    tbxLamps* m_toolbox = nullptr;
};

}  // namespace shell
