// The configuration file: location, defaults, the closing round trip and refused writes.
#include "core/ConfigFile.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "support/FaultInjection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using core::ConfigFile;

namespace {

class ConfigFileTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("quillet.ini");
    ConfigFile config{path};

    void writeRaw(const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

} // namespace

TEST(ConfigFileLocation, IsTheLowerCasedProgramNameInTheUserConfigurationFolder)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/some-config");
    EXPECT_EQ(ConfigFile::pathFor("/opt/lib/Quillet.EXE"), "/tmp/some-config/quillet.ini");
    EXPECT_EQ(ConfigFile::pathFor("/home/u/Quillet/quillet"), "/tmp/some-config/quillet.ini");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(ConfigFile::pathFor("/x/quillet"), QDir::homePath() + "/.config/quillet.ini");
    qputenv("XDG_CONFIG_HOME", saved);
}

TEST_F(ConfigFileTest, AFirstStartGetsEveryDefaultAndCreatesNothing)
{
    const core::WindowSettings w = config.loadWindowSettings();
    EXPECT_EQ(w.placement.left, 197);
    EXPECT_EQ(w.placement.top, 106);
    EXPECT_EQ(w.placement.width, 540);
    EXPECT_EQ(w.placement.height, 410);
    EXPECT_FALSE(w.placement.maximized);
    EXPECT_EQ(w.outBarWidth, 150);
    EXPECT_EQ(w.fileColumns, (std::array<int, 5>{100, 200, 60, 120, 50}));
    EXPECT_EQ(w.searchColumns, (std::array<int, 6>{100, 200, 200, 60, 120, 50}));
    EXPECT_TRUE(w.toolbarShown);
    EXPECT_TRUE(w.statusbarShown);
    EXPECT_FALSE(w.gridLines);
    EXPECT_EQ(w.listStyle, 3);
    EXPECT_EQ(w.rootCaption, QStringLiteral("我的软件库"));
    EXPECT_EQ(w.listFont.name, QStringLiteral("宋体"));
    EXPECT_EQ(w.listFont.color, -2147483640);
    EXPECT_EQ(w.listFont.height, -12);
    EXPECT_EQ(w.document.fontSize, 11);
    EXPECT_EQ(w.document.toolDock, 4);
    EXPECT_EQ(w.dropWindow.left, 0);
    EXPECT_FALSE(w.dropWindow.visible);

    const core::Options o = config.loadOptions();
    EXPECT_EQ(o, core::Options{});
    EXPECT_EQ(o.DropMode, 1);
    EXPECT_TRUE(o.DelDialog && o.EmptyDialog && o.AllowDragCopyNote && o.SysHint);
    EXPECT_FALSE(o.ExpNoteTree);
    EXPECT_EQ(o.FloppyDir, "/media/floppy");
    EXPECT_EQ(config.treeBackColor(), 16777215);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(ConfigFileTest, TheClosingSettingsComeBackAsTheyWereSaved)
{
    core::WindowSettings w;
    w.placement = {10, 20, 300, 400, false};
    w.outBarWidth = 222;
    w.fileColumns = {1, 2, 3, 4, 5};
    w.searchColumns = {6, 7, 8, 9, 10, 11};
    w.rootCaption = QStringLiteral("我的收藏");
    w.toolbarShown = false;
    w.statusbarShown = false;
    w.gridLines = true;
    w.listStyle = 1;
    w.document.backColor = 255;
    w.document.fontName = QStringLiteral("黑体");
    w.document.showTools = false;
    w.document.toolDock = 2;
    w.dropWindow = {33, 44, true};
    // Open nodes: the top node, and names of any bytes (GBK bytes, a percent sign, blanks).
    w.openSystemNodes = {{},
                         {QStringLiteral("软件")},
                         {QStringLiteral("软件"), platform::pathFromNative("\xd6\xd0%41 ")}};
    w.openExternalNodes = {{QStringLiteral(" 外部/")}};
    config.saveWindowSettings(w, true);

    core::WindowSettings expected = w;
    expected.listFont = core::FontSpec{}; // written by the font command, not at close
    EXPECT_EQ(config.loadWindowSettings(), expected);
}

TEST_F(ConfigFileTest, ClosingMaximisedKeepsTheLastNormalPlacement)
{
    core::WindowSettings w;
    w.placement = {10, 20, 300, 400, false};
    config.saveWindowSettings(w, true);
    w.placement = {0, 0, 800, 1280, true};
    config.saveWindowSettings(w, false);

    const core::WindowPlacement p = config.loadWindowSettings().placement;
    EXPECT_TRUE(p.maximized);
    EXPECT_EQ(p.top, 10);
    EXPECT_EQ(p.left, 20);
    EXPECT_EQ(p.height, 300);
    EXPECT_EQ(p.width, 400);
    EXPECT_EQ(config.readString("positus", "formfettle", ""), "1");
}

TEST_F(ConfigFileTest, HandEditedValuesFollowTheProfileRules)
{
    writeRaw("[CONTLOR]\r\nliststyle=0x2\r\nOutBarWidth=wide\r\n[SystemConfig]\r\n"
             "DropMode=$0\r\nExpNoteTree=5\r\nFaceFontSize=20\r\n");
    const core::WindowSettings w = config.loadWindowSettings();
    EXPECT_EQ(w.listStyle, 2);
    EXPECT_EQ(w.outBarWidth, 150);
    EXPECT_EQ(w.listFont.size, 20);
    EXPECT_EQ(w.listFont.height, -12);
    const core::Options o = config.loadOptions();
    EXPECT_EQ(o.DropMode, 0);
    EXPECT_TRUE(o.ExpNoteTree);
}

TEST_F(ConfigFileTest, TheListFontIsWrittenWholeAndOtherKeysSurvive)
{
    writeRaw("; my notes\r\n[UserDefDir]\r\n下载=/data/dl/\r\n");
    core::FontSpec font;
    font.name = QStringLiteral("黑体");
    font.height = -16;
    font.bold = true;
    font.pitch = 0x82;
    config.writeListFont(font);

    const core::FontSpec read = config.loadWindowSettings().listFont;
    EXPECT_EQ(read.name, QStringLiteral("黑体"));
    EXPECT_EQ(read.height, -16);
    EXPECT_TRUE(read.bold);
    EXPECT_EQ(read.pitch, 2) << "the pitch is stored with its top bit cleared";
    EXPECT_EQ(config.keys("userdefdir"), QStringList(QStringLiteral("下载")));
}

TEST_F(ConfigFileTest, ARefusedWriteSaysUnableToWriteToThePath)
{
    QDir().mkdir(path); // a folder where the file should be
    try {
        config.writeInt("contlor", "gridline", 1);
        FAIL() << "the write must be refused";
    } catch (const platform::WriteError& error) {
        EXPECT_EQ(error.message().section(u'\n', 0, 0), "Unable to write to " + path);
    }
    EXPECT_THROW(config.saveWindowSettings({}, true), platform::WriteError);

    // A first start whose folder cannot be made: the write says why and makes nothing more.
    ConfigFile fresh(dir.filePath("new/sub/quillet.ini"));
    testing_support::FailNthCall refused(2, EACCES); // the second folder to make
    try {
        const platform::sys::ScopedHook hook(&refused);
        fresh.writeString("contlor", "gridline", "1");
        ADD_FAILURE() << "the write must be refused";
    } catch (const platform::WriteError& error) {
        EXPECT_EQ(error.message(),
                  "Unable to write to " + fresh.path() +
                      QStringLiteral("\n没有写入权限，或者文件带有只读属性；原有的文件保持不变。"));
    }
    EXPECT_TRUE(refused.fired());
    EXPECT_TRUE(QFileInfo(dir.filePath("new")).isDir());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("new/sub")));
    fresh.writeString("contlor", "gridline", "1");
    EXPECT_EQ(fresh.readInt("contlor", "gridline", 0), 1);
}
