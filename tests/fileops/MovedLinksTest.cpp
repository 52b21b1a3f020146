// Links keep leading to their files through the commands that move both: a file and links to
// it moved in one command (whatever order they go in), and a category moved to another depth
// with links inside it that lead out of it.
#include "FileOpsHelpers.h"
#include "dropwin/DropCommands.h"
#include "fileops/ImportCommands.h"
#include "fileops/MoveCommands.h"
#include "fileops/RecycleBoxCommands.h"
#include "platform/FileNames.h"
#include "platform/SysCalls.h"

#include <QDir>

#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

using core::DragSource;
using testing_support::World;

namespace {

class Rig
{
public:
    World world;
    fileops::MoveCommands moves{world.workspace, world.dialogs};
    fileops::RecycleBoxCommands box{world.workspace, world.dialogs};
    dropwin::DropCommands drop{world.workspace, world.dialogs};
    fileops::ImportCommands imports{world.workspace, world.dialogs};

    Rig()
    {
        world.session.options().DelDialog = false;
        world.session.options().EmptyDialog = false;
    }
    QByteArray native(const QString& relative) const
    {
        return platform::nativePath(world.library.path(relative));
    }
    void makeLink(const QString& relative, const QByteArray& text) const
    {
        ASSERT_EQ(::symlink(text.constData(), native(relative).constData()), 0) << text.constData();
    }
    std::string linkText(const QString& relative) const
    {
        char text[4096];
        const ssize_t n = ::readlink(native(relative).constData(), text, sizeof text);
        return n < 0 ? std::string("(no link)") : std::string(text, size_t(n));
    }
    // Where the entry at `relative` leads in the end, below the library's root.
    QString leadsTo(const QString& relative) const
    {
        const QString real = platform::canonicalPath(world.library.path(relative));
        const QString root = platform::canonicalPath(world.library.path(""));
        return real.isEmpty() ? QStringLiteral("(nowhere)") : real.mid(root.size() + 1);
    }
    // Search rows for these files, all selected, on the search page.
    void find(const QStringList& paths)
    {
        std::vector<core::FileRow> rows;
        for (const QString& path : paths)
            rows.push_back(fileops_testing::searchRow(
                world.library.path(platform::folderOfPath(path)), platform::nameOfPath(path), {}));
        world.workspace.searchList().setRows(std::move(rows));
        for (int i = 0; i < world.workspace.searchList().count(); ++i)
            world.workspace.searchSelection().select(world.workspace.searchList().index(i, 0),
                                                     QItemSelectionModel::Select |
                                                         QItemSelectionModel::Rows);
        world.workspace.setPage(core::Workspace::Page::Search);
    }
};

class MovedLinks : public ::testing::Test, public Rig
{
};

} // namespace

TEST_F(MovedLinks, AFileAndLinksToItMovedInOneCommandStayLinked)
{
    // One link is listed before the file and one after it, so whatever the order, one link
    // moves before its file and one after it.
    const struct
    {
        const char* how;
        QString from; // the folder they are in
        QString to;   // where they arrive
        std::function<void(Rig&)> run;
    } ways[] = {
        {"file rows onto a category", "src/", "dst/sub/",
         [](Rig& t) {
             t.world.selectCategory({"src"});
             t.world.selectFiles({"a.lnk", "m.txt", "z.lnk"});
             t.moves.treeviewDragDrop(DragSource::FileList, t.world.findCategory({"dst", "sub"}));
         }},
        {"file rows into the box", "src/", "oprecy/",
         [](Rig& t) {
             t.world.selectCategory({"src"});
             t.world.selectFiles({"a.lnk", "m.txt", "z.lnk"});
             t.box.delselfileClick();
         }},
        {"search rows onto a category", "src/", "dst/sub/",
         [](Rig& t) {
             t.find({"src/a.lnk", "src/m.txt", "src/z.lnk"});
             t.world.dialogs.answers.push_back(core::Answer::Yes);
             t.moves.treeviewDragDrop(DragSource::SearchList, t.world.findCategory({"dst", "sub"}));
         }},
        {"search rows into the box", "src/", "oprecy/",
         [](Rig& t) {
             t.find({"src/a.lnk", "src/m.txt", "src/z.lnk"});
             t.box.delselfileClick();
         }},
        {"files imported to move", "../outside/", "dst/",
         [](Rig& t) {
             t.world.selectCategory({"dst"});
             QStringList chosen;
             for (const char* name : {"a.lnk", "m.txt", "z.lnk"})
                 chosen.append(t.world.library.path("../outside/") + name);
             t.world.dialogs.fileChoices.push_back(chosen);
             t.imports.t103Click();
         }},
        {"a folder imported to move", "../outside/", "dst/",
         [](Rig& t) {
             t.world.selectCategory({"dst"});
             t.world.dialogs.folderChoices.push_back(t.world.library.path("../outside"));
             t.imports.t1051Click();
         }},
        {"a folder dropped to move", "../outside/pack/", "dst/pack/",
         [](Rig& t) {
             t.world.selectCategory({"dst"});
             t.drop.DropFileDrop({t.world.library.path("../outside/pack")});
         }},
    };
    for (const auto& way : ways) {
        Rig t;
        t.world.library.makeDir("dst/sub");
        t.world.library.makeFile(way.from + "m.txt", "m");
        t.makeLink(way.from + "a.lnk", "m.txt");
        t.makeLink(way.from + "z.lnk", "./m.txt");
        t.world.start();

        way.run(t);

        // Nothing is told (the search rows' move asks its question first).
        for (const testing_support::Shown& shown : t.world.dialogs.shown)
            EXPECT_EQ(shown.buttons, core::Buttons::YesNo)
                << way.how << ": " << shown.text.toStdString();
        EXPECT_EQ(t.world.library.read(way.to + "m.txt"), "m") << way.how;
        for (const char* link : {"a.lnk", "z.lnk"}) {
            EXPECT_EQ(t.leadsTo(way.to + link), way.to + "m.txt") << way.how << ": " << link;
            EXPECT_EQ(t.linkText(way.to + link), "m.txt") << way.how << ": " << link;
        }
    }
}

