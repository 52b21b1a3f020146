#pragma once
// A row of panels side by side, each at its wanted width. The first panel takes the room to
// spare; when the row is narrower than the wanted widths, the first panel gives way first,
// down to its wanted width, then the panels from the right, each down to its least width,
// then the first panel down to its least width; only then are panels left out, from the
// right. A panel cut this way keeps its whole text in its tool tip.

#include <QWidget>

#include <vector>

namespace ui {

class PanelRow : public QWidget
{
    Q_OBJECT
public:
    explicit PanelRow(QWidget* parent = nullptr);

    // Adds a panel that gives way down to `least` (its wanted width when none is given).
    void addPanel(QWidget* panel, int wanted, int least = -1);
    // The widths the panels get in a row `width` pixels wide (0 for a panel that has no room).
    std::vector<int> widthsFor(int width) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    struct Panel
    {
        QWidget* widget;
        int wanted;
        int least;
    };
    std::vector<Panel> m_panels;
};

} // namespace ui
