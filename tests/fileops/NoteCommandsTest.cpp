// Editing notes: the one-line editor, the note dialog, clearing, copying and drag-copying.
#include "fileops/NoteCommands.h"

#include "FileOpsHelpers.h"

#include <gtest/gtest.h>

using fileops_testing::notesFileText;
using fileops_testing::searchRow;
using testing_support::Shown;
using testing_support::World;

namespace {

class Notes : public ::testing::Test
{
protected:
    World world;
    fileops::NoteCommands commands{world.workspace, world.dialogs};
    core::FileListModel& list = world.workspace.fileList();

    void SetUp() override
    {
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            world.library.makeFile(QStringLiteral("cat/") + name);
        world.library.writeNotes(
            "cat/", {{"a.txt", QStringLiteral("甲")}, {"b.txt", QStringLiteral("乙")}});
    }
    void open()
    {
        world.start();
        world.selectCategory({"cat"});
    }
    QString noteOf(const QString& name) const { return list.row(world.rowOf(name)).note; }
    QString notesFile() const { return world.library.notesText("cat/"); }
};

void expectReadOnlyRefusal(const Shown& shown)
{
    EXPECT_EQ(shown.kind, Shown::Kind::Box);
    EXPECT_EQ(shown.caption, "系统提示");
    EXPECT_EQ(shown.text, "当前应用程序运行在一个只读存储存设备上，本命令不可执行！");
    EXPECT_EQ(shown.icon, core::MessageIcon::Warning);
    EXPECT_EQ(shown.buttons, core::Buttons::Ok);
}

} // namespace

TEST_F(Notes, SavingTheEditorWritesOnlyTheFirstSelectedRowsNote)
{
    open();
    world.selectFiles({"c.txt", "b.txt", "a.txt"});
    EXPECT_EQ(world.workspace.topEditText(), QStringLiteral("甲"))
        << "the editor follows the first";

    world.workspace.setTopEditText(QStringLiteral(" 新的说明 "));
    commands.SaveEditTextClick();
    EXPECT_EQ(noteOf("a.txt"), QStringLiteral(" 新的说明 "));
    EXPECT_EQ(noteOf("b.txt"), QStringLiteral("乙"));
    EXPECT_EQ(noteOf("c.txt"), "");
    EXPECT_EQ(notesFile(), notesFileText({"a.txt= 新的说明 ", "b.txt=乙"}));

    // An empty editor stores an empty value.
    world.selectFiles({"b.txt"});
    world.workspace.setTopEditText(QString());
    commands.SaveEditTextClick();
    EXPECT_EQ(notesFile(), notesFileText({"a.txt= 新的说明 ", "b.txt="}));
    EXPECT_TRUE(world.dialogs.nothingShown());
}

TEST_F(Notes, SavingWithoutASelectedRowSaysWhyAndAnEmptyListDoesNothing)
{
    open();
    world.selectFiles({});
    world.workspace.setTopEditText("typed");
    commands.SaveEditTextClick();
    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    EXPECT_EQ(world.dialogs.shown[0].kind, Shown::Kind::Plain);
    EXPECT_EQ(world.dialogs.shown[0].text,
              "请先点一个文件项吧，我才能知道将这些文字写到哪一条中！\n"
              "我可猜不中你的思想，当然，我有特异功能就不在话下了：)");

    world.selectSystemNode(world.workspace.systemTree().rootIndex());
    commands.SaveEditTextClick();
    EXPECT_EQ(world.dialogs.shown.size(), 1u);
    EXPECT_EQ(notesFile(), notesFileText({"a.txt=甲", "b.txt=乙"}));
}

TEST_F(Notes, AWriteTheNotesFileRefusesKeepsTheRowAndTheTypedText)
{
    open();
    ASSERT_TRUE(platform::FileSystem::local().setAttributes(world.library.path("cat/zzfdat.nod"),
                                                            platform::ReadOnly));
    world.selectFiles({"a.txt"});
    world.workspace.setTopEditText("typed");
    EXPECT_THROW(commands.SaveEditTextClick(), platform::WriteError);
    EXPECT_EQ(noteOf("a.txt"), QStringLiteral("甲"));
    EXPECT_EQ(world.workspace.topEditText(), "typed");
}

TEST_F(Notes, UndoingTheEditorShowsTheFirstSelectedRowsNoteAgain)
{
    open();
    world.selectFiles({"b.txt", "a.txt"});
    world.workspace.setTopEditText("typed");
    commands.ClearEditTextClick();
    EXPECT_EQ(world.workspace.topEditText(), QStringLiteral("甲"));

    world.selectFiles({});
    world.workspace.setTopEditText("typed");
    commands.ClearEditTextClick();
    EXPECT_EQ(world.workspace.topEditText(), "");
    EXPECT_EQ(notesFile(), notesFileText({"a.txt=甲", "b.txt=乙"}));
}