TEST_F(MovedLinks, ACategoryMovedToAnotherDepthKeepsItsLinksLeadingWhereTheyLed)
{
    const QByteArray root = platform::nativePath(world.library.path(""));
    world.library.makeFile("other/o.txt", "o");
    world.library.makeFile("cat/a.txt", "a");
    world.library.makeDir("cat/sub");
    world.library.makeDir("dst/deep");
    const struct
    {
        QString link;
        QByteArray text;
        QString leadsTo;          // from the category's new place, below the root
        QByteArray textAfterMove; // empty: as it was
    } links[] = {
        // Inside the category: as they are.
        {"cat/in.lnk", "a.txt", "dst/deep/cat/a.txt", {}},
        {"cat/sub/up.lnk", "../a.txt", "dst/deep/cat/a.txt", {}},
        {"cat/sub/self.lnk", "../../cat/a.txt", "dst/deep/cat/a.txt", {}},
        // Out of it: from its new place to where it led.
        {"cat/out.lnk", "../other/o.txt", "other/o.txt", "../../../other/o.txt"},
        {"cat/sub/out.lnk", "../../other/o.txt", "other/o.txt", "../../../../other/o.txt"},
        {"cat/nowhere.lnk", "../gone.txt", "(nowhere)", "../../../gone.txt"},
        // Absolute: into the category it follows, out of it it stays.
        {"cat/abs.lnk", root + "cat/a.txt", "dst/deep/cat/a.txt", root + "dst/deep/cat/a.txt"},
        {"cat/absout.lnk", root + "other/o.txt", "other/o.txt", {}},
    };
    for (const auto& l : links)
        makeLink(l.link, l.text);
    world.start();

    world.selectCategory({"cat"});
    moves.treeviewDragDrop(DragSource::SystemTree, world.findCategory({"dst", "deep"}));

    ASSERT_TRUE(world.library.exists("dst/deep/cat/a.txt"));
    for (const auto& l : links) {
        const QString moved = "dst/deep/" + l.link;
        EXPECT_EQ(leadsTo(moved), l.leadsTo) << l.link.toStdString();
        EXPECT_EQ(linkText(moved),
                  (l.textAfterMove.isEmpty() ? l.text : l.textAfterMove).toStdString())
            << l.link.toStdString();
    }

    // Back up to the first level, where they read as they did at first.
    moves.treeviewDragDrop(DragSource::SystemTree, world.workspace.systemTree().rootIndex());
    ASSERT_TRUE(world.library.exists("cat/a.txt"));
    for (const auto& l : links)
        EXPECT_EQ(linkText(l.link), l.text.toStdString()) << l.link.toStdString();
}

TEST_F(MovedLinks, ALinkThatCannotBeRewrittenStaysAsItWasAndTheMoveCounts)
{
    world.library.makeFile("other/o.txt", "o");
    world.library.makeDir("cat");
    world.library.makeDir("dst");
    makeLink("cat/out.lnk", "../other/o.txt");
    world.start();
    // No new link can be made.
    struct NoLinks : platform::sys::FaultHook
    {
        int before(platform::sys::Call call, int, const char*, const char*) override
        {
            return call == platform::sys::Call::Link ? EIO : 0;
        }
    } noLinks;

    world.selectCategory({"cat"});
    {
        const platform::sys::ScopedHook hook(&noLinks);
        moves.treeviewDragDrop(DragSource::SystemTree, world.findCategory({"dst"}));
    }

    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_EQ(linkText("dst/cat/out.lnk"), "../other/o.txt");
    EXPECT_FALSE(world.library.exists("cat"));
    EXPECT_TRUE(world.findCategory({"dst", "cat"}).isValid());
    EXPECT_EQ(QDir(world.library.path("dst/cat"))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList({"out.lnk"}));
}
