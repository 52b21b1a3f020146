// Notes mirrored to the files' comment attributes, comments and origins that files bring in,
// and notes found again by their comments after another program renamed or moved the files.
#include "FileOpsHelpers.h"
#include "core/FileListing.h"
#include "core/SystemOptions.h"
#include "fileops/AttributeCommands.h"
#include "fileops/ImportCommands.h"
#include "fileops/MoveCommands.h"
#include "fileops/NoteCommands.h"
#include "fileops/RecycleBoxCommands.h"
#include "fileops/RenameCommands.h"
#include "notes/FileComments.h"
#include "notes/NotesKeeper.h"
#include "platform/FileNames.h"
#include "platform/SysCalls.h"

#include <QFile>

#include <gtest/gtest.h>
#include <sys/xattr.h>
#include <unistd.h>

using fileops_testing::notesFileText;
using testing_support::World;

namespace {

QByteArray native(const QString& path)
{
    return platform::nativePath(path);
}

// The comment of the entry itself; "<none>" when it has none.
QByteArray commentOf(const QString& path)
{
    char value[4096];
    const ssize_t n =
        ::lgetxattr(native(path).constData(), "user.xdg.comment", value, sizeof value);
    return n < 0 ? QByteArrayLiteral("<none>") : QByteArray(value, n);
}

bool setAttribute(const QString& path, const char* name, const QByteArray& value)
{
    return ::lsetxattr(native(path).constData(), name, value.constData(), size_t(value.size()),
                       0) == 0;
}

// Refuses every change of metadata on paths that end in `suffix`, as a file the user may not
// change refuses it.
class RefuseMetadata : public platform::sys::FaultHook
{
public:
    explicit RefuseMetadata(QByteArray suffix) : m_suffix(std::move(suffix)) {}
    int before(platform::sys::Call call, int, const char* path, const char*) override
    {
        return call == platform::sys::Call::Metadata && path &&
                       QByteArrayView(path).endsWith(m_suffix)
                   ? EACCES
                   : 0;
    }

private:
    QByteArray m_suffix;
};

class RecordingShell : public platform::Shell
{
public:
    QStringList opened;
    int startProgram(const QString&, const QString&) override { return 0; }
    void openPath(const QString& path) override { opened << path; }
    void openUrl(const QString& url) override { opened << url; }
};

class Comments : public ::testing::Test
{
protected:
    World world;
    core::FileListModel& list = world.workspace.fileList();

    void SetUp() override
    {
        world.library.makeFile("probe");
        if (!setAttribute(world.library.path("probe"), "user.xdg.comment", "x"))
            GTEST_SKIP() << "the temporary folder's file system keeps no user extended attributes";
    }
    void TearDown() override { notes::NotesKeeper::setCommentsFollowNotes(true); }

    QString path(const QString& relative) const { return world.library.path(relative); }
    void show(const QString& category)
    {
        world.start();
        world.selectCategory({category});
    }
    void saveNote(const QString& name, const QString& text)
    {
        world.selectFiles({name});
        world.workspace.setTopEditText(text);
        fileops::NoteCommands(world.workspace, world.dialogs).SaveEditTextClick();
    }
    QString noteOf(const QString& name) const
    {
        const int row = world.rowOf(name);
        return row < 0 ? QStringLiteral("<no row>") : list.row(row).note;
    }
};

} // namespace

TEST_F(Comments, TheCommentFollowsTheNoteThroughEveryCommand)
{
    for (const char* name : {"a.txt", "b.txt"})
        world.library.makeFile(QStringLiteral("cat/") + name, name);
    world.library.makeDir("dst");
    // b.txt's note predates the mirror: its file carries no comment yet.
    world.library.writeNotes("cat/", {{"b.txt", QStringLiteral("乙")}});
    show("cat");

    saveNote("a.txt", QStringLiteral("甲的说明"));
    EXPECT_EQ(commentOf(path("cat/a.txt")), QStringLiteral("甲的说明").toUtf8());
    saveNote("a.txt", "   ");
    EXPECT_EQ(commentOf(path("cat/a.txt")), "<none>") << "a blank note leaves no comment";
    saveNote("a.txt", QStringLiteral("新说明"));

    world.selectFiles({"a.txt"});
    fileops::RenameCommands(world.workspace, world.dialogs)
        .filelistEdited(world.rowOf("a.txt"), "renamed.txt");
    EXPECT_EQ(commentOf(path("cat/renamed.txt")), QStringLiteral("新说明").toUtf8());

    world.selectFiles({"renamed.txt", "b.txt"});
    fileops::MoveCommands(world.workspace, world.dialogs)
        .treeviewDragDrop(core::DragSource::FileList, world.findCategory({"dst"}));
    EXPECT_EQ(commentOf(path("dst/renamed.txt")), QStringLiteral("新说明").toUtf8());
    EXPECT_EQ(commentOf(path("dst/b.txt")), QStringLiteral("乙").toUtf8())
        << "a note moved with its file is mirrored there";

    world.selectCategory({"dst"});
    world.selectFiles({"b.txt"});
    world.dialogs.answers.push_back(core::Answer::Yes);
    fileops::RecycleBoxCommands(world.workspace, world.dialogs).delselfileClick();
    EXPECT_EQ(commentOf(path("oprecy/b.txt")), QStringLiteral("乙").toUtf8());

    world.selectFiles({"renamed.txt"});
    world.dialogs.answers.push_back(core::Answer::Yes);
    fileops::NoteCommands(world.workspace, world.dialogs).clsmemoClick();
    EXPECT_EQ(commentOf(path("dst/renamed.txt")), "<none>");
    EXPECT_EQ(world.dialogs.shown.size(), 2u) << "the two questions, and no failure";
}

