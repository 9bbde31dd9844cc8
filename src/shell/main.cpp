#include "lamp/function_names.h"
#include "shell/app_state.h"
#include "shell/frmMain.h"
#include "shell/frmSplash.h"
#include "shell/product_picture.h"

#include <QApplication>
#include <QDir>
#include <QFile>

namespace {

// The executable's folder, without a trailing separator.
std::string applicationFolder()
{
    QString path = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    while (path.endsWith(QDir::separator()))
        path.chop(1);
    return QFile::encodeName(path).toStdString();
}

// The start-up sequence: splash, program folder, main window, name tables, patch
// counter, then the main window loads its placement and shows itself.
frmMain* Main(rig::AppState& state)
{
    {
        frmSplash splash;
        splash.showAndWait();
    }

    state.AppPath = applicationFolder();

    // Deleted when it closes, taking its owned windows (toolbox, dialogs) with it.
    auto* mainWindow = new frmMain(state);
    mainWindow->setAttribute(Qt::WA_DeleteOnClose);

    rig::initFunctionNames();
    rig::initPaletteTypeNames();

    state.patch.nNextDMX = 25;

    mainWindow->MDIForm_Load();
    mainWindow->show();
    return mainWindow;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rigsmith"));
    QApplication::setApplicationDisplayName(QStringLiteral("Rigsmith"));
    QApplication::setWindowIcon(shell::productIcon());

    rig::AppState state;
    frmMain* mainWindow = Main(state);

    // The run ends with the main window, also while some other top-level window is
    // still around.
    QObject::connect(mainWindow, &QObject::destroyed, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
