#pragma once
// The attributes form of the file list: the place, size and times of one selected file, or
// the count and total size of several, and setting or clearing their read-only, hidden,
// archive and system attributes.

#include "core/Dialogs.h"
#include "core/Workspace.h"

#include <QDateTime>

#include <utility>
#include <vector>

namespace fileops {

class AttributeCommands
{
public:
    AttributeCommands(core::Workspace& workspace, core::Dialogs& dialogs);

    // "文件属性": shows the form for the selected rows of the file list and applies what the
    // user confirms. One file takes exactly the ticked attributes; for several files a grayed
    // box leaves that attribute of every file as it is. Each failure is reported on its own.
    void fattrClick();

private:
    // Says which attributes the files' medium cannot keep, when any of `changes` (row, new
    // attributes) holds one; the command then changes nothing.
    bool refuseUnstorable(const std::vector<std::pair<int, platform::Attributes>>& changes);
    void applyToOne(int row, const core::AttributeBoxes& boxes);
    void applyToSeveral(const std::vector<int>& rows, const core::AttributeBoxes& boxes);
    void showResult(int row, platform::Attributes value);

    core::Workspace& m_workspace;
    core::Dialogs& m_dialogs;
};

// A file time as the form shows it: "yyyy-mm-dd hh:nn:ss"; empty for no time.
QString FileTimeText(const QDateTime& time);

// The boxes that show these attributes, each ticked or not.
core::AttributeBoxes boxesOf(platform::Attributes attributes);
// The attributes after the boxes: a ticked box sets its bit, a cleared one clears it, a grayed
// one leaves it; every other bit stays as in `current`.
platform::Attributes applyBoxes(platform::Attributes current, const core::AttributeBoxes& boxes);

} // namespace fileops
