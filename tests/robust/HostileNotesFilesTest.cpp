// Notes files and the configuration file as the world hands them over: bytes that happen to
// read as another encoding, UTF-16 files saved by a Windows editor, FIFOs, devices and huge
// files in the notes file's place, links out of the folder, and malformed bytes.
#include "core/ConfigFile.h"
#include "core/FileListing.h"
#include "platform/IniDocument.h"
#include "support/FolderNotes.h"
#include "support/TempLibrary.h"

#include <QStringEncoder>
#include <QTemporaryDir>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using testing_support::gbk;

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

QByteArray utf16(const QString& text, bool bigEndian)
{
    QStringEncoder encoder(bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE);
    return QByteArray(bigEndian ? "\xFE\xFF" : "\xFF\xFE") + QByteArray(encoder.encode(text));
}

struct stat lstatOf(const QString& path)
{
    struct stat st = {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

class HostileNotes : public ::testing::Test
{
protected:
    void SetUp() override { lib.makeDir("cat"); }
    QString notesPath() const { return lib.path("cat/zzfdat.nod"); }
    QByteArray bytes() const { return lib.read("cat/zzfdat.nod"); }
    void writeRaw(const QByteArray& content) const { lib.makeFile("cat/zzfdat.nod", content); }
    void expectWriteRefused(const QString& because)
    {
        try {
            folderNotes.writeNote("a.txt", "x");
            FAIL() << "the write must be refused";
        } catch (const platform::WriteError& error) {
            EXPECT_EQ(error.message().section(u'\n', 0, 0), "Unable to write to " + notesPath());
            EXPECT_TRUE(error.message().section(u'\n', 1).contains(because))
                << error.message().toStdString();
        }
    }

