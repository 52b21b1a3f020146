#include "support/TestEnvironment.h"

#include <QDir>

namespace testing_support {

TestEnvironment::TestEnvironment()
{
    const QString config = m_home.path() + QStringLiteral("/config");
    QDir().mkpath(config);
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
}

QString TestEnvironment::configHome() const
{
    return m_home.path() + QStringLiteral("/config");
}

} // namespace testing_support
