// The file list following the disk: a burst of 1,000 files that another program puts into a
// shown category of 100,000 files, applied to the rows, against listing a folder of those
// 1,000 files alone. Both fill the same model the window shows.
#include "core/FileListController.h"
#include "core/LibraryLayout.h"
#include "core/LiveList.h"
#include "core/Session.h"
#include "core/Workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kShown = 100000;
constexpr int kBurst = 1000;

void makeFiles(const QString& folder, const QString& prefix, int count)
{
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        const int fd =
            ::open(QFile::encodeName(folder + prefix + QString::number(i) + ".zip").constData(),
                   O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        ::close(fd);
    }
}

void removeFiles(const QString& folder, const QString& prefix, int count)
{
    for (int i = 0; i < count; ++i)
        ::unlink(QFile::encodeName(folder + prefix + QString::number(i) + ".zip").constData());
}

// A library of one category with `files` files, shown in the file list and followed.
struct Shown
{
    explicit Shown(int files)
        : config(dir.path() + "/config/quillet.ini"),
          session(core::LibraryLayout(dir.path() + "/lib/", dir.path() + "/lib/quillet"), config,
                  platform::FileSystem::local(), true),
          workspace(session), controller(workspace), live(workspace, controller)
    {
        makeFiles(folder(), QStringLiteral("软件"), files);
        controller.showFolder(folder());
    }
    QString folder() const { return dir.path() + "/lib/category/"; }

    QTemporaryDir dir;
    core::ConfigFile config;
    core::Session session;
    core::Workspace workspace;
    core::FileListController controller;
    core::LiveList live;
};

void BM_ListingTheBurstAlone(benchmark::State& state)
{
    Shown shown(kBurst);
    for (auto _ : state)
        shown.controller.showFolder(shown.folder());
    state.counters["rows"] = double(shown.workspace.fileList().count());
}

void BM_ApplyingABurstToALargeList(benchmark::State& state)
{
    Shown shown(kShown);
    for (auto _ : state) {
        state.PauseTiming();
        removeFiles(shown.folder(), QStringLiteral("new"), kBurst);
        shown.live.applyNow();
        makeFiles(shown.folder(), QStringLiteral("new"), kBurst);
        state.ResumeTiming();
        shown.live.applyNow();
    }
    state.counters["rows"] = double(shown.workspace.fileList().count());
}

BENCHMARK(BM_ListingTheBurstAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyingABurstToALargeList)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