    testing_support::TempLibrary lib;
    testing_support::FolderNotes folderNotes{lib.path("cat/")};
};

// ---------------------------------------------------------------------------------------
// Encodings that drift

TEST_F(HostileNotes, ANewNotesFileReadsBackAsWrittenThoughItsGbkBytesAreValidUtf8)
{
    // The GBK bytes of these characters happen to form valid UTF-8 ("⩲谢").
    folderNotes.writeNote("readme.txt", QStringLiteral("猢茶阿"));
    EXPECT_EQ(folderNotes.readNote("readme.txt"), QStringLiteral("猢茶阿"));
    folderNotes.writeNote("b.txt", QStringLiteral("说明"));
    EXPECT_EQ(folderNotes.readNote("readme.txt"), QStringLiteral("猢茶阿"));
    EXPECT_EQ(folderNotes.readNote("b.txt"), QStringLiteral("说明"));
    // Still GBK for Windows programs: no byte-order mark, the notes as GBK bytes.
    EXPECT_FALSE(bytes().startsWith(kUtf8Bom));
    EXPECT_TRUE(bytes().contains(gbk(QStringLiteral("readme.txt=猢茶阿\r\nb.txt=说明\r\n"))));
}

TEST_F(HostileNotes, AUtf8NotesFileStaysUtf8WhenItsLastChineseNoteGoes)
{
    writeRaw(QStringLiteral("[fileinfo]\r\nCafé.txt=crème brûlée\r\n中.txt=x\r\n").toUtf8());
    folderNotes.deleteNote(QStringLiteral("中.txt"));
    EXPECT_EQ(folderNotes.readNote(QStringLiteral("Café.txt")), QStringLiteral("crème brûlée"));
    folderNotes.writeNote(QStringLiteral("新.txt"), QStringLiteral("新的"));
    EXPECT_EQ(folderNotes.readNote(QStringLiteral("Café.txt")), QStringLiteral("crème brûlée"));
    EXPECT_EQ(folderNotes.readNote(QStringLiteral("新.txt")), QStringLiteral("新的"));
    EXPECT_TRUE(
        bytes().endsWith(QStringLiteral("Café.txt=crème brûlée\r\n新.txt=新的\r\n").toUtf8()));
}

TEST_F(HostileNotes, AGbkNotesFileMadeOnWindowsStaysGbkByteForByte)
{
    const QByteArray windows = gbk(QStringLiteral("[fileinfo]\r\n说明.txt=中文注释\r\n"));
    writeRaw(windows);
    folderNotes.writeNote("a.txt", "ascii");
    folderNotes.writeNote("b.txt", QStringLiteral("汉字"));
    EXPECT_EQ(bytes(), windows + gbk(QStringLiteral("a.txt=ascii\r\nb.txt=汉字\r\n")));
}

// ---------------------------------------------------------------------------------------
// Things in the notes file's place

TEST_F(HostileNotes, AFifoInTheNotesFilesPlaceIsNeitherWaitedForNorWritten)
{
    lib.makeFile("cat/a.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(notesPath()).constData(), 0644), 0);
    ::alarm(20); // an open that waits for a writer ends the test here
    EXPECT_EQ(folderNotes.readNote("a.txt"), QString());
    const auto rows = core::ListCategoryFiles(platform::FileSystem::local(), lib.path("cat/"),
                                              folderNotes.readAll());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "a.txt");
    expectWriteRefused(QStringLiteral("不是一个普通文件"));
    ::alarm(0);
    EXPECT_TRUE(S_ISFIFO(lstatOf(notesPath()).st_mode));
}

TEST_F(HostileNotes, ADeviceOrAHugeFileInTheNotesFilesPlaceReadsAsNoNotesAndIsNeverWritten)
{
    // A sparse regular file larger than any notes file could sensibly be.
    lib.makeFileOfSize("big.nod", qint64(65) * 1024 * 1024);
    const struct
    {
        const char* target;
        const char* because;
    } cases[] = {{"/dev/zero", "不是一个普通文件"},
                 {"/dev/null", "不是一个普通文件"},
                 {"../big.nod", "大得不像"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        ::unlink(QFile::encodeName(notesPath()).constData());
        ASSERT_EQ(::symlink(c.target, QFile::encodeName(notesPath()).constData()), 0);
        EXPECT_EQ(folderNotes.readNote("a.txt"), QString());
        EXPECT_EQ(folderNotes.readAll().size(), 0);
        EXPECT_THROW(folderNotes.writeNote("a.txt", "x"), platform::WriteError);
        EXPECT_TRUE(S_ISLNK(lstatOf(notesPath()).st_mode));
    }
    EXPECT_EQ(lstatOf(lib.path("big.nod")).st_size, qint64(65) * 1024 * 1024);
}

TEST_F(HostileNotes, ANotesFileThatIsALinkOutOfItsFolderIsNeverWrittenThrough)
{
    const QByteArray victim = "[fileinfo]\r\nvictim=not a notes file\r\n";
    lib.makeFile("../out/victim.txt", victim);
    ASSERT_EQ(::symlink("../../out/victim.txt", QFile::encodeName(notesPath()).constData()), 0);
    expectWriteRefused(QStringLiteral("符号链接"));
    folderNotes.deleteNote("victim"); // a failed removal is ignored
    EXPECT_THROW(notes::NotesKeeper::cleanUp(folderNotes.dir(), {}), platform::WriteError);
    EXPECT_EQ(lib.read("../out/victim.txt"), victim);
    EXPECT_TRUE(S_ISLNK(lstatOf(notesPath()).st_mode));
}

TEST(HostileConfig, AConfigurationFileThatIsALinkIsReplacedWhereTheLinkLeads)
{
    QTemporaryDir dir;
    QDir().mkdir(dir.filePath("dotfiles"));
    const QString target = dir.filePath("dotfiles/quillet.ini");
    const QString link = dir.filePath("quillet.ini");
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[sysinfo]\r\nmaintext=old\r\n");
    file.close();
    ASSERT_EQ(::symlink("dotfiles/quillet.ini", QFile::encodeName(link).constData()), 0);

    core::ConfigFile(link).writeString("sysinfo", "maintext", "new");
    EXPECT_TRUE(S_ISLNK(lstatOf(link).st_mode)) << "the link stays a link";
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[sysinfo]\r\nmaintext=new\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"dotfiles", "quillet.ini"}));
    EXPECT_EQ(QDir(dir.filePath("dotfiles"))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"quillet.ini"});
}

