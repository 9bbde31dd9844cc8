#pragma once

#include <QObject>

#include <array>

class LampModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The lamp window's wheel area and icon list. Four name boxes and four function lists
// show the wheel slots of one page (slot 4 x page + i in box i; eight pages reach slots
// 0 to 31); Next Function turns the page. Each list offers "None" and the function of
// every channel in use that is not wheel-exempt. What the user changes lands in the
// model; what the model announces shows here.
class LampWheels final : public QObject {
    Q_OBJECT

public:
    // Creates the controls on `window`, at their design places.
    LampWheels(QWidget& window, LampModel& model);

    // The window has a new lamp: page 1, the lists built from its channels, its icon shown.
    void load();
    // Takes over a function picked in a list or the icon list that still has the focus.
    void commitPending();

    [[nodiscard]] const std::array<QLineEdit*, 4>& txtWheel() const noexcept { return m_txtWheel; }
    [[nodiscard]] const std::array<QComboBox*, 4>& cmbWheel() const noexcept { return m_cmbWheel; }
    [[nodiscard]] QPushButton* Command1() const noexcept { return m_Command1; }
    [[nodiscard]] QLabel* lblPage() const noexcept { return m_lblPage; }
    [[nodiscard]] QComboBox* cmbIcon() const noexcept { return m_cmbIcon; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadWheelFnNames();
    void refreshWheels();
    // Box i and list i show their slot. Unless `always`, each only when it does not show
    // it already: a box being typed in keeps its caret, a list the entry the user picked.
    void showWheel(int index, bool always);
    void refreshIcon();
    void Command1_Click();
    void cmbWheel_LostFocus(int index);
    void txtWheel_Change(int index);
    void txtWheel_Click(int index);
    void cmbIcon_LostFocus();
    void model_wheelChanged(int slot);
    [[nodiscard]] int wheelSlot(int index) const noexcept { return 4 * m_wheelPage + index; }

    LampModel& m_model;
    int m_wheelPage = 0;
    // Set while the boxes are filled from the lamp: those writes are no user edits.
    bool m_refreshing = false;

    std::array<QLineEdit*, 4> m_txtWheel{};
    std::array<QComboBox*, 4> m_cmbWheel{};
    QPushButton* m_Command1 = nullptr;
    QLabel* m_lblPage = nullptr;
    QComboBox* m_cmbIcon = nullptr;
};
