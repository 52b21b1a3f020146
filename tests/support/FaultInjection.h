#pragma once
// Stand-ins behind the seam of system calls (platform/SysCalls.h): one that fails the Nth
// call with a chosen errno value (or cuts it short, when it is a write), one that records
// every call, and a run in a child process that is killed at the Nth call.

#include "platform/SysCalls.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

namespace testing_support {

using platform::sys::Call;

struct RecordedCall
{
    Call call = Call::Write;
    QByteArray path;       // the path (or name in a folder) the call works on, when it has one
    QByteArray path2;      // the new name of a rename or link
    bool onFolder = false; // the call works on an open folder (a folder's sync)
};

QString callName(Call call);

// Counts every call and fails the Nth one (counting from 1) with `error`; 0 fails none.
// With `shortWrite`, a write as the Nth call instead writes half its bytes (at least one),
// and the next write fails with `error`.
class FailNthCall : public platform::sys::FaultHook
{
public:
    FailNthCall(int n, int error, bool shortWrite = false)
        : m_n(n), m_error(error), m_shortWrite(shortWrite)
    {
    }
    int before(Call call, int fd, const char* path, const char* path2) override;
    size_t writeLength(int fd, size_t size) override;

    int calls() const { return m_calls; }
    bool fired() const { return m_fired; }
    const RecordedCall& failedCall() const { return m_failed; }
    // The kind of every call counted, in order.
    const std::vector<Call>& kinds() const { return m_kinds; }

private:
    int m_n;
    int m_error;
    bool m_shortWrite;
    int m_calls = 0;
    bool m_fired = false;
    bool m_cutting = false;   // the Nth call is the write to cut short
    bool m_failWrite = false; // the next write fails
    RecordedCall m_failed;
    std::vector<Call> m_kinds;
};

// Records every call and lets it go ahead.
class CallRecorder : public platform::sys::FaultHook
{
public:
    int before(Call call, int fd, const char* path, const char* path2) override;
    std::vector<RecordedCall> calls;
};

// Runs `work` in a child process that ends at its Nth call, before the call happens, as a
// kill would end it. Returns true when the child was ended so, false when `work` finished.
bool runKilledAtCall(int n, const std::function<void()>& work);

} // namespace testing_support
