#include "ui/OuterGeometry.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <QWindowStateChangeEvent>

namespace ui {

namespace {

constexpr int kLookEvery = 50;  // ms
constexpr int kLooks = 40;      // two seconds in all
constexpr int kStableLooks = 4; // a place kept this many looks is the window's own
constexpr Qt::WindowStates kNotNormal =
    Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen;

QSize sizeOf(const QMargins& m)
{
    return QSize(m.left() + m.right(), m.top() + m.bottom());
}

} // namespace

OuterGeometry::OuterGeometry(QWidget* window) : QObject(window), m_window(window)
{
    m_look.setInterval(kLookEvery);
    connect(&m_look, &QTimer::timeout, this, [this] {
        if (m_returning) {
            // The window manager may answer the change of state with a place of its own, a
            // little later: the window goes back until it has stood there for a moment.
            m_stableLooks = returnToNormal() ? m_stableLooks + 1 : 0;
            if (m_stableLooks >= kStableLooks || ++m_looks >= kLooks) {
                m_returning = false;
                m_look.stop();
            }
            return;
        }
        // Time runs out only while the window shows in its normal state.
        if (!(m_window->windowState() & kNotNormal) && ++m_looks >= kLooks) {
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
    m_normalOuter = QRect(placement.left, placement.top, placement.width, placement.height);
    m_beenNormal = !placement.maximized;
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
    if (!m_pending || !m_window->isVisible() || (m_window->windowState() & kNotNormal))
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

bool OuterGeometry::returnToNormal()
{
    if (m_window->windowState() & kNotNormal)
        return false;
    const QSize inner = m_normalOuter.size() - sizeOf(frame());
    if (m_window->pos() == m_normalOuter.topLeft() && m_window->size() == inner)
        return true;
    m_window->move(m_normalOuter.topLeft());
    m_window->resize(inner);
    return false;
}

void OuterGeometry::stateChanged(Qt::WindowStates before)
{
    const Qt::WindowStates now = m_window->windowState();
    if (now & kNotNormal)
        return;
    if (!m_beenNormal && (before & Qt::WindowMaximized) && m_window->isVisible()) {
        m_pending = false; // the stored place holds the size too
        m_returning = true;
        m_stableLooks = 0;
        m_looks = 0;
        returnToNormal();
        m_look.start();
    }
    m_beenNormal = true;
}

bool OuterGeometry::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::WindowStateChange)
        stateChanged(static_cast<QWindowStateChangeEvent*>(event)->oldState());
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
