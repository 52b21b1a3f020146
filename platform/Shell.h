#pragma once
// The desktop's shell: starting a program in its own folder, and handing a web page, a mail
// address or a file to the desktop's handler for it. Commands ask a Shell so that tests can
// record the launches instead of starting anything.

#include <QString>
#include <QStringList>

namespace platform {

class Shell
{
public:
    virtual ~Shell() = default;
    // Starts `program` with `args` as a process of its own in `workingDir`; false when it
    // could not be started.
    virtual bool startDetached(const QString& program, const QStringList& args,
                               const QString& workingDir) = 0;
    // Opens a URL ("https://...", "mailto:...", "file://...") with the desktop's handler.
    virtual bool open(const QString& url) = 0;
};

// The "file://" URL of a local path: its exact bytes, percent-encoded.
QString fileUrl(const QString& path);

} // namespace platform
