#include "ui/WindowOptionEffects.h"

#include "core/Texts.h"
#include "platform/Errors.h"
#include "ui/ColorScheme.h"
#include "ui/MainWindow.h"
#include "ui/PictureFile.h"
#include "ui/ToolTipSwitch.h"
#include "ui/TreePane.h"

#include <QEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolBar>

namespace ui {

namespace {

QPixmap loadPicture(const QString& path)
{
    if (path.isEmpty())
        return {};
    const QPixmap picture = readPictureFile(path);
    if (picture.isNull())
        throw platform::UserError(core::texts::pictureLoadFailed(path));
    return picture;
}

} // namespace

// Paints the picture, tiled, as the tool bar's background; the buttons show over it.
class BandPicture : public QObject
{
public:
    using QObject::QObject;
    void setPicture(const QPixmap& picture) { m_picture = picture; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || m_picture.isNull())
            return false;
        auto* bar = static_cast<QWidget*>(watched);
        QPainter painter(bar);
        painter.drawTiledPixmap(bar->rect(), m_picture);
        return true;
    }

private:
    QPixmap m_picture;
};

WindowOptionEffects::WindowOptionEffects(MainWindow& window) : m_window(window) {}

WindowOptionEffects::~WindowOptionEffects() = default;

void WindowOptionEffects::setToolbarPicture(const QString& path)
{
    const QPixmap picture = loadPicture(path);
    QToolBar* bar = m_window.toolBar();
    if (!m_bandPicture) {
        m_bandPicture = new BandPicture(bar);
        bar->installEventFilter(m_bandPicture);
    }
    m_bandPicture->setPicture(picture);
    bar->update();
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

void WindowOptionEffects::setColorScheme(int choice)
{
    m_window.colorScheme()->setChoice(choice);
}

} // namespace ui
