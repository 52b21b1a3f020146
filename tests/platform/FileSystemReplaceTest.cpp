// The one rename that may replace: used to swap a fully arrived file over an old one.
#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <gtest/gtest.h>

namespace {

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(FileSystemReplace, ReplacesAnExistingFileButNeverAFolder)
{
    QTemporaryDir dir;
    const QString root = dir.path() + '/';
    const platform::FileSystem& fs = platform::FileSystem::local();
    write(root + "new", "new");
    write(root + "old", "old");
    ASSERT_TRUE(fs.setAttributes(root + "old", platform::ReadOnly));

    ASSERT_TRUE(fs.replace(root + "new", root + "old")) << "a read-only target is replaced too";
    EXPECT_FALSE(fs.exists(root + "new"));
    EXPECT_EQ(read(root + "old"), "new");

    ASSERT_TRUE(QDir().mkdir(root + "folder"));
    EXPECT_EQ(fs.replace(root + "old", root + "folder").error, EISDIR);
    EXPECT_EQ(read(root + "old"), "new");
    EXPECT_TRUE(fs.isDirectory(root + "folder"));

    EXPECT_EQ(fs.replace(root + "missing", root + "old").error, ENOENT);
    EXPECT_EQ(read(root + "old"), "new");
}
