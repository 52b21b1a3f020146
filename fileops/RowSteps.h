#pragma once
// The row steps the file commands share: working through the selected rows of a list,
// taking over the row of a file that is being replaced, and appending the rows of files
// that arrived.

#include "core/FileListModel.h"
#include "platform/FileSystem.h"

#include <QDateTime>
#include <QItemSelectionModel>

#include <functional>
#include <vector>

namespace fileops {

// Handles one selected row; it must either remove the row or deselect it.
using RowHandler = std::function<void(int row)>;

// DrainSelectedRows: while the list has a selected row, hands the first selected one (from
// the top) to `handle`. A row the handler left selected and in place is deselected, so the
// loop always ends. Rows that stay are those whose operation was refused, declined or failed.
void DrainSelectedRows(core::FileListModel& list, QItemSelectionModel& selection,
                       const RowHandler& handle);

// Sets a whole row to not selected, or to selected in addition to the others.
void deselectRow(const core::FileListModel& list, QItemSelectionModel& selection, int row);
void selectRow(const core::FileListModel& list, QItemSelectionModel& selection, int row);

// The row among a list's rows that stands for the file at `target` (named `name`): the row of
// that exact name, else the first row whose name differs only in letter case and that is the
// same file on disk (a folder that ignores letter case). -1 when none. Rows are looked at
// without making a row of each.
int findRowOfFile(const core::ListedRows& rows, const QString& name, const QString& target);

// TakeOverRow: removes the row and gives its note; the file it stood for has just been
// replaced by one that takes its place in the list.
QString TakeOverRow(core::FileListModel& list, int row);

// The row of a file that has arrived in `folder` under `name`: its caption there, the import
// form of the size text, the size number and the time the list sorts by.
core::FileRow ImportedRow(const platform::FileSystem& fs, const QString& folder,
                          const QString& name, const QString& note, const QString& sizeText,
                          qint64 size, const QDateTime& modified, platform::Attributes attributes);

// Files that arrived in `folder` without notes of their own (an import, a drop) show the note
// stored for their names, else take the comment each brought (read where it came from, in
// `comments`, one per row) as their note, through the notes keeper.
void TakeBroughtComments(const QString& folder, std::vector<core::FileRow>& rows,
                         const QStringList& comments);

// AddImportedRow: appends the row at the end of the list and selects it in addition to the
// rows already selected. The list is not sorted again.
void AddImportedRow(core::FileListModel& list, QItemSelectionModel& selection, core::FileRow row);
// The same for many rows in one insertion, appended in the list's name order.
void AddImportedRows(core::FileListModel& list, QItemSelectionModel& selection,
                     std::vector<core::FileRow> rows);

} // namespace fileops
