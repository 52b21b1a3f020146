// Moving or copying one file in, over an old file only once the new one is complete.
#include "fileops/Transfer.h"

#include "fileops/RowSteps.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <gtest/gtest.h>
#include <unistd.h>

using fileops::ReplaceTarget;
using fileops::TransferMode;

namespace {

// Every rename without replacing behaves as one between two file systems.
class CrossDeviceFileSystem : public platform::FileSystem
{
protected:
    int renameNoReplace(const QByteArray&, const QByteArray&) const override { return EXDEV; }
};

class Transfer : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString root = dir.path() + QStringLiteral("/");
    const platform::FileSystem& fs = platform::FileSystem::local();

    void SetUp() override
    {
        QDir().mkpath(root + "from");
        QDir().mkpath(root + "to");
    }
    void write(const QString& relative, const QByteArray& bytes)
    {
        QFile file(root + relative);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray read(const QString& relative) const
    {
        QFile file(root + relative);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QStringList namesIn(const QString& relative) const
    {
        return QDir(root + relative)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }
};

} // namespace

TEST_F(Transfer, ReplacesTheOldFileAndLeavesNoTemporaryFile)
{
    CrossDeviceFileSystem crossDevice;
    for (const platform::FileSystem* mover :
         {&fs, static_cast<const platform::FileSystem*>(&crossDevice)}) {
        for (TransferMode mode : {TransferMode::Move, TransferMode::Copy}) {
            write("from/a.bin", "new");
            write("to/a.bin", "old");
            ASSERT_TRUE(fs.setAttributes(root + "to/a.bin", platform::ReadOnly));

            ASSERT_TRUE(ReplaceTarget(*mover, mode, root + "from/a.bin", root + "to/a.bin"));
            EXPECT_EQ(read("to/a.bin"), "new");
            EXPECT_EQ(namesIn("to"), QStringList("a.bin"));
            EXPECT_EQ(fs.exists(root + "from/a.bin"), mode == TransferMode::Copy);
            QFile::remove(root + "from/a.bin");
        }
    }
}

TEST_F(Transfer, AFailedReplacementKeepsTheOldFileAndTheSource)
{
    // A folder of that name is in the way: the last rename fails after the file arrived.
    for (TransferMode mode : {TransferMode::Move, TransferMode::Copy}) {
        write("from/a.bin", "new");
        ASSERT_TRUE(QDir().mkpath(root + "to/a.bin"));
        write("to/a.bin/inside", "kept");

        EXPECT_FALSE(ReplaceTarget(fs, mode, root + "from/a.bin", root + "to/a.bin"));
        EXPECT_EQ(read("from/a.bin"), "new") << "the moved file went back";
        EXPECT_EQ(read("to/a.bin/inside"), "kept");
        EXPECT_EQ(namesIn("to"), QStringList("a.bin")) << "no temporary file stays";
    }

    // A source that vanished after it was chosen: nothing arrives and nothing is lost.
    write("to/b.bin", "old");
    for (TransferMode mode : {TransferMode::Move, TransferMode::Copy}) {
        EXPECT_EQ(ReplaceTarget(fs, mode, root + "from/gone", root + "to/b.bin").error, ENOENT);
        EXPECT_EQ(read("to/b.bin"), "old");
    }
}

TEST_F(Transfer, MovingOneNameOfAFileOverAnotherNameOfItLeavesOneName)
{
    write("to/a.bin", "same");
    ASSERT_EQ(::link(QFile::encodeName(root + "to/a.bin").constData(),
                     QFile::encodeName(root + "from/a.bin").constData()),
              0);
    ASSERT_TRUE(ReplaceTarget(fs, TransferMode::Move, root + "from/a.bin", root + "to/a.bin"));
    EXPECT_EQ(read("to/a.bin"), "same");
    EXPECT_EQ(namesIn("to"), QStringList("a.bin"));
    EXPECT_TRUE(namesIn("from").isEmpty());
}

TEST_F(Transfer, ATemporaryNameFitsBesideATargetOfAnyLength)
{
    const QString name = QString(250, u'n') + QStringLiteral(".bin"); // 254 bytes, the most there is
    write("from/" + name, "new");
    write("to/" + name, "old");
    EXPECT_TRUE(fs.copyFile(root + "from/" + name, root + "to/" + name, true));
    EXPECT_TRUE(ReplaceTarget(fs, TransferMode::Move, root + "from/" + name, root + "to/" + name));
    EXPECT_EQ(read("to/" + name), "new");
    EXPECT_EQ(namesIn("to"), QStringList(name));
}
