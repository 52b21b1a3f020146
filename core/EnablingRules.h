#pragma once
// Which commands are available, from the kind of the selected node and the selections: the
// tool buttons after a tree selection changes, and the menus and pop-up menus when they open.

namespace core {

// The tool buttons that follow the selected node.
struct ToolStates
{
    bool refbtn = false;     // refresh the file list
    bool addtreebtn = true;  // new category
    bool deltreebtn = false; // delete category
    bool addfilebtn = false; // bring files in
    bool vfd = false;        // open the current folder

    bool operator==(const ToolStates&) const = default;
};

// After a selection in the system tree (`external` false) or the external tree. The new
// category button keeps its state when the external tree changes selection.
ToolStates toolStatesFor(bool external, int kind, bool filePageShown, ToolStates previous);

struct FileMenuStates
{
    bool t101, t102, t103, t104, t105, t106;
};
// `systemKind` is the kind of the system tree's selected node (-1 for none): it decides the
// delete-files item even while the external tree is shown.
FileMenuStates fileMenuStates(const ToolStates& tools, int systemKind);

// Select all and invert: a node other than the root of the active tree is selected.
bool operationMenuEnabled(bool externalActive, int activeKind);
// Note clean-up: the active tree has a selected node that is not its first node.
bool noteCleanupEnabled(int activeKind);

struct TreePopupStates
{
    bool addtree, deltree, rendir, emptyboxVisible;
};
TreePopupStates treePopupStates(const ToolStates& tools, int kind);

struct FilePopupStates
{
    bool general;     // every item first; later-built items keep this
    bool addfile;     // the import sub-menu
    bool fileCommands; // note, run, delete, rename, send and attribute items
    bool colours;     // font and background colour items
};
FilePopupStates filePopupStates(const ToolStates& tools, int systemKind, bool writable,
                                bool hasSelectedFile);

// Restore from the recycle box: the active tree shows the box on the browse page, a file of
// the list is selected, and the library can be written.
bool restoreEnabled(int activeKind, bool browsePage, bool writable, bool hasSelectedFile);

struct ExternalPopupStates
{
    bool emptyrecVisible, movedir, editdirname, rendef;
};
ExternalPopupStates externalPopupStates(int kind);

} // namespace core
