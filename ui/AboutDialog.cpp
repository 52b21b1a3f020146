#include "ui/AboutDialog.h"

#include "core/OutwardCommands.h"
#include "ui/LinkLabel.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

AboutDialog::AboutDialog(std::function<void()> openHomePage, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Taboutform"));
    setWindowTitle(QStringLiteral("关于..."));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/app.png")).pixmap(32, 32));
    icon->setFixedSize(32, 32);
    icon->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(QStringLiteral("Quillet"), this);
    QFont nameFont = name->font();
    nameFont.setPointSize(nameFont.pointSize() + 5);
    nameFont.setBold(true);
    name->setFont(nameFont);
    QPalette red = name->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    name->setPalette(red);

    auto* versionCaption = new QLabel(QStringLiteral("版本："), this);
    m_version = new QLabel(this);
    m_version->setObjectName(QStringLiteral("verlabel"));
    m_version->setText(QStringLiteral("2.96 for WIN98/ME/2000"));
    m_version->setAccessibleName(m_version->text());
    auto* version = new QHBoxLayout;
    version->addWidget(versionCaption);
    version->addWidget(m_version, 1);

    auto* terms =
        new QLabel(QStringLiteral("本软件为免费软件，您可以自由使用和复制，但请保持软件的完整，"
                                  "不得修改或用于商业目的。使用本软件所造成的任何损失，"
                                  "作者不承担责任。"),
                   this);
    terms->setWordWrap(true);
    auto* credit = new QLabel(QStringLiteral("Tarnwick 制作，欢迎提出意见和建议。"), this);
    m_link = new LinkLabel(core::outward::HomePage, QStringLiteral("打开主页"),
                           std::move(openHomePage), this);
    m_link->setObjectName(QStringLiteral("Label_WebUrl"));

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addLayout(version);
    text->addWidget(terms);
    text->addWidget(credit);
    text->addWidget(m_link);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(10);
    top->addLayout(text, 1);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addLayout(buttons);
    setFixedWidth(353);
    setFixedHeight(qMax(208, sizeHint().height()));
}

} // namespace ui
