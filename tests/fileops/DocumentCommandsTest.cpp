// The document page: the document of the selected file, the save, delete and leave rules,
// save as, loading a text file, the font buttons, and the files' encodings.
#include "fileops/DocumentCommands.h"

#include "FileOpsHelpers.h"

#include <QFile>

#include <gtest/gtest.h>
#include <sys/stat.h>

using testing_support::gbk;
using testing_support::Shown;
using testing_support::World;

namespace {

// The editor as a user leaves it: text, the modified mark and whether it can be edited.
class FakeEditor : public fileops::DocumentEditor
{
public:
    QString shown;
    bool modified = false;
    bool enabled = true;
    core::FontSpec font;
    int back = 0;

    void type(const QString& text)
    {
        shown = text;
        modified = true;
    }
    QString text() const override { return shown; }
    bool hasText() const override { return !shown.isEmpty(); }
    void setText(const QString& text) override
    {
        shown = text;
        modified = false;
    }
    bool isModified() const override { return modified; }
    void setModified(bool value) override { modified = value; }
    void setEditorEnabled(bool value) override { enabled = value; }
    void setLook(const core::FontSpec& f, int b) override
    {
        font = f;
        back = b;
    }
};

class Documents : public ::testing::Test
{
protected:
    World world;
    FakeEditor editor;
    fileops::DocumentCommands page{world.workspace, world.dialogs, editor};

    void SetUp() override
    {
        world.library.makeFile(QStringLiteral("软件/ 工具.zip "));
        world.library.makeFile(QStringLiteral("软件/b.txt"));
        world.start();
        world.selectCategory({QStringLiteral("软件")});
    }
    // Selects the file and enters the document page.
    void enter(const QString& name)
    {
        world.selectFiles({name});
        page.TabConChange(fileops::DocumentCommands::DocumentTab);
    }
    QString doc(const QString& name) const { return QStringLiteral("filecomm/") + name; }
    QByteArray docBytes(const QString& name) const { return world.library.read(doc(name)); }
};

} // namespace

TEST_F(Documents, WithoutASelectedFileThePageCannotEditOrSave)
{
    world.selectFiles({});
    page.TabConChange(fileops::DocumentCommands::DocumentTab);
    EXPECT_EQ(editor.shown, "现在不能编辑任何文字，因为你没有选中任何文件。");
    EXPECT_FALSE(editor.enabled);
    EXPECT_FALSE(page.saveEnabled() || page.loadEnabled());
    const fileops::DocumentMenuStates menu = page.t500Click();
    EXPECT_FALSE(menu.t501 || menu.t502 || menu.t503);
    EXPECT_FALSE(world.workspace.toolStates().addfilebtn);

    EXPECT_FALSE(page.savenoteClick());
    EXPECT_EQ(world.dialogs.last().text, "喂喂！现在你不能进行此项操作。\r"
                                         "因为我不知道要保存成什么文件名！\r"
                                         "现在你只能放弃此项操作，哈！你白打字了。");

    // Back on the file page the import button follows the category again.
    page.TabConChange(fileops::DocumentCommands::FilesTab);
    EXPECT_TRUE(world.workspace.toolStates().addfilebtn);
}

