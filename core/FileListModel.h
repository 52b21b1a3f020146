#pragma once
// The rows of the file list or of the search result list, held in a vector: one model that
// every view style shows, with one selection. Rows are filled in one batch and sorted once.

#include "core/FileRow.h"

#include <QAbstractTableModel>

#include <functional>
#include <vector>

namespace core {

class FileListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum class Layout { Files, Search };
    // What a column shows; the two layouts place them differently.
    enum class Field { Name, Note, Folder, Size, Date, Attr };
    enum Role { SizeRole = Qt::UserRole + 1, FolderRole };

    explicit FileListModel(Layout layout, QObject* parent = nullptr);

    Layout layout() const { return m_layout; }
    Field fieldOf(int column) const;
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
    // A row, filled in where the listing left it for later.
    const FileRow& row(int i) const
    {
        FileRow& r = m_rows[size_t(i)];
        if (!r.complete())
            completeRow(r);
        return r;
    }
    // Every row, complete.
    const std::vector<FileRow>& rows() const;
    // Every row as listed: names, captions, notes, folders, sizes and times, but maybe not
    // yet the size and date texts and the stored flags. For looking rows up by name.
    const std::vector<FileRow>& listedRows() const { return m_rows; }
    QString pathOf(int i) const { return row(i).folder + row(i).name; }

    void setRows(std::vector<FileRow> rows);
    void clear();
    void appendRows(std::vector<FileRow> rows);
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
    Layout m_layout;
    // Rows read their stored flags when first looked at, also through a const model.
    mutable std::vector<FileRow> m_rows;
    IconProvider m_iconProvider;
    std::function<bool(int)> m_editable;
    std::function<void(int, const QString&)> m_editHandler;
};

// The text key that orders names and notes: the GB18030 bytes with only a to z folded to
// upper case.
QByteArray textSortKey(const QString& text);

} // namespace core
