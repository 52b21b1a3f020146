#include "ui/OptionsDialog.h"

#include "platform/FileNames.h"
#include "ui/Conversions.h"
#include "ui/Icons.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace ui {

namespace {

// The boxes of the "系统设置" group, in their order, with the value each shows.
const struct
{
    const char* name;
    const char* text;
    bool core::OptionsValues::*value;
} kBoxes[] = {
    {"Delfdialog", "删除文件时显时确认对话框[&D]", &core::OptionsValues::DelDialog},
    {"emptyrecly", "清空废物箱时显时确认对话框[&E]", &core::OptionsValues::EmptyDialog},
    {"btnhint", "命令按钮显示汽泡帮助[&T]", &core::OptionsValues::SysHint},
    {"exptree", "启动时自动展开类库树[&S]", &core::OptionsValues::ExpNoteTree},
    {"DragCopy", "允许拖动复制文件注释文字[&C]", &core::OptionsValues::AllowDragCopyNote},
    {"showdoctoolbar", "显示文档编辑工具栏[&O]", &core::OptionsValues::ShowDocTools},
    {"EnabledSoundCh", "使用声音效果[&M]", &core::OptionsValues::EnabledSound},
    {"XattrCommentCh", "同步注释到文件扩展属性(供桌面文件管理器显示)",
     &core::OptionsValues::XattrComment},
    {"InstantSearchCh", "输入时即时查找", &core::OptionsValues::InstantSearch},
};

QGroupBox* radioGroup(QWidget* parent, const char* name, const QString& title,
                      const QStringList& choices, QButtonGroup*& group)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    group = new QButtonGroup(box);
    auto* layout = new QHBoxLayout(box);
    int id = 0;
    for (const QString& text : choices) {
        auto* radio = new QRadioButton(text, box);
        group->addButton(radio, id++);
        layout->addWidget(radio, 1);
    }
    return box;
}

} // namespace