TEST_F(Documents, SavingWritesTheTrimmedNamesDocumentAndAnEmptyOneDeletesIt)
{
    world.library.makeFile(doc(QStringLiteral("工具.zip.txt")),
                           gbk(QStringLiteral("旧的\r\n第二行\r\n")));
    enter(QStringLiteral(" 工具.zip "));
    EXPECT_EQ(page.CurrentDocName(), QStringLiteral("工具.zip.txt"));
    EXPECT_EQ(editor.shown, QStringLiteral("旧的\n第二行\n"));
    EXPECT_TRUE(editor.enabled && page.saveEnabled() && page.loadEnabled());
    EXPECT_FALSE(editor.modified);

    // Unmodified: nothing is written, the mark stays clear.
    editor.shown = QStringLiteral("不算数");
    EXPECT_TRUE(page.savenoteClick());
    EXPECT_EQ(docBytes(QStringLiteral("工具.zip.txt")), gbk(QStringLiteral("旧的\r\n第二行\r\n")));

    editor.type(QStringLiteral("新的\n最后一行没有换行"));
    EXPECT_TRUE(page.savenoteClick());
    EXPECT_FALSE(editor.modified);
    EXPECT_EQ(docBytes(QStringLiteral("工具.zip.txt")),
              gbk(QStringLiteral("新的\r\n最后一行没有换行\r\n")));

    // Emptied: the file goes, the mark stays set; a later save with text makes it again.
    editor.type(QString());
    EXPECT_TRUE(page.savenoteClick());
    EXPECT_FALSE(world.library.exists(doc(QStringLiteral("工具.zip.txt"))));
    EXPECT_TRUE(editor.modified);
    EXPECT_FALSE(page.t500Click().t502) << "nothing to save as";
    editor.type(QStringLiteral("又有了"));
    EXPECT_TRUE(page.savenoteClick());
    EXPECT_EQ(docBytes(QStringLiteral("工具.zip.txt")), gbk(QStringLiteral("又有了\r\n")));
    EXPECT_EQ(world.workspace.status().text(3), "此文件有详细文档");
    EXPECT_TRUE(world.dialogs.nothingShown());
}

TEST_F(Documents, LeavingAnEditedPageAsksAndOnlyASuccessfulSaveLetsItGo)
{
    enter("b.txt");
    EXPECT_TRUE(page.TabConChanging(fileops::DocumentCommands::DocumentTab)) << "nothing edited";
    EXPECT_TRUE(world.dialogs.nothingShown());

    editor.type("edited");
    world.dialogs.answers = {core::Answer::Cancel, core::Answer::No, core::Answer::Yes};
    EXPECT_FALSE(page.TabConChanging(fileops::DocumentCommands::DocumentTab));
    const Shown& question = world.dialogs.last();
    EXPECT_EQ(question.caption, "请你指示我操作");
    EXPECT_EQ(question.text, "当前的文档内容已被编辑过，是否保存?");
    EXPECT_EQ(question.icon, core::MessageIcon::Warning);
    EXPECT_EQ(question.buttons, core::Buttons::YesNoCancel);
    EXPECT_TRUE(editor.modified);

    EXPECT_TRUE(page.TabConChanging(fileops::DocumentCommands::DocumentTab)); // No
    EXPECT_FALSE(world.library.exists(doc("b.txt.txt")));
    EXPECT_TRUE(page.TabConChanging(fileops::DocumentCommands::DocumentTab)); // Yes
    EXPECT_EQ(docBytes("b.txt.txt"), "edited\r\n");
    editor.modified = true;
    EXPECT_TRUE(page.TabConChanging(fileops::DocumentCommands::FilesTab))
        << "only the document page asks";
    editor.modified = false;

    // A save that fails keeps the page and the edit: the document is read-only.
    ::chmod(QFile::encodeName(world.library.path(doc("b.txt.txt"))).constData(), 0444);
    editor.type("more");
    world.dialogs.answers = {core::Answer::Yes};
    EXPECT_FALSE(page.TabConChanging(fileops::DocumentCommands::DocumentTab));
    EXPECT_EQ(world.dialogs.last().kind, Shown::Kind::Error);
    EXPECT_TRUE(world.dialogs.last().text.startsWith(QStringLiteral("文档“")));
    EXPECT_TRUE(editor.modified);
    EXPECT_EQ(docBytes("b.txt.txt"), "edited\r\n");
}

