#pragma once
// The shell of the running desktop: programs start as processes of their own, and URLs go to
// the desktop's handlers (xdg-open and its kin).

#include "platform/Shell.h"

namespace ui {

class DesktopShell : public platform::Shell
{
public:
    bool startDetached(const QString& program, const QStringList& args,
                       const QString& workingDir) override;
    bool open(const QString& url) override;
};

} // namespace ui
