#include "ui/OuterGeometry.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace ui {

namespace {

constexpr int kLookEvery = 50; // ms
constexpr int kLooks = 40;     // two seconds in all

QSize sizeOf(const QMargins& m)
{
    return QSize(m.left() + m.right(), m.top() + m.bottom());
}

} // namespace

OuterGeometry::OuterGeometry(QWidget* window) : QObject(window), m_window(window)
{
    m_look.setInterval(kLookEvery);
    connect(&m_look, &QTimer::timeout, this, [this] {
        // Time runs out only while the window shows in its normal state.
        if (!(m_window->windowState() &
              (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) &&
            ++m_looks >= kLooks) {
            m_pending = false;
            m_look.stop();
            return;
        }
        fit();
    });
    m_window->installEventFilter(this);
}

QMargins OuterGeometry::frame() const
{
    if (m_frame)
        return m_frame();
    const QWindow* handle = m_window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

void OuterGeometry::restore(const core::WindowPlacement& placement)
{
    m_outerSize = QSize(placement.width, placement.height);
    // A top-level window's position is its frame's.
    m_window->move(placement.left, placement.top);
    m_window->resize(m_outerSize - sizeOf(frame()));
    m_pending = true;
    m_looks = 0;
    if (placement.maximized)
        m_window->setWindowState(m_window->windowState() | Qt::WindowMaximized);
}

QRect OuterGeometry::outer() const
{
    return QRect(m_window->pos(), m_window->size() + sizeOf(frame()));
}

void OuterGeometry::fit()
{
    if (!m_pending || !m_window->isVisible() ||
        (m_window->windowState() &
         (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
        return;
    const QMargins margins = frame();
    if (margins.isNull())
        return; // not known yet
    m_pending = false;
    m_look.stop();
    const QSize inner = m_outerSize - sizeOf(margins);
    if (m_window->size() != inner)
        m_window->resize(inner);
}

bool OuterGeometry::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && m_pending) {
        switch (event->type()) {
        case QEvent::Show:
            if (!m_look.isActive())
                m_look.start();
            fit();
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
        case QEvent::WindowActivate:
            fit();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace ui
