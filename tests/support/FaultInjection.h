#pragma once
// Stand-ins behind the seam of system calls (platform/SysCalls.h): one that fails the Nth
// call with a chosen errno value, one that records every call, and a run in a child process
// that is killed at the Nth call.

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
class FailNthCall : public platform::sys::FaultHook
{
public:
    FailNthCall(int n, int error) : m_n(n), m_error(error) {}
    int before(Call call, int fd, const char* path, const char* path2) override;

    int calls() const { return m_calls; }
    bool fired() const { return m_fired; }
    const RecordedCall& failedCall() const { return m_failed; }

private:
    int m_n;
    int m_error;
    int m_calls = 0;
    bool m_fired = false;
    RecordedCall m_failed;
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
