#include "ui/AttributesDialog.h"

#include "core/Texts.h"
#include "platform/FileNames.h"
#include "ui/LinkLabel.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

namespace {

QFrame* bevel(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

Qt::CheckState qtState(core::BoxState state)
{
    switch (state) {
    case core::BoxState::Checked:
        return Qt::Checked;
    case core::BoxState::Grayed:
        return Qt::PartiallyChecked;
    case core::BoxState::Unchecked:
        break;
    }
    return Qt::Unchecked;
}

core::BoxState boxState(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return core::BoxState::Checked;
    case Qt::PartiallyChecked:
        return core::BoxState::Grayed;
    case Qt::Unchecked:
        break;
    }
    return core::BoxState::Unchecked;
}

// A label that shows a name or a path: plain text, its text as its accessible name.
QLabel* valueLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(platform::displayText(text), parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAccessibleName(label->text());
    return label;
}

} // namespace

AttributesDialog::AttributesDialog(const core::AttributesDialogSpec& spec, const QIcon& icon,
                                   QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TattrForm"));
    setWindowTitle(QStringLiteral("文件属性"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QFont formFont(QStringLiteral("宋体"));
    formFont.setPointSize(9);
    setFont(formFont);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("ImageFileIco"));
    picture->setPixmap(icon.pixmap(32, 32));
    picture->setFixedSize(32, 32);
    auto* head = new QHBoxLayout;
    head->addWidget(picture);
    head->addSpacing(12);
    head->addWidget(valueLabel(this, "Label_FileName", spec.fileName), 1);

    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, 240);
    int row = 0;
    const auto addLine = [&](const char* name, const QString& caption, const char* valueName,
                             const QString& value, bool shown) {
        auto* label = new QLabel(caption, this);
        label->setObjectName(QLatin1String(name));
        QLabel* text = valueLabel(this, valueName, value);
        text->setVisible(shown);
        grid->addWidget(label, row, 0);
        grid->addWidget(text, row, 1);
        ++row;
    };
    addLine("Label2", QStringLiteral("所在位置:"), "Label_Place", spec.place, true);
    addLine("Label7", QStringLiteral("文件大小:"), "Label_FileSize", spec.sizeText, true);
    grid->addWidget(bevel(this), row++, 0, 1, 2);
    addLine("Label1", QStringLiteral("创建时间:"), "Label_CreateTime", spec.createTime,
            !spec.several);
    addLine("Label3", QStringLiteral("访问时间:"), "Label_AccessTime", spec.accessTime,
            !spec.several);
    addLine("Label4", QStringLiteral("修改时间:"), "Label_ModifyTime", spec.modifyTime,
            !spec.several);
    if (!spec.origin.isEmpty()) {
        // A downloaded file's address: plain text, selectable; an address the desktop may open
        // opens at a click.
        auto* label = new QLabel(core::texts::OriginLabel, this);
        label->setObjectName(QStringLiteral("Label_OriginCaption"));
        QLabel* origin = spec.openOrigin
                             ? new LinkLabel(spec.origin, QStringLiteral("打开来源地址"),
                                             spec.openOrigin, this, true)
                             : valueLabel(this, "Label_Origin", spec.origin);
        origin->setObjectName(QStringLiteral("Label_Origin"));
        origin->setTextFormat(Qt::PlainText);
        origin->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        origin->setWordWrap(true);
        origin->setMaximumWidth(320);
        grid->addWidget(label, row, 0);
        grid->addWidget(origin, row, 1);
        ++row;
    }

    const auto makeBox = [&](const char* name, const QString& text, core::BoxState state) {
        auto* box = new QCheckBox(text, this);
        box->setObjectName(QLatin1String(name));
        // Several files: a box may stay grayed, which leaves that attribute alone. A click
        // goes from grayed to ticked, to not ticked and back to grayed.
        box->setTristate(spec.several);
        box->setCheckState(qtState(state));
        return box;
    };
    m_rcb = makeBox("rcb", QStringLiteral("只读(&R)"), spec.boxes.readOnly);
    m_hcb = makeBox("hcb", QStringLiteral("隐藏(&H)"), spec.boxes.hidden);
    m_acb = makeBox("acb", QStringLiteral("存档(&C)"), spec.boxes.archive);
    m_scb = makeBox("scb", QStringLiteral("系统(&S)"), spec.boxes.system);
    auto* attributes = new QGridLayout;
    auto* caption = new QLabel(QStringLiteral("属性:"), this);
    caption->setObjectName(QStringLiteral("Label9"));
    attributes->addWidget(caption, 0, 0);
    attributes->addWidget(m_rcb, 0, 1);
    attributes->addWidget(m_hcb, 0, 2);
    attributes->addWidget(m_acb, 1, 1);
    attributes->addWidget(m_scb, 1, 2);
    attributes->setColumnStretch(3, 1);

    m_ok = new QPushButton(QStringLiteral("确定(&Y)"), this);
    m_ok->setObjectName(QStringLiteral("BitBtn_Ok"));
    m_ok->setDefault(true);
    m_ok->setEnabled(spec.okEnabled);
    auto* cancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cancel->setObjectName(QStringLiteral("BitBtn_Cancel"));
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(bevel(this));
    layout->addLayout(grid);
    layout->addWidget(bevel(this));
    layout->addLayout(attributes);
    layout->addWidget(bevel(this));
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

core::AttributeBoxes AttributesDialog::boxes() const
{
    return {boxState(m_rcb), boxState(m_hcb), boxState(m_acb), boxState(m_scb)};
}

QCheckBox* AttributesDialog::box(const char* name) const
{
    return findChild<QCheckBox*>(QLatin1String(name));
}

QLabel* AttributesDialog::label(const char* name) const
{
    return findChild<QLabel*>(QLatin1String(name));
}

} // namespace ui
