// Writes onto a real full disk: a small tmpfs filled up to the last few pages. Every writer
// reports the failure and leaves the old file byte for byte as it was.
#include "core/ConfigFile.h"
#include "fileops/Transfer.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "support/FolderNotes.h"
#include "support/ScratchMount.h"
#include "support/TempLibrary.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QStringList everything(const QString& folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

class FullDisk : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!disk.mounted())
            GTEST_SKIP() << "cannot mount a 64 KiB tmpfs here (it takes root or "
                            "CAP_SYS_ADMIN): the full-disk test did not run";
        // 282 notes, a little over 14 KB, as a GBK notes file from Windows.
        QString notesText = QStringLiteral("[fileinfo]\r\n");
        for (int i = 0; i < 282; ++i)
            notesText += QStringLiteral("文件%1.zip=第%1个文件的说明：压缩包，来自下载站\r\n")
                             .arg(i, 3, 10, QLatin1Char('0'));
        notesBytes = testing_support::gbk(notesText);
        ASSERT_GT(notesBytes.size(), 14 * 1024);
        writeAll(root() + "cat/zzfdat.nod", notesBytes);
        writeAll(root() + "quillet.ini", "[sysinfo]\r\nmaintext=x\r\n");
        writeAll(root() + "filecomm/a.txt.txt", "the old document");
        writeAll(root() + "cat/old.bin", "the old file");
        writeAll(outside.filePath("big.bin"), QByteArray(100 * 1024, 'b'));
    }
    QString root() const { return disk.path() + u'/'; }

    // Fills the disk, then frees `free` bytes again.
    void fillLeaving(qint64 free)
    {
        const QByteArray filler = QFile::encodeName(root() + "filler");
        const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const QByteArray block(4096, 'f');
        qint64 size = 0;
        for (;;) {
            const ssize_t n = ::write(fd, block.constData(), size_t(block.size()));
            if (n <= 0)
                break;
            size += n;
        }
        ASSERT_EQ(::ftruncate(fd, qMax<qint64>(0, size - free)), 0);
        ::close(fd);
    }

    testing_support::ScratchMount disk{"tmpfs", "size=64k"};
    QTemporaryDir outside;
    QByteArray notesBytes;
};

TEST_F(FullDisk, NotesWrittenWithTooLittleSpaceLeftFailAndLeaveTheFileAsItWas)
{
    const testing_support::FolderNotes folderNotes{root() + "cat/"};
    for (const qint64 free : {0, 4096, 8192, 12288}) {
        SCOPED_TRACE(free);
        fillLeaving(free);
        try {
            folderNotes.writeNote(QStringLiteral("新文件.zip"), QStringLiteral("新的说明"));
            FAIL() << "the write must fail";
        } catch (const platform::WriteError& error) {
            EXPECT_EQ(error.message().section(u'\n', 0, 0),
                      "Unable to write to " + root() + "cat/zzfdat.nod");
            EXPECT_TRUE(error.message().contains(QStringLiteral("磁盘空间不足")));
        }
        folderNotes.deleteNote(QStringLiteral("文件100.zip")); // fails, and is ignored
        EXPECT_EQ(readAll(root() + "cat/zzfdat.nod"), notesBytes);
        EXPECT_EQ(folderNotes.readNote(QStringLiteral("文件281.zip")),
                  QStringLiteral("第281个文件的说明：压缩包，来自下载站"));
        EXPECT_EQ(everything(root() + "cat"), (QStringList{"old.bin", "zzfdat.nod"}));
    }
}

TEST_F(FullDisk, TheConfigurationDocumentsCopiesAndMovesFailAndKeepEveryOldFile)
{
    fillLeaving(0);
    core::ConfigFile config(root() + "quillet.ini");
    EXPECT_THROW(config.writeString("sysinfo", "maintext", QString(5000, u'长')),
                 platform::WriteError);
    EXPECT_EQ(readAll(root() + "quillet.ini"), "[sysinfo]\r\nmaintext=x\r\n");

    EXPECT_EQ(platform::writeWholeFile(root() + "filecomm/a.txt.txt", QByteArray(20000, 'd')),
              ENOSPC);
    EXPECT_EQ(readAll(root() + "filecomm/a.txt.txt"), "the old document");

    const platform::FileSystem& fs = platform::FileSystem::local();
    const QString big = outside.filePath("big.bin");
    EXPECT_EQ(fs.copyFile(big, root() + "cat/old.bin", true).error, ENOSPC);
    EXPECT_FALSE(
        fileops::ReplaceTarget(fs, fileops::TransferMode::Copy, big, root() + "cat/old.bin"));
    EXPECT_FALSE(
        fileops::ReplaceTarget(fs, fileops::TransferMode::Move, big, root() + "cat/old.bin"));
    EXPECT_EQ(readAll(root() + "cat/old.bin"), "the old file");
    EXPECT_EQ(fs.copyFile(big, root() + "cat/new.bin", false).error, ENOSPC);
    EXPECT_EQ(fs.move(big, root() + "cat/new.bin").error, ENOSPC);
    EXPECT_EQ(readAll(big), QByteArray(100 * 1024, 'b'));

    EXPECT_EQ(everything(root()), (QStringList{"cat", "filecomm", "filler", "quillet.ini"}));
    EXPECT_EQ(everything(root() + "cat"), (QStringList{"old.bin", "zzfdat.nod"}));
    EXPECT_EQ(everything(root() + "filecomm"), QStringList{"a.txt.txt"});
}

} // namespace
