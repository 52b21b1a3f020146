#include "ui/OutDirForm.h"

#include "platform/FileNames.h"
#include "ui/Conversions.h"
#include "ui/Icons.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace ui {

OutDirForm::OutDirForm(const core::FolderFormSpec& spec,
                       std::function<QString(const QString&)> onBrowse,
                       std::function<core::OkResult(const QString&, const QString&)> onOk,
                       QWidget* parent)
    : QDialog(parent), m_onBrowse(std::move(onBrowse)), m_onOk(std::move(onOk)),
      m_edit1(new QLineEdit(this)), m_edit2(new QLineEdit(this)),
      m_speedButton1(new QToolButton(this))
{
    setObjectName(QStringLiteral("Toutdirform"));
    setWindowTitle(spec.caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* prompt = new QLabel(spec.prompt, this);
    prompt->setTextFormat(Qt::PlainText);
    auto* nameLabel = new QLabel(spec.nameLabel, this);
    nameLabel->setTextFormat(Qt::PlainText);
    nameLabel->setBuddy(m_edit1);
    auto* folderLabel = new QLabel(spec.folderLabel, this);
    folderLabel->setTextFormat(Qt::PlainText);
    folderLabel->setBuddy(m_edit2);

    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit1->setAccessibleName(spec.nameLabel);
    m_edit1->setText(spec.name);
    m_edit1->setEnabled(spec.nameEnabled);
    m_edit2->setObjectName(QStringLiteral("Edit2"));
    m_edit2->setAccessibleName(spec.folderLabel);
    m_edit2->setReadOnly(true);
    showFolder(spec.folder);
    for (QLineEdit* edit : {m_edit1, m_edit2}) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, shownColor(spec.backColor, QPalette::Base));
        edit->setPalette(palette);
        edit->setMinimumWidth(260);
    }
    m_speedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    m_speedButton1->setIcon(
        icons::own(QStringLiteral("open-folder")));
    m_speedButton1->setToolTip(spec.browseHint);
    m_speedButton1->setAccessibleName(spec.browseHint);
    connect(m_speedButton1, &QToolButton::clicked, this, &OutDirForm::SpeedButton1Click);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(spec.okText, QDialogButtonBox::AcceptRole);
    QPushButton* close = buttons->addButton(spec.closeText, QDialogButtonBox::RejectRole);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &OutDirForm::BitBtn1Click);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(m_edit1, 0, 1, 1, 2);
    grid->addWidget(folderLabel, 1, 0);
    grid->addWidget(m_edit2, 1, 1);
    grid->addWidget(m_speedButton1, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    // A fixed border: the form keeps its size.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    (spec.nameEnabled ? static_cast<QWidget*>(m_edit1) : m_speedButton1)->setFocus();
}

void OutDirForm::showFolder(const QString& folder)
{
    m_folder = folder;
    m_edit2->setText(platform::displayText(folder));
    m_edit2->setCursorPosition(0);
}

void OutDirForm::SpeedButton1Click()
{
    showFolder(m_onBrowse(m_folder));
}

void OutDirForm::BitBtn1Click()
{
    switch (m_onOk(m_edit1->text(), m_folder)) {
    case core::OkResult::Close:
        accept();
        break;
    case core::OkResult::StayCleared:
        m_edit1->clear();
        showFolder(QString());
        m_edit1->setFocus();
        break;
    case core::OkResult::StaySelectInput:
        m_edit1->selectAll();
        m_edit1->setFocus();
        break;
    case core::OkResult::StayFocusInput:
        m_edit1->setFocus();
        break;
    case core::OkResult::Stay:
        break;
    }
}

} // namespace ui
