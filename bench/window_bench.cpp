// The windows, timed with a clock around the measured steps only: building the
// fixtures and tearing the windows down afterwards are left out. Besides the wall
// time each benchmark reports cpu_ms, the processor time of the measured steps on
// this thread, which other processes competing for the machine do not inflate.
#include "bench_support.h"
#include "fake_ui.h"

#include "windows/frmDocument.h"
#include "core/lamp.h"
#include "windows/frmStageScreen.h"
#include "core/app_state.h"
#include "shell/frmMain.h"
#include "ui/twips.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <ctime>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

double threadCpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Wall and processor time since construction.
class Stopwatch final {
public:
    [[nodiscard]] double wall() const { return std::chrono::duration<double>(Clock::now() - m_wall).count(); }
    [[nodiscard]] double cpu() const { return threadCpuSeconds() - m_cpu; }

private:
    Clock::time_point m_wall = Clock::now();
    double m_cpu = threadCpuSeconds();
};

// Sums the measured steps of every iteration and reports them per iteration.
class Totals final {
public:
    void add(const Stopwatch& watch, benchmark::State& state)
    {
        const double wall = watch.wall();
        m_cpu += watch.cpu();
        state.SetIterationTime(wall);
    }
    void report(benchmark::State& state) const
    {
        state.counters["cpu_ms"] = benchmark::Counter(m_cpu * 1e3, benchmark::Counter::kAvgIterations);
    }

private:
    double m_cpu = 0;
};

