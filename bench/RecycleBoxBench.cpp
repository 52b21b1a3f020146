// Moving 1,000 selected files that have notes into the recycle box: every file moves, every
// note goes into the box's notes file and leaves the category's.
#include "FileOpsBenchSupport.h"
#include "fileops/RecycleBoxCommands.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

namespace {

void DeleteThousandFilesWithNotes(benchmark::State& state)
{
    const int files = int(state.range(0));
    for (auto _ : state) {
        auto library = std::make_unique<bench_support::BenchLibrary>();
        library->makeFiles(QStringLiteral("cat/"), files, true);
        library->selectCategory(QStringLiteral("cat"));
        library->selectAllFiles();
        fileops::RecycleBoxCommands commands(library->workspace(), library->dialogs);

        const auto start = std::chrono::steady_clock::now();
        commands.delselfileClick();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());

        if (library->workspace().fileList().count() != 0)
            state.SkipWithError("not every file went into the box");
        library.reset(); // removing the folder is not part of the run
    }
}
BENCHMARK(DeleteThousandFilesWithNotes)
    ->Arg(1000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    bench_support::useTemporaryConfigHome();
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
