#include "bench_support.h"
#include "fake_ui.h"

#include "core/function_names.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

QtMessageHandler g_defaultHandler = nullptr;

// The headless platform says on every shown window that it ignores size hints and
// raising; hundreds of those lines would bury the figures.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support")))
        return;
    g_defaultHandler(type, context, text);
}

FakeUi* g_benchUi = nullptr;

}  // namespace

FakeUi& bench::benchUi() { return *g_benchUi; }

// The window timings need a running application (headless unless told otherwise),
// the name tables the windows list from, and the in-memory ui seam.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    g_defaultHandler = qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    rig::initFunctionNames();
    rig::initPaletteTypeNames();
    FakeUi memory;
    memory.dragsExpected = false;
    g_benchUi = &memory;

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return memory.unexpected.empty() && memory.messages.empty() ? 0 : 2;
}
