#pragma once
// Starting programs, opening files and folders with the programs the desktop associates with
// them, and handing web pages and mail addresses to the desktop. The running program uses the
// desktop's; tests stand in and record the launches.

#include <QString>
#include <QStringList>

namespace platform {

class FileSystem;

class Shell
{
public:
    virtual ~Shell() = default;

    // Starts `program` as a process of its own in `workingDir`, not waiting for it; 0 when it
    // runs, else the errno value of the failure.
    virtual int startProgram(const QString& program, const QString& workingDir) = 0;
    // Opens a file with its associated program, or a folder in the desktop's file manager.
    virtual void openPath(const QString& path) = 0;
    // Opens an address ("https://...", "mailto:...") with the desktop's handler for it.
    virtual void openUrl(const QString& url) = 0;
};

// Opening a file as the shell does: a regular file with an execute permission bit is started
// in `workingDir`; anything else, and a file marked executable that this system cannot run
// (a document on a disk that marks every file executable), is opened with its associated
// program.
void ShellExecute(Shell& shell, const FileSystem& fs, const QString& path,
                  const QString& workingDir);

// Starts a program detached from this one (it outlives the program and is never waited for),
// with the exact bytes of its path, arguments and working folder. `searchPath` looks the
// program up in PATH. Returns 0, or the errno value when it could not be started.
int spawnDetached(const QString& program, const QStringList& arguments, const QString& workingDir,
                  bool searchPath);

} // namespace platform
