#pragma once
// Measuring the program against the system's own tools on a shared machine: each round runs
// our command and the reference process one after the other, and what counts is the CPU time
// each took (ours: every thread of this process; theirs: the child's user and system time),
// so that other work on the machine moves both sides alike. The ratio of each round is kept;
// the report gives the median ratio with its smallest and largest.

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace bench_support {

// CPU time of this process (all its threads) in ms.
inline double processCpuMs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

inline double wallMs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// What one run of a child process gave: its CPU time and, when asked for, its output.
struct ChildRun
{
    double cpuMs = 0;
    QByteArray output;
};

// Runs `args` in the C locale with its output read (when `keepOutput`) or thrown away.
inline ChildRun runChild(const std::vector<QByteArray>& args, bool keepOutput = false)
{
    std::vector<char*> argv;
    for (const QByteArray& arg : args)
        argv.push_back(const_cast<char*>(arg.constData()));
    argv.push_back(nullptr);
    QByteArray locale("LC_ALL=C");
    QByteArray path("PATH=/usr/bin:/bin");
    char* envp[] = {locale.data(), path.data(), nullptr};

    int pipeFds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (keepOutput && ::pipe(pipeFds) == 0) {
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp);
    posix_spawn_file_actions_destroy(&actions);
    ChildRun run;
    if (pipeFds[1] >= 0)
        ::close(pipeFds[1]);
    if (pipeFds[0] >= 0) {
        char buffer[65536];
        for (ssize_t n; spawned == 0 && (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
            run.output.append(buffer, n);
        ::close(pipeFds[0]);
    }
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        return run;
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    run.cpuMs = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    return run;
}

inline double medianOf(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The rounds of one comparison.
struct Comparison
{
    std::string name;
    std::vector<double> ours;   // CPU ms per round
    std::vector<double> theirs; // CPU ms per round
    std::vector<double> ratios;
    double oursWall = 0; // median wall ms, for the record
    int rows = 0;

    double ratio() const { return medianOf(ratios); }
    double low() const
    {
        return ratios.empty() ? 0 : *std::min_element(ratios.begin(), ratios.end());
    }
    double high() const
    {
        return ratios.empty() ? 0 : *std::max_element(ratios.begin(), ratios.end());
    }

    void print(int files = 0) const
    {
        std::printf("%-44s ours %9.2f ms  ref %9.2f ms  ratio %5.2fx (%.2f-%.2f)", name.c_str(),
                    medianOf(ours), medianOf(theirs), ratio(), low(), high());
        if (rows)
            std::printf("  rows %d", rows);
        if (files > 0)
            std::printf("  per 1000 files: ours %.3f ms, ref %.3f ms",
                        medianOf(ours) * 1000 / files, medianOf(theirs) * 1000 / files);
        std::printf("\n");
        std::fflush(stdout);
    }
};

// Runs `rounds` rounds of `ours` (CPU of this process; may return a row count) and
// `reference` (returns the child's CPU ms), interleaved, after one warm-up of each; `prepare`
// runs before each of ours, untimed.
inline Comparison compare(const std::string& name, int rounds, const std::function<int()>& ours,
                          const std::function<double()>& reference,
                          const std::function<void()>& prepare = {})
{
    Comparison c;
    c.name = name;
    if (prepare)
        prepare();
    ours();
    reference();
    std::vector<double> walls;
    for (int i = 0; i < rounds; ++i) {
        // Alternating which side goes first keeps a slow spell from always hitting one side.
        double theirs = 0;
        if (i % 2 == 1)
            theirs = reference();
        if (prepare)
            prepare();
        const double wall = wallMs();
        const double cpu = processCpuMs();
        c.rows = ours();
        const double spent = processCpuMs() - cpu;
        walls.push_back(wallMs() - wall);
        if (i % 2 == 0)
            theirs = reference();
        c.ours.push_back(spent);
        c.theirs.push_back(theirs);
        c.ratios.push_back(theirs > 0 ? spent / theirs : 0);
    }
    c.oursWall = medianOf(walls);
    return c;
}

// Resident memory of this process now and at its peak, in MB.
struct Memory
{
    double residentMb = 0;
    double peakMb = 0;
};

inline Memory memoryNow()
{
    Memory m;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f)) {
            long kb = 0;
            if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1)
                m.residentMb = double(kb) / 1024.0;
            else if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1)
                m.peakMb = double(kb) / 1024.0;
        }
        std::fclose(f);
    }
    return m;
}

} // namespace bench_support
