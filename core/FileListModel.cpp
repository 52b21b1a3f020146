#include "core/FileListModel.h"

#include "core/DragSource.h"
#include "core/RowToolTip.h"
#include "platform/FileNames.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <numeric>

namespace core {

namespace {

constexpr FileListModel::Field kFileFields[] = {
    FileListModel::Field::Name, FileListModel::Field::Note, FileListModel::Field::Size,
    FileListModel::Field::Date, FileListModel::Field::Attr};
constexpr FileListModel::Field kSearchFields[] = {
    FileListModel::Field::Name, FileListModel::Field::Note, FileListModel::Field::Folder,
    FileListModel::Field::Size, FileListModel::Field::Date, FileListModel::Field::Attr};

// The text a column shows (and sorts by).
QString textOf(const FileRow& row, FileListModel::Field field)
{
    switch (field) {
    case FileListModel::Field::Name:
        return platform::displayText(row.caption);
    case FileListModel::Field::Note:
        return row.note;
    case FileListModel::Field::Folder:
        return platform::displayPath(row.folder);
    case FileListModel::Field::Size:
        return row.sizeText;
    case FileListModel::Field::Date:
        return row.dateText;
    case FileListModel::Field::Attr:
        return row.attrText;
    }
    return {};
}

QString headerOf(FileListModel::Field field, FileListModel::Layout layout)
{
    switch (field) {
    case FileListModel::Field::Name:
        return QStringLiteral("文件名称");
    case FileListModel::Field::Note:
        return QStringLiteral("注释");
    case FileListModel::Field::Folder:
        return QStringLiteral("所在目录");
    case FileListModel::Field::Size:
        return QStringLiteral("大小");
    case FileListModel::Field::Date:
        return layout == FileListModel::Layout::Files ? QStringLiteral("修改时间")
                                                      : QStringLiteral("修改日期");
    case FileListModel::Field::Attr:
        return QStringLiteral("属性");
    }
    return {};
}

} // namespace

QByteArray textSortKey(const QString& text)
{
    QByteArray bytes = platform::text::encode(text, platform::TextEncoding::Gb18030);
    for (char& c : bytes) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return bytes;
}

FileListModel::FileListModel(Layout layout, QObject* parent)
    : QAbstractTableModel(parent), m_layout(layout)
{
}

const std::vector<FileRow>& FileListModel::rows() const
{
    for (FileRow& r : m_rows) {
        if (!r.complete())
            completeRow(r);
    }
    return m_rows;
}

FileListModel::Field FileListModel::fieldOf(int column) const
{
    return m_layout == Layout::Files ? kFileFields[column] : kSearchFields[column];
}

int FileListModel::columnOf(Field field) const
{
    for (int c = 0; c < columnCount(); ++c) {
        if (fieldOf(c) == field)
            return c;
    }
    return -1;
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int FileListModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_layout == Layout::Files ? int(std::size(kFileFields)) : int(std::size(kSearchFields));
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const Field field = fieldOf(index.column());
    // Only the size, date and attribute columns need what a row leaves for later.
    const bool later = field == Field::Size || field == Field::Date || field == Field::Attr;
    const FileRow& r = later ? row(index.row()) : m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return textOf(r, field);
    case Qt::ToolTipRole:
        if (const QString tip = RowToolTip(r, textOf(r, field), field == Field::Note);
            !tip.isEmpty())
            return tip;
        return {};
    case Qt::DecorationRole:
        if (field == Field::Name && m_iconProvider)
            return m_iconProvider(r);
        return {};
    case Qt::TextAlignmentRole:
        if (field == Field::Size)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case SizeRole:
        return r.size;
    case FolderRole:
        return r.folder;
    default:
        return {};
    }
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return headerOf(fieldOf(section), m_layout);
    if (role == Qt::TextAlignmentRole)
        return int((fieldOf(section) == Field::Size ? Qt::AlignRight : Qt::AlignLeft) |
                   Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled |
                      Qt::ItemIsDropEnabled | Qt::ItemNeverHasChildren;
    if (fieldOf(index.column()) == Field::Name && m_editable && m_editable(index.row()))
        f |= Qt::ItemIsEditable;
    return f;
}

bool FileListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= count() || role != Qt::EditRole ||
        fieldOf(index.column()) != Field::Name || !m_editHandler)
        return false;
    m_editHandler(index.row(), value.toString());
    return true;
}

