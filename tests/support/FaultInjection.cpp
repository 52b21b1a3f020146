#include "support/FaultInjection.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

namespace {

RecordedCall record(Call call, int fd, const char* path, const char* path2)
{
    RecordedCall recorded;
    recorded.call = call;
    recorded.path = path ? QByteArray(path) : QByteArray();
    recorded.path2 = path2 ? QByteArray(path2) : QByteArray();
    struct stat st;
    recorded.onFolder = !path && fd >= 0 && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
    return recorded;
}

constexpr int killedStatus = 77;

// Ends the child process at its Nth call.
class ExitAtNthCall : public platform::sys::FaultHook
{
public:
    explicit ExitAtNthCall(int n) : m_n(n) {}
    int before(Call, int, const char*, const char*) override
    {
        if (++m_calls == m_n)
            ::_exit(killedStatus);
        return 0;
    }

private:
    int m_n;
    int m_calls = 0;
};

} // namespace

QString callName(Call call)
{
    switch (call) {
    case Call::Create:
        return QStringLiteral("create");
    case Call::Write:
        return QStringLiteral("write");
    case Call::CopyRange:
        return QStringLiteral("copy_file_range");
    case Call::Sync:
        return QStringLiteral("fsync");
    case Call::Close:
        return QStringLiteral("close");
    case Call::Rename:
        return QStringLiteral("rename");
    case Call::Link:
        return QStringLiteral("link");
    case Call::Unlink:
        return QStringLiteral("unlink");
    case Call::MakeDir:
        return QStringLiteral("mkdir");
    case Call::Metadata:
        return QStringLiteral("metadata");
    case Call::Read:
        return QStringLiteral("read");
    case Call::Lock:
        return QStringLiteral("flock");
    }
    return {};
}

int FailNthCall::before(Call call, int fd, const char* path, const char* path2)
{
    m_kinds.push_back(call);
    const bool nth = ++m_calls == m_n;
    if (m_failWrite && call == Call::Write) {
        m_failWrite = false;
        return m_error;
    }
    if (!nth)
        return 0;
    m_failed = record(call, fd, path, path2);
    if (m_shortWrite) {
        m_cutting = call == Call::Write;
        return 0;
    }
    m_fired = true;
    return m_error;
}

size_t FailNthCall::writeLength(int, size_t size)
{
    if (!m_cutting)
        return size;
    m_cutting = false;
    m_failWrite = true;
    m_fired = true;
    return size > 1 ? size / 2 : size;
}

int CallRecorder::before(Call call, int fd, const char* path, const char* path2)
{
    calls.push_back(record(call, fd, path, path2));
    return 0;
}

bool runKilledAtCall(int n, const std::function<void()>& work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ExitAtNthCall killer(n);
        const platform::sys::ScopedHook hook(&killer);
        try {
            work();
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == killedStatus;
}

} // namespace testing_support
