#include "ui/SearchPage.h"

#include "core/Workspace.h"
#include "search/SearchCommands.h"
#include "search/SearchTexts.h"
#include "ui/FileListView.h"
#include "ui/MainActions.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>

namespace ui {

namespace texts = search::texts;

SearchPage::SearchPage(search::SearchCommands& commands, core::Workspace& workspace,
                       MainActions& actions, QWidget* parent)
    : QWidget(parent), m_commands(commands)
{
    m_mode = new QComboBox(this);
    m_mode->setObjectName(QStringLiteral("ComboBox1"));
    m_mode->addItems({texts::ModeByName, texts::ModeByNote});
    m_mode->setAccessibleName(texts::ModeName);
    m_mode->setCurrentIndex(int(commands.mode()));

    m_keyword = new QComboBox(this);
    m_keyword->setObjectName(QStringLiteral("ComboBox2"));
    m_keyword->setEditable(true);
    // The list is this run's keywords, which the search puts there itself.
    m_keyword->setInsertPolicy(QComboBox::NoInsert);
    m_keyword->setMinimumContentsLength(20);
    m_keyword->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_keyword->setAccessibleName(texts::KeywordName);
    m_keyword->lineEdit()->setAccessibleName(texts::KeywordName);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(2, 2, 2, 2);
    bar->setSpacing(4);
    bar->addWidget(m_mode);
    bar->addWidget(m_keyword, 1);
    for (const char* name : {"findButton", "clsfindbtn", "SpeedButton2"}) {
        auto* button = new QToolButton(this);
        button->setObjectName(QLatin1String(name));
        button->setDefaultAction(actions.action(QLatin1String(name)));
        button->setAutoRaise(true);
        button->setAccessibleName(button->toolTip());
        bar->addWidget(button);
    }

    m_findList = new FileListView(&workspace.searchList(), &workspace.searchSelection(), this);
    m_findList->setObjectName(QStringLiteral("findList"));
    m_findList->setAccessibleName(QStringLiteral("查找结果"));
    m_findList->SetViewStyle(FileListView::Details); // the search list always shows details

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addWidget(m_findList, 1);

    connect(m_mode, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_commands.modeChosen(search::Mode(index)); });
    connect(m_keyword, &QComboBox::editTextChanged, &commands, &search::SearchCommands::setKeyword);
    // What the user types, or a keyword chosen from the list, searches as it comes.
    connect(m_keyword->lineEdit(), &QLineEdit::textEdited, &commands,
            &search::SearchCommands::keywordTyped);
    connect(m_keyword, &QComboBox::textActivated, &commands,
            &search::SearchCommands::keywordTyped);
    QAction* find = actions.action(QStringLiteral("findButton"));
    connect(m_keyword->lineEdit(), &QLineEdit::returnPressed, find, &QAction::trigger);
    connect(&commands, &search::SearchCommands::keywordChanged, this, &SearchPage::showKeyword);
    connect(&commands, &search::SearchCommands::historyChanged, this, &SearchPage::showHistory);
    connect(&commands, &search::SearchCommands::keywordFocusRequested, this,
            &SearchPage::focusKeyword);
}

QToolButton* SearchPage::button(const QString& name) const
{
    return findChild<QToolButton*>(name);
}

void SearchPage::showKeyword(const QString& text)
{
    if (m_keyword->currentText() != text)
        m_keyword->setEditText(text);
}

void SearchPage::showHistory(const QStringList& history)
{
    // Filling the list must not change the text being typed.
    const QString text = m_keyword->currentText();
    {
        const QSignalBlocker blocker(m_keyword);
        m_keyword->clear();
        m_keyword->addItems(history);
        m_keyword->setCurrentIndex(-1);
    }
    m_keyword->setEditText(text);
}

void SearchPage::focusKeyword(bool selectAll)
{
    m_keyword->setFocus(Qt::OtherFocusReason);
    if (selectAll)
        m_keyword->lineEdit()->selectAll();
}

} // namespace ui
