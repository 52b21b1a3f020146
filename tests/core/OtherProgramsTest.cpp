// What other programs do to a category's files and notes, while the category is shown (the
// live list follows) or while the program is closed (the next listing settles it): the outcome
// is the same, and every note stays with the file the user means.
#include "core/LiveList.h"
#include "notes/NotesKeeper.h"
#include "platform/FileNames.h"
#include "platform/IniDocument.h"
#include "support/World.h"

#include <QDir>
#include <QFile>

#include <functional>
#include <gtest/gtest.h>
#include <sys/xattr.h>
#include <unistd.h>

using testing_support::World;

namespace {

// What the user sees and what the disk keeps, for one folder.
struct Outcome
{
    QStringList rows;     // "name: note" of every listed file, sorted
    QStringList keys;     // "key=note" of the notes file, sorted
    QStringList comments; // "name: comment" of every file that carries one, sorted
    QStringList documents;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o)
{
    return out << "rows [" << o.rows.join(", ").toStdString() << "] keys ["
               << o.keys.join(", ").toStdString() << "] comments ["
               << o.comments.join(", ").toStdString() << "] documents ["
               << o.documents.join(", ").toStdString() << "]";
}

struct Change
{
    const char* name;
    std::function<void(World&)> prepare; // the library before, written as the program does
    std::function<void(World&)> act;     // what the other program does
    QStringList rows;                    // the rows expected afterwards ("name: note")
    QStringList mustNotHaveKeys;         // keys that must be gone
    QStringList documents;               // documents expected afterwards (may be empty)
};

void PrintTo(const Change& change, std::ostream* out)
{
    *out << change.name;
}

class OtherPrograms : public ::testing::TestWithParam<Change>
{
protected:
    QString path(World& world, const QString& name) { return world.library.path("cat/" + name); }

    // Runs the change with the category shown (the live list applies it) or not shown (it is
    // listed again afterwards, as after a restart).
    Outcome run(const Change& change, bool shown)
    {
        World world;
        world.library.makeDir("other");
        world.library.makeDir("cat");
        world.library.makeDir("filecomm");
        core::LiveList live{world.workspace, world.files};
        world.start();
        change.prepare(world);
        world.selectCategory({"cat"}); // listed: every noted file is recorded
        if (shown && live.folder().isEmpty())
            return {};
        if (!shown)
            world.selectCategory({"other"});
        change.act(world);
        if (shown) {
            live.applyNow();
            live.applyNow(); // the notes file the settling wrote comes back as an event
        } else {
            world.selectCategory({"cat"});
        }
        return outcome(world);
    }

