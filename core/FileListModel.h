#pragma once
// The rows of the file list or of the search result list: one model that every view style
// shows, with one selection. Rows are held compactly (FileRows) and filled in one batch and
// sorted once; a row's texts are written when a view or a command asks for them.

#include "core/FileRow.h"
#include "core/FileRows.h"
#include "core/RowOrder.h"

#include <QAbstractTableModel>

#include <functional>
#include <optional>
#include <vector>

namespace core {

// Every row of a list as listed, for looking rows up: each FileRow is made when it is read.
class ListedRows
{
public:
    explicit ListedRows(const FileRows& rows) : m_rows(&rows) {}
    size_t size() const { return m_rows->size(); }
    bool empty() const { return m_rows->empty(); }
    FileRow operator[](size_t i) const { return m_rows->row(i, false); }
    const FileRows& rows() const { return *m_rows; }

    class iterator
    {
    public:
        iterator(const FileRows* rows, size_t at) : m_rows(rows), m_at(at) {}
        FileRow operator*() const { return m_rows->row(m_at, false); }
        iterator& operator++()
        {
            ++m_at;
            return *this;
        }
        bool operator!=(const iterator& other) const { return m_at != other.m_at; }

    private:
        const FileRows* m_rows;
        size_t m_at;
    };
    iterator begin() const { return {m_rows, 0}; }
    iterator end() const { return {m_rows, m_rows->size()}; }

private:
    const FileRows* m_rows;
};

class FileListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum class Layout
    {
        Files,
        Search
    };
    // What a column shows; the two layouts place them differently. A column sorts by what
    // it shows.
    using Field = RowKey;
    enum Role
    {
        SizeRole = Qt::UserRole + 1,
        FolderRole
    };

    explicit FileListModel(Layout layout, QObject* parent = nullptr);

    Layout layout() const { return m_layout; }
    Field fieldOf(int column) const;
    // What column `column` of a list in `layout` shows; nothing past its last column.
    static std::optional<Field> fieldAt(Layout layout, int column);
    int columnOf(Field field) const; // -1 when the layout has no such column

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // A drag of rows carries only where it comes from; the drop reads the selection.
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

    int count() const { return int(m_rows.size()); }
    // A row, filled in where the listing left it for later (its texts written and its stored
    // flags read). It is made when asked for and kept among the last rows asked for, so the
    // reference stays good while fewer than kKeptRows other rows are asked for and the rows
    // do not change.
    const FileRow& row(int i) const;
    static constexpr int kKeptRows = 64;
    // Every row, complete.
    std::vector<FileRow> rows() const;
    // Every row as listed: names, captions, notes, folders, sizes and times, but maybe not
    // yet the size and date texts and the stored flags. For looking rows up by name.
    ListedRows listedRows() const { return ListedRows(m_rows); }
    // The rows themselves, for reading many without making a FileRow of each.
    const FileRows& fileRows() const { return m_rows; }
    QString pathOf(int i) const { return m_rows.folder(size_t(i)) + m_rows.name(size_t(i)); }
    // The row of the file named exactly `name`, or -1.
    int rowNamed(const QString& name) const;

    void setRows(std::vector<FileRow> rows);
    void setRows(FileRows rows);
    // The same, handing back the rows it held (to be let go elsewhere: many rows take a while).
    FileRows replaceRows(FileRows rows);
    void clear();
    void appendRows(std::vector<FileRow> rows);
    void appendRows(FileRows rows);
    void appendRow(FileRow row);
    void removeRowAt(int i);
    // Removes these rows (ascending, each once): block by block from the bottom, or in one
    // pass when they are scattered too widely for that.
    void removeRowsAt(const std::vector<int>& rows);
    void setNote(int i, const QString& note);
    // The attributes and the attribute column's text.
    void setAttributes(int i, platform::Attributes attributes, const QString& text);
    // Puts a changed row in place of row `i` (a renamed file).
    void setRow(int i, FileRow row);
    // A folder moved from `from` to `to` (both ending in "/"): rows in it or below it follow.
    void rebaseFolders(const QString& from, const QString& to);

    // Sorts by the column: text columns compare their GBK bytes with only ASCII letters
    // folded, the size column numerically and the date column as a date-time. Selection and
    // current row follow their rows.
    void sortBy(int column, bool ascending);

    // Supplies each row's icon (the widgets give the file type's icon).
    using IconProvider = std::function<QVariant(const FileRow&)>;
    void setIconProvider(IconProvider provider) { m_iconProvider = std::move(provider); }

    // In-place editing of a row's caption: whether an edit of the row may begin, and what is
    // done with the text typed when it ends.
    void setEditableRule(std::function<bool(int row)> rule) { m_editable = std::move(rule); }
    void setEditHandler(std::function<void(int row, const QString& text)> handler)
    {
        m_editHandler = std::move(handler);
    }

private:
    // The text a column shows.
    QString textOf(int row, Field field) const;

    // The rows changed: none of the rows made is kept.
    void forgetMadeRows();

    Layout m_layout;
    FileRows m_rows;
    // The rows made last for row(), oldest replaced first.
    mutable std::vector<FileRow> m_made;
    mutable std::vector<int> m_madeRow;
    mutable size_t m_nextMade = 0;
    IconProvider m_iconProvider;
    std::function<bool(int)> m_editable;
    std::function<void(int, const QString&)> m_editHandler;
};

// The text key that orders names and notes: the GB18030 bytes with only a to z folded to
// upper case.
QByteArray textSortKey(const QString& text);

} // namespace core
