#include "platform/Shell.h"

#include "platform/FileNames.h"
#include "platform/FileSystem.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace platform {

void ShellExecute(Shell& shell, const FileSystem& fs, const QString& path,
                  const QString& workingDir)
{
    if (fs.isExecutable(path)) {
        const int error = shell.startProgram(path, workingDir);
        // Anything but a program the system refuses to run (no such file, no permission to
        // the folder) would fail to open just the same.
        if (error != ENOEXEC && error != EACCES)
            return;
    }
    shell.openPath(path);
}

namespace {

// Writes the errno value to the pipe and ends the child.
[[noreturn]] void failChild(int pipe)
{
    const int error = errno;
    [[maybe_unused]] const ssize_t written = ::write(pipe, &error, sizeof error);
    ::_exit(127);
}

} // namespace

int spawnDetached(const QString& program, const QStringList& arguments, const QString& workingDir,
                  bool searchPath)
{
    // Everything the child needs is prepared before the fork: after it only system calls run.
    std::vector<QByteArray> bytes;
    bytes.push_back(nativePath(program));
    for (const QString& argument : arguments)
        bytes.push_back(nativePath(argument));
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    const QByteArray dir = nativePath(workingDir);

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return errno;
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(fds[0]);
        ::close(fds[1]);
        return error;
    }
    if (child == 0) {
        // The middle process: a new session, then a grandchild that the init process adopts,
        // so no zombie is left behind and the program is never this one's child.
        ::close(fds[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild < 0)
            failChild(fds[1]);
        if (grandchild > 0)
            ::_exit(0);
        // The program starts with no signal blocked, whatever this thread blocks.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        if (!dir.isEmpty() && ::chdir(dir.constData()) != 0)
            failChild(fds[1]);
        if (searchPath)
            ::execvp(argv[0], argv.data());
        else
            ::execv(argv[0], argv.data());
        failChild(fds[1]);
    }
    ::close(fds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes without data when the program has started (close-on-exec).
    int error = 0;
    ssize_t got;
    do {
        got = ::read(fds[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    ::close(fds[0]);
    if (got == ssize_t(sizeof error))
        return error;
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
        return ECHILD;
    return 0;
}

} // namespace platform
