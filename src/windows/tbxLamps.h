#pragma once

#include "ui/common_dialog.h"

#include <QWidget>

class QTableWidget;

namespace rig {
struct AppState;
struct Lamp;
}

// The lamp toolbox: one button per lamp type slot of the stage patch. A right
// press loads a lamp file into the slot; a left press on a filled slot starts a
// drag that the stage screen takes as a new lamp of that type.
class tbxLamps final : public QWidget {
    Q_OBJECT

public:
    // The MIME type of a drag from the toolbox; its data is the slot number as text.
    static const QString mimeType;
    // Width of the one column of lamp buttons.
    static constexpr double columnTwips = 1400;

    // Owned by `owner` (the main window), but a tool window of its own rather than a
    // child; it is first placed against the owner's right edge.
    tbxLamps(rig::AppState& state, ui::Ui& ui, QWidget& owner);

    void refreshTools();

    [[nodiscard]] QTableWidget* grdLampTool() const noexcept { return m_grdLampTool; }

signals:
    // A slot of the lamp table now holds a different lamp; `previous` is what it held.
    void lampAssigned(int slot, const rig::Lamp& previous);
    // Text for the main window's status bar: the slot under the pointer.
    void statusText(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Lets the user pick a lamp file and loads it into `slot` of the lamp table.
    void assignLamp(int slot);
    void Form_Load();
    void grdLampTool_MouseDown(Qt::MouseButton button, int slot);
    void grdLampTool_MouseMove(int slot);
    [[nodiscard]] int slotAt(const QPoint& viewportPos) const;

    rig::AppState& m_state;
    ui::Ui& m_ui;
    // The toolbox's own file dialog, apart from the main window's.
    CommonDialog m_dlgCommonDialog;
    QTableWidget* m_grdLampTool = nullptr;
    bool m_placed = false;
};
