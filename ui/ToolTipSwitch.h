#pragma once
// Switches the tool tips of the whole program on or off.

#include <QObject>

namespace ui {

class ToolTipSwitch : public QObject
{
    Q_OBJECT
public:
    // Tool tips are shown exactly when `shown` holds.
    static void install(bool shown);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};

} // namespace ui
