#include "ui/StatusPanelsBar.h"

#include "core/StatusPanels.h"
#include "platform/FileNames.h"
#include "ui/Conversions.h"
#include "ui/Icons.h"

#include <QPainter>

namespace ui {

namespace {

const QString kCredit = QStringLiteral("Tarnwick制作");
constexpr int kCreditColor = 983295; // a red
constexpr int kWidths[] = {350, 80, 110, 110, 100};
const char* const kNames[] = {"当前目录", "文件数", "选取数", "详细文档"};

} // namespace

CreditPanel::CreditPanel(QWidget* parent) : QLabel(kCredit, parent)
{
    setAccessibleName(kCredit);
}

void CreditPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect r = contentsRect();
    icons::own(QStringLiteral("credit")).paint(&painter, QRect(r.left() + 2, r.top() - 1, 16, 16));
    painter.setPen(colorFromStored(kCreditColor));
    painter.drawText(QRect(r.left() + 20, r.top() + 1, r.width() - 20, r.height()),
                     Qt::AlignLeft | Qt::AlignTop, kCredit);
}

StatusPanelsBar::StatusPanelsBar(core::StatusPanels& panels, QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(true);
    for (int i = 0; i < 5; ++i) {
        QLabel* label = i < 4 ? new QLabel(this) : new CreditPanel(this);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // The folder panel gives way when the window is narrow; the others keep their width.
        if (i == 0) {
            label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            label->setMinimumWidth(40);
        } else {
            label->setFixedWidth(kWidths[i]);
        }
        label->setObjectName(QStringLiteral("panel%1").arg(i));
        label->setTextFormat(Qt::PlainText);
        m_labels[size_t(i)] = label;
        if (i < 4) {
            label->setAccessibleDescription(QString::fromUtf8(kNames[i]));
            showText(i, panels.text(i));
        }
        addWidget(label, i == 0 ? 1 : 0);
    }
    connect(&panels, &core::StatusPanels::changed, this, &StatusPanelsBar::showText);
}

void StatusPanelsBar::showText(int panel, const QString& text)
{
    // A screen reader reads what the panel shows; an empty panel is named by its role.
    QLabel* label = m_labels[size_t(panel)];
    // Panel 0 holds the current folder, shown with its names as they read.
    const QString shown = messageText(panel == 0 ? platform::displayPath(text) : text);
    label->setText(shown);
    label->setToolTip(plainToolTip(shown)); // a narrow panel cuts long texts such as the search's
    label->setAccessibleName(shown.isEmpty() ? QString::fromUtf8(kNames[panel]) : shown);
}

} // namespace ui
