#include "ui/ToolTipSwitch.h"

#include <QApplication>
#include <QEvent>

namespace ui {

void ToolTipSwitch::install(bool shown)
{
    static ToolTipSwitch* filter = nullptr;
    if (!filter)
        filter = new ToolTipSwitch(qApp);
    qApp->removeEventFilter(filter);
    if (!shown)
        qApp->installEventFilter(filter);
}

bool ToolTipSwitch::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip)
        return true;
    return QObject::eventFilter(watched, event);
}

} // namespace ui
