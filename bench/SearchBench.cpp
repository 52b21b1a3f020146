// Searching a library of 100,000 files in 2,000 folders with notes, by name and by note, against
// find and grep on the same tree in the same run; the memory that 100,000 result rows take and
// sorting them by each column.
//
//   bench_SearchBench                        generates the library in a temporary folder
//   bench_SearchBench --library=<folder>     searches that library instead
//   bench_SearchBench --generate=<folder>    only writes the generated library there
//   --name-keyword=<text> --note-keyword=<text> --all-keyword=<text> choose the keywords
#include "FileOpsBenchSupport.h"
#include "SearchLibraryGenerator.h"
#include "platform/TextCodec.h"
#include "search/SearchCommands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Setup
{
    QString root;
    QString nameKeyword = bench_support::GeneratedLibrary::NameKeyword;
    QString noteKeyword = bench_support::GeneratedLibrary::NoteKeyword;
    QString allKeyword = bench_support::GeneratedLibrary::EveryNameKeyword;
};

Setup& setup()
{
    static Setup s;
    return s;
}

// The library with a session on it and the search commands.
struct Searcher
{
    QTemporaryDir dir;
    core::ConfigFile config{dir.path() + QStringLiteral("/quillet.ini")};
    core::Session session{
        core::LibraryLayout(setup().root, setup().root + QStringLiteral("quillet")), config,
        platform::FileSystem::local(), true};
    core::Workspace workspace{session};
    bench_support::YesDialogs dialogs;
    search::SearchCommands commands{workspace, dialogs};

    int run(search::Mode mode, const QString& keyword)
    {
        commands.setMode(mode);
        commands.setKeyword(keyword);
        commands.findButtonClick();
        return workspace.searchList().count();
    }
};

