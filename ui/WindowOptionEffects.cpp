#include "ui/WindowOptionEffects.h"

#include "core/Texts.h"
#include "platform/Errors.h"
#include "ui/MainWindow.h"
#include "ui/ToolTipSwitch.h"
#include "ui/TreePane.h"

#include <QPixmap>
#include <QToolBar>

namespace ui {

namespace {

QPixmap loadPicture(const QString& path)
{
    if (path.isEmpty())
        return {};
    QPixmap picture;
    if (!picture.load(path))
        throw platform::UserError(core::texts::pictureLoadFailed(path));
    return picture;
}

} // namespace

void WindowOptionEffects::setToolbarPicture(const QString& path)
{
    const QPixmap picture = loadPicture(path);
    QString style;
    if (!picture.isNull()) {
        QString url = path;
        url.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
        style = QStringLiteral("QToolBar#ToolBar1 { background-image: url(\"%1\"); }").arg(url);
    }
    m_window.toolBar()->setStyleSheet(style);
}

void WindowOptionEffects::setTreePicture(const QString& path)
{
    m_window.treePane()->setBackgroundPicture(loadPicture(path));
}

void WindowOptionEffects::setToolTipsShown(bool shown)
{
    ToolTipSwitch::install(shown);
}

void WindowOptionEffects::setDropMode(int mode)
{
    Q_EMIT m_window.dropModeChanged(mode);
}

void WindowOptionEffects::setDocumentToolsShown(bool shown)
{
    m_window.setDocumentToolsShown(shown);
}

} // namespace ui
