// Which commands the selected node and the selections make available.
#include "core/CategoryTreeModel.h"
#include "core/EnablingRules.h"

#include <gtest/gtest.h>

using namespace core;

TEST(EnablingRules, ToolButtonsFollowTheSystemTreeNode)
{
    const ToolStates root = toolStatesFor(false, RootKind, true, {});
    EXPECT_FALSE(root.refbtn || root.deltreebtn || root.addfilebtn || root.vfd);
    EXPECT_TRUE(root.addtreebtn);

    const ToolStates box = toolStatesFor(false, RecycleBoxKind, true, {});
    EXPECT_FALSE(box.addtreebtn || box.deltreebtn || box.addfilebtn);
    EXPECT_TRUE(box.refbtn && box.vfd);

    const ToolStates transit = toolStatesFor(false, TransitKind, true, {});
    EXPECT_FALSE(transit.addtreebtn || transit.deltreebtn);
    EXPECT_TRUE(transit.addfilebtn);

    const ToolStates category = toolStatesFor(false, CategoryKind, true, {});
    EXPECT_TRUE(category.addtreebtn && category.deltreebtn && category.addfilebtn);
    EXPECT_FALSE(toolStatesFor(false, CategoryKind, false, {}).addfilebtn)
        << "no import while the document page is shown";
}

TEST(EnablingRules, TheExternalTreeLeavesTheNewCategoryButtonAsItWas)
{
    ToolStates before;
    before.addtreebtn = false;
    const ToolStates root = toolStatesFor(true, ExternalRootKind, true, before);
    EXPECT_FALSE(root.addtreebtn);
    EXPECT_FALSE(root.refbtn || root.deltreebtn || root.addfilebtn || root.vfd);
    before.addtreebtn = true;
    const ToolStates library = toolStatesFor(true, CategoryKind, true, before);
    EXPECT_TRUE(library.addtreebtn && library.deltreebtn && library.addfilebtn && library.refbtn);
    EXPECT_FALSE(toolStatesFor(true, TransitKind, true, before).deltreebtn);
}

TEST(EnablingRules, MenusAndPopups)
{
    const ToolStates tools = toolStatesFor(false, CategoryKind, true, {});
    const FileMenuStates file = fileMenuStates(tools, RootKind);
    EXPECT_FALSE(file.t106) << "the system root holds no files to delete";
    EXPECT_TRUE(fileMenuStates(tools, TransitKind).t106);

    EXPECT_FALSE(operationMenuEnabled(false, RootKind));
    EXPECT_TRUE(operationMenuEnabled(false, RecycleBoxKind));
    EXPECT_FALSE(operationMenuEnabled(true, ExternalRootKind));
    EXPECT_FALSE(noteCleanupEnabled(-1));
    EXPECT_FALSE(noteCleanupEnabled(ExternalRootKind));

    const TreePopupStates box = treePopupStates(toolStatesFor(false, RecycleBoxKind, true, {}),
                                                RecycleBoxKind);
    EXPECT_TRUE(box.emptyboxVisible);
    EXPECT_FALSE(box.rendir);
    EXPECT_TRUE(treePopupStates(tools, RootKind).rendir) << "the root may be renamed";

    const FilePopupStates none = filePopupStates(tools, CategoryKind, true, false);
    EXPECT_TRUE(none.general && none.addfile && none.colours);
    EXPECT_FALSE(none.fileCommands);
    EXPECT_FALSE(filePopupStates(tools, CategoryKind, false, true).addfile);
    EXPECT_FALSE(filePopupStates(tools, RootKind, true, true).general);

    EXPECT_TRUE(externalPopupStates(RecycleBoxKind).emptyrecVisible);
    EXPECT_FALSE(externalPopupStates(TransitKind).movedir);
    EXPECT_TRUE(externalPopupStates(CategoryKind).rendef);
}