TEST_F(Comments, ACommentThatCannotBeWrittenLeavesTheNotesFileAloneToHoldTheNote)
{
    world.library.makeFile("cat/locked.txt");
    world.library.makeFile("cat/target.txt");
    ASSERT_EQ(::symlink("target.txt", native(path("cat/link.txt")).constData()), 0);
    show("cat");
    RefuseMetadata refuse("locked.txt");
    const platform::sys::ScopedHook hook(&refuse);
    saveNote("locked.txt", QStringLiteral("锁住"));
    saveNote("link.txt", QStringLiteral("链接"));

    EXPECT_EQ(world.library.notesText("cat/"),
              notesFileText({QStringLiteral("locked.txt=锁住"), QStringLiteral("link.txt=链接")}));
    EXPECT_EQ(commentOf(path("cat/locked.txt")), "<none>");
    EXPECT_EQ(commentOf(path("cat/target.txt")), "<none>") << "a link is never followed";
    EXPECT_EQ(noteOf("locked.txt"), QStringLiteral("锁住"));
    EXPECT_TRUE(world.dialogs.nothingShown());
}

TEST_F(Comments, TheSwitchIsStoredAndOffLeavesExistingCommentsAsTheyAre)
{
    world.library.makeFile("cat/a.txt");
    setAttribute(path("cat/a.txt"), "user.xdg.comment", "old");
    world.library.writeNotes("cat/", {{"a.txt", "old"}});
    show("cat");
    struct NoEffects : core::OptionEffects
    {
        void setToolbarPicture(const QString&) override {}
        void setTreePicture(const QString&) override {}
        void setToolTipsShown(bool) override {}
        void setDropMode(int) override {}
        void setDocumentToolsShown(bool) override {}
    } effects;
    core::OptionsForm form(world.session, effects, world.dialogs, true, true);
    EXPECT_TRUE(form.values.XattrComment) << "on by default";
    form.values.XattrComment = false;
    ASSERT_TRUE(form.YesBtnClick(true));
    EXPECT_EQ(world.config.readString("SystemConfig", "XattrComment", ""), "0");
    EXPECT_FALSE(world.config.loadOptions().XattrComment);

    saveNote("a.txt", "new");
    EXPECT_EQ(commentOf(path("cat/a.txt")), "old");
    world.selectFiles({"a.txt"});
    world.dialogs.answers.push_back(core::Answer::Yes);
    fileops::NoteCommands(world.workspace, world.dialogs).clsmemoClick();
    EXPECT_EQ(commentOf(path("cat/a.txt")), "old");
}

TEST_F(Comments, AFileBroughtInWithoutANoteTakesItsCommentAsOne)
{
    const QString longComment(1200, u'长');
    const struct
    {
        const char* name;
        QByteArray comment;
        QString note;
    } cases[] = {
        {"plain.txt", "来自下载", QStringLiteral("来自下载")},
        {"lines.txt", "first\r\nsecond\nthird", "first second third"},
        {"long.txt", longComment.toUtf8(), QString(1023, u'长')}, // 2047 GBK bytes at most
        {"blank.txt", "  ", ""},
        {"none.txt", {}, ""},
    };
    world.library.makeDir("cat");
    QStringList chosen;
    for (const auto& c : cases) {
        const QString file = world.library.path(QStringLiteral("../outside/") + c.name);
        world.library.makeFile(QStringLiteral("../outside/") + c.name, "data");
        if (!c.comment.isNull()) {
            ASSERT_TRUE(setAttribute(file, "user.xdg.comment", c.comment));
        }
        chosen << file;
    }
    show("cat");
    world.dialogs.fileChoices.push_back(chosen);
    fileops::ImportCommands(world.workspace, world.dialogs).t104Click();

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(noteOf(c.name), c.note);
        EXPECT_EQ(notes::NotesFile::open(path("cat/")).readNote(c.name), c.note);
        EXPECT_EQ(notes::NotesFile::open(path("cat/")).hasNote(c.name), !c.note.isEmpty());
    }
}

