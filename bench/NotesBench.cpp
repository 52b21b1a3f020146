// The notes of a notes file of 10,000 keys: the bulk read a listing does, and one read and
// one write of a note (through the notes keeper) as the note commands do; beside them, what the
// folder's lock taken by every write costs alone.
#include "notes/NotesFile.h"
#include "notes/NotesKeeper.h"
#include "platform/FolderLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kKeys = 10000;

struct NotesFolder
{
    QTemporaryDir dir;
    notes::NotesFile folderNotes = notes::NotesFile::open(dir.path() + QStringLiteral("/"));

    NotesFolder()
    {
        QString text = QStringLiteral("[fileinfo]\r\n");
        for (int i = 0; i < kKeys; ++i)
            text += QStringLiteral("软件包%1.zip=这是第%1个文件的注释说明\r\n").arg(i);
        QFile file(folderNotes.path());
        file.open(QIODevice::WriteOnly);
        QStringEncoder encoder("GB18030");
        file.write(encoder.encode(text));
    }
};

NotesFolder& folder()
{
    static NotesFolder instance;
    return instance;
}

void BulkRead(benchmark::State& state)
{
    for (auto _ : state) {
        const notes::NotesSnapshot all = folder().folderNotes.readAll();
        benchmark::DoNotOptimize(all.size());
    }
}
BENCHMARK(BulkRead)->Unit(benchmark::kMillisecond);

void ReadNote(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        const QString note =
            folder().folderNotes.readNote(QStringLiteral("软件包%1.zip").arg(i++ % kKeys));
        benchmark::DoNotOptimize(note.size());
    }
}
BENCHMARK(ReadNote)->Unit(benchmark::kMillisecond);

void WriteNote(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        notes::NotesKeeper::setNote(folder().folderNotes.dir(),
                                    QStringLiteral("软件包%1.zip").arg(i % kKeys),
                                    QStringLiteral("改过的注释 %1").arg(i));
        ++i;
    }
}
BENCHMARK(WriteNote)->Unit(benchmark::kMillisecond);

// The share of WriteNote that keeps a write of another program from being lost.
void LockFolderOnly(benchmark::State& state)
{
    for (auto _ : state) {
        const platform::FolderLock lock(folder().folderNotes.dir());
        benchmark::DoNotOptimize(lock.acquired());
    }
}
BENCHMARK(LockFolderOnly)->Unit(benchmark::kMicrosecond);

// The baseline of the same run: reading the file's bytes alone.
void ReadBytesOnly(benchmark::State& state)
{
    for (auto _ : state) {
        QFile file(folder().folderNotes.path());
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(file.readAll().size());
    }
}
BENCHMARK(ReadBytesOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
