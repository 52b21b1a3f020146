#include "ui/NameDialog.h"

#include "ui/Conversions.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

NameDialog::NameDialog(const core::NameDialogSpec& spec,
                       std::function<core::OkResult(const QString&)> onOk, QWidget* parent)
    : QDialog(parent), m_onOk(std::move(onOk)), m_input(new QLineEdit(this))
{
    setWindowTitle(spec.caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* label = new QLabel(spec.label, this);
    label->setTextFormat(Qt::PlainText);
    label->setBuddy(m_input);
    m_input->setMaxLength(spec.maxLength);
    m_input->setAccessibleName(spec.label);
    QPalette palette = m_input->palette();
    palette.setColor(QPalette::Base, shownColor(spec.backColor, QPalette::Base));
    palette.setColor(QPalette::Text, shownColor(spec.fontColor, QPalette::Text));
    m_input->setPalette(palette);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(spec.okText, QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(spec.cancelText, QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &NameDialog::BitBtn1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_input);
    layout->addWidget(buttons);
    setMinimumWidth(300);
}

void NameDialog::BitBtn1Click()
{
    switch (m_onOk(m_input->text())) {
    case core::OkResult::Close:
        accept();
        break;
    case core::OkResult::StaySelectInput:
        m_input->selectAll();
        m_input->setFocus();
        break;
    case core::OkResult::StayCleared:
        m_input->clear();
        m_input->setFocus();
        break;
    case core::OkResult::StayFocusInput:
        m_input->setFocus();
        break;
    case core::OkResult::Stay:
        break;
    }
}

} // namespace ui
