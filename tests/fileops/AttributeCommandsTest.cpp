// The attributes form on real files: what it shows for one file and for several, and setting
// the attributes, a symbolic link included.
#include "fileops/AttributeCommands.h"

#include "FileOpsHelpers.h"
#include "core/FileFormats.h"
#include "support/ScratchMount.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using core::AttributeBoxes;
using core::BoxState;
using testing_support::World;

namespace {

constexpr BoxState on = BoxState::Checked;
constexpr BoxState off = BoxState::Unchecked;
constexpr BoxState grayed = BoxState::Grayed;

class Attributes : public ::testing::Test
{
protected:
    World world;
    fileops::AttributeCommands commands{world.workspace, world.dialogs};
    const platform::FileSystem& fs = platform::FileSystem::local();

    platform::Attributes attributesOf(const char* name)
    {
        return fs.attributes(world.library.path(QStringLiteral("cat/") + QLatin1String(name))) &
               ~platform::Directory;
    }
    void set(const char* name, platform::Attributes value)
    {
        ASSERT_TRUE(fs.setAttributes(
            world.library.path(QStringLiteral("cat/") + QLatin1String(name)), value));
    }
    QString column(const char* name)
    {
        return world.workspace.fileList().row(world.rowOf(QLatin1String(name))).attrText;
    }
    mode_t modeOf(const char* name)
    {
        struct stat st = {};
        ::stat(QFile::encodeName(world.library.path(QStringLiteral("cat/") + QLatin1String(name)))
                   .constData(),
               &st);
        return st.st_mode & 07777;
    }
    void open()
    {
        world.start();
        world.selectCategory({"cat"});
    }
};

} // namespace

