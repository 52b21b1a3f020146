#include "support/TestEnvironment.h"

#include <QByteArray>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testing_support {

namespace {

int makeWritable(const char* path, const struct stat* info, int type, FTW*)
{
    if (type == FTW_D || type == FTW_DNR)
        ::chmod(path, (info->st_mode & 07777) | S_IRWXU);
    return 0;
}

int removeEntry(const char* path, const struct stat*, int type, FTW*)
{
    if (type == FTW_DP || type == FTW_DNR || type == FTW_D)
        ::rmdir(path);
    else
        ::unlink(path);
    return 0;
}

// Removes a tree by its bytes, without following links or crossing into mounts.
void removeTree(const QByteArray& root)
{
    // First pass opens folders a test left without permissions (the second would skip them).
    ::nftw(root.constData(), makeWritable, 32, FTW_PHYS | FTW_MOUNT);
    ::nftw(root.constData(), removeEntry, 32, FTW_DEPTH | FTW_PHYS | FTW_MOUNT);
}

} // namespace

TestEnvironment::TestEnvironment()
{
    const char* base = std::getenv("TMPDIR");
    QByteArray pattern = (base && *base) ? QByteArray(base) : QByteArrayLiteral("/tmp");
    pattern += "/quillet-tests-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    m_scratch = pattern;
    m_owner = ::getpid();
    ::mkdir((m_scratch + "/home").constData(), 0700);
    ::mkdir((m_scratch + "/home/config").constData(), 0700);
    ::mkdir((m_scratch + "/home/cache").constData(), 0700);
    ::mkdir((m_scratch + "/tmp").constData(), 0700);
    ::mkdir((m_scratch + "/run").constData(), 0700);
    qputenv("TMPDIR", m_scratch + "/tmp");
    qputenv("HOME", m_scratch + "/home");
    qputenv("XDG_CONFIG_HOME", m_scratch + "/home/config");
    qputenv("XDG_RUNTIME_DIR", m_scratch + "/run");
    // No desktop's session bus: its settings (a dark colour scheme) would reach the tests. A
    // test that needs a bus starts one of its own.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + m_scratch + "/no-session-bus");
    qputenv("XDG_CACHE_HOME", m_scratch + "/home/cache");
}

TestEnvironment::~TestEnvironment()
{
    if (::getpid() == m_owner)
        removeTree(m_scratch);
}

QString TestEnvironment::configHome() const
{
    return QFile::decodeName(m_scratch + "/home/config");
}

} // namespace testing_support