OptionsDialog::OptionsDialog(core::OptionsForm& form, QWidget* parent)
    : QDialog(parent), m_form(form)
{
    setObjectName(QStringLiteral("TSyscForm"));
    setWindowTitle(QStringLiteral("系统选项"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    m_tabs->addTab(buildGeneralTab(), icons::own(QStringLiteral("options")),
                   QStringLiteral("通用"));
    m_tabs->addTab(buildLookTab(), icons::own(QStringLiteral("view-style")),
                   QStringLiteral("外观"));

    auto* yes = new QPushButton(QStringLiteral("确定"), this);
    yes->setObjectName(QStringLiteral("YesBtn"));
    yes->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    m_apply = new QPushButton(QStringLiteral("应用"), this);
    m_apply->setObjectName(QStringLiteral("ApplyBtn"));
    auto* help = new QPushButton(QStringLiteral("[&H]帮助"), this);
    help->setObjectName(QStringLiteral("BitBtn1"));
    connect(yes, &QPushButton::clicked, this, [this] { YesBtnClick(true); });
    connect(m_apply, &QPushButton::clicked, this, [this] { YesBtnClick(false); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { m_form.BitBtn1Click(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {yes, cancel, m_apply, help})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_tabs->setMinimumSize(391, 270);
    showValues();
}

QWidget* OptionsDialog::buildGeneralTab()
{
    auto* page = new QWidget(this);
    auto* group = new QGroupBox(QStringLiteral("系统设置"), page);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* boxes = new QGridLayout(group);
    int i = 0;
    for (const auto& b : kBoxes) {
        auto* box = new QCheckBox(QString::fromUtf8(b.text), group);
        box->setObjectName(QLatin1String(b.name));
        m_boxes.append(box);
        boxes->addWidget(box, i, 0);
        ++i;
    }

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addWidget(radioGroup(
        page, "RadioGroup1", QStringLiteral("鼠标双击事件"),
        {QStringLiteral("执行选中的文件"), QStringLiteral("编辑选中的注释")}, m_doubleEnv));
    layout->addWidget(radioGroup(page, "RadioGroup2", QStringLiteral("文件拖放的行为"),
                                 {QStringLiteral("复制到目标库"), QStringLiteral("移动到目标库")},
                                 m_dropMode));
    // Light or dark: as the desktop prefers, or always one of them.
    layout->addWidget(
        radioGroup(page, "ColorSchemeGroup", QStringLiteral("界面颜色"),
                   {QStringLiteral("跟随系统"), QStringLiteral("浅色"), QStringLiteral("深色")},
                   m_colorScheme));
    layout->addLayout(pathRow(QStringLiteral("外部下载软件:"), m_program, "SpeedButton1",
                              "SpeedButton4", &core::OptionsForm::SpeedButton1Click,
                              &core::OptionsForm::SpeedButton4Click));
    m_program->setObjectName(QStringLiteral("Edit1"));
    return page;
}

QWidget* OptionsDialog::buildLookTab()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(pathRow(QStringLiteral("工具栏背景图:"), m_toolbarPicture, "SpeedButton2",
                              "SpeedButton3", &core::OptionsForm::SpeedButton2Click,
                              &core::OptionsForm::SpeedButton3Click));
    m_toolbarPicture->setObjectName(QStringLiteral("Edit2"));
    layout->addLayout(pathRow(QStringLiteral("类库树背景图:"), m_treePicture, "SpeedButton5",
                              "SpeedButton6", &core::OptionsForm::SpeedButton5Click,
                              &core::OptionsForm::SpeedButton6Click));
    m_treePicture->setObjectName(QStringLiteral("Edit3"));
    layout->addStretch(1);
    return page;
}

QLayout* OptionsDialog::pathRow(const QString& label, QLineEdit*& edit, const char* browseName,
                                const char* clearName, void (core::OptionsForm::*browse)(),
                                void (core::OptionsForm::*clear)())
{
    auto* caption = new QLabel(label, this);
    edit = new QLineEdit(this);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus); // not a tab stop
    edit->setAccessibleName(label);
    caption->setBuddy(edit);
    auto* browseButton = new QToolButton(this);
    browseButton->setObjectName(QLatin1String(browseName));
    browseButton->setIcon(
        icons::own(QStringLiteral("open-folder")));
    browseButton->setToolTip(QStringLiteral("浏览..."));
    browseButton->setAccessibleName(QStringLiteral("浏览"));
    auto* clearButton = new QToolButton(this);
    clearButton->setObjectName(QLatin1String(clearName));
    clearButton->setIcon(icons::own(QStringLiteral("clear-edit")));
    clearButton->setToolTip(QStringLiteral("清除"));
    clearButton->setAccessibleName(QStringLiteral("清除"));
    for (auto [button, step] : {std::pair{browseButton, browse}, std::pair{clearButton, clear}}) {
        connect(button, &QToolButton::clicked, this, [this, step] {
            takeValues();
            (m_form.*step)();
            showValues();
        });
    }
    auto* row = new QHBoxLayout;
    row->addWidget(caption);
    row->addWidget(edit, 1);
    row->addWidget(browseButton);
    row->addWidget(clearButton);
    return row;
}

void OptionsDialog::showValues()
{
    const core::OptionsValues& v = m_form.values;
    for (int i = 0; i < m_boxes.size(); ++i)
        m_boxes[i]->setChecked(v.*kBoxes[i].value);
    if (QAbstractButton* b = m_doubleEnv->button(v.DoubleEnv))
        b->setChecked(true);
    if (QAbstractButton* b = m_dropMode->button(v.DropMode))
        b->setChecked(true);
    if (QAbstractButton* b = m_colorScheme->button(v.ColorScheme))
        b->setChecked(true);
    for (auto [edit, text] :
         {std::pair{m_program, v.DragPro}, std::pair{m_toolbarPicture, v.ToolbarBmp},
          std::pair{m_treePicture, v.TreeBarBmp}}) {
        edit->setText(platform::displayText(text));
        edit->setToolTip(plainToolTip(platform::displayText(text)));
    }
}

void OptionsDialog::takeValues()
{
    core::OptionsValues& v = m_form.values;
    for (int i = 0; i < m_boxes.size(); ++i)
        v.*kBoxes[i].value = m_boxes[i]->isChecked();
    // A drop mode outside the two choices stays as it is until one is chosen.
    if (m_doubleEnv->checkedId() >= 0)
        v.DoubleEnv = m_doubleEnv->checkedId();
    if (m_dropMode->checkedId() >= 0)
        v.DropMode = m_dropMode->checkedId();
    if (m_colorScheme->checkedId() >= 0)
        v.ColorScheme = m_colorScheme->checkedId();
}

void OptionsDialog::YesBtnClick(bool yesButton)
{
    takeValues();
    if (m_form.YesBtnClick(yesButton))
        accept();
}

QCheckBox* OptionsDialog::box(const char* name) const
{
    return findChild<QCheckBox*>(QLatin1String(name));
}

} // namespace ui
