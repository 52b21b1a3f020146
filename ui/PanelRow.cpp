#include "ui/PanelRow.h"

#include <QResizeEvent>

namespace ui {

namespace {

constexpr int kGap = 2; // between two panels

} // namespace

PanelRow::PanelRow(QWidget* parent) : QWidget(parent) {}

void PanelRow::addPanel(QWidget* panel, int wanted, int least)
{
    panel->setParent(this);
    m_panels.push_back({panel, wanted, least < 0 ? wanted : qMin(least, wanted)});
    updateGeometry();
    place();
}

std::vector<int> PanelRow::widthsFor(int width) const
{
    std::vector<int> widths(m_panels.size(), 0);
    if (m_panels.empty())
        return widths;
    int others = 0;
    for (size_t i = 1; i < m_panels.size(); ++i) {
        widths[i] = m_panels[i].wanted;
        others += m_panels[i].wanted + kGap;
    }
    const Panel& first = m_panels.front();
    int missing = first.wanted + others - width;
    // The panels from the right give way down to their least widths, then the first panel
    // down to its own, then panels are left out from the right.
    for (size_t i = m_panels.size() - 1; i >= 1 && missing > 0; --i) {
        const int given = qMin(missing, m_panels[i].wanted - m_panels[i].least);
        widths[i] -= given;
        missing -= given;
    }
    missing -= first.wanted - first.least;
    for (size_t i = m_panels.size() - 1; i >= 1 && missing > 0; --i) {
        missing -= widths[i] + kGap;
        widths[i] = 0;
    }
    // The first panel takes what the others leave.
    int taken = 0;
    for (size_t i = 1; i < m_panels.size(); ++i)
        taken += widths[i] > 0 ? widths[i] + kGap : 0;
    widths.front() = qMax(0, width - taken);
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
