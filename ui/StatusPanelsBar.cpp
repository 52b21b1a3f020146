#include "ui/StatusPanelsBar.h"

#include "core/StatusPanels.h"
#include "platform/FileNames.h"
#include "ui/Conversions.h"
#include "ui/Icons.h"
#include "ui/PanelRow.h"

#include <QPainter>

namespace ui {

namespace {

const QString kCredit = QStringLiteral("Tarnwick制作");
constexpr int kCreditColor = 983295; // a red
constexpr int kWidths[] = {350, 80, 110, 110, 100};
constexpr int kFolderWanted = 200; // the folder panel gives way first down to this width
constexpr int kFolderLeast = 100;  // and, once the others have given way, down to this
const char* const kNames[] = {"当前目录", "文件数", "选取数", "详细文档"};
// The longest texts the count panels usually show, which they are made wide enough for, and
// the shortest they give way to when the bar is short of room.
const char* const kUsualTexts[] = {"", "共88888个文件", "共选取了88888个文件", "此文件有详细文档"};
const char* const kShortTexts[] = {"", "共8个文件", "共选取了8个文件", "此文件有详细文档"};
constexpr int kCreditText = 20; // where the credit's text starts, after its mark

} // namespace

CreditPanel::CreditPanel(QWidget* parent) : QLabel(kCredit, parent)
{
    setAccessibleName(kCredit);
    setToolTip(kCredit);
}

void CreditPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect r = contentsRect();
    icons::own(QStringLiteral("credit")).paint(&painter, QRect(r.left() + 2, r.top() - 1, 16, 16));
    painter.setPen(colorFromStored(kCreditColor));
    // A narrow panel shows the beginning of the name; the tool tip holds all of it.
    const int room = r.width() - kCreditText;
    painter.drawText(QRect(r.left() + kCreditText, r.top() + 1, room, r.height()),
                     Qt::AlignLeft | Qt::AlignTop,
                     fontMetrics().elidedText(kCredit, Qt::ElideRight, room));
}

int CreditPanel::leastWidth() const
{
    // The mark and the name's first letter with the ellipsis.
    return kCreditText + fontMetrics().horizontalAdvance(kCredit.left(1) + QChar(0x2026)) +
           2 * frameWidth() + 4;
}

StatusPanelsBar::StatusPanelsBar(core::StatusPanels& panels, QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(true);
    m_row = new PanelRow(this);
    m_row->setObjectName(QStringLiteral("panels"));
    for (int i = 0; i < 5; ++i) {
        QLabel* label = i < 4 ? new QLabel(m_row) : new CreditPanel(m_row);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // The folder panel takes the room to spare and gives way first; the count panels are
        // wide enough for their usual texts.
        int wanted = i == 0 ? kFolderWanted : kWidths[i];
        int least = i == 0 ? kFolderLeast : wanted;
        const auto room = [label](const char* text) {
            return label->fontMetrics().horizontalAdvance(QString::fromUtf8(text)) +
                   2 * label->frameWidth() + 2 * label->margin() + 8;
        };
        if (i >= 1 && i <= 3) {
            wanted = qMax(wanted, room(kUsualTexts[i]));
            least = qMin(wanted, room(kShortTexts[i]));
        } else if (i == 4) {
            least = static_cast<CreditPanel*>(label)->leastWidth();
        }
        m_row->addPanel(label, wanted, least);
        label->setObjectName(QStringLiteral("panel%1").arg(i));
        label->setTextFormat(Qt::PlainText);
        m_labels[size_t(i)] = label;
        if (i < 4) {
            label->setAccessibleDescription(QString::fromUtf8(kNames[i]));
            showText(i, panels.text(i));
        }
    }
    addWidget(m_row, 1);
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