void FileListModel::setRows(std::vector<FileRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void FileListModel::clear()
{
    setRows({});
}

void FileListModel::appendRows(std::vector<FileRow> rows)
{
    if (rows.empty())
        return;
    const int first = count();
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()),
                  std::make_move_iterator(rows.end()));
    endInsertRows();
}

void FileListModel::appendRow(FileRow row)
{
    std::vector<FileRow> one;
    one.push_back(std::move(row));
    appendRows(std::move(one));
}

void FileListModel::removeRowAt(int i)
{
    beginRemoveRows({}, i, i);
    m_rows.erase(m_rows.begin() + i);
    endRemoveRows();
}

void FileListModel::removeRowsAt(const std::vector<int>& rows)
{
    // Runs of neighbouring rows, bottom first.
    std::vector<std::pair<int, int>> runs;
    for (const int row : rows) {
        if (row < 0 || row >= count())
            continue;
        if (!runs.empty() && runs.back().second == row - 1)
            runs.back().second = row;
        else
            runs.push_back({row, row});
    }
    constexpr size_t kMostRuns = 64; // each run moves the rows below it once
    if (runs.size() <= kMostRuns) {
        for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
            beginRemoveRows({}, run->first, run->second);
            m_rows.erase(m_rows.begin() + run->first, m_rows.begin() + run->second + 1);
            endRemoveRows();
        }
        return;
    }
    beginResetModel();
    std::vector<FileRow> kept;
    kept.reserve(m_rows.size());
    size_t next = 0;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (next < runs.size() && int(i) >= runs[next].first) {
            if (int(i) == runs[next].second)
                ++next;
            continue;
        }
        kept.push_back(std::move(m_rows[i]));
    }
    m_rows = std::move(kept);
    endResetModel();
}

void FileListModel::setNote(int i, const QString& note)
{
    m_rows[size_t(i)].note = note;
    const int column = columnOf(Field::Note);
    Q_EMIT dataChanged(index(i, column), index(i, column));
}

void FileListModel::setAttributes(int i, platform::Attributes attributes, const QString& text)
{
    m_rows[size_t(i)].attributes = attributes;
    m_rows[size_t(i)].attrText = text;
    const int column = columnOf(Field::Attr);
    Q_EMIT dataChanged(index(i, column), index(i, column));
}

QStringList FileListModel::mimeTypes() const
{
    return {dragSourceFormat()};
}

QMimeData* FileListModel::mimeData(const QModelIndexList&) const
{
    return dragDataFor(m_layout == Layout::Files ? DragSource::FileList : DragSource::SearchList);
}

void FileListModel::rebaseFolders(const QString& from, const QString& to)
{
    const int column = columnOf(Field::Folder);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        QString& folder = m_rows[i].folder;
        if (!folder.startsWith(from))
            continue;
        folder.replace(0, from.size(), to);
        if (column >= 0)
            Q_EMIT dataChanged(index(int(i), column), index(int(i), column));
    }
}

void FileListModel::setRow(int i, FileRow row)
{
    m_rows[size_t(i)] = std::move(row);
    Q_EMIT dataChanged(index(i, 0), index(i, columnCount() - 1));
}

void FileListModel::sortBy(int column, bool ascending)
{
    if (m_rows.size() < 2 || column < 0 || column >= columnCount())
        return;
    const Field field = fieldOf(column);
    if (field == Field::Attr) {
        for (FileRow& r : m_rows)
            completeStoredFlags(r);
    }
    std::vector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);

    const auto sortWith = [&](auto keyOf) {
        using Key = decltype(keyOf(m_rows.front()));
        std::vector<Key> keys;
        keys.reserve(m_rows.size());
        for (const FileRow& r : m_rows)
            keys.push_back(keyOf(r));
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return ascending ? keys[size_t(a)] < keys[size_t(b)] : keys[size_t(b)] < keys[size_t(a)];
        });
    };
    if (field == Field::Size)
        sortWith([](const FileRow& r) { return r.size; });
    else if (field == Field::Date)
        sortWith([](const FileRow& r) { return r.modifiedMs; });
    else
        sortWith([field](const FileRow& r) { return textSortKey(textOf(r, field)); });

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(m_rows.size());
    std::vector<FileRow> sorted;
    sorted.reserve(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newRowOf[size_t(order[i])] = int(i);
        sorted.push_back(std::move(m_rows[size_t(order[i])]));
    }
    m_rows = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after.append(index(newRowOf[size_t(old.row())], old.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace core