TEST_F(Comments, NotesOfFilesRenamedAndMovedByAnotherProgramAreFoundAgainByTheirComments)
{
    constexpr int count = 1000;
    QList<std::pair<QString, QString>> stored;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("f%1.txt").arg(i);
        world.library.makeFile("one/" + name);
        stored.append({name, QStringLiteral("说明%1").arg(i)});
        setAttribute(path("one/" + name), "user.xdg.comment", stored.last().second.toUtf8());
    }
    world.library.writeNotes("one/", stored);
    world.library.makeDir("two");
    // Half renamed in place, half moved into another category, while the program is closed.
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("f%1.txt").arg(i);
        const QString to = i % 2 ? QStringLiteral("one/g%1.txt").arg(i) : "two/" + name;
        ASSERT_EQ(::rename(native(path("one/" + name)), native(path(to))), 0);
    }
    const QString oneBefore = world.library.notesText("one/");

    show("two");
    EXPECT_EQ(list.count(), count / 2);
    EXPECT_EQ(noteOf("f0.txt"), QStringLiteral("说明0"));
    EXPECT_EQ(notes::NotesFile::open(path("two/")).readAll().size(), count / 2);
    world.selectCategory({"one"});
    EXPECT_EQ(noteOf("g999.txt"), QStringLiteral("说明999"));
    const notes::NotesSnapshot one = notes::NotesFile::open(path("one/")).readAll();
    EXPECT_EQ(one.size(), count + count / 2) << "the old keys stay for the note clean-up";
    EXPECT_EQ(one.note("g1.txt"), QStringLiteral("说明1"));
    EXPECT_NE(world.library.notesText("one/"), oneBefore);
}

TEST(ListedComments, AReadOnlyLibraryOnlyShowsThem)
{
    World world(false);
    world.library.makeFile("cat/a.txt");
    if (!setAttribute(world.library.path("cat/a.txt"), "user.xdg.comment", "kept"))
        GTEST_SKIP() << "the temporary folder's file system keeps no user extended attributes";
    world.start();
    world.selectCategory({"cat"});
    EXPECT_EQ(world.workspace.fileList().row(world.rowOf("a.txt")).note, "kept");
    EXPECT_FALSE(world.library.exists("cat/zzfdat.nod"));
}

TEST_F(Comments, ADownloadedFileShowsWhereItCameFromAndOnlyWebAddressesOpen)
{
    const struct
    {
        const char* name;
        QByteArray origin;
        bool opens;
    } cases[] = {
        {"page.html", "https://example.org/a?b=<i>c</i>&d", true},
        {"tool.tar", "ftp://files.example.org/tool.tar", true},
        {"script.txt", "javascript:alert(1)", false},
        {"local.txt", "file:///etc/passwd", false},
    };
    for (const auto& c : cases) {
        world.library.makeFile(QStringLiteral("cat/") + c.name);
        ASSERT_TRUE(
            setAttribute(path(QStringLiteral("cat/") + c.name), "user.xdg.origin.url", c.origin));
    }
    world.library.makeFile("cat/plain.txt");
    show("cat");
    RecordingShell shell;
    fileops::AttributeCommands attributes(world.workspace, world.dialogs, &shell);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        world.dialogs.attributeDialogs.clear();
        world.selectFiles({c.name});
        attributes.fattrClick();
        ASSERT_EQ(world.dialogs.attributeDialogs.size(), 1u);
        const core::AttributesDialogSpec& spec = world.dialogs.attributeDialogs[0];
        EXPECT_EQ(spec.origin, QString::fromUtf8(c.origin));
        EXPECT_EQ(bool(spec.openOrigin), c.opens);
        if (spec.openOrigin) {
            spec.openOrigin();
            EXPECT_EQ(shell.opened.last(), QString::fromUtf8(c.origin));
        }
        const QString tip =
            list.data(list.index(world.rowOf(c.name), 0), Qt::ToolTipRole).toString();
        EXPECT_TRUE(
            tip.contains(QStringLiteral("来源：") + QString::fromUtf8(c.origin).toHtmlEscaped()))
            << tip.toStdString();
    }
    EXPECT_FALSE(list.data(list.index(world.rowOf("plain.txt"), 0), Qt::ToolTipRole).isValid());
}
