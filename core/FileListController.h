#pragma once
// The file list's own commands: listing the current folder, refreshing, sorting by a column
// with the direction rule, selecting all or inverting, and the feedback that follows the
// selection (the counts in the status bar and the note editor).

#include "core/Workspace.h"

#include <QObject>

namespace core {

class FileListController : public QObject
{
    Q_OBJECT
public:
    explicit FileListController(Workspace& workspace, QObject* parent = nullptr);

    // Shows the files of `dir` (the current folder): opens its notes file, lists it with one
    // read of the notes, sorts by the current column, and counts the files ("共N个文件").
    void showFolder(const QString& dir);
    // Empties the list (a root shows no files).
    void clearList();
    // A root of either tree: the library root is current, the status names the root and
    // the list is empty; the notes file stays as it was.
    void showRoot(const QString& statusText);

    // flistrefClick: lists the current folder again; does nothing while a root is selected.
    void flistrefClick();
    // A header click: flips the direction and sorts by that column.
    void filelistColumnClick(int column);
    void findListColumnClick(int column);

    // t201Click / t202Click on the page shown: true when the file list should take the focus.
    bool t201Click();
    bool t202Click();
    void selallClick();
    void reversselClick();

    // The note editor takes the note of the first selected row (an unsaved edit is replaced).
    void filelistChange();
    // While quiet, changes of the rows leave the note editor alone (the list follows the
    // disk while a note may be being typed).
    void setQuiet(bool quiet) { m_quiet = quiet; }
    // A listing met a problem (`reason`: a folder or notes file it could not read, notes it
    // could not write): the status bar says so, and the next listing tries again.
    void notesNotSettled(const QString& reason);

Q_SIGNALS:
    // The list now shows the files of `dir`; empty when it shows none.
    void folderListed(const QString& dir);

private:
    void listInto(const QString& dir);
    void filelistSelectItem(const QItemSelection& selected, const QItemSelection& deselected);
    bool operationAllowed();
    static void selectAll(FileListModel& model, QItemSelectionModel& selection);
    static void invert(FileListModel& model, QItemSelectionModel& selection);

    Workspace& m_workspace;
    bool m_clearing = false;
    bool m_quiet = false;
};

} // namespace core
