#include "ui/PanelRow.h"

#include <QResizeEvent>

namespace ui {

namespace {

constexpr int kGap = 2;         // between two panels
constexpr int kLeastShown = 12; // a narrower remnant of a panel is not shown

} // namespace

PanelRow::PanelRow(QWidget* parent) : QWidget(parent) {}

void PanelRow::addPanel(QWidget* panel, int wanted)
{
    panel->setParent(this);
    m_panels.push_back({panel, wanted});
    updateGeometry();
    place();
}

std::vector<int> PanelRow::widthsFor(int width) const
{
    std::vector<int> widths(m_panels.size(), 0);
    if (m_panels.empty())
        return widths;
    int others = 0;
    for (size_t i = 1; i < m_panels.size(); ++i)
        others += m_panels[i].wanted + kGap;
    const int least = m_panels.front().wanted;
    if (width - others >= least) {
        widths.front() = width - others;
        for (size_t i = 1; i < m_panels.size(); ++i)
            widths[i] = m_panels[i].wanted;
        return widths;
    }
    // The first panel keeps its least width; the others fill what is left from the left.
    widths.front() = qMin(width, least);
    int left = width - widths.front();
    for (size_t i = 1; i < m_panels.size(); ++i) {
        const int room = qMin(m_panels[i].wanted, left - kGap);
        widths[i] = room >= kLeastShown ? room : 0;
        left -= widths[i] + kGap;
    }
    return widths;
}

void PanelRow::place()
{
    const std::vector<int> widths = widthsFor(width());
    int x = 0;
    for (size_t i = 0; i < m_panels.size(); ++i) {
        QWidget* panel = m_panels[i].widget;
        panel->setVisible(widths[i] > 0);
        panel->setGeometry(x, 0, widths[i], height());
        x += widths[i] + kGap;
    }
}

QSize PanelRow::sizeHint() const
{
    int width = 0;
    int height = 0;
    for (const Panel& p : m_panels) {
        width += p.wanted + kGap;
        height = qMax(height, p.widget->sizeHint().height());
    }
    return QSize(width, height);
}

QSize PanelRow::minimumSizeHint() const
{
    // The row never holds the window wider than the user makes it.
    return QSize(0, sizeHint().height());
}

void PanelRow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    place();
}

} // namespace ui
