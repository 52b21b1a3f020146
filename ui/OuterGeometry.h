#pragma once
// The main window's stored place is its outer one, frame included. A window manager puts
// its frame around the window only after the window is shown, so the inner size that makes
// the stored outer size is set once the frame is known: the same size comes back at every
// start. A window that starts maximised has never had its normal place on the screen, and
// some window managers un-maximise it to the whole screen: the first time it leaves the
// maximised state it goes back to the stored place.

#include "core/Settings.h"

#include <QMargins>
#include <QObject>
#include <QRect>
#include <QTimer>

#include <functional>

class QWidget;

namespace ui {

class OuterGeometry : public QObject
{
    Q_OBJECT
public:
    explicit OuterGeometry(QWidget* window);

    // Where the frame's margins come from: the platform window's unless a test stands in.
    // No margins means the frame is not known (yet).
    void setFrameSource(std::function<QMargins()> frame) { m_frame = std::move(frame); }

    // Places the window at a stored outer geometry; the inner size follows once the frame
    // is known.
    void restore(const core::WindowPlacement& placement);
    // The window's outer geometry as it is now.
    QRect outer() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMargins frame() const;
    void fit();
    // Puts the window at its stored normal place; true once it stands there.
    bool returnToNormal();
    void stateChanged(Qt::WindowStates before);

    QWidget* m_window;
    std::function<QMargins()> m_frame;
    QSize m_outerSize;
    QRect m_normalOuter; // the stored normal place, frame included
    bool m_pending = false;
    bool m_returning = false; // leaving the maximised state it started in
    bool m_beenNormal = false;
    int m_stableLooks = 0;
    // A frame that brings no event of its own is looked for a few times after the window
    // shows; a window manager that draws no frame never gives one.
    QTimer m_look;
    int m_looks = 0;
};

} // namespace ui
