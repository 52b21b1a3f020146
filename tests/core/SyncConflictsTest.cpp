// Conflict copies of a notes file that synced folders leave beside it: a listing and the live
// list merge their notes, keep a differing note in the file's document, and put the copy into
// the recycle box; the box shows such copies as files; the search never lists them; a copy
// that cannot be merged stays where it is and the status bar says so.
#include "core/LiveList.h"
#include "core/TextFile.h"
#include "notes/NotesKeeper.h"
#include "platform/FileNames.h"
#include "search/LibraryIndex.h"
#include "search/LibrarySearch.h"
#include "support/World.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using testing_support::gbk;
using testing_support::World;

namespace {

const QString kSyncthing = QStringLiteral("zzfdat.sync-conflict-20261207-120000-ABCDEFG.nod");
const QString kNextcloud = QStringLiteral("zzfdat (conflicted copy 2026-12-07 120000).nod");
const QString kDropbox = QStringLiteral("zzfdat (host's conflicted copy 2026-12-07).nod");

QByteArray notesBytes(const QList<std::pair<QString, QString>>& notes)
{
    QString text = QStringLiteral("[fileinfo]\r\n");
    for (const auto& [key, note] : notes)
        text += key + u'=' + note + QStringLiteral("\r\n");
    return gbk(text);
}

class SyncConflicts : public ::testing::Test
{
protected:
    World world;

    void SetUp() override
    {
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            world.library.makeFile(QStringLiteral("cat/") + QLatin1String(name), name);
        world.library.writeNotes(
            "cat/", {{"a.txt", QStringLiteral("甲")}, {"b.txt", QStringLiteral("乙")}});
        world.start();
    }
    // A copy put in place as a sync program does: written aside, then renamed.
    void syncCopy(const QString& folder, const QString& name, const QByteArray& bytes)
    {
        const QString aside = world.library.path(folder + QStringLiteral(".syncing.tmp"));
        QFile file(aside);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        ASSERT_EQ(::rename(platform::nativePath(aside).constData(),
                           platform::nativePath(world.library.path(folder + name)).constData()),
                  0);
    }
    QString noteOf(const QString& name) const
    {
        const int row = world.rowOf(name);
        return row < 0 ? QStringLiteral("<no row>") : world.workspace.fileList().row(row).note;
    }
    QString status() { return world.workspace.status().text(0); }
    QStringList boxFiles() const
    {
        return QDir(world.library.path("oprecy")).entryList(QDir::Files, QDir::Name);
    }
};

} // namespace

TEST_F(SyncConflicts, OnlyTheThreeShapesAreCopiesInAnyLetterCaseOfTheNotesFilesName)
{
    const struct
    {
        QString name;
        bool copy;
    } cases[] = {
        {kSyncthing, true},
        {kNextcloud, true},
        {kDropbox, true},
        {QStringLiteral("ZZFDAT.sync-conflict-20261207-120000-ABC2345.NOD"), true},
        {QStringLiteral("Zzfdat (my laptop's conflicted copy 2026-12-07).Nod"), true},
        {QStringLiteral("zzfdat.sync-conflict-2026127-120000-ABCDEFG.nod"), false},
        {QStringLiteral("zzfdat.sync-conflict-20261207-120000-abcdefg.nod"), false},
        {QStringLiteral("zzfdat.sync-conflict-20261207-120000-ABCDEF.nod"), false},
        {QStringLiteral("zzfdat.sync-conflict-20261207-120000-ABCDEFG.txt"), false},
        {QStringLiteral("zzfdat.sync-conflict-20261207-120000-ABCDEFG.nod.txt"), false},
        {QStringLiteral("notes.sync-conflict-20261207-120000-ABCDEFG.nod"), false},
        {QStringLiteral("zzfdat (conflicted copy 2026-12-07).nod"), false},
        {QStringLiteral("zzfdat (Conflicted Copy 2026-12-07 120000).nod"), false},
        {QStringLiteral("zzfdat (conflicted copy 2026-12-07 120000) (1).nod"), false},
        {QStringLiteral("zzfdat ('s conflicted copy 2026-12-07).nod"), false},
        {QStringLiteral("zzfdat (host's conflicted copy 26-12-07).nod"), false},
        {QStringLiteral("zzfdat(host's conflicted copy 2026-12-07).nod"), false},
    };
    for (const auto& c : cases)
        world.library.makeFile(QStringLiteral("cat/") + c.name, c.name.toUtf8());
    world.selectCategory({"cat"});

    QStringList copies;
    for (const auto& c : cases) {
        EXPECT_EQ(world.rowOf(c.name) < 0, c.copy) << c.name.toStdString();
        EXPECT_EQ(world.library.exists(QStringLiteral("cat/") + c.name), !c.copy)
            << c.name.toStdString();
        if (c.copy)
            copies.append(c.name);
    }
    copies.sort();
    EXPECT_EQ(boxFiles(), copies) << "each copy went into the recycle box";

    // The recycle box shows them as the files they are, and merges nothing.
    world.selectSystemNode(world.workspace.systemTree().recycleBoxIndex());
    for (const QString& name : std::as_const(copies))
        EXPECT_GE(world.rowOf(name), 0) << name.toStdString();
    EXPECT_FALSE(world.library.exists("oprecy/zzfdat.nod"));
    EXPECT_EQ(boxFiles(), copies);
}

