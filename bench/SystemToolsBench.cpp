// The whole commands, as the window runs them, against the system's own tools on the same
// files in the same run, as ratios of CPU time (see CpuRatio.h): listing a category of 10,000
// files (with and without every row's texts), the name and note searches over a library of
// 110,000 files, the HTML export of 10,000 rows, and the cost per file of listing and of
// searching flat categories of 1,000 to 1,000,000 files on tmpfs.
//
//   bench_SystemToolsBench [--library=<folder>] [--rounds=N] [--only=<text>]
//                          [--scale-root=<folder>] [--scale=1000,10000,...] [--no-scale]
//   bench_SystemToolsBench --generate=<folder>     only writes the library there
//
// Without --library the library is generated into a temporary folder. The flat categories are
// written under --scale-root (default: a temporary folder in /dev/shm) unless they are there
// already; without the room for them that part is skipped with a message.
#include "CpuRatio.h"
#include "FileOpsBenchSupport.h"
#include "SearchLibraryGenerator.h"
#include "core/FileListController.h"
#include "export/HtmlExport.h"
#include "export/HtmlPage.h"
#include "platform/TextCodec.h"
#include "search/SearchCommands.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace {

using bench_support::ChildRun;
using bench_support::compare;
using bench_support::Comparison;
using bench_support::runChild;

class SaveDialogs : public bench_support::YesDialogs
{
public:
    QString savePath;
    QString chooseSaveFile(const core::SaveDialogSpec&) override { return savePath; }
};

// A session on one library with the commands the window runs.
struct Env
{
    explicit Env(const QString& libraryRoot)
        : root(libraryRoot), config(home.path() + QStringLiteral("/quillet.ini")),
          session(core::LibraryLayout(root, root + QStringLiteral("quillet")), config,
                  platform::FileSystem::local(), true),
          workspace(session), files(workspace), search(workspace, dialogs),
          exporter(workspace, dialogs)
    {
    }

    QTemporaryDir home;
    QString root;
    core::ConfigFile config;
    core::Session session;
    core::Workspace workspace;
    SaveDialogs dialogs;
    core::FileListController files;
    search::SearchCommands search;
    htmlexport::HtmlExport exporter;

    int list(const QString& dir)
    {
        session.setCurrentDir(dir);
        files.showFolder(dir);
        return workspace.fileList().count();
    }

    // Every text of every row as a view asks for it; `columns` of the file list's.
    qsizetype texts(int columns)
    {
        const core::FileListModel& model = workspace.fileList();
        qsizetype total = 0;
        for (int row = 0; row < model.count(); ++row) {
            for (int column = 0; column < columns; ++column)
                total += model.data(model.index(row, column)).toString().size();
        }
        return total;
    }

    int find(search::Mode mode, const QString& keyword)
    {
        search.setMode(mode);
        search.setKeyword(keyword);
        search.findButtonClick();
        return workspace.searchList().count();
    }
};

double findListing(const QString& dir)
{
    return runChild({"find", platform::nativePath(dir), "-maxdepth", "1", "-printf", "%s %T@ %p\n"})
        .cpuMs;
}

double findByName(const QString& root, const QString& keyword)
{
    return runChild({"find", platform::nativePath(root), "-iname", "*" + keyword.toUtf8() + "*",
                     "-printf", "%s %T@ %p\n"})
        .cpuMs;
}

double grepNotes(const QString& root, const QString& keyword)
{
    // The notes files are GB18030, so grep looks for the keyword's GB18030 bytes; each file it
    // names is looked at on disk, as a result row needs.
    const QByteArray bytes = platform::text::encode(keyword, platform::TextEncoding::Gb18030);
    const ChildRun run =
        runChild({"grep", "-ril", bytes, "--include=zzfdat.nod", platform::nativePath(root)}, true);
    const double before = bench_support::processCpuMs();
    for (const QByteArray& path : run.output.split('\n')) {
        struct stat st;
        if (!path.isEmpty())
            ::stat(path.constData(), &st);
    }
    return run.cpuMs + bench_support::processCpuMs() - before;
}

