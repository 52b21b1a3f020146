#pragma once
// The steps of the row move that the moves onto the trees and the restore from the recycle box
// share: what the file of a list row meets in the folder it goes to, with the same-name
// question where another file has its name there, and the transfer that brings it, over the
// file it replaces when the user agreed.

#include "core/Dialogs.h"
#include "core/FileListModel.h"
#include "fileops/CarriedRows.h"

#include <QPersistentModelIndex>

#include <functional>

namespace fileops {

enum class Placing
{
    Free,      // it can go there
    Replacing, // it goes there over the file of its name, as the user agreed
    Declined,  // the user would not replace the file of its name there
    Refused,   // it cannot go there; the user was told why
};

struct RowPlace
{
    const core::FileListModel& list;
    QPersistentModelIndex row;
    QString source; // folders, ending in "/"
    QString target;
    QString category; // the target's caption, for the messages
};

// Decides for the file of `place.row` by what the disk holds now. `settle` runs before any
// message or question is shown (it carries what is gathered so far); `failed` gives the
// message for a file that is not there to move.
Placing placeRow(const platform::FileSystem& fs, core::Dialogs& dialogs, CarriedRows& carrier,
                 const RowPlace& place, const std::function<void()>& settle,
                 const std::function<QString(const QString& caption)>& failed,
                 notes::Arrival* arrival = nullptr);

// Moves a gathered file, over the file it replaces when the user agreed.
notes::NoteCarrier::Transfer movingTransfer(const platform::FileSystem& fs);

} // namespace fileops
