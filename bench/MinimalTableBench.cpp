// The yardstick for the search list's memory: a minimal Qt program that shows the same rows
// (every file below a library's folders: name, note column left empty, folder, size, date,
// attributes as texts) in a plain table of QStrings, measured as the window is: resident
// memory after the rows are shown, and its peak.
//   bench_MinimalTableBench --library=<folder>
#include "CpuRatio.h"
#include "FileOpsBenchSupport.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <QTableView>

#include <array>
#include <cstdio>
#include <vector>

namespace {

class PlainTable : public QAbstractTableModel
{
public:
    std::vector<std::array<QString, 6>> rows;

    int rowCount(const QModelIndex& = {}) const override { return int(rows.size()); }
    int columnCount(const QModelIndex& = {}) const override { return 6; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        return rows[size_t(index.row())][size_t(index.column())];
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString root = bench_support::argument(argc, argv, "--library=");
    if (root.isEmpty()) {
        std::printf("usage: bench_MinimalTableBench --library=<folder>\n");
        return 1;
    }
    PlainTable model;
    QTableView view;
    view.setModel(&model);
    view.resize(1000, 700);
    view.show();
    QCoreApplication::processEvents();
    const bench_support::Memory before = bench_support::memoryNow();
    std::vector<std::array<QString, 6>> rows;
    QDirIterator folders(root, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                         QDirIterator::Subdirectories);
    QStringDecoder decoder("GB18030");
    while (folders.hasNext()) {
        const QString folder = folders.next() + u'/';
        QHash<QString, QString> notes;
        QFile notesFile(folder + QStringLiteral("zzfdat.nod"));
        if (notesFile.open(QIODevice::ReadOnly)) {
            const QString text = decoder.decode(notesFile.readAll());
            for (const QStringView line : QStringView(text).split(u'\n')) {
                const qsizetype equals = line.indexOf(u'=');
                if (equals > 0)
                    notes.insert(line.left(equals).toString(),
                                 line.sliced(equals + 1).trimmed().toString());
            }
        }
        const QFileInfoList files =
            QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QFileInfo& info : files) {
            if (info.fileName() == QLatin1String("zzfdat.nod"))
                continue;
            rows.push_back(
                {info.fileName(), notes.value(info.fileName()), folder,
                 QString::number(double(info.size()) / 1024.0, 'f', 2) + QStringLiteral("KB"),
                 info.lastModified().toString(QStringLiteral("yyyy/M/d h:mm:ss")), QString()});
        }
    }
    model.layoutAboutToBeChanged();
    model.rows = std::move(rows);
    model.layoutChanged();
    view.repaint();
    QCoreApplication::processEvents();
    const bench_support::Memory after = bench_support::memoryNow();
    std::printf("plain table before the rows: resident %.1f MB; after %zu rows: resident %.1f MB, "
                "peak %.1f MB\n",
                before.residentMb, model.rows.size(), after.residentMb, after.peakMb);
    return 0;
}
