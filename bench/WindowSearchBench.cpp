// A long search in the real main window on Qt's offscreen platform, over the generated library
// of 100,000 files: how long it takes from the search button to the sorted list, and the
// longest time the window goes without painting its progress meanwhile (the longest gap
// between two paints of the panel that counts, from the press to the end of the command).
//   bench_WindowSearchBench [--library=<folder>] [--keyword=<text>]
//   bench_WindowSearchBench --memory --library=<folder>   one search of every file, then the
//                                                         resident memory and its peak
#include "CpuRatio.h"
#include "FileOpsBenchSupport.h"
#include "SearchLibraryGenerator.h"
#include "search/SearchCommands.h"
#include "ui/Application.h"
#include "ui/MainActions.h"
#include "ui/MainWindow.h"
#include "ui/SearchPage.h"
#include "ui/StatusPanelsBar.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>

namespace {

QString g_root;
QString g_keyword = bench_support::GeneratedLibrary::EveryNameKeyword;

// Records when the status panel paints.
class PaintClock : public QObject
{
public:
    QElapsedTimer clock;
    std::vector<qint64> paints; // ns since the clock started

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && clock.isValid())
            paints.push_back(clock.nsecsElapsed());
        return QObject::eventFilter(watched, event);
    }
};

struct Window
{
    QTemporaryDir dir;
    core::ConfigFile config{dir.path() + QStringLiteral("/quillet.ini")};
    core::Session session{core::LibraryLayout(g_root, g_root + QStringLiteral("quillet")), config,
                          platform::FileSystem::local(), true};
    ui::MainWindow window{session, std::make_unique<bench_support::YesDialogs>()};
    PaintClock clock;

    Window()
    {
        window.resize(1000, 700);
        window.show();
        window.actions().action(QStringLiteral("stfibtn"))->trigger();
        // The panel that counts while the walk goes on.
        window.statusPanels()->panel(3)->installEventFilter(&clock);
        QCoreApplication::processEvents();
    }
};

std::unique_ptr<Window> g_window;

void LongSearchInTheWindow(benchmark::State& state, search::Mode mode, QString keyword)
{
    Window& w = *g_window;
    std::vector<double> gaps;
    std::vector<double> totals;
    size_t paints = 0;
    int rows = 0;
    for (auto _ : state) {
        w.window.searchPage()->modeBox()->setCurrentIndex(int(mode));
        w.window.searchPage()->keywordBox()->setEditText(keyword);
        w.clock.paints.clear();
        w.clock.clock.start();
        w.window.actions().action(QStringLiteral("findButton"))->trigger();
        const qint64 end = w.clock.clock.nsecsElapsed();
        state.SetIterationTime(double(end) / 1e9);
        qint64 last = 0;
        qint64 gap = 0;
        for (qint64 at : w.clock.paints) {
            gap = std::max(gap, at - last);
            last = at;
        }
        gap = std::max(gap, end - last);
        gaps.push_back(double(gap) / 1e6);
        totals.push_back(double(end) / 1e6);
        paints = w.clock.paints.size();
        rows = w.window.workspace().searchList().count();
        w.clock.clock.invalidate();
        QCoreApplication::processEvents();
    }
    std::sort(gaps.begin(), gaps.end());
    std::sort(totals.begin(), totals.end());
    state.counters["rows"] = rows;
    state.counters["paints"] = double(paints);
    state.counters["median_ms"] = totals[totals.size() / 2];
    state.counters["longest_gap_median_ms"] = gaps[gaps.size() / 2];
    state.counters["longest_gap_worst_ms"] = gaps.back();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    bench_support::useTemporaryConfigHome();
    ui::Application app(argc, argv);
    QTemporaryDir generated;
    g_root = platform::withTrailingSlash(bench_support::argument(argc, argv, "--library="));
    if (g_root.isEmpty()) {
        g_root = generated.path() + QStringLiteral("/library/");
        bench_support::generateSearchLibrary(g_root);
    }
    if (const QString keyword = bench_support::argument(argc, argv, "--keyword=");
        !keyword.isEmpty())
        g_keyword = keyword;
    bool memory = false;
    for (int i = 1; i < argc; ++i)
        memory = memory || QByteArray(argv[i]) == "--memory";
    if (memory) {
        // Measured in a process of its own, so that its peak is the window's and the search's.
        g_window = std::make_unique<Window>();
        Window& w = *g_window;
        const bench_support::Memory before = bench_support::memoryNow();
        w.window.searchPage()->keywordBox()->setEditText(QStringLiteral("."));
        w.window.actions().action(QStringLiteral("findButton"))->trigger();
        QCoreApplication::processEvents();
        const bench_support::Memory after = bench_support::memoryNow();
        std::printf("window before the search: resident %.1f MB; after %d rows: resident %.1f MB, "
                    "peak %.1f MB\n",
                    before.residentMb, w.window.workspace().searchList().count(), after.residentMb,
                    after.peakMb);
        g_window.reset();
        return 0;
    }
    benchmark::RegisterBenchmark("EveryFileByName", LongSearchInTheWindow, search::Mode::ByName,
                                 g_keyword)
        ->UseManualTime()
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ByName", LongSearchInTheWindow, search::Mode::ByName,
                                 bench_support::GeneratedLibrary::NameKeyword)
        ->UseManualTime()
        ->Iterations(9)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ByNote", LongSearchInTheWindow, search::Mode::ByNote,
                                 bench_support::GeneratedLibrary::NoteKeyword)
        ->UseManualTime()
        ->Iterations(9)
        ->Unit(benchmark::kMillisecond);
    g_window = std::make_unique<Window>();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_window.reset();
    return 0;
}
