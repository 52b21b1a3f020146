// The notes store: notes files beside the files, and the detailed documents.
#include "core/Documents.h"
#include "core/NoteCleanup.h"
#include "core/Texts.h"
#include "support/FolderNotes.h"
#include "support/TempLibrary.h"
#include "support/World.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using testing_support::gbk;
using testing_support::TempLibrary;

namespace {

class NotesStore : public ::testing::Test
{
protected:
    TempLibrary lib;
    testing_support::FolderNotes folderNotes{lib.path("cat/")};

    void SetUp() override { lib.makeDir("cat"); }
    QByteArray bytes() const { return lib.read("cat/zzfdat.nod"); }
};

} // namespace

TEST_F(NotesStore, TheFirstNoteCreatesTheFileAsGbkBytes)
{
    EXPECT_EQ(folderNotes.readNote("setup.exe"), "");
    EXPECT_FALSE(lib.exists("cat/zzfdat.nod"));

    folderNotes.writeNote(QStringLiteral("安装程序.exe"), QStringLiteral("一个好用的工具 v1.0"));
    EXPECT_EQ(bytes(), gbk(QStringLiteral("[fileinfo]\r\n安装程序.exe=一个好用的工具 v1.0\r\n")));
    EXPECT_EQ(folderNotes.readNote(QStringLiteral("安装程序.exe")),
              QStringLiteral("一个好用的工具 v1.0"));
}

TEST_F(NotesStore, EmptyNotesAreStoredAndReadLikeMissingOnes)
{
    folderNotes.writeNote("a.zip", "");
    EXPECT_TRUE(folderNotes.hasNote("a.zip"));
    EXPECT_EQ(folderNotes.readNote("a.zip"), "");
    EXPECT_FALSE(folderNotes.hasNote("b.zip"));
    EXPECT_EQ(bytes(), QByteArray("[fileinfo]\r\na.zip=\r\n"));
}

TEST_F(NotesStore, KeysMatchWithoutLetterCaseAndNotesMayHoldEqualsSigns)
{
    lib.writeNotes("cat/", {{"Setup.EXE", "key=value pairs inside"}});
    EXPECT_EQ(folderNotes.readNote("setup.exe"), "key=value pairs inside");
    EXPECT_TRUE(folderNotes.hasNote("SETUP.exe"));

    folderNotes.writeNote("setup.exe", "replaced");
    EXPECT_EQ(lib.notesText("cat/"), "[fileinfo]\r\nSetup.EXE=replaced\r\n")
        << "the key keeps its spelling and its place";
}

TEST_F(NotesStore, ANameThatCannotBeAKeyIsRefusedAndNothingIsWritten)
{
    lib.writeNotes("cat/", {{"a.txt", "kept"}});
    const QByteArray before = bytes();
    for (const QString& name :
         {QStringLiteral("a=b.txt"), QStringLiteral("two\nlines"), QStringLiteral(" padded.txt")}) {
        EXPECT_THROW(folderNotes.writeNote(name, "note"), notes::NoteKeyError)
            << name.toStdString();
        EXPECT_EQ(folderNotes.readNote(name), "");
    }
    EXPECT_EQ(bytes(), before);
}

TEST_F(NotesStore, LongNotesReadBackAsTheirFirst2047Bytes)
{
    folderNotes.writeNote("big.iso", QString(3000, u'x'));
    EXPECT_EQ(folderNotes.readNote("big.iso"), QString(2047, u'x'));
    EXPECT_EQ(folderNotes.readAll().note("big.iso"), QString(2047, u'x'));
}

TEST_F(NotesStore, LineBreaksNeverReachTheFile)
{
    folderNotes.writeNote("a.txt", "one\r\ntwo\nthree");
    EXPECT_EQ(folderNotes.readNote("a.txt"), "onetwothree");
    folderNotes.writeNote("b.txt", "after");
    EXPECT_EQ(folderNotes.readNote("b.txt"), "after");
}

TEST_F(NotesStore, DeletingAndErasingLeaveOtherSectionsAlone)
{
    lib.makeFile("cat/zzfdat.nod", "[fileinfo]\r\na=1\r\nb=2\r\n[mine]\r\nx=y\r\n");
    folderNotes.deleteNote("A");
    EXPECT_FALSE(folderNotes.hasNote("a"));
    EXPECT_TRUE(folderNotes.hasNote("b"));
    folderNotes.deleteNote("missing");                 // nothing happens
    notes::NotesKeeper::cleanUp(lib.path("cat/"), {}); // no file is there: no note stays
    EXPECT_EQ(bytes(), QByteArray("[mine]\r\nx=y\r\n"));
}

TEST_F(NotesStore, AFailedDeleteIsIgnoredButAFailedWriteIsAnError)
{
    // A folder where the notes file should be: it can be neither read nor written.
    lib.makeDir("cat/zzfdat.nod");
    EXPECT_NO_THROW(folderNotes.deleteNote("a"));
    try {
        folderNotes.writeNote("a", "b");
        FAIL();
    } catch (const platform::WriteError& error) {
        EXPECT_EQ(error.message().section(u'\n', 0, 0),
                  "Unable to write to " + lib.path("cat/zzfdat.nod"));
    }
}