Searcher& searcher()
{
    static Searcher s;
    return s;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Runs a program with the C locale and returns its output.
QByteArray runProgram(const std::vector<QByteArray>& args)
{
    std::vector<char*> argv;
    for (const QByteArray& arg : args)
        argv.push_back(const_cast<char*>(arg.constData()));
    argv.push_back(nullptr);
    std::vector<QByteArray> environment = {"LC_ALL=C", "PATH=/usr/bin:/bin"};
    std::vector<char*> envp;
    for (QByteArray& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    QByteArray output;
    char buffer[65536];
    for (ssize_t n; spawned == 0 && (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, n);
    ::close(pipeFds[0]);
    int status = 0;
    if (spawned == 0)
        ::waitpid(pid, &status, 0);
    return output;
}

double timeFind(const QString& keyword, int* lines)
{
    QElapsedTimer timer;
    timer.start();
    const QByteArray out = runProgram({"find", platform::nativePath(setup().root), "-iname",
                                       "*" + keyword.toUtf8() + "*", "-printf", "%s %T@ %p\n"});
    const double ms = msSince(timer);
    *lines = int(out.count('\n'));
    return ms;
}

double timeGrep(const QString& keyword, int* lines)
{
    // The notes files are GB18030, so grep looks for the keyword's GB18030 bytes.
    const QByteArray bytes = platform::text::encode(keyword, platform::TextEncoding::Gb18030);
    QElapsedTimer timer;
    timer.start();
    const QByteArray out = runProgram(
        {"grep", "-ril", bytes, "--include=zzfdat.nod", platform::nativePath(setup().root)});
    int found = 0;
    for (const QByteArray& path : out.split('\n')) {
        struct stat st;
        if (!path.isEmpty() && ::stat(path.constData(), &st) == 0)
            ++found;
    }
    const double ms = msSince(timer);
    *lines = found;
    return ms;
}

void againstBaseline(benchmark::State& state, search::Mode mode, const QString& keyword,
                     const char* baselineName, double (*baseline)(const QString&, int*))
{
    Searcher& s = searcher();
    std::vector<double> ours;
    std::vector<double> theirs;
    int rows = 0;
    int baselineLines = 0;
    for (auto _ : state) {
        theirs.push_back(baseline(keyword, &baselineLines));
        QElapsedTimer timer;
        timer.start();
        rows = s.run(mode, keyword);
        ours.push_back(msSince(timer));
        state.SetIterationTime(ours.back() / 1000.0);
    }
    const double ourMedian = median(ours);
    const double theirMedian = median(theirs);
    state.counters["rows"] = rows;
    state.counters["ours_ms"] = ourMedian;
    state.counters[std::string(baselineName) + "_ms"] = theirMedian;
    state.counters[std::string(baselineName) + "_lines"] = baselineLines;
    state.counters["ratio"] = theirMedian > 0 ? ourMedian / theirMedian : 0;
    std::printf("%s search: median %.1f ms, %s median %.1f ms, ratio %.2f (%d rows)\n",
                mode == search::Mode::ByName ? "name" : "note", ourMedian, baselineName,
                theirMedian, theirMedian > 0 ? ourMedian / theirMedian : 0.0, rows);
}

void NameSearchAgainstFind(benchmark::State& state)
{
    againstBaseline(state, search::Mode::ByName, setup().nameKeyword, "find", timeFind);
}

void NoteSearchAgainstGrep(benchmark::State& state)
{
    againstBaseline(state, search::Mode::ByNote, setup().noteKeyword, "grep", timeGrep);
}

// Resident memory of the process in MB.
double residentMb()
{
    long pages = 0;
    long resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Runs first, before other searches have touched the heap.
void AllFilesFoundMemory(benchmark::State& state)
{
    Searcher& s = searcher();
    double before = 0;
    double after = 0;
    int rows = 0;
    for (auto _ : state) {
        s.commands.clsfindbtnClick();
        before = residentMb();
        rows = s.run(search::Mode::ByName, setup().allKeyword);
        after = residentMb();
    }
    state.counters["rows"] = rows;
    state.counters["rss_MB"] = after;
    state.counters["rss_growth_MB"] = after - before;
    std::printf("%d result rows: resident %.1f MB, %.1f MB more than before the search\n", rows,
                after, after - before);
}

void SortAllFound(benchmark::State& state)
{
    Searcher& s = searcher();
    if (s.workspace.searchList().count() < 2)
        s.run(search::Mode::ByName, setup().allKeyword);
    core::FileListModel& list = s.workspace.searchList();
    const int column = int(state.range(0));
    bool ascending = false;
    std::vector<double> times;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        list.sortBy(column, ascending);
        times.push_back(msSince(timer));
        ascending = !ascending;
    }
    state.counters["rows"] = list.count();
    state.counters["median_ms"] = median(times);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bench_support::useTemporaryConfigHome();
    if (const QString target = bench_support::argument(argc, argv, "--generate="); !target.isEmpty()) {
        const int files = bench_support::generateSearchLibrary(platform::withTrailingSlash(target));
        std::printf("%d files written into %s\n", files, qPrintable(target));
        return 0;
    }
    QTemporaryDir generated;
    Setup& s = setup();
    s.root = platform::withTrailingSlash(bench_support::argument(argc, argv, "--library="));
    if (s.root.isEmpty()) {
        s.root = generated.path() + QStringLiteral("/library/");
        QElapsedTimer timer;
        timer.start();
        const int files = bench_support::generateSearchLibrary(s.root);
        std::printf("generated %d files in %.0f ms\n", files, msSince(timer));
    }
    for (auto [prefix, keyword] : {std::pair{"--name-keyword=", &s.nameKeyword},
                                   std::pair{"--note-keyword=", &s.noteKeyword},
                                   std::pair{"--all-keyword=", &s.allKeyword}}) {
        if (const QString value = bench_support::argument(argc, argv, prefix); !value.isEmpty())
            *keyword = value;
    }

    benchmark::RegisterBenchmark("AllFilesFoundMemory", AllFilesFoundMemory)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("SortAllFound", SortAllFound)
        ->DenseRange(0, 5)
        ->Iterations(11)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("NameSearchAgainstFind", NameSearchAgainstFind)
        ->UseManualTime()
        ->Iterations(15)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("NoteSearchAgainstGrep", NoteSearchAgainstGrep)
        ->UseManualTime()
        ->Iterations(15)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
