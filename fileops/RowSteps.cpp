#include "fileops/RowSteps.h"

#include "core/FileFormats.h"
#include "core/FileListing.h"
#include "core/Workspace.h"
#include "notes/NotesKeeper.h"
#include "platform/FileNames.h"

#include <QHash>

#include <algorithm>

namespace fileops {

namespace {

QItemSelection wholeRows(const core::FileListModel& list, int first, int last)
{
    return QItemSelection(list.index(first, 0), list.index(last, list.columnCount() - 1));
}

} // namespace

void deselectRow(const core::FileListModel& list, QItemSelectionModel& selection, int row)
{
    selection.select(wholeRows(list, row, row), QItemSelectionModel::Deselect);
}

void selectRow(const core::FileListModel& list, QItemSelectionModel& selection, int row)
{
    selection.select(wholeRows(list, row, row), QItemSelectionModel::Select);
}

void DrainSelectedRows(core::FileListModel& list, QItemSelectionModel& selection,
                       const RowHandler& handle)
{
    for (;;) {
        const int row = core::Workspace::firstSelectedRow(selection);
        if (row < 0 || row >= list.count())
            return;
        const int countBefore = list.count();
        handle(row);
        if (list.count() == countBefore && core::Workspace::firstSelectedRow(selection) == row)
            deselectRow(list, selection, row);
    }
}

namespace {

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Letter case aside, for a row's name in ASCII: only ASCII letters fold onto ASCII letters.
bool sameAsciiIgnoringCase(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = char(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

int findRowOfFile(const core::ListedRows& listed, const QString& name, const QString& target)
{
    const core::FileRows& rows = listed.rows();
    const QByteArray bytes = platform::nativePath(name);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows.nameIs(i, name, bytes))
            return int(i);
    }
    // Only a folder that ignores letter case makes another spelling name the same file.
    const bool asciiName = isAscii(bytes);
    for (size_t i = 0; i < rows.size(); ++i) {
        const QByteArrayView rowBytes = rows.nameBytes(i);
        if (asciiName && !rowBytes.isEmpty() && isAscii(rowBytes) &&
            !sameAsciiIgnoringCase(rowBytes, bytes))
            continue;
        const QString rowName = rows.name(i);
        if (rowName.compare(name, Qt::CaseInsensitive) == 0 &&
            platform::FileSystem::local().isSameFile(rows.folder(i) + rowName, target))
            return int(i);
    }
    return -1;
}

QString TakeOverRow(core::FileListModel& list, int row)
{
    if (row < 0 || row >= list.count())
        return {};
    const QString note = list.row(row).note;
    list.removeRowAt(row);
    return note;
}

core::FileRow ImportedRow(const platform::FileSystem& fs, const QString& folder,
                          const QString& name, const QString& note, const QString& sizeText,
                          qint64 size, const QDateTime& modified, platform::Attributes attributes)
{
    core::FileRow row;
    row.name = name;
    row.caption = notes::captionInFolder(fs, folder, name);
    row.note = note;
    row.sizeText = sizeText;
    row.dateText = core::DateText(modified);
    row.attrText = core::AttrText(attributes);
    row.folder = folder;
    row.size = size < 0 ? 0 : size;
    row.modifiedMs = modified.isValid() ? modified.toMSecsSinceEpoch() : 0;
    row.attributes = attributes;
    return row;
}

void AddImportedRow(core::FileListModel& list, QItemSelectionModel& selection, core::FileRow row)
{
    std::vector<core::FileRow> one;
    one.push_back(std::move(row));
    AddImportedRows(list, selection, std::move(one));
}

void TakeBroughtComments(const QString& folder, std::vector<core::FileRow>& rows,
                         const QStringList& comments)
{
    QList<std::pair<QString, QString>> brought;
    brought.reserve(qsizetype(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i)
        brought.append({rows[i].name, comments.value(qsizetype(i))});
    if (brought.isEmpty())
        return;
    const QStringList shown = notes::NotesKeeper::takeComments(folder, brought);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i].note = shown.value(qsizetype(i));
}

void AddImportedRows(core::FileListModel& list, QItemSelectionModel& selection,
                     std::vector<core::FileRow> rows)
{
    if (rows.empty())
        return;
    // A command's new rows come in the list's name order, as a Windows disk lists a folder,
    // not in the order this disk happened to return them.
    std::vector<std::pair<QByteArray, size_t>> keys;
    keys.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        keys.emplace_back(core::textSortKey(rows[i].caption), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<core::FileRow> ordered;
    ordered.reserve(rows.size());
    for (const auto& key : keys)
        ordered.push_back(std::move(rows[key.second]));
    rows = std::move(ordered);
    const int first = list.count();
    list.appendRows(std::move(rows));
    selection.select(wholeRows(list, first, list.count() - 1), QItemSelectionModel::Select);
}

} // namespace fileops
