#pragma once
// The external tree's commands: filling it from the registrations, refreshing, selecting an
// entry (which makes its folder current and lists it), registering libraries with the
// folder form, redefining a library's folder, renaming and removing registrations.

#include "core/Dialogs.h"
#include "core/FileListController.h"
#include "core/Workspace.h"
#include "external/ExternalLibraries.h"
#include "external/FolderForm.h"

#include <QObject>

namespace external {

class ExternalTreeCommands : public QObject
{
    Q_OBJECT
public:
    ExternalTreeCommands(core::Workspace& workspace, core::FileListController& files,
                         core::Dialogs& dialogs, QObject* parent = nullptr);

    // LoadOuterLibraries: one entry per registered library under the external root, in the
    // file's order.
    void LoadOuterLibraries();
    // At start: the registered libraries, sorted by name.
    void buildAtStart();
    // "刷新": rebuilds the libraries, sorts them, keeps the selected library where it is
    // still registered and asks the view to expand the root.
    void N25Click();

    // The change handler of the external tree; runs on every selection change.
    void usertreeChange(const QModelIndex& index);

    // "添加文件夹...": the folder form in add mode, open for one library after another.
    void newuserdirClick();
    // The new-category command while the external section is shown.
    void addtreeClick();
    // "重定义分类库...": the folder form for the selected library's folder.
    void rendefClick();
    // The form's OK in either mode.
    core::OkResult BitBtn1Click(FolderForm::Mode mode, const QString& name, const QString& folder);

    // "移去文件夹": removes the selected library's registration without asking.
    void movedirClick();
    // The delete-category command while the external section is shown: asks first.
    void deltreeClick();

    // F2 / "更改类库名": starts editing the selected library's name where allowed.
    void editdirnameClick();
    bool usertreeEditing(const QModelIndex& index) const;
    void usertreeEdited(const QModelIndex& index, const QString& text);

Q_SIGNALS:
    void expandRequested(const QModelIndex& index);
    void editRequested(const QModelIndex& index);

private:
    void selectionChanged();
    void sortLibraries();
    // The entry of a registered library named `name` (keys match without letter case).
    QModelIndex entryNamed(const QString& name) const;
    QModelIndex selectedLibrary() const;
    void removeEntry(const QModelIndex& index);

    core::Workspace& m_workspace;
    core::FileListController& m_files;
    core::Dialogs& m_dialogs;
    ExternalLibraries m_libraries;
};

} // namespace external