// The export's page written by a short script from the same rows (one per line: name, note,
// size text and date text, separated by tabs).
const char* const kExportScript = R"PY(import sys
head = ['<html>', '', '<head>',
 '<meta http-equiv="Content-Type" content="text/html; charset=gb2312">',
 '<style type="text/css"><!--',
 'body         { font-family: 宋体; font-size: 10.5pt; color: #000000}',
 'td           { font-family: 宋体; font-size: 9pt; color: #000000}',
 'a:link       { color: #000080; text-decoration: none }',
 'a:visited    { color: #000080; text-decoration: none }',
 'a:hover      { background-color: #88FF00; color: #FF0000 }',
 '--></style>', '<title>Quillet-文件信息表</title>', '</head>', '',
 '<body topmargin="2" leftmargin="2">',
 '<p align="center"><font color="#0000FF">[Quillet] 文件信息列表</font>',
 '<hr size="1" color="#0099CC">', '<div align="center">', '  <center>',
 '  <table border="1" width="770" cellspacing="0" bordercolor="#000000" bordercolordark="#FFFFFF">',
 '    <tr>', '      <td width="120" bgcolor="#0099FF">',
 '        <p align="center"><b>文件名</b></td>', '      <td width="458" bgcolor="#0099FF">',
 '        <p align="center"><b>注释资料</b></td>', '      <td width="66" bgcolor="#0099FF">',
 '        <p align="center"><b>大小</b></td>', '      <td width="116" bgcolor="#0099FF">',
 '        <p align="center"><b>修改日期</b></td>', '    </tr>']
foot = ['  </table>', '  </center>', '</div>', '<p align="center">本表由[Quillet]自动生成</p>',
 '</body>', '', '</html>']
blank = ''.join(map(chr, range(33)))
out = head[:]
for line in open(sys.argv[1], encoding='utf-8', newline='\n'):
    cells = line[:-1].split('\t')
    out.append('    <tr>')
    for width, text in zip(('120', '458', '66', '116'), cells):
        out.append('      <td width="%s">%s</td>' % (width, text if text.strip(blank) else '&nbsp;'))
    out.append('    </tr>')
out += foot
open(sys.argv[2], 'wb').write(('\r\n'.join(out) + '\r\n').encode('gb18030'))
)PY";

bool enoughRoomFor(const QString& folder, qint64 files)
{
    struct statvfs fs;
    if (::statvfs(platform::nativePath(folder).constData(), &fs) != 0)
        return false;
    const qint64 inodes = qint64(fs.f_favail);
    const qint64 bytes = qint64(fs.f_bavail) * qint64(fs.f_frsize);
    // Names, inodes and the notes file: about 1 KB a file leaves room to spare.
    return (fs.f_files == 0 || inodes > files + 1000) && bytes > files * 1024;
}

// A library whose one category "cat" holds `count` files; written unless it is there.
QString flatLibrary(const QString& scaleRoot, int count)
{
    const QString root = scaleRoot + QStringLiteral("lib-%1/").arg(count);
    const QString done = root + QStringLiteral(".complete");
    if (!QFile::exists(done)) {
        QDir(root).removeRecursively();
        std::mt19937 random(count);
        int number = 0;
        const double start = bench_support::wallMs();
        bench_support::fillFolder(root + QStringLiteral("cat/"), count, random, number, true);
        QFile(done).open(QIODevice::WriteOnly);
        std::printf("wrote %d files into %s in %.0f ms\n", count, qPrintable(root),
                    bench_support::wallMs() - start);
    }
    return root;
}

struct Options
{
    QString only;
    int rounds = 11;
    bool wanted(const std::string& name) const
    {
        return only.isEmpty() || QString::fromStdString(name).contains(only);
    }
};

void runLibrary(Env& env, const Options& o)
{
    const QString large = env.root + bench_support::GeneratedLibrary::LargeCategory + u'/';
    const auto listing = [&](const std::string& name, const std::function<int()>& ours) {
        if (o.wanted(name))
            compare(name, o.rounds, ours, [&] { return findListing(large); }).print();
    };
    listing("list 10k: rows, notes, model, sorted", [&] { return env.list(large); });
    listing("list 10k + name/note/size/date texts", [&] {
        const int rows = env.list(large);
        env.texts(4);
        return rows;
    });
    listing("list 10k + every column's text", [&] {
        const int rows = env.list(large);
        env.texts(5);
        return rows;
    });

    const auto byName = [&](const std::string& name, const QString& keyword) {
        if (!o.wanted(name))
            return;
        compare(
            name, o.rounds, [&] { return env.find(search::Mode::ByName, keyword); },
            [&] { return findByName(env.root, keyword); })
            .print();
    };
    byName("name search \"viewer\"", QStringLiteral("viewer"));
    byName("name search \".\" (every file)", QStringLiteral("."));
    if (o.wanted("note search")) {
        const QString keyword = bench_support::GeneratedLibrary::NoteKeyword;
        compare(
            "note search \"压缩\"", o.rounds,
            [&] { return env.find(search::Mode::ByNote, keyword); },
            [&] { return grepNotes(env.root, keyword); })
            .print();
    }

    if (o.wanted("export")) {
        QTemporaryDir out;
        env.dialogs.savePath = out.path() + QStringLiteral("/ours.htm");
        const QString script = out.path() + QStringLiteral("/export.py");
        const QString rows = out.path() + QStringLiteral("/rows.tsv");
        const QString theirs = out.path() + QStringLiteral("/theirs.htm");
        {
            QFile f(script);
            f.open(QIODevice::WriteOnly);
            f.write(kExportScript);
        }
        env.list(large);
        {
            QFile f(rows);
            f.open(QIODevice::WriteOnly);
            const core::FileListModel& model = env.workspace.fileList();
            for (int row = 0; row < model.count(); ++row) {
                QStringList cells;
                for (int column = 0; column < 4; ++column) {
                    QString text = model.data(model.index(row, column)).toString();
                    if (column == 0)
                        text = htmlexport::escapeHtml(text);
                    cells.append(text);
                }
                f.write((cells.join(u'\t') + u'\n').toUtf8());
            }
        }
        const Comparison c = compare(
            "HTML export of 10k rows", o.rounds,
            [&] {
                env.exporter.BuildHtmlMenuClick();
                return env.workspace.fileList().count();
            },
            [&] {
                return runChild({"/usr/bin/python3", "-S", platform::nativePath(script),
                                 platform::nativePath(rows), platform::nativePath(theirs)})
                    .cpuMs;
            },
            [&] { env.list(large); });
        c.print();
        QFile a(env.dialogs.savePath);
        QFile b(theirs);
        a.open(QIODevice::ReadOnly);
        b.open(QIODevice::ReadOnly);
        std::printf("  the script's page is %s ours\n",
                    a.readAll() == b.readAll() ? "byte for byte" : "NOT the same as");
    }
}

