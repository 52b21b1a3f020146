#pragma once
// A file system mounted in a temporary folder for the length of one test (a small tmpfs to
// fill up, a ramfs without extended attributes). Tests that need one skip where mounting is
// not permitted.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/mount.h>

namespace testing_support {

class ScratchMount
{
public:
    // Mounted on a folder of its own, or on `at` (an existing folder) when given.
    ScratchMount(const char* type, const char* options, const QString& at = {})
    {
        m_path = at.isEmpty() ? m_dir.path() + QStringLiteral("/mnt") : at;
        QDir().mkdir(m_path);
        m_mounted = ::mount(type, QFile::encodeName(m_path).constData(), type, 0, options) == 0;
    }
    ~ScratchMount()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
    }
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool mounted() const { return m_mounted; }
    QString path() const { return m_path; } // without a trailing separator

private:
    QTemporaryDir m_dir;
    QString m_path;
    bool m_mounted = false;
};

} // namespace testing_support
