#include "ui/DesktopShell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace ui {

bool DesktopShell::startDetached(const QString& program, const QStringList& args,
                                 const QString& workingDir)
{
    return QProcess::startDetached(program, args, workingDir);
}

bool DesktopShell::open(const QString& url)
{
    return QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
}

} // namespace ui