    Outcome outcome(World& world)
    {
        Outcome o;
        const core::FileListModel& list = world.workspace.fileList();
        for (int i = 0; i < list.count(); ++i)
            o.rows.append(list.row(i).name + ": " + list.row(i).note);
        for (const auto& [key, value] :
             platform::IniDocument::parse(world.library.read("cat/zzfdat.nod")).entries("fileinfo"))
            o.keys.append(key + u'=' + value);
        for (int i = 0; i < list.count(); ++i) {
            char comment[1024];
            const ssize_t n = ::lgetxattr(QFile::encodeName(path(world, list.row(i).name)),
                                          "user.xdg.comment", comment, sizeof comment);
            if (n > 0)
                o.comments.append(list.row(i).name + ": " + QString::fromUtf8(comment, n));
        }
        for (const QString& entry : QDir(world.library.path("filecomm/")).entryList(QDir::Files))
            o.documents.append(entry);
        o.rows.sort();
        o.keys.sort();
        o.comments.sort();
        o.documents.sort();
        return o;
    }
};

void note(World& w, const QString& name, const QString& text)
{
    w.library.makeFile("cat/" + name, name.toUtf8());
    notes::NotesKeeper::setNote(w.library.path("cat/"), name, text);
}

void move(World& w, const QString& from, const QString& to)
{
    ASSERT_EQ(::rename(QFile::encodeName(w.library.path(from)).constData(),
                       QFile::encodeName(w.library.path(to)).constData()),
              0);
}

void twoNoted(World& w)
{
    note(w, "a.txt", QStringLiteral("甲"));
    note(w, "b.txt", QStringLiteral("乙"));
}

const Change kChanges[] = {
    {"SafeSave",
     twoNoted,
     [](World& w) {
         w.library.makeFile("cat/.a.txt.tmp", "saved anew");
         move(w, "cat/.a.txt.tmp", "cat/a.txt");
     },
     {QStringLiteral("a.txt: 甲"), QStringLiteral("b.txt: 乙")},
     {},
     {}},
    {"BackupByRename",
     twoNoted,
     [](World& w) {
         move(w, "cat/a.txt", "cat/a.txt~");
         w.library.makeFile("cat/a.txt", "saved anew");
     },
     {QStringLiteral("a.txt: 甲"), QStringLiteral("a.txt~: 甲"), QStringLiteral("b.txt: 乙")},
     {},
     {}},
    {"Rename",
     twoNoted,
     [](World& w) { move(w, "cat/a.txt", "cat/c.txt"); },
     {QStringLiteral("b.txt: 乙"), QStringLiteral("c.txt: 甲")},
     {QStringLiteral("a.txt")},
     {}},
    {"RenameOverADeletedFilesName",
     twoNoted,
     [](World& w) {
         QFile::remove(w.library.path("cat/b.txt"));
         move(w, "cat/a.txt", "cat/b.txt");
     },
     {QStringLiteral("b.txt: 甲")},
     {QStringLiteral("a.txt")},
     {}},
    {"RenameReplacingAFile",
     twoNoted,
     [](World& w) { move(w, "cat/a.txt", "cat/b.txt"); },
     {QStringLiteral("b.txt: 甲")},
     {QStringLiteral("a.txt")},
     {}},
    {"SwapThroughATemporaryName",
     twoNoted,
     [](World& w) {
         move(w, "cat/a.txt", "cat/t.tmp");
         move(w, "cat/b.txt", "cat/a.txt");
         move(w, "cat/t.tmp", "cat/b.txt");
     },
     {QStringLiteral("a.txt: 乙"), QStringLiteral("b.txt: 甲")},
     {},
     {}},
    {"RenameInLetterCase",
     [](World& w) {
         twoNoted(w);
         w.library.makeFile("filecomm/a.txt.txt", "document");
     },
     [](World& w) { move(w, "cat/a.txt", "cat/A.txt"); },
     {QStringLiteral("A.txt: 甲"), QStringLiteral("b.txt: 乙")},
     {QStringLiteral("a.txt")},
     {QStringLiteral("A.txt.txt")}},
    {"RenameAFileWithADocumentButNoNote",
     [](World& w) {
         twoNoted(w);
         w.library.makeFile("cat/d.txt");
         w.library.makeFile("filecomm/d.txt.txt", "document");
         notes::NotesKeeper::recordFile(w.library.path("cat/"), "d.txt");
     },
     [](World& w) { move(w, "cat/d.txt", "cat/e.txt"); },
     {QStringLiteral("a.txt: 甲"), QStringLiteral("b.txt: 乙"), QStringLiteral("e.txt: ")},
     {},
     {QStringLiteral("e.txt.txt")}},
    {"MoveIntoAnotherCategory",
     [](World& w) {
         twoNoted(w);
         w.library.makeFile("other/o.txt");
         notes::NotesKeeper::setNote(w.library.path("other/"), "o.txt", QStringLiteral("外来"));
     },
     [](World& w) { move(w, "other/o.txt", "cat/o.txt"); },
     {QStringLiteral("a.txt: 甲"), QStringLiteral("b.txt: 乙"), QStringLiteral("o.txt: 外来")},
     {},
     {}},
    {"NotesFileEditedByAnotherProgram",
     twoNoted,
     [](World& w) {
         w.library.writeNotes("cat/", {{"a.txt", QStringLiteral("甲改")}});
     },
     {QStringLiteral("a.txt: 甲改"), QStringLiteral("b.txt: ")},
     {QStringLiteral("b.txt")},
     {}},
};

INSTANTIATE_TEST_SUITE_P(Table, OtherPrograms, ::testing::ValuesIn(kChanges),
                         [](const ::testing::TestParamInfo<Change>& info) {
                             return std::string(info.param.name);
                         });

} // namespace

TEST_P(OtherPrograms, ShownOrClosedTheListShowsTheSameAndEveryNoteStaysWithItsFile)
{
    const Change& change = GetParam();
    const Outcome closed = run(change, false);
    const Outcome shown = run(change, true);
    if (shown == Outcome())
        GTEST_SKIP() << "inotify cannot watch the temporary folder";
    EXPECT_EQ(shown, closed);

    EXPECT_EQ(closed.rows, change.rows);
    for (const QString& key : change.mustNotHaveKeys) {
        for (const QString& line : closed.keys)
            EXPECT_FALSE(line.startsWith(key + u'=')) << line.toStdString();
    }
    if (!change.documents.isEmpty()) {
        EXPECT_EQ(closed.documents, change.documents);
    }
    // The comments follow the notes: every noted file shows its note to file managers, and
    // no file shows a note it does not have.
    QStringList expectedComments;
    for (const QString& row : change.rows) {
        if (!row.endsWith(QStringLiteral(": ")))
            expectedComments.append(row);
    }
    EXPECT_EQ(closed.comments, expectedComments);
}
