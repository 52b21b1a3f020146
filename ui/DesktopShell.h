#pragma once
// The desktop's shell: programs start as processes of their own, files and folders open in
// the programs the desktop associates with them, addresses in the browser or mail program.

#include "platform/Shell.h"

namespace ui {

class DesktopShell : public platform::Shell
{
public:
    int startProgram(const QString& program, const QString& workingDir) override;
    void openPath(const QString& path) override;
    void openUrl(const QString& url) override;
};

} // namespace ui
