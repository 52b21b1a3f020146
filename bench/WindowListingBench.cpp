// Selecting a category of 10,000 files with 10,000 notes in the real main window, on Qt's
// offscreen platform: from the click on the node to the first screen of the list painted.
// Scrolling the list a page at a time is measured too.
#include "core/ConfigFile.h"
#include "core/LibraryLayout.h"
#include "core/Session.h"
#include "core/Workspace.h"
#include "notes/NotesFile.h"
#include "ui/Application.h"
#include "ui/FileListView.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QStringEncoder>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kFiles = 10000;

struct Library
{
    QTemporaryDir dir;
    QString root = dir.path() + QStringLiteral("/library/");

    Library()
    {
        const QString folder = root + QStringLiteral("大类别/");
        QDir().mkpath(folder);
        QDir().mkpath(root + QStringLiteral("空类别"));
        QString notes = QStringLiteral("[fileinfo]\r\n");
        for (int i = 0; i < kFiles; ++i) {
            const QString name = QStringLiteral("软件%1-setup.zip").arg(i);
            ::close(::open(QFile::encodeName(folder + name).constData(), O_CREAT | O_WRONLY, 0644));
            notes += name + QStringLiteral("=一个很好用的工具软件，第%1版\r\n").arg(i);
        }
        QFile file(folder + notes::NotesFileName);
        file.open(QIODevice::WriteOnly);
        QStringEncoder encoder("GB18030");
        file.write(encoder.encode(notes));
    }
};

struct Window
{
    Library library;
    core::ConfigFile config{library.dir.path() + QStringLiteral("/quillet.ini")};
    core::Session session{
        core::LibraryLayout(library.root, library.root + QStringLiteral("quillet")), config,
        platform::FileSystem::local(), true};
    ui::MainWindow window{session};
    QModelIndex big;
    QModelIndex empty;

    Window()
    {
        window.resize(1000, 700);
        window.show();
        core::CategoryTreeModel& tree = window.workspace().systemTree();
        for (int row = 0; row < tree.rowCount(tree.rootIndex()); ++row) {
            const QModelIndex node = tree.index(row, 0, tree.rootIndex());
            (tree.captionOf(node) == QStringLiteral("大类别") ? big : empty) = node;
        }
        QCoreApplication::processEvents();
    }

    void select(const QModelIndex& node)
    {
        window.workspace().systemTreeSelection().setCurrentIndex(
            node, QItemSelectionModel::ClearAndSelect);
    }
};

Window& window()
{
    static Window instance;
    return instance;
}

void SelectBigCategoryUntilPainted(benchmark::State& state)
{
    Window& w = window();
    QTableView* table = w.window.fileView()->details();
    for (auto _ : state) {
        state.PauseTiming();
        w.select(w.empty);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        w.select(w.big);
        table->viewport()->repaint();
    }
    state.counters["rows"] = table->model()->rowCount();
}
BENCHMARK(SelectBigCategoryUntilPainted)->Unit(benchmark::kMillisecond);

void ScrollOnePage(benchmark::State& state)
{
    Window& w = window();
    w.select(w.big);
    QCoreApplication::processEvents();
    QTableView* table = w.window.fileView()->details();
    QScrollBar* bar = table->verticalScrollBar();
    for (auto _ : state) {
        bar->setValue((bar->value() + bar->pageStep()) % (bar->maximum() + 1));
        table->viewport()->repaint();
    }
}
BENCHMARK(ScrollOnePage)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    ui::Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
