#include "fileops/NoteCommands.h"

#include "core/ReadOnly.h"
#include "core/Texts.h"
#include "fileops/FileOpsTexts.h"
#include "notes/NotesKeeper.h"

#include <set>

namespace fileops {

namespace {

// The one selected row of a selection, or -1 when none or several rows are selected.
int onlySelectedRow(const QItemSelectionModel& selection)
{
    std::set<int> rows;
    for (const QItemSelectionRange& range : selection.selection()) {
        for (int row = range.top(); row <= range.bottom() && rows.size() < 2; ++row)
            rows.insert(row);
        if (rows.size() > 1)
            return -1;
    }
    return rows.size() == 1 ? *rows.begin() : -1;
}

} // namespace

NoteCommands::NoteCommands(core::Workspace& workspace, core::Dialogs& dialogs)
    : m_workspace(workspace), m_dialogs(dialogs)
{
}

bool NoteCommands::refuseWhenReadOnly()
{
    return core::refuseWhenReadOnly(m_workspace.session(), m_dialogs);
}

int NoteCommands::firstSelectedFile() const
{
    const int row = core::Workspace::firstSelectedRow(m_workspace.fileSelection());
    return row < m_workspace.fileList().count() ? row : -1;
}

void NoteCommands::SaveEditTextClick()
{
    if (refuseWhenReadOnly())
        return;
    core::FileListModel& list = m_workspace.fileList();
    if (list.count() == 0)
        return;
    int row = firstSelectedFile();
    if (row < 0 && m_workspace.editedFile().isEmpty()) {
        m_dialogs.showMessage(texts::NoRowForNote);
        return;
    }
    // The text belongs to the file whose note the editor took: another program may have
    // renamed it meanwhile, and the row selected now be another file's, or none.
    row = editedRow(row);
    if (row < 0) {
        m_dialogs.showMessage(texts::EditedFileGone);
        return;
    }
    // Written first: a refused write leaves the row as it was and the text in the editor.
    const QString text = notes::NotesKeeper::setNote(m_workspace.session().currentDir(),
                                                     list.row(row).name, m_workspace.topEditText());
    list.setNote(row, text);
}

int NoteCommands::editedRow(int selected) const
{
    const core::FileListModel& list = m_workspace.fileList();
    const QString& edited = m_workspace.editedFile();
    if (edited.isEmpty() || (selected >= 0 && list.pathOf(selected) == edited))
        return selected;
    // The edited file under its new name, by what the disk holds.
    const std::optional<platform::FileIdentity>& identity = m_workspace.editedIdentity();
    if (!identity)
        return -1;
    for (int i = 0; i < list.count(); ++i) {
        if (platform::identityOf(list.pathOf(i)) == identity)
            return i;
    }
    return -1;
}

void NoteCommands::ClearEditTextClick()
{
    const int row = firstSelectedFile();
    m_workspace.setTopEditText(row >= 0 ? m_workspace.fileList().row(row).note : QString());
}

void NoteCommands::editmemoClick()
{
    const core::Session& session = m_workspace.session();
    core::FileListModel* list = nullptr;
    int row = -1;
    core::NoteDialogSpec form;
    if (m_workspace.page() == core::Workspace::Page::Browse) {
        list = &m_workspace.fileList();
        row = firstSelectedFile();
        form.font = session.listFont();
    } else {
        list = &m_workspace.searchList();
        row = core::Workspace::firstSelectedRow(m_workspace.searchSelection());
        // The search list lends only its colour.
        form.font.color = session.listFont().color;
    }
    if (row < 0 || row >= list->count())
        return;

    const core::FileRow& edited = list->row(row);
    form.caption = texts::NoteDialogCaption;
    form.label = texts::noteDialogLabel(edited.caption);
    form.text = edited.note;
    form.okEnabled = session.writable();
    m_editedList = list;
    m_editedRow = QPersistentModelIndex(list->index(row, 0));
    m_dialogs.runNoteDialog(form,
                            [this](const QStringList& lines) { return WiteBtn1Click(lines); });
    m_editedList = nullptr;
    m_editedRow = QPersistentModelIndex();
}

core::OkResult NoteCommands::WiteBtn1Click(const QStringList& lines)
{
    if (refuseWhenReadOnly())
        return core::OkResult::Stay;
    if (!m_editedList || !m_editedRow.isValid())
        return core::OkResult::Close;

    const QString joined = notes::oneLineNote(lines.join(QString()));
    const int row = m_editedRow.row();
    const core::FileRow& edited = m_editedList->row(row);
    // This runs inside the dialog, so a failed write is shown here, and the dialog stays
    // open with the text the user typed.
    try {
        if (m_editedList == &m_workspace.fileList()) {
            notes::NotesKeeper::setNote(m_workspace.session().currentDir(), edited.name, joined);
            m_editedList->setNote(row, joined);
            m_workspace.setTopEditText(joined);
        } else if (!edited.folder.isEmpty()) {
            notes::NotesKeeper::setNote(edited.folder, edited.name, joined);
            m_editedList->setNote(row, joined);
        }
    } catch (const platform::UserError& error) {
        m_dialogs.showError(error.message());
        return core::OkResult::Stay;
    }
    return core::OkResult::Close;
}

void NoteCommands::clsmemoClick()
{
    const int row = firstSelectedFile();
    if (row < 0)
        return;
    if (m_dialogs.ask(texts::ClearNoteCaption, texts::ClearNoteQuestion,
                      core::MessageIcon::Question, core::Buttons::YesNo,
                      core::Answer::Yes) != core::Answer::Yes)
        return;
    core::FileListModel& list = m_workspace.fileList();
    // A note the user clears that stays in the file would show again at the next listing,
    // so a failed removal is told and the row keeps its note.
    notes::NotesKeeper::clearNote(m_workspace.session().currentDir(), list.row(row).name);
    list.setNote(row, QString());
}

void NoteCommands::copymemoClick()
{
    const int row = firstSelectedFile();
    if (row < 0)
        return;
    const QString& note = m_workspace.fileList().row(row).note;
    if (!notes::isBlankNote(note))
        m_dialogs.setClipboardText(note);
}

bool NoteCommands::filelistDragOver(bool sourceIsAList, bool reportView) const
{
    return sourceIsAList && reportView && m_workspace.session().options().AllowDragCopyNote &&
           onlySelectedRow(m_workspace.fileSelection()) >= 0;
}

void NoteCommands::filelistDragDrop(int targetRow)
{
    if (!m_workspace.session().options().AllowDragCopyNote)
        return;
    core::FileListModel& list = m_workspace.fileList();
    const int source = onlySelectedRow(m_workspace.fileSelection());
    if (source < 0 || source >= list.count() || targetRow < 0 || targetRow >= list.count() ||
        targetRow == source)
        return;
    const QString note = list.row(source).note;
    if (notes::isBlankNote(note))
        return;
    if (!notes::isBlankNote(list.row(targetRow).note) &&
        m_dialogs.ask(texts::ReplaceNoteCaption, texts::ReplaceNoteQuestion,
                      core::MessageIcon::Question, core::Buttons::YesNo,
                      core::Answer::No) != core::Answer::Yes)
        return;
    notes::NotesKeeper::setNote(m_workspace.session().currentDir(), list.row(targetRow).name, note);
    list.setNote(targetRow, note);
}

} // namespace fileops