TEST_F(SyncConflicts, NotesAreTakenADifferingNoteGoesIntoTheDocumentAndTheCopyIntoTheBox)
{
    // A category and an external library folder, each with the same files and notes.
    QTemporaryDir outside;
    const QString ext = outside.path() + QStringLiteral("/ext/");
    QDir().mkpath(ext);
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        QFile::copy(world.library.path(QStringLiteral("cat/") + QLatin1String(name)),
                    ext + QLatin1String(name));
    QFile::copy(world.library.path("cat/zzfdat.nod"), ext + QStringLiteral("zzfdat.nod"));
    world.config.writeString(core::section::UserDefDir, QStringLiteral("外部"), ext);
    world.external.buildAtStart();
    const core::CategoryTreeModel& tree = world.workspace.externalTree();
    const QModelIndex external = tree.index(0, 0, tree.rootIndex());

    // b's document is UTF-8 with line feeds, and stays so.
    const QString document = world.session.documents().DocumentPath("b.txt");
    world.library.makeFile("filecomm/b.txt.txt", QStringLiteral("旧的文档\n").toUtf8());
    // A file of the copy's name in the box already.
    world.library.makeFile(QStringLiteral("oprecy/") + kDropbox, "older copy");

    const QByteArray copy = notesBytes({{"a.txt", QStringLiteral("甲")},
                                        {"b.txt", QStringLiteral("乙改")},
                                        {"c.txt", QStringLiteral("丙")},
                                        {"later.txt", QStringLiteral("丁")},
                                        {"blank.txt", QStringLiteral("  ")}});
    const struct
    {
        const char* place;
        QString dir;
        std::function<void()> show;
        QString boxName;
    } places[] = {
        {"category", world.library.path("cat/"), [&] { world.selectCategory({"cat"}); },
         QStringLiteral("zzfdat (host's conflicted copy 2026-12-07) (2).nod")},
        {"external folder", ext, [&] { world.selectExternalNode(external); },
         QStringLiteral("zzfdat (host's conflicted copy 2026-12-07) (3).nod")},
    };
    for (const auto& p : places) {
        QFile out(p.dir + kDropbox);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(copy);
        out.close();
        p.show();
        EXPECT_EQ(world.listedNames().size(), 3) << p.place << ": the copy makes no row";
        EXPECT_EQ(noteOf("a.txt"), QStringLiteral("甲")) << p.place;
        EXPECT_EQ(noteOf("b.txt"), QStringLiteral("乙")) << p.place << ": the notes file's stays";
        EXPECT_EQ(noteOf("c.txt"), QStringLiteral("丙")) << p.place << ": taken";
        const notes::NotesSnapshot stored = notes::NotesFile::open(p.dir).readAll();
        EXPECT_EQ(stored.note("later.txt"), QStringLiteral("丁")) << p.place;
        EXPECT_FALSE(stored.has("blank.txt")) << p.place;
        EXPECT_FALSE(QFile::exists(p.dir + kDropbox)) << p.place;
        EXPECT_EQ(world.library.read(QStringLiteral("oprecy/") + p.boxName), copy) << p.place;
        EXPECT_FALSE(status().contains(QStringLiteral("同步冲突副本"))) << p.place;

        // Listed again: nothing more happens.
        world.files.flistrefClick();
        EXPECT_EQ(noteOf("c.txt"), QStringLiteral("丙")) << p.place;
    }
    EXPECT_EQ(world.library.read(QStringLiteral("oprecy/") + kDropbox), "older copy");

    const core::TextFile kept = core::readTextFile(document);
    EXPECT_EQ(kept.format.encoding, platform::TextEncoding::Utf8);
    EXPECT_FALSE(kept.format.crLf);
    const QString line = QStringLiteral("同步冲突副本“%1”中的注释：乙改");
    EXPECT_EQ(kept.text, QStringLiteral("旧的文档\n") +
                             line.arg(world.library.path("cat/") + kDropbox) + u'\n' +
                             line.arg(ext + kDropbox) + u'\n');
    EXPECT_FALSE(world.session.documents().HasDocument("a.txt")) << "the same note adds nothing";
}

