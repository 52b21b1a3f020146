#include "support/TempLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <gtest/gtest.h>

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

void TempLibrary::makeDir(const QString& relative) const
{
    ASSERT_TRUE(QDir().mkpath(path(relative))) << relative.toStdString();
}

void TempLibrary::makeFile(const QString& relative, const QByteArray& content) const
{
    QDir().mkpath(QFileInfo(path(relative)).absolutePath());
    QFile file(path(relative));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << relative.toStdString();
    file.write(content);
}

void TempLibrary::makeFileOfSize(const QString& relative, qint64 size) const
{
    makeFile(relative);
    QFile file(path(relative));
    ASSERT_TRUE(file.resize(size));
}

QByteArray TempLibrary::read(const QString& relative) const
{
    QFile file(path(relative));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool TempLibrary::exists(const QString& relative) const
{
    return QFileInfo::exists(path(relative));
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
