// Filling the file list model for a category of 10,000 files with 10,000 notes: the listing,
// the one read of the notes file, the model reset and the sort by name. With
// --library=<folder> it measures every category folder directly below that library instead.
#include "core/FileListModel.h"
#include "core/FileListing.h"
#include "notes/NotesFile.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>
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
        // Sizes and times differ from file to file, as downloads do.
        const int fd =
            ::open(QFile::encodeName(folder + name).constData(), O_CREAT | O_WRONLY, 0644);
        ::ftruncate(fd, off_t(i) * 37);
        const struct timespec times[2] = {{1500000000 + i * 3517L, 0}, {1500000000 + i * 3517L, 0}};
        ::futimens(fd, times);
        ::close(fd);
        notes += name + QStringLiteral("=一个很好用的工具软件，第%1版\r\n").arg(i);
    }
    QFile file(folder + notes::NotesFileName);
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
        const notes::NotesFile notes = notes::NotesFile::open(folder);
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
        benchmark::DoNotOptimize(notes::NotesFile::open(folder).readAll().size());
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

// The system's own listing of the same folder, with sizes and times, as the yardstick:
// find DIR -maxdepth 1 -printf '%s %T@ %p\n', its output thrown away.
void findBaseline(benchmark::State& state, const QString& folder)
{
    const QByteArray dir = QFile::encodeName(folder);
    for (auto _ : state) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDOUT_FILENO);
            ::execlp("find", "find", dir.constData(), "-maxdepth", "1", "-printf", "%s %T@ %p\n",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
}

// Prints, after the table, the whole fill's median against find's.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!median && run.run_type == Run::RT_Aggregate)
                continue;
            const std::string name = run.run_name.function_name;
            m_times[name] = run.GetAdjustedRealTime();
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const auto& [name, time] : m_times) {
            if (name.rfind("FillModel/", 0) != 0)
                continue;
            const auto find = m_times.find("FindBaseline/" + name.substr(10));
            if (find != m_times.end() && find->second > 0)
                std::printf("%s: %.2f x find\n", name.c_str(), time / find->second);
        }
    }

private:
    std::map<std::string, double> m_times;
};

void registerFolder(const QString& label, const QString& folder)
{
    const std::string name = label.toStdString();
    benchmark::RegisterBenchmark(("FillModel/" + name).c_str(), fill, folder)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("FindBaseline/" + name).c_str(), findBaseline, folder)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("ListingOnly/" + name).c_str(), listingOnly, folder)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("NotesOnly/" + name).c_str(), notesOnly, folder)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("SortByName/" + name).c_str(), sortOnly, folder)
        ->Unit(benchmark::kMillisecond);
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
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