// Runs what a shown window has queued (layout, expose, the first paint) and the
// deletions of windows torn down.
void settle()
{
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Marks the run as failed when a modal thing was asked for: the timing would be of
// the wrong thing.
void checkNoModal(benchmark::State& state)
{
    const FakeUi& fake = bench::benchUi();
    if (!fake.messages.empty())
        state.SkipWithError(("unexpected message: " + fake.messages.back().text.toStdString()).c_str());
    else if (!fake.unexpected.empty())
        state.SkipWithError(("unexpected " + fake.unexpected.back().toStdString()).c_str());
}

// ---- stage screen ------------------------------------------------------------------

// A main window showing the stage screen with a patch of 100 placed lamps.
struct StageFixture {
    rig::AppState app;
    std::unique_ptr<frmMain> main;
    frmStageScreen* screen = nullptr;

    explicit StageFixture(bool conflicting)
    {
        app.patch = bench::busyPatch(100, conflicting);
        main = std::make_unique<frmMain>(app, bench::benchUi());
        main->MDIForm_Load();
        main->resize(1000, 800);
        main->show();
        screen = main->stageScreen(true);
        main->addDocument(screen);
        screen->show();
        settle();
    }
};

void BM_StageScreen_refreshScreen(benchmark::State& state)
{
    StageFixture fixture(state.range(0) != 0);
    frmStageScreen& screen = *fixture.screen;
    screen.refreshScreen();
    Totals totals;
    for (auto _ : state) {
        const Stopwatch watch;
        screen.refreshScreen();
        totals.add(watch, state);
    }
    totals.report(state);
    // The last lamp placed must be on the screen, or the timing was of an empty grid.
    const rig::PatchEntry& last = fixture.app.patch.patchEntries[99];
    if (screen.textMatrix(last.ScreenRow + 1, last.ScreenCol + 1).isEmpty())
        state.SkipWithError("the lamps did not reach the grid");
    checkNoModal(state);
}
BENCHMARK(BM_StageScreen_refreshScreen)
    ->ArgName("conflicting")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// The refresh followed by the grid's repaint, which is what the user waits for.
void BM_StageScreen_refreshScreen_repaint(benchmark::State& state)
{
    StageFixture fixture(false);
    frmStageScreen& screen = *fixture.screen;
    QWidget* viewport = screen.grdStageScreen()->viewport();
    Totals totals;
    for (auto _ : state) {
        const Stopwatch watch;
        screen.refreshScreen();
        viewport->repaint();
        totals.add(watch, state);
    }
    totals.report(state);
    checkNoModal(state);
}
BENCHMARK(BM_StageScreen_refreshScreen_repaint)->UseManualTime()->Unit(benchmark::kMicrosecond);

// ---- lamp window -------------------------------------------------------------------

// As the Open command does it: construct, read the file, put the window into the
// client area, and let it paint for the first time.
void BM_LampWindow_open(benchmark::State& state)
{
    const std::string path = bench::scratchPath("bench.lmp");
    rig::writeLampFile(path, bench::fullLamp(5));
    const QString fileName = QString::fromStdString(path);
    const QString fileTitle = QStringLiteral("bench.lmp");

    rig::AppState app;
    frmMain main(app, bench::benchUi());
    main.MDIForm_Load();
    main.show();
    settle();

    const auto open = [&]() {
        auto* document = new frmDocument(app.lmpImport, bench::benchUi(), main.dlgCommonDialog());
        document->File_Open(fileName, fileTitle);
        QMdiSubWindow* sub = main.addDocument(document);
        QApplication::processEvents();
        return sub;
    };
    // One untimed round first: the style, fonts and icons are loaded once per run.
    delete open();
    settle();

    Totals totals;
    for (auto _ : state) {
        const Stopwatch watch;
        QMdiSubWindow* sub = open();
        totals.add(watch, state);
        delete sub;
        settle();
    }
    totals.report(state);
    checkNoModal(state);
}
BENCHMARK(BM_LampWindow_open)->UseManualTime()->Unit(benchmark::kMillisecond);

// ---- main window -------------------------------------------------------------------

QSize firstStartSize()
{
    return {ui::twipsToPixels(frmMain::defaultWidth), ui::twipsToPixels(frmMain::defaultHeight)};
}

// Times `build` (which returns the window, not yet shown) up to its first paint.
template <typename Build>
void timeMainWindow(benchmark::State& state, Build build)
{
    const auto round = [&build](Totals* totals, benchmark::State* timedState) {
        const Stopwatch watch;
        auto window = build();
        window->show();
        QApplication::processEvents();
        if (totals)
            totals->add(watch, *timedState);
        window.reset();
        settle();
    };
    round(nullptr, nullptr);
    Totals totals;
    for (auto _ : state)
        round(&totals, &state);
    totals.report(state);
    checkNoModal(state);
}

// A bare main window with an empty client area at frmMain's first-start size: the
// least any main window costs to build and show.
void BM_MainWindow_Plain_QMainWindow(benchmark::State& state)
{
    timeMainWindow(state, [] {
        auto window = std::make_unique<QMainWindow>();
        window->setCentralWidget(new QMdiArea);
        window->resize(firstStartSize());
        return window;
    });
}
BENCHMARK(BM_MainWindow_Plain_QMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

// The bare window with the same furniture as frmMain: its menus with as many items,
// a toolbar of four 16 x 16 buttons and a status bar text. No commands are wired and
// the pictures are plain fills: the least a window like frmMain costs.
void BM_MainWindow_Plain_QMainWindow_bars(benchmark::State& state)
{
    timeMainWindow(state, [] {
        auto window = std::make_unique<QMainWindow>();
        window->setCentralWidget(new QMdiArea);
        for (const int items : std::array<int, 5>{11, 6, 2, 7, 1}) {
            QMenu* menu = window->menuBar()->addMenu(QStringLiteral("&Menu"));
            for (int i = 0; i < items; ++i)
                menu->addAction(QStringLiteral("&Item %1").arg(i));
        }
        QToolBar* toolBar = window->addToolBar(QStringLiteral("Toolbar"));
        toolBar->setIconSize(QSize(16, 16));
        for (int i = 0; i < 4; ++i) {
            QPixmap picture(16, 16);
            picture.fill(QColor(40 * i, 80, 120));
            toolBar->addAction(QIcon(picture), QStringLiteral("Button"));
        }
        window->statusBar()->addWidget(new QLabel(QStringLiteral("Status")), 1);
        window->resize(firstStartSize());
        return window;
    });
}
BENCHMARK(BM_MainWindow_Plain_QMainWindow_bars)->UseManualTime()->Unit(benchmark::kMillisecond);

// frmMain as the start-up builds it: construct, restore the placement, show.
void BM_MainWindow_frmMain(benchmark::State& state)
{
    rig::AppState app;
    timeMainWindow(state, [&app] {
        auto window = std::make_unique<frmMain>(app, bench::benchUi());
        window->MDIForm_Load();
        return window;
    });
}
BENCHMARK(BM_MainWindow_frmMain)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
