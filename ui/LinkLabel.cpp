#include "ui/LinkLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace ui {

LinkLabel::LinkLabel(const QString& text, const QString& description, std::function<void()> onClick,
                     QWidget* parent, bool selectable)
    : QLabel(text, parent), m_onClick(std::move(onClick))
{
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::TabFocus);
    if (selectable)
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, Qt::blue);
    p.setColor(QPalette::Text, Qt::blue);
    setPalette(p);
    setAccessibleName(text);
    setAccessibleDescription(description);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (m_onClick && event->button() == Qt::LeftButton && !hasSelectedText())
        m_onClick();
}

void LinkLabel::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
         event->key() == Qt::Key_Space) &&
        m_onClick) {
        m_onClick();
        return;
    }
    QLabel::keyPressEvent(event);
}

} // namespace ui