TEST_F(Attributes, OneFileShowsItsTimesAndTakesExactlyTheTickedAttributes)
{
    world.library.makeFile("cat/a.txt", QByteArray(2048, 'x'));
    set("a.txt", platform::ReadOnly | platform::Archive);
    open();
    world.selectFiles({"a.txt"});
    world.dialogs.attributeChoices.push_back(AttributeBoxes{off, off, on, on});
    commands.fattrClick();

    ASSERT_EQ(world.dialogs.attributeDialogs.size(), 1u);
    const core::AttributesDialogSpec& spec = world.dialogs.attributeDialogs[0];
    EXPECT_FALSE(spec.several);
    EXPECT_EQ(spec.fileName, "a.txt");
    EXPECT_EQ(spec.place, world.library.path("cat/"));
    EXPECT_EQ(spec.sizeText, core::SizeTextLong(2048));
    EXPECT_EQ(spec.boxes, (AttributeBoxes{on, off, on, off})) << "read-only and archive ticked";
    EXPECT_TRUE(spec.okEnabled);
    const QRegularExpression format(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d[02468]$"));
    EXPECT_TRUE(format.match(spec.modifyTime).hasMatch()) << spec.modifyTime.toStdString();
    EXPECT_TRUE(format.match(spec.accessTime).hasMatch()) << spec.accessTime.toStdString();
    EXPECT_TRUE(spec.createTime.isEmpty() || format.match(spec.createTime).hasMatch());
    const QDateTime written = QFileInfo(world.library.path("cat/a.txt")).lastModified();
    EXPECT_EQ(spec.modifyTime,
              fileops::FileTimeText(written.addSecs(-(written.toSecsSinceEpoch() % 2))));

    EXPECT_EQ(attributesOf("a.txt"), platform::Archive | platform::System);
    EXPECT_EQ(column("a.txt"), "AS");
    EXPECT_TRUE(world.dialogs.nothingShown());
}

TEST_F(Attributes, SeveralFilesChangeOnlyTheBoxesThatAreNotGrayed)
{
    world.library.makeFile("cat/a.txt", QByteArray(1000, 'x'));
    world.library.makeFile("cat/b.txt", QByteArray(24, 'x'));
    set("a.txt", platform::Hidden | platform::System);
    set("b.txt", platform::Archive);
    open();
    world.selectFiles({"a.txt", "b.txt"});

    world.dialogs.attributeChoices.push_back(AttributeBoxes{grayed, grayed, grayed, grayed});
    commands.fattrClick();
    const core::AttributesDialogSpec& spec = world.dialogs.attributeDialogs[0];
    EXPECT_TRUE(spec.several);
    EXPECT_EQ(spec.fileName, "选中了 2 个文件;");
    EXPECT_EQ(spec.sizeText, core::SizeTextLong(1024));
    EXPECT_TRUE(spec.modifyTime.isEmpty());
    EXPECT_EQ(spec.boxes, (AttributeBoxes{grayed, grayed, grayed, grayed}));
    EXPECT_EQ(attributesOf("a.txt"), platform::Hidden | platform::System) << "nothing changes";
    EXPECT_EQ(attributesOf("b.txt"), platform::Archive);

    world.dialogs.attributeChoices.push_back(AttributeBoxes{on, grayed, off, grayed});
    commands.fattrClick();
    EXPECT_EQ(attributesOf("a.txt"), platform::ReadOnly | platform::Hidden | platform::System);
    EXPECT_EQ(attributesOf("b.txt"), platform::ReadOnly);
    EXPECT_EQ(column("a.txt"), "RSH");
    EXPECT_EQ(column("b.txt"), "R");
    EXPECT_TRUE(world.dialogs.nothingShown());
}

TEST_F(Attributes, ALinkKeepsItsTargetAndEachFailureIsReportedOnItsOwn)
{
    world.library.makeFile("outside.txt", "target");
    world.library.makeFile("cat/a.txt");
    world.library.makeFile("cat/z.txt");
    ASSERT_TRUE(QFile::link(world.library.path("outside.txt"), world.library.path("cat/link.txt")));
    open();

    world.selectFiles({"link.txt"});
    world.dialogs.attributeChoices.push_back(AttributeBoxes{off, off, off, off});
    commands.fattrClick();
    EXPECT_TRUE(world.dialogs.nothingShown()) << "a link takes what it already shows";

    world.selectFiles({"a.txt", "link.txt", "z.txt"});
    world.dialogs.attributeChoices.push_back(AttributeBoxes{on, grayed, on, grayed});
    commands.fattrClick();
    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    EXPECT_EQ(world.dialogs.last().caption, "系统提示");
    EXPECT_EQ(world.dialogs.last().text, "设置link.txt文件属性失败！");
    EXPECT_EQ(world.dialogs.last().icon, core::MessageIcon::Question);
    EXPECT_EQ(attributesOf("a.txt"), platform::ReadOnly | platform::Archive);
    EXPECT_EQ(attributesOf("z.txt"), platform::ReadOnly | platform::Archive)
        << "the files after a failure are still changed";
    EXPECT_EQ(fs.attributes(world.library.path("outside.txt")), 0u) << "the target is untouched";
    EXPECT_TRUE(QFileInfo(world.library.path("outside.txt")).isWritable());
}

TEST_F(Attributes, AReadOnlyLibraryOnlyShowsThem)
{
    World readOnly(false);
    readOnly.library.makeFile("cat/a.txt");
    readOnly.start();
    readOnly.selectCategory({"cat"});
    readOnly.selectFiles({"a.txt"});
    readOnly.dialogs.attributeChoices.push_back(AttributeBoxes{on, on, on, on});
    fileops::AttributeCommands(readOnly.workspace, readOnly.dialogs).fattrClick();
    EXPECT_FALSE(readOnly.dialogs.attributeDialogs.at(0).okEnabled);
    EXPECT_EQ(fs.attributes(readOnly.library.path("cat/a.txt")), 0u);

    open();
    commands.fattrClick();
    EXPECT_TRUE(world.dialogs.attributeDialogs.empty()) << "no selected file, no form";
}

TEST_F(Attributes, ClearingReadOnlyGivesBackTheWritePermissionsSettingItTook)
{
    world.library.makeFile("cat/shared.txt");
    ASSERT_EQ(::chmod(QFile::encodeName(world.library.path("cat/shared.txt")).constData(), 0664),
              0);
    open();
    world.selectFiles({"shared.txt"});
    world.dialogs.attributeChoices.push_back(AttributeBoxes{on, off, off, off});
    commands.fattrClick();
    EXPECT_EQ(modeOf("shared.txt"), 0444u);
    world.dialogs.attributeChoices.push_back(AttributeBoxes{off, off, off, off});
    commands.fattrClick();
    EXPECT_EQ(modeOf("shared.txt"), 0664u);
    EXPECT_EQ(column("shared.txt"), "");
    EXPECT_TRUE(world.dialogs.nothingShown());
}

TEST_F(Attributes, AMediumWithoutExtendedAttributesTakesAllOrNothing)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a file system without extended attributes needs root";
    world.library.makeDir("cat");
    testing_support::ScratchMount ramfs("ramfs", "", world.library.path("cat"));
    if (!ramfs.mounted())
        GTEST_SKIP() << "ramfs could not be mounted here";
    world.library.makeFile("cat/a.txt");
    world.library.makeFile("cat/b.txt");
    open();

    struct Case
    {
        QStringList files;
        AttributeBoxes boxes;
        QString refused; // the attributes named, empty when the change is made
    } cases[] = {
        {{"a.txt"}, {on, off, on, off}, "“存档”"},
        {{"a.txt", "b.txt"}, {on, on, grayed, on}, "“隐藏”、“系统”"},
        {{"a.txt", "b.txt"}, {on, grayed, off, grayed}, ""},
    };
    for (const Case& c : cases) {
        world.dialogs.shown.clear();
        world.selectFiles(c.files);
        world.dialogs.attributeChoices.push_back(c.boxes);
        commands.fattrClick();
        if (c.refused.isEmpty()) {
            EXPECT_TRUE(world.dialogs.nothingShown()) << c.files.join(u' ').toStdString();
            EXPECT_EQ(attributesOf("a.txt"), platform::ReadOnly);
            EXPECT_EQ(column("b.txt"), "R");
            continue;
        }
        ASSERT_EQ(world.dialogs.texts(),
                  QStringList({"文件所在的磁盘不能保存" + c.refused + "属性，文件属性没有改变！"}));
        EXPECT_EQ(world.dialogs.last().icon, core::MessageIcon::Warning);
        EXPECT_EQ(attributesOf("a.txt"), 0u) << "read-only is not applied without the rest";
        EXPECT_EQ(attributesOf("b.txt"), 0u);
        EXPECT_EQ(column("a.txt"), "");
    }
}
