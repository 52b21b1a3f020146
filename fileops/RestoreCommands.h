#pragma once
// Restoring from the recycle box: each selected file of the shown box goes back, with its
// note, into the category it was deleted from (BoxOrigins.h), as a move onto that category
// would take it. Where that category is gone, the box does not know it, or the file cannot
// go back there (the user would not replace the file of its name), the user chooses another
// category in the tree, or leaves the file in the box. Documents belong to names and stay.

#include "core/Dialogs.h"
#include "core/Workspace.h"
#include "fileops/CarriedRows.h"

#include <QString>

#include <optional>

namespace fileops {

class BoxOrigins;

class RestoreCommands
{
public:
    RestoreCommands(core::Workspace& workspace, core::Dialogs& dialogs);

    // "还原文件" (the file list's pop-up menu and the file menu while the box is shown).
    void restorefileClick();

private:
    struct Place
    {
        QString folder; // ends in "/"
        QString category;
    };
    enum class Why
    {
        Unknown,   // the box has no record of where it came from
        Gone,      // the recorded category is not there
        Elsewhere, // it cannot go back where it was
    };

    // Whether files may be put back into `folder`: a category of the library, the transit
    // folder, or a folder of an external library, that is there.
    bool isPlaceToRestore(const QString& folder) const;
    // The caption of the category that `folder` stands for.
    QString categoryOf(const QString& folder) const;
    // The tree question for the file shown as `caption`; nothing when the user cancels.
    std::optional<Place> askWhere(const QString& caption, Why why, const QString& origin);

    core::Workspace& m_workspace;
    core::Dialogs& m_dialogs;
};

} // namespace fileops
