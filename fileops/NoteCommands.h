#pragma once
// Editing the one-line notes of files: the note editor above the file list, the note dialog
// (for a row of the file list or of the search list), clearing a note, copying it to the
// clipboard, and copying it onto another row by dragging.

#include "core/Dialogs.h"
#include "core/Workspace.h"

#include <QPersistentModelIndex>

namespace fileops {

class NoteCommands
{
public:
    NoteCommands(core::Workspace& workspace, core::Dialogs& dialogs);

    // The save button and Enter in the note editor: the editor's text becomes the note of
    // the first selected row.
    void SaveEditTextClick();
    // The undo button: the editor shows the first selected row's note again.
    void ClearEditTextClick();
    // "编辑文件说明..." / "编辑文件注释...": the note dialog for the first selected row of
    // the list the shown page holds.
    void editmemoClick();
    // The note dialog's OK: the lines joined without separators become the note. A refusal
    // or a failed write keeps the dialog open (the failure is shown in the error box).
    core::OkResult WiteBtn1Click(const QStringList& lines);
    // "清除说明文字": empties the first selected row's note after a question.
    void clsmemoClick();
    // "拷贝说明资料": puts the first selected row's note on the clipboard unless it is blank.
    void copymemoClick();

    // Whether a drag over the file list may drop there to copy a note: the dragged object
    // is a list, the list shows details, exactly one row is selected and the option allows it.
    bool filelistDragOver(bool sourceIsAList, bool reportView) const;
    // The drop onto `targetRow` (-1 when no row is under the drop point): copies the
    // selected row's note onto it, asking first when the target has a note of its own.
    void filelistDragDrop(int targetRow);

private:
    // The row of the file whose note the editor took: `selected` when it is that file, else
    // the row that file has now (renamed by another program); -1 when it is gone.
    int editedRow(int selected) const;
    bool refuseWhenReadOnly();
    int firstSelectedFile() const;

    core::Workspace& m_workspace;
    core::Dialogs& m_dialogs;
    // The row the open note dialog edits, in the file list or in the search list.
    core::FileListModel* m_editedList = nullptr;
    QPersistentModelIndex m_editedRow;
};

} // namespace fileops
