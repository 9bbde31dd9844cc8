#include "shell/frmSplash.h"

#include "shell/product_picture.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

frmSplash::frmSplash(int intervalMs, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(tr("Rigsmith"));
    setWindowModality(Qt::ApplicationModal);
    // Its closing is not the end of the program.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_picture1 = new QLabel(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setPixmap(shell::productPicture(devicePixelRatioF()));
    m_picture1->setFixedSize(shell::productPictureSize);
    m_picture1->move(0, 0);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setSingleShot(true);
    m_timer1->setTimerType(Qt::PreciseTimer);  // never shorter than its interval
    m_timer1->setInterval(intervalMs);
    connect(m_timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
}

void frmSplash::Form_Load()
{
    setFixedSize(m_picture1->size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    m_timer1->start();
}

void frmSplash::showAndWait()
{
    // A local event loop holds up the start-up sequence until the timer has closed the window.
    bool done = false;
    connect(this, &frmSplash::closed, this, [&done] { done = true; });
    Form_Load();
    show();
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void frmSplash::Timer1_Timer()
{
    m_timerDone = true;
    close();
}

void frmSplash::closeEvent(QCloseEvent* event)
{
    // Only the timer ends the splash; a close request from outside waits for it.
    if (!m_timerDone) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

void frmSplash::keyPressEvent(QKeyEvent* event) { event->accept(); }

void frmSplash::mousePressEvent(QMouseEvent* event) { event->accept(); }
