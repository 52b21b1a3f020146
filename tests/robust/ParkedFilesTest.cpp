// A whole file parked for a moment (a replace waiting for its successor, a rename in letter
// case) and left so by a run that was killed shows again at the next listing of its folder:
// under its own name when nothing has it, else beside it, never replacing anything; one that
// a running command holds is left alone.
#include "platform/ParkedFiles.h"

#include "platform/FileNames.h"
#include "support/World.h"

#include <QDir>

#include <cstring>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using testing_support::World;

// Texts show as text in failure reports.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

QByteArray native(const QString& path)
{
    return platform::nativePath(path);
}

class ParkedFiles : public ::testing::Test
{
protected:
    World world;

    void SetUp() override
    {
        world.library.makeDir("cat");
        world.start();
    }
    QString cat(const QString& name = {}) const { return world.library.path("cat/") + name; }
    // Parks the file `name` for `standsFor` as a killed command leaves it: its hold ends with
    // the command's process.
    QString park(const QString& name, const QString& standsFor)
    {
        platform::ParkedEntry parked;
        EXPECT_TRUE(parked.moveIn(world.session.fs(), cat(name), cat(), standsFor));
        return parked.path();
    }
    // The names the category lists when it is shown.
    QStringList shown()
    {
        world.selectCategory({});
        world.selectCategory({"cat"});
        QStringList names = world.listedNames();
        names.sort();
        return names;
    }
    // Every entry of the folder, hidden ones too, by its bytes.
    QStringList onDisk() const
    {
        QStringList names;
        DIR* dir = ::opendir(native(cat()).constData());
        while (const dirent* d = dir ? ::readdir(dir) : nullptr) {
            if (std::strcmp(d->d_name, ".") != 0 && std::strcmp(d->d_name, "..") != 0)
                names.append(platform::pathFromNative(d->d_name));
        }
        if (dir)
            ::closedir(dir);
        names.sort();
        return names;
    }
};

} // namespace

TEST_F(ParkedFiles, AParkedFileTakesBackItsNameOrShowsBesideIt)
{
    // 80 characters of three bytes: cut in the parked name, kept whole in its attribute.
    const QString longName = QString(80, QChar(0x4E2D)) + QStringLiteral(".txt");
    const QString gbkName = platform::pathFromNative("\xD6\xD0\xCE\xC4.txt"); // 中文 in GBK
    const struct
    {
        const char* what;
        QString standsFor; // the name the parked file stands for
        QStringList taken; // names other files have
        QString showsAs;   // where the parked file shows afterwards
    } cases[] = {
        {"its name is free", "a.txt", {}, "a.txt"},
        {"its name is taken", "a.txt", {"a.txt"}, "a (恢复).txt"},
        {"that one too", "a.txt", {"a.txt", "a (恢复).txt"}, "a (恢复 2).txt"},
        {"a name with dots", "v1.2.tar.gz", {"v1.2.tar.gz"}, "v1.2.tar (恢复).gz"},
        {"a hidden name", ".profile", {".profile"}, ".profile (恢复)"},
        {"a name too long to fit beside the rest", longName, {}, longName},
        {"one of the program's own temporary names", ".quillet-x.tmp", {}, "(恢复)"},
        {"a name in GBK bytes", gbkName, {}, gbkName},
    };
    for (const auto& c : cases) {
        QDir(cat()).removeRecursively();
        world.library.makeDir("cat");
        world.library.makeFile("cat/parked", "parked");
        for (const QString& name : c.taken)
            world.library.makeFile("cat/" + name, "other");
        const QString parked = park("parked", c.standsFor);
        ASSERT_FALSE(parked.isEmpty()) << c.what;
        EXPECT_TRUE(platform::isTemporaryName(platform::nameOfPath(parked))) << c.what;

        QStringList expected = c.taken;
        expected.append(c.showsAs);
        expected.sort();
        EXPECT_EQ(shown(), expected) << c.what;
        EXPECT_EQ(onDisk().size(), expected.size()) << c.what << ": something stays parked";
        EXPECT_EQ(world.library.read("cat/" + c.showsAs), "parked") << c.what;
        for (const QString& name : c.taken)
            EXPECT_EQ(world.library.read("cat/" + name), "other") << c.what;
        // A record of its name stays with no file.
        EXPECT_LT(::getxattr(native(cat(c.showsAs)).constData(), "user.quillet.parked", nullptr, 0),
                  0)
            << c.what;
    }
    // The temporary folder's clean-up cannot name files whose names are not UTF-8.
    ::unlink(native(cat(gbkName)).constData());
}

TEST_F(ParkedFiles, ASecondNameOfAFileInPlaceGoesAndAnUnnamedOneShowsAsRecovered)
{
    world.library.makeFile("cat/a.txt", "a");
    // The second name a replace across file systems keeps of the file it replaces.
    platform::ParkedEntry kept;
    ASSERT_TRUE(kept.linkIn(cat("a.txt"), "a.txt"));
    kept.letGo();
    // An entry left by an older run records no name.
    world.library.makeFile("cat/.quillet-1x2y3z.keep", "old");

    EXPECT_EQ(shown(), QStringList({"(恢复)", "a.txt"}));
    EXPECT_EQ(onDisk(), QStringList({"(恢复)", "a.txt"}));
    EXPECT_EQ(world.library.read("cat/(恢复)"), "old");
}

TEST_F(ParkedFiles, AnEntryARunningCommandHoldsIsLeftAlone)
{
    world.library.makeFile("cat/a.txt", "a");
    world.library.makeFile("cat/b.txt", "b");
    ::symlink("b.txt", native(cat("l.lnk")).constData());
    {
        platform::ParkedEntry moved;
        ASSERT_TRUE(moved.moveIn(world.session.fs(), cat("a.txt"), cat(), "a.txt"));
        platform::ParkedEntry copied;
        ASSERT_TRUE(copied.copyIn(cat("b.txt"), cat(), "b.txt"));
        // A link cannot be held: while it is young it is taken to be on its way.
        platform::ParkedEntry link;
        ASSERT_TRUE(link.moveIn(world.session.fs(), cat("l.lnk"), cat(), "l.lnk"));

        EXPECT_EQ(shown(), QStringList({"b.txt"}));
        EXPECT_EQ(onDisk().size(), 4);
    }
    // Let go (the command ended without finishing), the files show again; the young link waits.
    EXPECT_EQ(shown(), QStringList({"a.txt", "b (恢复).txt", "b.txt"}));
    EXPECT_EQ(onDisk().size(), 4);
}