TEST_F(SyncConflicts, TheLiveListMergesACopyThatAppearsWhileTheFolderIsShown)
{
    core::LiveList live{world.workspace, world.files};
    world.selectCategory({"cat"});
    if (live.folder().isEmpty())
        GTEST_SKIP() << "inotify cannot watch the temporary folder";
    syncCopy("cat/", kSyncthing, notesBytes({{"c.txt", QStringLiteral("丙")}}));
    ASSERT_TRUE(live.applyNow());
    EXPECT_EQ(noteOf("c.txt"), QStringLiteral("丙"));
    EXPECT_EQ(world.rowOf(kSyncthing), -1);
    EXPECT_EQ(boxFiles(), QStringList{kSyncthing});
    EXPECT_EQ(world.listedNames().size(), 3);
    EXPECT_EQ(world.workspace.status().text(1), QStringLiteral("共3个文件"));
}

TEST_F(SyncConflicts, ACopyThatCannotBeMergedStaysAndTheStatusBarSaysSo)
{
    const QString notesFile = world.library.path("cat/zzfdat.nod");
    const struct
    {
        const char* kind;
        std::function<void()> harm;
        const char* told;
    } cases[] = {
        {"a copy too large to read",
         [&] {
             ASSERT_EQ(
                 ::truncate(
                     platform::nativePath(world.library.path("cat/") + kNextcloud).constData(),
                     65 * 1024 * 1024),
                 0);
         },
         "同步冲突副本无法读取"},
        {"a read-only notes file", [&] { ::chmod(platform::nativePath(notesFile), 0444); },
         "同步冲突副本中的注释未能合并"},
    };
    const QByteArray notesBefore = world.library.read("cat/zzfdat.nod");
    world.selectCategory({"cat"});
    for (const auto& c : cases) {
        world.library.makeFile(QStringLiteral("cat/") + kNextcloud,
                               notesBytes({{"c.txt", QStringLiteral("丙")}}));
        c.harm();
        world.workspace.status().setText(0, QString());
        world.files.flistrefClick();
        EXPECT_TRUE(status().contains(QString::fromUtf8(c.told)))
            << c.kind << ": " << status().toStdString();
        EXPECT_TRUE(world.library.exists(QStringLiteral("cat/") + kNextcloud)) << c.kind;
        EXPECT_TRUE(boxFiles().isEmpty()) << c.kind;
        EXPECT_EQ(world.library.read("cat/zzfdat.nod"), notesBefore) << c.kind;
        EXPECT_EQ(noteOf("c.txt"), QString()) << c.kind;
        EXPECT_EQ(world.rowOf(kNextcloud), -1) << c.kind;
        QFile::remove(world.library.path("cat/") + kNextcloud);
    }

    // The search lists no copy, by the walk or by the kept index; a near-miss is a file.
    world.library.makeFile(QStringLiteral("cat/") + kSyncthing, "unmerged");
    world.library.makeFile("cat/zzfdat.sync-conflict-x.nod");
    const QStringList expected{QStringLiteral("zzfdat.sync-conflict-x.nod")};
    search::LibrarySearch walk(search::Mode::ByName, QStringLiteral("conflict"));
    walk.FindFiles(world.library.root());
    ASSERT_EQ(walk.rows().size(), 1u);
    EXPECT_EQ(walk.rows().row(0, false).name, expected[0]);
    search::LibraryIndex index;
    index.setFolders(world.library.root(), {});
    index.refresh();
    core::FileRows found;
    ASSERT_TRUE(index.search(search::Mode::ByName, QStringLiteral("conflict"), found));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found.row(0, false).name, expected[0]);
}

TEST_F(SyncConflicts, ANoteTakenForAFileWhoseNameIsNotUtf8ReachesThatFilesCommentAtOnce)
{
    const QByteArray folder = platform::nativePath(world.library.path("cat/"));
    const QByteArray file = folder + gbk(QStringLiteral("说明.txt"));
    ::close(::open(file.constData(), O_CREAT | O_WRONLY, 0644));
    world.library.makeFile(QStringLiteral("cat/") + kSyncthing,
                           notesBytes({{QStringLiteral("说明.txt"), QStringLiteral("新的说明")}}));
    // The keeper's merge alone, before any listing looks at the folder.
    const notes::NotesKeeper::ConflictMerge merge =
        notes::NotesKeeper::mergeConflictCopy(world.library.path("cat/"), kSyncthing);
    EXPECT_TRUE(merge.merged);
    EXPECT_EQ(merge.taken, 1);
    char comment[64] = {};
    const ssize_t length = ::getxattr(file.constData(), "user.xdg.comment", comment, sizeof comment);
    ASSERT_GT(length, 0) << "the comment follows the note the copy brought";
    EXPECT_EQ(QString::fromUtf8(comment, int(length)), QStringLiteral("新的说明"));
}
