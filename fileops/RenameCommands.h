#pragma once
// Renaming a file in place in the file list or in the search list: the file on disk, its
// detailed document and the key of its note all take the new name.

#include "core/Dialogs.h"
#include "core/Workspace.h"

#include <QObject>

namespace fileops {

class RenameCommands : public QObject
{
    Q_OBJECT
public:
    RenameCommands(core::Workspace& workspace, core::Dialogs& dialogs);

    // "重命名文件..." and F2 in the file list: opens the caption editor on the first selected
    // row; a read-only library refuses.
    void renfileClick();
    // "文件更名...": the same in the search list.
    void renfnClick();
    // Whether a caption edit in the file list may begin (also one the list's own gesture
    // starts): only on a writable library, refused without a message.
    bool filelistEditing() const;
    // The end of a caption edit with the text typed, in the file list / in the search list.
    void filelistEdited(int row, const QString& text);
    void findListEdited(int row, const QString& text);

Q_SIGNALS:
    // The view of `list` opens its caption editor on the row.
    void editRequested(core::FileListModel* list, int row);

private:
    enum class From
    {
        FileList,
        SearchList
    };
    bool refuseWhenReadOnly();
    void startEdit(core::FileListModel& list, const QItemSelectionModel& selection);
    void renameRow(From from, int row, QString text);
    // The rows of the other list that stand for the same file take its new name.
    void followInOtherList(From from, const QString& dir, const QString& oldName,
                           const core::FileRow& renamed);

    core::Workspace& m_workspace;
    core::Dialogs& m_dialogs;
};

} // namespace fileops
