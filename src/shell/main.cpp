#include "core/function_names.h"
#include "core/app_state.h"
#include "shell/command_line.h"
#include "shell/frmMain.h"
#include "shell/frmSplash.h"
#include "shell/product_picture.h"
#include "shell/translations.h"
#include "qtcore/file_names.h"
#include "ui/ui.h"

#include <QApplication>
#include <QDir>

#include <iostream>
#include <memory>

namespace {

// The executable's folder, without a trailing separator.
std::string applicationFolder()
{
    QString path = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    while (path.endsWith(QDir::separator()))
        path.chop(1);
    return rig::toPath(path);
}

// The start-up sequence: splash, program folder, main window, name tables, patch
// counter, then the main window loads its placement and shows itself.
frmMain* Main(rig::AppState& state, ui::Ui& ui)
{
    {
        frmSplash splash;
        splash.showAndWait();
    }

    state.AppPath = applicationFolder();

    // Deleted when it closes, taking its owned windows (toolbox, dialogs) with it.
    auto* mainWindow = new frmMain(state, ui);
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
    // --help and --version need no display: answered before the toolkit starts.
    if (const std::optional<shell::InformationAnswer> answer = shell::informationAnswer(argc, argv)) {
        std::cout << answer->text << std::flush;
        return answer->status;
    }

    QApplication app(argc, argv);
    // The toolkit has taken its own options out of argv; the rest are files, given as
    // the system's bytes.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << rig::fromPath(QByteArray(argv[i]));
    const shell::FileArguments files = shell::fileArguments(arguments, QDir::currentPath());
    if (!files.error.isEmpty()) {
        std::cerr << files.error.toLocal8Bit().constData() << "\n\n" << shell::usageText() << std::flush;
        return 2;
    }

    // No display name: the platform would append it to every window title, and the
    // titles are the program's own texts, exactly as they stand.
    QApplication::setApplicationName(QStringLiteral("Rigsmith"));
    QApplication::setWindowIcon(shell::productIcon());
    shell::installTranslations(QLocale(), shell::translationFolders(QCoreApplication::applicationDirPath()));

    // Both outlive every window: the main window hands them to the windows it opens.
    const std::unique_ptr<ui::Ui> qtUi = ui::createQtUi();
    rig::AppState state;
    frmMain* mainWindow = Main(state, *qtUi);
    // Files from the command line (a file manager's "Open With") open once the main
    // window is up and running, each as File > Open opens it.
    if (!files.files.isEmpty()) {
        QMetaObject::invokeMethod(
            mainWindow, [mainWindow, names = files.files] { mainWindow->openFiles(names); }, Qt::QueuedConnection);
    }

    // The run ends with the main window, also while some other top-level window is
    // still around.
    QObject::connect(mainWindow, &QObject::destroyed, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
