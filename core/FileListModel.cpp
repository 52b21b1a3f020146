#include "core/FileListModel.h"

#include "core/DragSource.h"
#include "core/RowOrder.h"
#include "core/RowToolTip.h"
#include "platform/FileNames.h"

#include <algorithm>
#include <numeric>
#include <span>

namespace core {

namespace {

constexpr FileListModel::Field kFileFields[] = {
    FileListModel::Field::Name, FileListModel::Field::Note, FileListModel::Field::Size,
    FileListModel::Field::Date, FileListModel::Field::Attr};
constexpr FileListModel::Field kSearchFields[] = {
    FileListModel::Field::Name, FileListModel::Field::Note, FileListModel::Field::Folder,
    FileListModel::Field::Size, FileListModel::Field::Date, FileListModel::Field::Attr};

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
    std::string key;
    appendTextKey(key, text);
    return QByteArray(key.data(), qsizetype(key.size()));
}

FileListModel::FileListModel(Layout layout, QObject* parent)
    : QAbstractTableModel(parent), m_layout(layout)
{
}

const FileRow& FileListModel::row(int i) const
{
    for (size_t k = 0; k < m_madeRow.size(); ++k) {
        if (m_madeRow[k] == i)
            return m_made[k];
    }
    if (m_made.empty()) {
        m_made.resize(kKeptRows);
        m_madeRow.assign(kKeptRows, -1);
    }
    const size_t k = m_nextMade;
    m_nextMade = (m_nextMade + 1) % kKeptRows;
    m_made[k] = m_rows.row(size_t(i), true);
    m_madeRow[k] = i;
    return m_made[k];
}

void FileListModel::forgetMadeRows()
{
    std::fill(m_madeRow.begin(), m_madeRow.end(), -1);
}

std::vector<FileRow> FileListModel::rows() const
{
    std::vector<FileRow> all;
    all.reserve(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i)
        all.push_back(m_rows.row(i, true));
    return all;
}

int FileListModel::rowNamed(const QString& name) const
{
    const QByteArray bytes = platform::nativePath(name);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows.nameIs(i, name, bytes))
            return int(i);
    }
    return -1;
}

QString FileListModel::textOf(int row, Field field) const
{
    const auto i = size_t(row);
    switch (field) {
    case Field::Name:
        return m_rows.shownCaption(i);
    case Field::Note:
        return m_rows.note(i);
    case Field::Folder:
        return platform::displayPath(m_rows.folder(i));
    case Field::Size:
        return m_rows.sizeText(i);
    case Field::Date:
        return m_rows.dateText(i);
    case Field::Attr:
        return m_rows.attrText(i);
    }
    return {};
}

FileListModel::Field FileListModel::fieldOf(int column) const
{
    return m_layout == Layout::Files ? kFileFields[column] : kSearchFields[column];
}

std::optional<FileListModel::Field> FileListModel::fieldAt(Layout layout, int column)
{
    const auto fields = layout == Layout::Files ? std::span<const Field>(kFileFields)
                                                : std::span<const Field>(kSearchFields);
    if (column < 0 || size_t(column) >= fields.size())
        return std::nullopt;
    return fields[size_t(column)];
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
    const auto i = size_t(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return textOf(index.row(), field);
    case Qt::ToolTipRole: {
        // A tip takes text that looks like markup as markup; a note shows as it was typed,
        // and a downloaded file tells where it came from.
        const QString tip =
            RowToolTip(m_rows.row(i, false), textOf(index.row(), field), field == Field::Note);
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    case Qt::DecorationRole:
        if (field == Field::Name && m_iconProvider)
            return m_iconProvider(m_rows.row(i, false));
        return {};
    case Qt::TextAlignmentRole:
        if (field == Field::Size)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case SizeRole:
        return m_rows.size(i);
    case FolderRole:
        return m_rows.folder(i);
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

namespace {

FileRows fromRows(std::vector<FileRow> rows)
{
    FileRows held;
    held.reserve(rows.size());
    for (const FileRow& row : rows)
        held.add(row);
    return held;
}

} // namespace

void FileListModel::setRows(std::vector<FileRow> rows)
{
    setRows(fromRows(std::move(rows)));
}

void FileListModel::setRows(FileRows rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    forgetMadeRows();
    endResetModel();
}

FileRows FileListModel::replaceRows(FileRows rows)
{
    beginResetModel();
    FileRows old = std::move(m_rows);
    m_rows = std::move(rows);
    forgetMadeRows();
    endResetModel();
    return old;
}

void FileListModel::clear()
{
    setRows(FileRows());
}

void FileListModel::appendRows(std::vector<FileRow> rows)
{
    appendRows(fromRows(std::move(rows)));
}

void FileListModel::appendRows(FileRows rows)
{
    if (rows.empty())
        return;
    const int first = count();
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    m_rows.append(std::move(rows));
    forgetMadeRows();
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
    m_rows.erase(size_t(i), size_t(i));
    forgetMadeRows();
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
            m_rows.erase(size_t(run->first), size_t(run->second));
            forgetMadeRows();
            endRemoveRows();
        }
        return;
    }
    beginResetModel();
    std::vector<bool> marked(m_rows.size(), false);
    for (const auto& [first, last] : runs) {
        for (int row = first; row <= last; ++row)
            marked[size_t(row)] = true;
    }
    m_rows.eraseMarked(marked);
    forgetMadeRows();
    endResetModel();
}

void FileListModel::setNote(int i, const QString& note)
{
    m_rows.setNote(size_t(i), note);
    forgetMadeRows();
    const int column = columnOf(Field::Note);
    Q_EMIT dataChanged(index(i, column), index(i, column));
}

void FileListModel::setAttributes(int i, platform::Attributes attributes, const QString& text)
{
    m_rows.setAttributes(size_t(i), attributes, text);
    forgetMadeRows();
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
    const std::vector<int> moved = m_rows.rebaseFolders(from, to);
    forgetMadeRows();
    const int column = columnOf(Field::Folder);
    if (column < 0)
        return;
    for (const int row : moved)
        Q_EMIT dataChanged(index(row, column), index(row, column));
}

void FileListModel::setRow(int i, FileRow row)
{
    m_rows.set(size_t(i), row);
    forgetMadeRows();
    Q_EMIT dataChanged(index(i, 0), index(i, columnCount() - 1));
}

void FileListModel::sortBy(int column, bool ascending)
{
    if (m_rows.size() < 2 || column < 0 || column >= columnCount())
        return;
    const std::vector<int> order = sortedOrder(m_rows, fieldOf(column), ascending);

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_rows.reorder(order);
    forgetMadeRows();
    const QModelIndexList before = persistentIndexList();
    if (!before.isEmpty()) {
        std::vector<int> newRowOf(order.size());
        for (size_t i = 0; i < order.size(); ++i)
            newRowOf[size_t(order[i])] = int(i);
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex& old : before)
            after.append(index(newRowOf[size_t(old.row())], old.column()));
        changePersistentIndexList(before, after);
    }
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace core
