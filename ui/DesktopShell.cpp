#include "ui/DesktopShell.h"

#include "platform/FileNames.h"

#include <QDesktopServices>
#include <QUrl>

namespace ui {

int DesktopShell::startProgram(const QString& program, const QString& workingDir)
{
    return platform::spawnDetached(program, {}, workingDir, false);
}

void DesktopShell::openPath(const QString& path)
{
    // An address carries only names that are text; a name with other bytes goes to the
    // desktop's opener as the bytes it is.
    if (platform::hasKeptBytes(path))
        platform::spawnDetached(QStringLiteral("xdg-open"), {path}, {}, true);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void DesktopShell::openUrl(const QString& url)
{
    QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
}

} // namespace ui
