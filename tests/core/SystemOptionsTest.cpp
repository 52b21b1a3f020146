// The options dialog: filling it from the options in memory, applying writes every option at
// once and lets it take effect, cancelling writes nothing, a bad picture stops the press.
#include "core/SystemOptions.h"

#include "platform/Errors.h"
#include "support/World.h"

#include <QFile>

#include <gtest/gtest.h>

using testing_support::World;

namespace {

class RecordingEffects : public core::OptionEffects
{
public:
    QStringList log;
    QString unloadable; // a picture path that cannot be loaded

    void setToolbarPicture(const QString& path) override { picture("toolbar", path); }
    void setTreePicture(const QString& path) override { picture("tree", path); }
    void setToolTipsShown(bool shown) override { log << QStringLiteral("tips=%1").arg(shown); }
    void setDropMode(int mode) override { log << QStringLiteral("drop=%1").arg(mode); }
    void setDocumentToolsShown(bool shown) override { log << QStringLiteral("doc=%1").arg(shown); }

private:
    void picture(const char* where, const QString& path)
    {
        if (!path.isEmpty() && path == unloadable)
            throw platform::UserError(QStringLiteral("bad picture"));
        log << QLatin1String(where) + u'=' + path;
    }
};

class SystemOptions : public ::testing::Test
{
protected:
    World world;
    RecordingEffects effects;

    // Runs the dialog once with the user's steps.
    void runDialog(const std::function<void(core::OptionsForm&)>& steps)
    {
        core::OptionsForm form(world.session, effects, world.dialogs, true, true);
        world.dialogs.optionsScripts.push_back(steps);
        world.dialogs.runOptionsDialog(form);
    }
    QByteArray configBytes()
    {
        QFile file(world.config.path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString stored(const char* key) { return world.config.readString("SystemConfig", key, "-"); }
};

} // namespace

TEST_F(SystemOptions, OpensWithTheOptionsInMemoryAndCancelWritesNothing)
{
    world.session.options().DropMode = 0;
    world.session.options().DragPro = "/opt/get/getit";
    runDialog([](core::OptionsForm& form) {
        EXPECT_EQ(form.values.DropMode, 0);
        EXPECT_EQ(form.values.DragPro, "/opt/get/getit");
        EXPECT_TRUE(form.values.DelDialog);
        form.values.DelDialog = false; // then Cancel
    });
    EXPECT_TRUE(configBytes().isEmpty());
    EXPECT_TRUE(world.session.options().DelDialog);
    EXPECT_TRUE(effects.log.isEmpty());
}

TEST_F(SystemOptions, ApplyWritesEveryOptionAtOnceAndStaysOpenWhileOkCloses)
{
    runDialog([&](core::OptionsForm& form) {
        form.values.DelDialog = false;
        form.values.SysHint = false;
        form.values.DoubleEnv = 1;
        form.values.DropMode = 0;
        form.values.ShowDocTools = false;
        form.values.InstantSearch = false;
        form.values.ToolbarBmp = "/pictures/bar.png";
        EXPECT_FALSE(form.YesBtnClick(false)) << "应用 leaves the dialog open";
        EXPECT_EQ(stored("DelDialog"), "0");
        form.values.EnabledSound = false; // then Cancel
    });
    EXPECT_EQ(stored("DelDialog"), "0") << "what Apply stored stays stored";
    EXPECT_EQ(stored("EnabledSound"), "1");
    EXPECT_EQ(stored("SysHint"), "0");
    EXPECT_EQ(stored("DoubleEnv"), "1");
    EXPECT_EQ(stored("DropMode"), "0");
    EXPECT_EQ(stored("InstantSearch"), "0");
    EXPECT_FALSE(world.session.options().InstantSearch);
    EXPECT_EQ(stored("ToolbarBmp"), "/pictures/bar.png");
    EXPECT_EQ(stored("TreeBarBmp"), "");
    EXPECT_EQ(world.config.readString("NoteWindow", "ShowDocTools", "-"), "0");
    EXPECT_FALSE(world.session.options().DelDialog);
    EXPECT_EQ(world.session.options().DropMode, 0);
    EXPECT_EQ(effects.log,
              QStringList({"toolbar=/pictures/bar.png", "tree=", "tips=0", "drop=0", "doc=0"}));

    runDialog([](core::OptionsForm& form) {
        form.values.ToolbarBmp.clear();
        EXPECT_TRUE(form.YesBtnClick(true)) << "确定 closes it";
    });
    EXPECT_EQ(stored("ToolbarBmp"), "");
    EXPECT_EQ(effects.log.at(5), "toolbar=") << "the band's picture goes at once";
}

TEST_F(SystemOptions, APictureThatCannotBeLoadedStopsThatPress)
{
    effects.unloadable = "/pictures/broken.bmp";
    runDialog([](core::OptionsForm& form) {
        form.values.TreeBarBmp = "/pictures/broken.bmp";
        form.values.DelDialog = false;
        EXPECT_FALSE(form.YesBtnClick(true)) << "the dialog stays open";
    });
    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    EXPECT_EQ(world.dialogs.last().kind, testing_support::Shown::Kind::Error);
    EXPECT_EQ(stored("TreeBarBmp"), "/pictures/broken.bmp");
    EXPECT_EQ(stored("DelDialog"), "-") << "the steps after the picture are not carried out";
    EXPECT_TRUE(world.session.options().DelDialog);
}

TEST_F(SystemOptions, PickersFillTheirFieldsAndCancelKeepsThem)
{
    world.dialogs.openChoices = {"/opt/get/getit"};
    world.dialogs.pictureChoices = {"", "/pictures/tree.jpg"};
    runDialog([](core::OptionsForm& form) {
        form.values.ToolbarBmp = "/old.bmp";
        form.SpeedButton1Click();
        form.SpeedButton2Click();
        form.SpeedButton5Click();
        EXPECT_EQ(form.values.DragPro, "/opt/get/getit");
        EXPECT_EQ(form.values.ToolbarBmp, "/old.bmp") << "Cancel changes nothing";
        EXPECT_EQ(form.values.TreeBarBmp, "/pictures/tree.jpg");
        form.SpeedButton4Click();
        EXPECT_TRUE(form.values.DragPro.isEmpty());
    });
    EXPECT_EQ(world.dialogs.openDialogTitles, std::vector<QString>({"请选择下载软件程序"}));
    EXPECT_EQ(world.dialogs.pictureDialogTitles,
              std::vector<QString>({"请选择工具栏背景图", "请选择类库树背景图"}));
    EXPECT_TRUE(configBytes().isEmpty()) << "nothing is applied before OK or Apply";
}
