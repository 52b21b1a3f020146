// Dragging 1,000 selected files that have notes onto another category: every file moves,
// every note goes into the target's notes file and leaves the category's.
#include "FileOpsBenchSupport.h"
#include "fileops/MoveCommands.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

namespace {

QModelIndex categoryNode(core::CategoryTreeModel& tree, const QString& caption)
{
    for (int row = 0; row < tree.rowCount(tree.rootIndex()); ++row) {
        const QModelIndex node = tree.index(row, 0, tree.rootIndex());
        if (tree.captionOf(node) == caption)
            return node;
    }
    return {};
}

void DragThousandFilesWithNotesOntoACategory(benchmark::State& state)
{
    const int files = int(state.range(0));
    for (auto _ : state) {
        auto library = std::make_unique<bench_support::BenchLibrary>();
        library->makeFiles(QStringLiteral("cat/"), files, true);
        library->makeFiles(QStringLiteral("dst/"), 0, false);
        library->selectCategory(QStringLiteral("cat"));
        library->selectAllFiles();
        fileops::MoveCommands commands(library->workspace(), library->dialogs);
        const QModelIndex target =
            categoryNode(library->workspace().systemTree(), QStringLiteral("dst"));

        const auto start = std::chrono::steady_clock::now();
        commands.treeviewDragDrop(core::DragSource::FileList, target);
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());

        if (library->workspace().fileList().count() != 0)
            state.SkipWithError("not every file moved");
        library.reset(); // removing the folders is not part of the run
    }
}
BENCHMARK(DragThousandFilesWithNotesOntoACategory)
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
