// The standard category template: its tree, the rules that keep the choice consistent, and
// creating the chosen categories.
#include "core/StandardTemplate.h"

#include "platform/FileNames.h"
#include "support/World.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using core::StandardTemplate;
using testing_support::Shown;
using testing_support::World;

namespace {

int nodeNamed(const StandardTemplate& tree, const QString& caption)
{
    for (int n = 0; n < tree.count(); ++n) {
        if (tree.node(n).caption == caption)
            return n;
    }
    ADD_FAILURE() << "no node " << caption.toStdString();
    return -1;
}

QStringList chosen(const StandardTemplate& tree)
{
    QStringList result;
    for (int n = 0; n < tree.count(); ++n) {
        if (tree.isChosen(n))
            result.append(tree.node(n).caption);
    }
    return result;
}

} // namespace

TEST(StandardTemplate, HoldsItsRootAndFortyTwoCategoriesInTreeOrder)
{
    const StandardTemplate tree;
    ASSERT_EQ(tree.count(), 43);
    EXPECT_EQ(tree.node(0).caption, "文件分类库");
    EXPECT_EQ(tree.children(StandardTemplate::Root).size(), 17u);
    EXPECT_EQ(tree.TemplateNodePath(nodeNamed(tree, "下载工具")), "网络工具/下载工具");
    EXPECT_EQ(tree.TemplateNodePath(nodeNamed(tree, "数据库类")), "编程工具/VCL控件/数据库类");
    EXPECT_EQ(tree.TemplateNodePath(nodeNamed(tree, "书藉资料")), "书藉资料");
    for (int n = 1; n < tree.count(); ++n)
        EXPECT_LT(tree.node(n).parent, n) << "parents come before their children";
    EXPECT_TRUE(chosen(tree).isEmpty());
}

TEST(StandardTemplate, ChoosingKeepsChosenNodesUnderChosenAncestors)
{
    StandardTemplate tree;
    const auto press = [&](const char* caption, bool onBox = true) {
        tree.press(nodeNamed(tree, QString::fromUtf8(caption)), onBox);
    };

    tree.press(StandardTemplate::Root, true);
    EXPECT_EQ(chosen(tree).size(), 43) << "the root's box chooses every category";
    tree.press(StandardTemplate::Root, true);
    EXPECT_TRUE(chosen(tree).isEmpty()) << "and clears them again";

    press("界面类");
    EXPECT_EQ(chosen(tree), QStringList({"文件分类库", "编程工具", "VCL控件", "界面类"}));
    press("控件集合");
    press("MP3工具");
    press("编程工具");
    EXPECT_EQ(chosen(tree), QStringList({"文件分类库", "音乐媒体", "MP3工具"}))
        << "clearing a category clears everything under it and nothing else";

    press("音乐媒体", false);
    EXPECT_EQ(chosen(tree).size(), 3) << "a press beside the box changes nothing here";
    press("MP3工具");
    EXPECT_EQ(chosen(tree), QStringList({"文件分类库", "音乐媒体"}))
        << "clearing below the first level keeps the root";
    press("音乐媒体");
    EXPECT_TRUE(chosen(tree).isEmpty()) << "the last first-level category takes the root along";
}

class TemplateCreation : public ::testing::Test
{
protected:
    World world;
    const platform::FileSystem& fs = platform::FileSystem::local();

    // Chooses the categories and presses the create button in one showing of the dialog.
    void createChosen(const QStringList& captions)
    {
        world.dialogs.templateScripts.push_back([captions](core::TemplateForm& form) {
            for (const QString& caption : captions)
                form.tree().press(nodeNamed(form.tree(), caption), true);
            form.BitBtn1Click();
            EXPECT_TRUE(form.created());
            EXPECT_FALSE(form.createEnabled()) << "created once per showing";
        });
        core::t402Click(world.session.layout(), fs, true, world.dialogs, world.categories);
    }
};

TEST_F(TemplateCreation, MakesTheChosenFoldersAndReportsEachThatFails)
{
    world.library.makeFile("网络工具"); // a file where a category should go
    world.library.makeDir("系统工具");
    world.library.makeFile("系统工具/keep.txt", "kept");
    // A category named in GBK bytes on Windows is the one its caption reads as.
    const QString gbkImages =
        platform::pathFromNative(testing_support::gbk(QStringLiteral("图形图像")));
    world.library.makeDir(gbkImages);
    world.start();

    createChosen({"下载工具", "FTP客户端", "系统优化", "书藉资料", "图像管理"});

    EXPECT_TRUE(fs.isDirectory(world.library.path(gbkImages + QStringLiteral("/图像管理"))));
    EXPECT_FALSE(world.library.exists(QStringLiteral("图形图像"))) << "no second one beside it";

    EXPECT_TRUE(QFileInfo(world.library.path("系统工具/系统优化")).isDir());
    EXPECT_EQ(world.library.read("系统工具/keep.txt"), "kept") << "an existing folder stays";
    EXPECT_TRUE(QFileInfo(world.library.path("书藉资料")).isDir());
    EXPECT_TRUE(QFileInfo(world.library.path("网络工具")).isFile());
    ASSERT_EQ(world.dialogs.shown.size(), 4u);
    EXPECT_EQ(world.dialogs.texts(),
              QStringList({"分类库网络工具没有创建成功！", "分类库FTP客户端没有创建成功！",
                           "分类库下载工具没有创建成功！", "分类库创建完成！"}))
        << "tree order; the children of a failed category fail too";
    for (const Shown& s : world.dialogs.shown) {
        EXPECT_EQ(s.caption, "请你注意");
        EXPECT_EQ(s.icon, core::MessageIcon::Warning);
        EXPECT_EQ(s.buttons, core::Buttons::Ok);
    }
    EXPECT_TRUE(world.findCategory({"书藉资料"}).isValid()) << "the tree is refreshed";
    EXPECT_TRUE(world.findCategory({"系统工具"}).isValid());
}

TEST_F(TemplateCreation, NothingChosenAsksForAChoiceAndChangesNothing)
{
    world.start();
    world.dialogs.templateScripts.push_back([](core::TemplateForm& form) {
        form.BitBtn1Click();
        EXPECT_FALSE(form.created());
        EXPECT_TRUE(form.createEnabled());
    });
    core::t402Click(world.session.layout(), fs, true, world.dialogs, world.categories);
    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    EXPECT_EQ(world.dialogs.last().caption, "提示信息");
    EXPECT_EQ(world.dialogs.last().text, "请先选取要建立的分类库。");

    core::TemplateForm readOnly(world.session.layout(), fs, world.dialogs, false);
    EXPECT_FALSE(readOnly.createEnabled()) << "a read-only medium cannot take categories";
}
