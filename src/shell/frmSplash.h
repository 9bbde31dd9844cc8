#pragma once

#include <QWidget>

class QCloseEvent;
class QKeyEvent;
class QLabel;
class QMouseEvent;
class QTimer;

// The start-up picture. It stays for its whole interval whatever the user does and
// then closes itself; start-up waits for it.
class frmSplash final : public QWidget {
    Q_OBJECT

public:
    static constexpr int defaultIntervalMs = 3000;

    explicit frmSplash(int intervalMs = defaultIntervalMs, QWidget* parent = nullptr);

    // Fits the window to its picture, centres it on the screen and starts the timer.
    void Form_Load();
    // Loads, shows and returns once the timer has closed the window.
    void showAndWait();

    [[nodiscard]] QLabel* Picture1() const noexcept { return m_picture1; }
    [[nodiscard]] QTimer* Timer1() const noexcept { return m_timer1; }

signals:
    void closed();

private slots:
    void Timer1_Timer();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QLabel* m_picture1 = nullptr;
    QTimer* m_timer1 = nullptr;
    bool m_timerDone = false;
};
