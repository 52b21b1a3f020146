// Starting programs detached from the program, with the bytes of their names as they are.
#include "platform/FileNames.h"
#include "platform/Shell.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool waitForFile(const QString& path)
{
    const QByteArray bytes = platform::nativePath(path);
    QElapsedTimer timer;
    timer.start();
    while (::access(bytes.constData(), F_OK) != 0 && timer.elapsed() < 5000)
        QThread::msleep(10);
    return ::access(bytes.constData(), F_OK) == 0;
}

} // namespace

TEST(Shell, StartsAProgramInItsFolderOrReportsWhyNot)
{
    QTemporaryDir dir;
    // A folder whose name is not UTF-8 still works as the working folder.
    const QString folder = dir.path() + u'/' + platform::pathFromNative("\xd6\xd0") + u'/';
    ASSERT_EQ(::mkdir(platform::nativePath(folder).constData(), 0700), 0);
    const QString script = dir.filePath("touch.sh");
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\ntouch started\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(platform::spawnDetached(script, {}, folder, false), 0);
    EXPECT_TRUE(waitForFile(folder + "started"));

    const QString text = dir.filePath("plain.txt");
    QFile plain(text);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("\x01\x02 not a program");
    plain.close();
    plain.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(platform::spawnDetached(text, {}, dir.path(), false), ENOEXEC);
    EXPECT_EQ(platform::spawnDetached(dir.filePath("missing"), {}, dir.path(), false), ENOENT);
}