void runScale(const QString& scaleRoot, const QList<int>& sizes, const Options& o)
{
    for (const int count : sizes) {
        if (!enoughRoomFor(scaleRoot, count)) {
            std::printf("skipped %d files: not enough room in %s\n", count, qPrintable(scaleRoot));
            continue;
        }
        const QString root = flatLibrary(scaleRoot, count);
        const QString dir = root + QStringLiteral("cat/");
        Env env(root);
        const int rounds = count >= 1000000 ? 3 : count >= 100000 ? 5 : o.rounds;
        const std::string size = std::to_string(count);
        if (o.wanted("flat list " + size))
            compare(
                "flat list " + size, rounds, [&] { return env.list(dir); },
                [&] { return findListing(dir); })
                .print(count);
        if (o.wanted("flat name search " + size)) {
            const QString keyword = bench_support::GeneratedLibrary::NameKeyword;
            compare(
                "flat name search " + size, rounds,
                [&] { return env.find(search::Mode::ByName, keyword); },
                [&] { return findByName(root, keyword); })
                .print(count);
        }
        env.workspace.fileList().clear();
        env.workspace.searchList().clear();
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bench_support::useTemporaryConfigHome();
    if (const QString target = bench_support::argument(argc, argv, "--generate=");
        !target.isEmpty()) {
        const int files =
            bench_support::generateSearchLibrary(platform::withTrailingSlash(target), 10000);
        std::printf("%d files written into %s\n", files, qPrintable(target));
        return 0;
    }
    Options o;
    o.only = bench_support::argument(argc, argv, "--only=");
    if (const QString rounds = bench_support::argument(argc, argv, "--rounds="); !rounds.isEmpty())
        o.rounds = rounds.toInt();

    QTemporaryDir generated;
    QString root = platform::withTrailingSlash(bench_support::argument(argc, argv, "--library="));
    if (root.isEmpty()) {
        root = generated.path() + QStringLiteral("/library/");
        const double start = bench_support::wallMs();
        const int files = bench_support::generateSearchLibrary(root, 10000);
        std::printf("generated %d files in %.0f ms\n", files, bench_support::wallMs() - start);
    }
    {
        Env env(root);
        runLibrary(env, o);
    }

    bool noScale = false;
    for (int i = 1; i < argc; ++i)
        noScale = noScale || QByteArray(argv[i]) == "--no-scale";
    if (noScale)
        return 0;
    QList<int> sizes = {1000, 10000, 100000, 1000000};
    if (const QString given = bench_support::argument(argc, argv, "--scale="); !given.isEmpty()) {
        sizes.clear();
        for (const QString& n : given.split(u','))
            sizes.append(n.toInt());
    }
    QString scaleRoot = bench_support::argument(argc, argv, "--scale-root=");
    std::unique_ptr<QTemporaryDir> scaleDir;
    if (scaleRoot.isEmpty()) {
        scaleDir = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/quillet-scale-XXXXXX"));
        if (!scaleDir->isValid()) {
            std::printf("skipped the flat categories: no room in /dev/shm\n");
            return 0;
        }
        scaleRoot = scaleDir->path();
    }
    QDir().mkpath(scaleRoot);
    runScale(platform::withTrailingSlash(scaleRoot), sizes, o);
    return 0;
}
