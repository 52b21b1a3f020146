#include "ui/NoteDialog.h"

#include "ui/Conversions.h"
#include "ui/Icons.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace ui {

NoteDialog::NoteDialog(const core::NoteDialogSpec& spec,
                       std::function<core::OkResult(const QStringList&)> onOk, QWidget* parent)
    : QDialog(parent), m_onOk(std::move(onOk)), m_memo(new QPlainTextEdit(this))
{
    setWindowTitle(spec.caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_memo->setPlainText(spec.text);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setTabChangesFocus(false);
    m_memo->setFont(fontFromSpec(spec.font));
    QPalette palette = m_memo->palette();
    palette.setColor(QPalette::Text, shownColor(spec.font.color, QPalette::Text));
    m_memo->setPalette(palette);
    m_memo->setAccessibleName(spec.label.trimmed());

    auto* tools = new QToolBar(this);
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tools->addAction(icons::own(QStringLiteral("cut")),
                     QStringLiteral("剪切"), m_memo, &QPlainTextEdit::cut);
    tools->addAction(icons::own(QStringLiteral("copy")),
                     QStringLiteral("复制"), m_memo, &QPlainTextEdit::copy);
    tools->addAction(icons::own(QStringLiteral("paste")),
                     QStringLiteral("粘贴"), m_memo, &QPlainTextEdit::paste);
    tools->addAction(icons::own(QStringLiteral("select-all")),
                     QStringLiteral("全选"), m_memo, &QPlainTextEdit::selectAll);

    auto* label = new QLabel(messageText(spec.label), this);
    label->setTextFormat(Qt::PlainText);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setObjectName(QStringLiteral("TDlabel"));

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("确定(&S)"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("取消(&N)"), QDialogButtonBox::RejectRole);
    m_ok->setEnabled(spec.okEnabled);
    connect(m_ok, &QPushButton::clicked, this, &NoteDialog::WiteBtn1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tools);
    layout->addWidget(m_memo, 1);
    layout->addWidget(label);
    layout->addWidget(buttons);
    resize(420, 260);
}

void NoteDialog::WiteBtn1Click()
{
    const QStringList lines = m_memo->toPlainText().split(u'\n');
    if (m_onOk(m_memo->toPlainText().isEmpty() ? QStringList() : lines) == core::OkResult::Close)
        accept();
}

} // namespace ui