TEST_F(Notes, TheDialogJoinsItsLinesIntoTheNoteOfTheFirstSelectedRow)
{
    core::FontSpec font;
    font.name = "Fixed";
    font.color = 255;
    font.size = 14;
    world.session.setListFont(font);
    open();
    world.selectFiles({"b.txt", "c.txt"});

    world.dialogs.noteInputs.push_back(QStringList({"第一行", "\t第二行 ", "第三行"}));
    commands.editmemoClick();

    ASSERT_EQ(world.dialogs.noteDialogs.size(), 1u);
    const core::NoteDialogSpec& form = world.dialogs.noteDialogs[0];
    EXPECT_EQ(form.caption, "编辑软件说明");
    EXPECT_EQ(form.label, " 编辑 b.txt 文件的说明文字！");
    EXPECT_EQ(form.text, QStringLiteral("乙"));
    EXPECT_EQ(form.font, font);
    EXPECT_TRUE(form.okEnabled);
    EXPECT_EQ(world.dialogs.okResults, std::vector<core::OkResult>{core::OkResult::Close});

    const QString joined = QStringLiteral("第一行\t第二行 第三行");
    EXPECT_EQ(noteOf("b.txt"), joined);
    EXPECT_EQ(noteOf("c.txt"), "");
    EXPECT_EQ(world.workspace.topEditText(), joined);
    EXPECT_EQ(notesFile(), notesFileText({"a.txt=甲", "b.txt=" + joined}));

    world.dialogs.noteInputs.push_back(std::nullopt); // cancelled
    commands.editmemoClick();
    EXPECT_EQ(notesFile(), notesFileText({"a.txt=甲", "b.txt=" + joined}));
}

TEST_F(Notes, ASearchRowsNoteLandsInItsOwnFoldersNotesFile)
{
    world.library.makeFile("other/x.txt");
    world.library.writeNotes("other/", {{"y.txt", "y"}});
    core::FontSpec font;
    font.name = "Fixed";
    font.color = 255;
    world.session.setListFont(font);
    open();
    core::FileListModel& found = world.workspace.searchList();
    found.setRows({searchRow(world.library.path("other/"), "x.txt", "old")});
    world.workspace.searchSelection().select(found.index(0, 0), QItemSelectionModel::Select |
                                                                    QItemSelectionModel::Rows);
    world.workspace.setPage(core::Workspace::Page::Search);
    world.selectFiles({"a.txt"});

    world.dialogs.noteInputs.push_back(QStringList({"新", "注释"}));
    commands.editmemoClick();
    ASSERT_EQ(world.dialogs.noteDialogs.size(), 1u);
    const core::NoteDialogSpec& form = world.dialogs.noteDialogs[0];
    EXPECT_EQ(form.label, " 编辑 x.txt 文件的说明文字！");
    EXPECT_EQ(form.text, "old");
    core::FontSpec colourOnly;
    colourOnly.color = 255;
    EXPECT_EQ(form.font, colourOnly) << "the search list lends only its colour";

    EXPECT_EQ(found.row(0).note, QStringLiteral("新注释"));
    EXPECT_EQ(world.library.notesText("other/"), notesFileText({"y.txt=y", "x.txt=新注释"}));
    EXPECT_EQ(notesFile(), notesFileText({"a.txt=甲", "b.txt=乙"}));
    EXPECT_EQ(noteOf("a.txt"), QStringLiteral("甲"));
}

TEST_F(Notes, OnAReadOnlyLibraryTheEditorAndTheDialogRefuse)
{
    World readOnly(false);
    fileops::NoteCommands commands{readOnly.workspace, readOnly.dialogs};
    readOnly.library.makeFile("cat/a.txt");
    readOnly.start();
    readOnly.selectCategory({"cat"});
    readOnly.selectFiles({"a.txt"});

    readOnly.workspace.setTopEditText("typed");
    commands.SaveEditTextClick();
    ASSERT_EQ(readOnly.dialogs.shown.size(), 1u);
    expectReadOnlyRefusal(readOnly.dialogs.shown[0]);

    readOnly.dialogs.noteInputs.push_back(QStringList("typed"));
    commands.editmemoClick();
    EXPECT_FALSE(readOnly.dialogs.noteDialogs.at(0).okEnabled);
    EXPECT_EQ(readOnly.dialogs.okResults, std::vector<core::OkResult>{core::OkResult::Stay});
    ASSERT_EQ(readOnly.dialogs.shown.size(), 2u);
    expectReadOnlyRefusal(readOnly.dialogs.shown[1]);
    EXPECT_FALSE(readOnly.library.exists("cat/zzfdat.nod"));
    EXPECT_EQ(readOnly.workspace.fileList().row(0).note, "");
}

TEST_F(Notes, AFailedWriteFromTheDialogIsShownAndTheDialogStaysOpen)
{
    open();
    ASSERT_TRUE(platform::FileSystem::local().setAttributes(world.library.path("cat/zzfdat.nod"),
                                                            platform::ReadOnly));
    world.selectFiles({"a.txt"});
    world.dialogs.noteInputs.push_back(QStringList("typed"));
    commands.editmemoClick();
    EXPECT_EQ(world.dialogs.okResults, std::vector<core::OkResult>{core::OkResult::Stay});
    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    EXPECT_EQ(world.dialogs.shown[0].kind, Shown::Kind::Error);
    EXPECT_EQ(world.dialogs.shown[0].text.section(u'\n', 0, 0),
              "Unable to write to " + world.library.path("cat/zzfdat.nod"));
    EXPECT_EQ(noteOf("a.txt"), QStringLiteral("甲"));
}

