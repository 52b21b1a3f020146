#pragma once
// Points HOME and XDG_CONFIG_HOME at a temporary folder for the whole test run, so no test
// reads or writes the user's own configuration.

#include <QTemporaryDir>

namespace testing_support {

class TestEnvironment
{
public:
    TestEnvironment();
    QString configHome() const;

private:
    QTemporaryDir m_home;
};

} // namespace testing_support
