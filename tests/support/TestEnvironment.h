#pragma once
// Gives the whole test run a scratch folder of its own: TMPDIR, HOME and XDG_CONFIG_HOME point
// into it, so no test reads or writes the user's own configuration, and every temporary folder
// of the run goes with it at the end, names that are not UTF-8 and folders left unwritable too.

#include <QString>

#include <sys/types.h>

namespace testing_support {

class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    QString configHome() const;

private:
    QByteArray m_scratch;
    pid_t m_owner = 0; // a forked child never removes its parent's folder
};

} // namespace testing_support
