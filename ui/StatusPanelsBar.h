#pragma once
// The status bar: four text panels that follow the status panels of the workspace, and the
// maker's credit drawn in the fifth. Each panel's whole text is its tool tip.

#include <QLabel>
#include <QStatusBar>

#include <array>

namespace core {
class StatusPanels;
}

namespace ui {

// The credit panel: the maker's mark and name in red, the name cut short with an ellipsis
// where the panel is narrow.
class CreditPanel : public QLabel
{
    Q_OBJECT
public:
    explicit CreditPanel(QWidget* parent = nullptr);
    // The width that still shows the mark and the name's beginning.
    int leastWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class PanelRow;

class StatusPanelsBar : public QStatusBar
{
    Q_OBJECT
public:
    StatusPanelsBar(core::StatusPanels& panels, QWidget* parent = nullptr);
    QLabel* panel(int index) const { return m_labels[size_t(index)]; }

private:
    void showText(int panel, const QString& text);

    PanelRow* m_row = nullptr;
    std::array<QLabel*, 5> m_labels{};
};

} // namespace ui