TEST_F(Notes, ClearingANoteAsksWithYesAsTheDefault)
{
    open();
    world.selectFiles({"b.txt", "a.txt"});
    world.dialogs.answers.push_back(core::Answer::No);
    commands.clsmemoClick();
    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    const Shown& question = world.dialogs.shown[0];
    EXPECT_EQ(question.caption, "请你三思啊！");
    EXPECT_EQ(question.text, "你要清除选中文件的说明文字吗？");
    EXPECT_EQ(question.icon, core::MessageIcon::Question);
    EXPECT_EQ(question.buttons, core::Buttons::YesNo);
    EXPECT_EQ(question.defaultButton, core::Answer::Yes);
    EXPECT_EQ(noteOf("a.txt"), QStringLiteral("甲"));

    world.dialogs.answers.push_back(core::Answer::Yes);
    commands.clsmemoClick();
    EXPECT_EQ(noteOf("a.txt"), "");
    EXPECT_EQ(noteOf("b.txt"), QStringLiteral("乙"));
    EXPECT_EQ(notesFile(), notesFileText({"b.txt=乙"}));
}

TEST_F(Notes, CopyingANoteToTheClipboardTakesItAsShownUnlessItIsBlank)
{
    world.library.writeNotes("cat/", {{"a.txt", QStringLiteral(" 甲 ")}, {"b.txt", "   "}});
    open();
    world.dialogs.clipboard = "before";
    world.selectFiles({"b.txt"});
    commands.copymemoClick();
    EXPECT_EQ(world.dialogs.clipboard, "before");
    world.selectFiles({"a.txt", "b.txt"});
    commands.copymemoClick();
    EXPECT_EQ(world.dialogs.clipboard, QStringLiteral(" 甲 "));
}

TEST_F(Notes, ADropOntoTheListIsTakenOnlyWithOneSelectedRowAndTheOption)
{
    open();
    world.selectFiles({"a.txt"});
    EXPECT_TRUE(commands.filelistDragOver(true, true));
    EXPECT_FALSE(commands.filelistDragOver(false, true));
    EXPECT_FALSE(commands.filelistDragOver(true, false));
    world.selectFiles({"a.txt", "b.txt"});
    EXPECT_FALSE(commands.filelistDragOver(true, true));
    world.selectFiles({});
    EXPECT_FALSE(commands.filelistDragOver(true, true));

    world.selectFiles({"a.txt"});
    world.session.options().AllowDragCopyNote = false;
    EXPECT_FALSE(commands.filelistDragOver(true, true));
    commands.filelistDragDrop(world.rowOf("c.txt"));
    EXPECT_EQ(noteOf("c.txt"), "");
    EXPECT_TRUE(world.dialogs.nothingShown());
}

TEST_F(Notes, DraggingARowCopiesItsNoteAndAsksBeforeReplacingAnother)
{
    open();
    world.selectFiles({"a.txt"});
    commands.filelistDragDrop(world.rowOf("c.txt"));
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_EQ(noteOf("c.txt"), QStringLiteral("甲"));
    EXPECT_EQ(notesFile(), notesFileText({"a.txt=甲", "b.txt=乙", "c.txt=甲"}));

    world.dialogs.answers.push_back(core::Answer::No);
    commands.filelistDragDrop(world.rowOf("b.txt"));
    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    const Shown& question = world.dialogs.shown[0];
    EXPECT_EQ(question.caption, "清你注意");
    EXPECT_EQ(question.text, "你要用拖动项的注释替换当前选中项的注释吗？");
    EXPECT_EQ(question.icon, core::MessageIcon::Question);
    EXPECT_EQ(question.buttons, core::Buttons::YesNo);
    EXPECT_EQ(question.defaultButton, core::Answer::No);
    EXPECT_EQ(noteOf("b.txt"), QStringLiteral("乙"));

    world.dialogs.answers.push_back(core::Answer::Yes);
    commands.filelistDragDrop(world.rowOf("b.txt"));
    EXPECT_EQ(noteOf("b.txt"), QStringLiteral("甲"));
    EXPECT_EQ(notesFile(), notesFileText({"a.txt=甲", "b.txt=甲", "c.txt=甲"}));

    // Nothing for a drop beside the rows, onto the row itself, or from a row without a note.
    world.dialogs.shown.clear();
    commands.filelistDragDrop(-1);
    commands.filelistDragDrop(world.rowOf("a.txt"));
    world.library.writeNotes("cat/", {{"a.txt", "1"}});
    list.setNote(world.rowOf("c.txt"), "  ");
    world.selectFiles({"c.txt"});
    commands.filelistDragDrop(world.rowOf("a.txt"));
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_EQ(notesFile(), notesFileText({"a.txt=1"}));
}