TEST_F(NotesStore, TheBulkReadAgreesWithSingleReads)
{
    lib.writeNotes("cat/", {{"A.txt", "first"},
                            {"b.txt", "second"},
                            {"a.TXT", "shadowed"},
                            {QStringLiteral("ÄRGER.txt"), "umlaut"},
                            {QStringLiteral("Привет.txt"), "cyrillic"},
                            {QStringLiteral("\U00010400x.txt"), "beyond the first plane"}});
    const notes::NotesSnapshot all = folderNotes.readAll();
    EXPECT_EQ(all.size(), 6) << "every spelling is a key of its own";
    const std::pair<QString, bool> asked[] = {
        {"a.txt", true},
        {"B.TXT", true},
        {"c.txt", false},
        {QStringLiteral("ärger.txt"), true},
        {QStringLiteral("ПРИВЕТ.TXT"), true},
        {QStringLiteral("привет"), false},
        {QStringLiteral("\U00010428x.txt"), true},
        {QStringLiteral("\U00010428y.txt"), false},
    };
    for (const auto& [name, found] : asked) {
        EXPECT_EQ(all.has(name), found) << name.toStdString();
        EXPECT_EQ(all.note(name), folderNotes.readNote(name));
        EXPECT_EQ(all.has(name), folderNotes.hasNote(name));
    }
}

TEST_F(NotesStore, AUtf8NotesFileStaysUtf8WhenANoteIsWritten)
{
    lib.makeFile("cat/zzfdat.nod", QStringLiteral("[fileinfo]\n旧.txt=旧注释\n").toUtf8());
    folderNotes.writeNote(QStringLiteral("新.txt"), QStringLiteral("新注释"));
    EXPECT_EQ(bytes(), QStringLiteral("[fileinfo]\n旧.txt=旧注释\n新.txt=新注释\n").toUtf8());
    EXPECT_EQ(folderNotes.readNote(QStringLiteral("旧.txt")), QStringLiteral("旧注释"));
}

TEST_F(NotesStore, RenamingReKeysTheStoredNoteAndABlankOneLeavesNoKey)
{
    lib.makeFile("cat/old.txt");
    lib.writeNotes("cat/", {{"old.txt", " stored "}, {"blank.txt", "a file gone"}});
    const auto renamed = notes::NotesKeeper::rename(platform::FileSystem::local(), lib.path("cat/"),
                                                    "old.txt", "new.txt");
    EXPECT_EQ(renamed.outcome, notes::NotesKeeper::RenameOutcome::Renamed);
    EXPECT_EQ(renamed.note, " stored ");
    EXPECT_FALSE(folderNotes.hasNote("old.txt"));
    folderNotes.writeNote("new.txt", "  ");
    // A key left by a file that is gone is not the renamed file's note.
    EXPECT_EQ(notes::NotesKeeper::rename(platform::FileSystem::local(), lib.path("cat/"), "new.txt",
                                         "blank.txt")
                  .note,
              "");
    EXPECT_FALSE(folderNotes.hasNote("blank.txt"));
}

TEST(Documents, BelongToTheTrimmedFileNameInTheOneDocumentFolder)
{
    TempLibrary lib;
    const core::Documents docs(lib.path("filecomm/"));
    EXPECT_EQ(docs.DocumentPath("  readme.txt "), lib.path("filecomm/readme.txt.txt"));
    EXPECT_FALSE(docs.HasDocument("tool.zip"));
    lib.makeFile("filecomm/tool.zip.txt", "details");
    EXPECT_TRUE(docs.HasDocument("tool.zip"));

    EXPECT_TRUE(docs.RenameDocument("tool.zip", "tool2.zip").ok());
    EXPECT_FALSE(docs.HasDocument("tool.zip"));
    EXPECT_EQ(lib.read("filecomm/tool2.zip.txt"), "details");
    EXPECT_TRUE(docs.RenameDocument("none.zip", "other.zip").ok());

    docs.DeleteDocument("tool2.zip");
    docs.DeleteDocument("never-there.zip");
    EXPECT_FALSE(docs.HasDocument("tool2.zip"));
    EXPECT_FALSE(core::Documents(lib.path("missing/")).HasDocument("tool.zip"));
}

TEST(NoteCleanup, KeepsOnlyTheNotesOfListedFilesInListOrder)
{
    testing_support::World world;
    world.library.makeDir("cat");
    world.library.makeFile("cat/b.txt");
    world.library.makeFile("cat/a.txt");
    world.library.makeFile("cat/c.txt");
    world.library.writeNotes(
        "cat/", {{"gone.txt", "old"}, {"B.TXT", "bee"}, {"c.txt", " "}, {"a.txt", "ay"}});
    world.start();
    world.selectCategory({"cat"});

    core::t403Click(world.workspace, world.dialogs);

    EXPECT_EQ(world.library.notesText("cat/"), "[fileinfo]\r\na.txt=ay\r\nb.txt=bee\r\n");
    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    EXPECT_EQ(world.dialogs.last().caption, "提示信息");
    EXPECT_EQ(world.dialogs.last().text, "注释资料已成功的清理！");
    EXPECT_EQ(world.dialogs.last().icon, core::MessageIcon::Warning);
    EXPECT_EQ(world.dialogs.last().buttons, core::Buttons::Ok);
}

TEST(NoteCleanup, AnEmptyListLeavesNoSectionAndTheRootIsLeftAlone)
{
    testing_support::World world;
    world.library.makeDir("empty");
    world.library.makeFile("empty/zzfdat.nod", "[fileinfo]\r\nx=1\r\n[keep]\r\nk=v\r\n");
    world.start();

    core::t403Click(world.workspace, world.dialogs); // the root is selected: nothing
    EXPECT_TRUE(world.dialogs.nothingShown());

    world.selectCategory({"empty"});
    core::t403Click(world.workspace, world.dialogs);
    EXPECT_EQ(world.library.read("empty/zzfdat.nod"), QByteArray("[keep]\r\nk=v\r\n"));
}