TEST_F(Documents, ADocumentKeepsItsEncodingAndLineEndsAndAlwaysReadsBackAsWritten)
{
    const struct
    {
        const char* label;
        QByteArray stored;
        QString typed;
        QByteArray written;
    } cases[] = {
        {"utf-8 with line feeds", QStringLiteral("第一\n").toUtf8(), QStringLiteral("第一\n第二"),
         QStringLiteral("第一\n第二\n").toUtf8()},
        {"gb18030 stays", gbk(QStringLiteral("中文\r\n")), QStringLiteral("中文€"),
         gbk(QStringLiteral("中文€\r\n"))},
        {"bom stays", "\xEF\xBB\xBF" + QStringLiteral("文\r\n").toUtf8(), QStringLiteral("字"),
         "\xEF\xBB\xBF" + QStringLiteral("字\r\n").toUtf8()},
        // Two-byte UTF-8 alone would read as GB18030: the mark keeps it UTF-8.
        {"utf-8 that would flip", QStringLiteral("文\n").toUtf8(), QStringLiteral("café"),
         "\xEF\xBB\xBF" + QStringLiteral("café\n").toUtf8()},
        {"new document", QByteArray(), QStringLiteral("新\n\n"), gbk(QStringLiteral("新\r\n\r\n"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        QFile::remove(world.library.path(doc("b.txt.txt")));
        if (!c.stored.isEmpty())
            world.library.makeFile(doc("b.txt.txt"), c.stored);
        enter("b.txt");
        editor.type(c.typed);
        ASSERT_TRUE(page.savenoteClick());
        EXPECT_EQ(docBytes("b.txt.txt"), c.written);
        enter("b.txt");
        EXPECT_EQ(editor.shown, c.typed.endsWith(u'\n') ? c.typed : c.typed + u'\n');
    }
}

TEST_F(Documents, LoadingATextFileMarksTheDocumentAndSaveAsLeavesItAlone)
{
    const QString big = world.library.path(QStringLiteral("../big.txt"));
    QByteArray text;
    for (int i = 0; i < 20000; ++i)
        text += gbk(QStringLiteral("第%1行\r\n").arg(i));
    ASSERT_GT(text.size(), 64 * 1024);
    world.library.makeFile(QStringLiteral("../big.txt"), text);
    enter("b.txt");

    world.dialogs.openChoices = {big, world.library.path(QStringLiteral("../none.txt"))};
    page.t503Click();
    EXPECT_EQ(world.dialogs.openDialogTitles.back(), "请选择一个文本文件");
    EXPECT_EQ(world.dialogs.openDialogFilters.back(), "文本文件[*.txt]|*.txt|所有文件[*.*]|*.*");
    EXPECT_TRUE(editor.modified);
    EXPECT_EQ(editor.shown.count(u'\n'), 20000);
    EXPECT_FALSE(world.library.exists(doc("b.txt.txt"))) << "only a save writes it";
    page.t503Click();
    EXPECT_TRUE(world.dialogs.last().text.startsWith(QStringLiteral("调入文件时出错!\n")));
    EXPECT_EQ(editor.shown.count(u'\n'), 20000) << "a failed load keeps the text";

    const QString copy = world.library.path(QStringLiteral("../copy.txt"));
    world.dialogs.saveChoices = {copy, world.library.path(QStringLiteral("../missing/x.txt"))};
    page.t502Click();
    const core::SaveDialogSpec& spec = world.dialogs.saveDialogs.back();
    EXPECT_EQ(spec.title, "文档另存为...");
    EXPECT_EQ(spec.fileName, "b.txt.txt");
    EXPECT_EQ(spec.defaultExtension, "txt");
    EXPECT_EQ(world.library.read(QStringLiteral("../copy.txt")), text);
    EXPECT_TRUE(editor.modified);
    EXPECT_FALSE(world.library.exists(doc("b.txt.txt")));
    page.t502Click();
    EXPECT_EQ(world.dialogs.last().text, "保存文件时出错!目标文件属性只读,写入失败 P:=(");
}

TEST_F(Documents, FontButtonsStopAt72And9Points)
{
    core::DocumentSettings settings;
    settings.fontSize = 71;
    page.applySettings(settings);
    page.ToolButton15Click();
    page.ToolButton15Click();
    EXPECT_EQ(editor.font.size, 72);
    settings.fontSize = 10;
    page.applySettings(settings);
    page.ToolButton16Click();
    page.ToolButton16Click();
    EXPECT_EQ(editor.font.size, 9);

    world.dialogs.colorChoices = {255};
    page.backcolorbtnClick();
    core::DocumentSettings stored;
    page.storeSettings(stored);
    EXPECT_EQ(stored.backColor, 255);
    EXPECT_EQ(stored.fontSize, 9);
    EXPECT_EQ(editor.back, 255);
}
