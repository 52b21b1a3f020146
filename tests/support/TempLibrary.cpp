#include "support/TempLibrary.h"

#include "platform/AtomicFile.h"
#include "platform/FileNames.h"

#include <QDir>
#include <QStringDecoder>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testing_support {

QByteArray gbk(const QString& text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QString fromGbk(const QByteArray& bytes)
{
    QStringDecoder decoder("GB18030");
    return decoder.decode(bytes);
}

TempLibrary::TempLibrary(bool withSpecialFolders)
{
    m_root = m_dir.path() + QStringLiteral("/library/");
    QDir().mkpath(m_root);
    if (withSpecialFolders) {
        for (const char* name : {"oprecy", "tempdir", "filecomm"})
            QDir().mkpath(m_root + QLatin1String(name));
    }
}

core::LibraryLayout TempLibrary::layout() const
{
    return core::LibraryLayout(m_root, m_root + QStringLiteral("quillet"));
}

// Names may hold bytes that are not UTF-8, so every call goes by the name's bytes.
static void makeFolders(const QString& dir)
{
    QByteArray bytes = platform::nativePath(dir);
    for (qsizetype slash = bytes.indexOf('/', 1); slash >= 0; slash = bytes.indexOf('/', slash + 1))
        ::mkdir(bytes.left(slash).constData(), 0777);
    ::mkdir(bytes.constData(), 0777);
}

void TempLibrary::makeDir(const QString& relative) const
{
    makeFolders(path(relative));
    struct stat st;
    ASSERT_EQ(::stat(platform::nativePath(path(relative)).constData(), &st), 0)
        << relative.toStdString();
}

void TempLibrary::makeFile(const QString& relative, const QByteArray& content) const
{
    const QString full = path(relative);
    makeFolders(full.left(full.lastIndexOf(u'/')));
    const int fd = ::open(platform::nativePath(full).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    ASSERT_GE(fd, 0) << relative.toStdString();
    ASSERT_EQ(::write(fd, content.constData(), size_t(content.size())), content.size());
    ::close(fd);
}

void TempLibrary::makeFileOfSize(const QString& relative, qint64 size) const
{
    makeFile(relative);
    ASSERT_EQ(::truncate(platform::nativePath(path(relative)).constData(), size), 0);
}

QByteArray TempLibrary::read(const QString& relative) const
{
    QByteArray bytes;
    platform::readWholeFile(path(relative), &bytes);
    return bytes;
}

bool TempLibrary::exists(const QString& relative) const
{
    struct stat st;
    return ::lstat(platform::nativePath(path(relative)).constData(), &st) == 0;
}

void TempLibrary::writeNotes(const QString& folder,
                             const QList<std::pair<QString, QString>>& notes) const
{
    QString text = QStringLiteral("[fileinfo]\r\n");
    for (const auto& [name, note] : notes)
        text += name + u'=' + note + QStringLiteral("\r\n");
    makeFile(folder + QStringLiteral("zzfdat.nod"), gbk(text));
}

QString TempLibrary::notesText(const QString& folder) const
{
    return fromGbk(read(folder + QStringLiteral("zzfdat.nod")));
}

} // namespace testing_support
