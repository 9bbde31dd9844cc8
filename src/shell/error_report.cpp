#include "shell/error_report.h"

#include "base/rig_error.h"
#include "ui/ui.h"

#include <QCoreApplication>

#include <exception>
#include <new>

// The texts are the main window's and keep its translation context.
namespace shell {
namespace {

struct Failure {
    int number = 0;
    QString description;
};

// Call inside a catch block: turns whatever was thrown into a number and a description.
Failure currentFailure()
{
    try {
        throw;
    } catch (const rig::RigError& e) {
        return {e.number(), QString::fromStdString(e.description())};
    } catch (const std::bad_alloc&) {
        return {7, QCoreApplication::translate("frmMain", "Out of memory")};
    } catch (const std::exception& e) {
        return {51, QString::fromLocal8Bit(e.what())};
    } catch (...) {
        return {51, QCoreApplication::translate("frmMain", "Internal error")};
    }
}

QString failureText(Doing doing, const Failure& failure)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString number = QString::number(failure.number);
    switch (doing) {
    case Doing::Opening:
        return QCoreApplication::translate("frmMain", "Error") + number + crlf + failure.description;
    case Doing::Closing:
        return QCoreApplication::translate("frmMain", "Error ") + number +
               QCoreApplication::translate("frmMain", " when closing file:") + crlf + failure.description;
    case Doing::Saving:
        return QCoreApplication::translate("frmMain", "Error ") + number +
               QCoreApplication::translate("frmMain", " when saving file:") + crlf + failure.description;
    }
    return failure.description;
}

}  // namespace

bool runReported(ui::Ui& ui, QWidget* parent, Doing doing, const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (...) {
        showError(ui, parent, failureText(doing, currentFailure()));
        return false;
    }
}

void showError(ui::Ui& ui, QWidget* parent, const QString& text)
{
    ui.message(parent, text, QCoreApplication::translate("frmMain", "Error"), ui::Icon::Critical, ui::Buttons::Ok);
}

}  // namespace shell
