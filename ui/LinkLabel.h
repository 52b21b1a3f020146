#pragma once
// A link shown as plain text: blue, underlined, with the hand cursor; a click, Return or the
// space bar follows it. A selectable one can be selected to be copied, and a click that
// selected text does not follow it.

#include <QLabel>

#include <functional>

namespace ui {

class LinkLabel : public QLabel
{
public:
    LinkLabel(const QString& text, const QString& description, std::function<void()> onClick,
              QWidget* parent, bool selectable = false);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void()> m_onClick;
};

} // namespace ui
