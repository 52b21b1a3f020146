#include "core/EnablingRules.h"

#include "core/CategoryTreeModel.h"

namespace core {

ToolStates toolStatesFor(bool external, int kind, bool filePageShown, ToolStates previous)
{
    const int root = external ? ExternalRootKind : RootKind;
    ToolStates s = previous;
    s.refbtn = kind != root;
    if (!external)
        s.addtreebtn = kind != RecycleBoxKind && kind != TransitKind;
    s.deltreebtn = kind != root && kind != RecycleBoxKind && kind != TransitKind;
    s.addfilebtn = kind != root && kind != RecycleBoxKind && filePageShown;
    s.vfd = kind != root;
    return s;
}

FileMenuStates fileMenuStates(const ToolStates& tools, int systemKind)
{
    const bool files = tools.addfilebtn;
    return {tools.addtreebtn, tools.deltreebtn, files, files, files,
            systemKind >= 0 && systemKind != RootKind};
}

bool operationMenuEnabled(bool externalActive, int activeKind)
{
    return activeKind >= 0 && activeKind != (externalActive ? ExternalRootKind : RootKind);
}

bool noteCleanupEnabled(int activeKind)
{
    return activeKind >= 0 && activeKind != RootKind && activeKind != ExternalRootKind;
}

TreePopupStates treePopupStates(const ToolStates& tools, int kind)
{
    return {tools.addtreebtn, tools.deltreebtn, kind != RecycleBoxKind && kind != TransitKind,
            kind == RecycleBoxKind};
}

FilePopupStates filePopupStates(const ToolStates& tools, int systemKind, bool writable,
                                bool hasSelectedFile)
{
    FilePopupStates s;
    s.general = systemKind >= 0 && systemKind != RootKind;
    s.addfile = tools.addfilebtn && writable;
    s.fileCommands = hasSelectedFile;
    s.colours = true;
    return s;
}

bool restoreEnabled(int activeKind, bool browsePage, bool writable, bool hasSelectedFile)
{
    return activeKind == RecycleBoxKind && browsePage && writable && hasSelectedFile;
}

ExternalPopupStates externalPopupStates(int kind)
{
    const bool library = kind == CategoryKind;
    return {kind == RecycleBoxKind, library, library, library};
}

} // namespace core
