// Importing every file of a folder of 1,000 files into a category: each file moves (or is
// copied) in and gets a selected row at the end of the file list.
#include "FileOpsBenchSupport.h"
#include "fileops/ImportCommands.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

namespace {

void ImportFolder(benchmark::State& state, bool copy)
{
    const int files = int(state.range(0));
    for (auto _ : state) {
        auto library = std::make_unique<bench_support::BenchLibrary>();
        library->makeFiles(QStringLiteral("../outside/"), files, false);
        library->makeFiles(QStringLiteral("cat/"), 0, false);
        library->selectCategory(QStringLiteral("cat"));
        library->dialogs.folders.push_back(library->root() + QStringLiteral("../outside"));
        fileops::ImportCommands commands(library->workspace(), library->dialogs);

        const auto start = std::chrono::steady_clock::now();
        copy ? commands.t1052Click() : commands.t1051Click();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());

        if (library->workspace().fileList().count() != files)
            state.SkipWithError("not every file arrived");
        library.reset(); // removing the folders is not part of the run
    }
}

void MoveFolderIn(benchmark::State& state)
{
    ImportFolder(state, false);
}
BENCHMARK(MoveFolderIn)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void CopyFolderIn(benchmark::State& state)
{
    ImportFolder(state, true);
}
BENCHMARK(CopyFolderIn)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

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