// ---------------------------------------------------------------------------------------
// UTF-16 and malformed files

TEST_F(HostileNotes, AUtf16NotesFileIsReadAndStaysUtf16)
{
    const QString windows = QStringLiteral("[fileinfo]\r\n说明.txt=一个注释\r\n");
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big endian" : "little endian");
        writeRaw(utf16(windows, bigEndian));
        EXPECT_EQ(folderNotes.readNote(QStringLiteral("说明.txt")), QStringLiteral("一个注释"));
        folderNotes.writeNote(QStringLiteral("新.txt"), QStringLiteral("新的"));
        EXPECT_EQ(bytes(), utf16(windows + QStringLiteral("新.txt=新的\r\n"), bigEndian));
        folderNotes.deleteNote(QStringLiteral("说明.txt"));
        EXPECT_EQ(bytes(), utf16(QStringLiteral("[fileinfo]\r\n新.txt=新的\r\n"), bigEndian));
        EXPECT_EQ(folderNotes.readNote(QStringLiteral("新.txt")), QStringLiteral("新的"));
    }
}

TEST_F(HostileNotes, BytesThatNoEditTouchesAreWrittenBackAsTheyWere)
{
    const struct
    {
        const char* what;
        QByteArray file;
        QByteArray afterWrite; // the file once b.txt=乙 is written
    } cases[] = {
        {"a GB18030 character cut at the end of the file",
         gbk(QStringLiteral("[fileinfo]\r\na.txt=中")) + "\xD6",
         gbk(QStringLiteral("[fileinfo]\r\na.txt=中")) + "\xD6\r\n" +
             gbk(QStringLiteral("b.txt=乙\r\n"))},
        {"a bare CR ending the last line", "[fileinfo]\r\na.txt=x\r",
         "[fileinfo]\r\na.txt=x\r\n" + gbk(QStringLiteral("b.txt=乙\r\n"))},
        {"bytes that are no GB18030 character", "[fileinfo]\n\x81\x30.txt=\xFF\x80\n",
         "[fileinfo]\n\x81\x30.txt=\xFF\x80\n" + gbk(QStringLiteral("b.txt=乙\n"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeRaw(c.file);
        const notes::NotesSnapshot before = folderNotes.readAll();
        folderNotes.writeNote("b.txt", QStringLiteral("乙"));
        EXPECT_EQ(bytes(), c.afterWrite);
        folderNotes.writeNote("c.txt", "3");
        folderNotes.deleteNote("c.txt");
        EXPECT_EQ(bytes(), c.afterWrite);
        EXPECT_EQ(folderNotes.readAll().note("a.txt"), before.note("a.txt"));
    }
    writeRaw("[fileinfo]\r\na.txt=x\r");
    EXPECT_EQ(folderNotes.readNote("a.txt"), "x");
    folderNotes.writeNote("b.txt", "y");
    EXPECT_EQ(folderNotes.readNote("a.txt"), "x")
        << "the CR ended the line; it is no part of the note";
}

TEST(HostileText, AByteOrderMarkIsTakenOffOnce)
{
    // A second mark is text of the file, kept as such.
    const QByteArray twice = kUtf8Bom + kUtf8Bom + "[s]\r\nk=v\r\n";
    EXPECT_EQ(platform::text::decode(kUtf8Bom + "x", platform::TextEncoding::Utf8WithBom),
              QStringLiteral("\uFEFFx"));
    platform::IniDocument document = platform::IniDocument::parse(twice);
    EXPECT_EQ(document.serialize(), twice);
    document.setValue("t", "k", "w");
    EXPECT_EQ(document.serialize(), twice + "[t]\r\nk=w\r\n");
}

} // namespace
