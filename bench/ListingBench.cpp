// Filling the file list model for a category of 10,000 files with 10,000 notes: the listing,
// the one read of the notes file, the model reset and the sort by name. With
// --library=<folder> it measures every category folder directly below that library instead.
#include "core/FileListModel.h"
#include "core/FileListing.h"
#include "core/NotesStore.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kFiles = 10000;

QString makeCategory(const QTemporaryDir& dir)
{
    const QString folder = dir.path() + QStringLiteral("/category/");
    QDir().mkpath(folder);
    QString notes = QStringLiteral("[fileinfo]\r\n");
    for (int i = 0; i < kFiles; ++i) {
        const QString name = QStringLiteral("软件%1-setup.zip").arg(i);
        const int fd = ::open(QFile::encodeName(folder + name).constData(), O_CREAT | O_WRONLY, 0644);
        ::close(fd);
        notes += name + QStringLiteral("=一个很好用的工具软件，第%1版\r\n").arg(i);
    }
    QFile file(folder + core::NotesFileName);
    file.open(QIODevice::WriteOnly);
    QStringEncoder encoder("GB18030");
    file.write(encoder.encode(notes));
    return folder;
}

void fill(benchmark::State& state, const QString& folder)
{
    const platform::FileSystem& fs = platform::FileSystem::local();
    core::FileListModel model(core::FileListModel::Layout::Files);
    for (auto _ : state) {
        const core::NotesFile notes = core::NotesFile::open(folder);
        model.setRows(core::ListCategoryFiles(fs, folder, notes.readAll()));
        model.sortBy(0, true);
        benchmark::DoNotOptimize(model.count());
    }
    state.counters["rows"] = model.count();
}

// Parts of the fill on their own, measured in the same run as the whole.
void listingOnly(benchmark::State& state, const QString& folder)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::FileSystem::local().list(folder).size());
}

void notesOnly(benchmark::State& state, const QString& folder)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(core::NotesFile::open(folder).readAll().size());
}

void sortOnly(benchmark::State& state, const QString& folder)
{
    core::FileListModel model(core::FileListModel::Layout::Files);
    model.setRows(core::ListCategoryFiles(platform::FileSystem::local(), folder, {}));
    bool ascending = true;
    for (auto _ : state) {
        model.sortBy(0, ascending);
        ascending = !ascending;
    }
}

void registerFolder(const QString& label, const QString& folder)
{
    const std::string name = label.toStdString();
    benchmark::RegisterBenchmark(("FillModel/" + name).c_str(), fill, folder)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("ListingOnly/" + name).c_str(), listingOnly, folder)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("NotesOnly/" + name).c_str(), notesOnly, folder)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("SortByName/" + name).c_str(), sortOnly, folder)->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString library;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--library=", 10) == 0)
            library = QString::fromLocal8Bit(argv[i] + 10);
    }
    QTemporaryDir generated;
    if (library.isEmpty()) {
        registerFolder(QStringLiteral("generated-10000"), makeCategory(generated));
    } else {
        const QStringList categories =
            platform::FileSystem::local().subfolders(platform::withTrailingSlash(library));
        for (const QString& category : categories)
            registerFolder(category, platform::withTrailingSlash(library) + category + u'/');
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
