#include "ui/DocumentPage.h"

#include "fileops/DocumentCommands.h"
#include "platform/Errors.h"
#include "ui/Conversions.h"
#include "ui/Icons.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolBar>

namespace ui {

namespace {

Qt::ToolBarArea areaOf(int side)
{
    switch (side) {
    case 1:
        return Qt::TopToolBarArea;
    case 2:
        return Qt::BottomToolBarArea;
    case 3:
        return Qt::LeftToolBarArea;
    default:
        return Qt::RightToolBarArea;
    }
}

bool clipboardHasText()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasText() && !data->text().isEmpty();
}

} // namespace

DocumentPage::DocumentPage(core::Workspace& workspace, core::Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), m_dialogs(dialogs)
{
    // A page inside the main window, not a window of its own.
    setWindowFlags(Qt::Widget);
    setObjectName(QStringLiteral("DocumentPage"));
    setContextMenuPolicy(Qt::NoContextMenu);

    m_editor = new QPlainTextEdit(this);
    m_editor->setObjectName(QStringLiteral("NoteEdit"));
    m_editor->setAccessibleName(QStringLiteral("文档"));
    m_editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setCentralWidget(m_editor);

    m_toolBar = new QToolBar(QStringLiteral("文档工具栏"), this);
    m_toolBar->setObjectName(QStringLiteral("doctoolbar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolBar->setIconSize(QSize(20, 20));
    m_toolBar->setContextMenuPolicy(Qt::CustomContextMenu);

    fileops::DocumentEditor& editor = *this;
    m_commands = std::make_unique<fileops::DocumentCommands>(workspace, dialogs, editor);

    QAction* save =
        addTool(QStringLiteral("savenote"), QStringLiteral("保存"), QStringLiteral("save-edit"));
    // The document menu's save item carries the key.
    save->setToolTip(QStringLiteral("保存 (%1)")
                         .arg(QKeySequence(QKeySequence::Save).toString(QKeySequence::NativeText)));
    connect(save, &QAction::triggered, this,
            [this] { run([this] { m_commands->savenoteClick(); }); });
    connect(addTool(QStringLiteral("loadnote"), QStringLiteral("从文件调入注释"),
                    QStringLiteral("load-document")),
            &QAction::triggered, this, [this] { run([this] { m_commands->t503Click(); }); });
    m_toolBar->addSeparator();
    connect(addTool(QStringLiteral("fontbtn"), QStringLiteral("字体"), QStringLiteral("font")),
            &QAction::triggered, this, [this] { run([this] { m_commands->t504Click(); }); });
    connect(addTool(QStringLiteral("backcolorbtn"), QStringLiteral("背影色"),
                    QStringLiteral("back-color")),
            &QAction::triggered, this,
            [this] { run([this] { m_commands->backcolorbtnClick(); }); });
    connect(addTool(QStringLiteral("ToolButton15"), QStringLiteral("字体增大"),
                    QStringLiteral("font-larger")),
            &QAction::triggered, this,
            [this] { run([this] { m_commands->ToolButton15Click(); }); });
    connect(addTool(QStringLiteral("ToolButton16"), QStringLiteral("字体减小"),
                    QStringLiteral("font-smaller")),
            &QAction::triggered, this,
            [this] { run([this] { m_commands->ToolButton16Click(); }); });
    m_toolBar->addSeparator();

    // The edit actions work on whichever edit control has the focus. The editor handles
    // their keys itself while it has the focus, before any shortcut of the window.
    const struct
    {
        const char* name;
        const char* hint;
        const char* icon;
        QKeySequence::StandardKey key;
        void (*apply)(QWidget*);
    } edits[] = {
        {"ToolButton17", "剪切", "cut", QKeySequence::Cut,
         [](QWidget* w) {
             if (auto* line = qobject_cast<QLineEdit*>(w))
                 line->cut();
             else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
                 plain->cut();
             else if (auto* rich = qobject_cast<QTextEdit*>(w))
                 rich->cut();
         }},
        {"ToolButton18", "复制", "copy", QKeySequence::Copy,
         [](QWidget* w) {
             if (auto* line = qobject_cast<QLineEdit*>(w))
                 line->copy();
             else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
                 plain->copy();
             else if (auto* rich = qobject_cast<QTextEdit*>(w))
                 rich->copy();
         }},
        {"ToolButton19", "粘贴", "paste", QKeySequence::Paste,
         [](QWidget* w) {
             if (auto* line = qobject_cast<QLineEdit*>(w))
                 line->paste();
             else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
                 plain->paste();
             else if (auto* rich = qobject_cast<QTextEdit*>(w))
                 rich->paste();
         }},
        {"ToolButton20", "选择全部", "select-all", QKeySequence::SelectAll,
         [](QWidget* w) {
             if (auto* line = qobject_cast<QLineEdit*>(w))
                 line->selectAll();
             else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
                 plain->selectAll();
             else if (auto* rich = qobject_cast<QTextEdit*>(w))
                 rich->selectAll();
         }},
    };
    for (const auto& edit : edits) {
        QAction* a = addTool(QLatin1String(edit.name), QString::fromUtf8(edit.hint),
                             QLatin1String(edit.icon));
        a->setShortcut(edit.key);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a); // the keys belong to the page, not only to its tool bar
        const auto apply = edit.apply;
        connect(a, &QAction::triggered, this, [this, apply] {
            if (QWidget* target = editTarget())
                apply(target);
            updateEditActions();
        });
    }
    addToolBar(Qt::RightToolBarArea, m_toolBar);

    buildDockMenu();
    connect(m_toolBar, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_dockMenu->exec(m_toolBar->mapToGlobal(at)); });

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        disconnect(m_focusSelection);
        if (auto* line = qobject_cast<QLineEdit*>(now))
            m_focusSelection =
                connect(line, &QLineEdit::selectionChanged, this, &DocumentPage::updateEditActions);
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(now))
            m_focusSelection = connect(plain, &QPlainTextEdit::selectionChanged, this,
                                       &DocumentPage::updateEditActions);
        else if (auto* rich = qobject_cast<QTextEdit*>(now))
            m_focusSelection =
                connect(rich, &QTextEdit::selectionChanged, this, &DocumentPage::updateEditActions);
        updateEditActions();
    });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &DocumentPage::updateEditActions);

    SetDocToolbar(m_side);
    updateButtons();
    updateEditActions();
}

DocumentPage::~DocumentPage()
{
    disconnect(m_focusSelection);
}

QAction* DocumentPage::addTool(const QString& name, const QString& hint, const QString& icon)
{
    // The hint is the tool tip and, as the action's text, the button's accessible name.
    QAction* a = m_toolBar->addAction(icons::own(icon), hint);
    a->setObjectName(name);
    a->setToolTip(hint);
    if (QWidget* button = m_toolBar->widgetForAction(a))
        button->setObjectName(name);
    return a;
}

QAction* DocumentPage::action(const QString& name) const
{
    for (QAction* a : m_toolBar->actions() + m_dockMenu->actions()) {
        if (a->objectName() == name)
            return a;
    }
    return nullptr;
}

void DocumentPage::buildDockMenu()
{
    m_dockMenu = new QMenu(this);
    m_dockMenu->setObjectName(QStringLiteral("doctoolbarmenu"));
    m_dockSides = new QActionGroup(this);
    int tag = 0;
    for (const auto& [name, text] :
         {std::pair{"docktop", "停靠顶端"}, std::pair{"dockbottom", "停靠下端"},
          std::pair{"dockleft", "停靠左边"}, std::pair{"dockright", "停靠右边"}}) {
        QAction* a = m_dockMenu->addAction(QString::fromUtf8(text));
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true);
        a->setData(tag++);
        m_dockSides->addAction(a);
        // dockrightClick: the item's tag chooses the side.
        connect(a, &QAction::triggered, this, [this, a] { dockAt(a->data().toInt() + 1); });
    }
    m_dockMenu->addSeparator();
    QAction* hide = m_dockMenu->addAction(QStringLiteral("隐藏工具栏"));
    hide->setObjectName(QStringLiteral("N31"));
    connect(hide, &QAction::triggered, this, &DocumentPage::t303Click);
}

void DocumentPage::dockAt(int side)
{
    if (side < 1 || side > 4)
        return;
    const bool shown = toolbarShown();
    removeToolBar(m_toolBar);
    addToolBar(areaOf(side), m_toolBar);
    m_toolBar->setVisible(shown);
    SetDocToolbar(side);
}

void DocumentPage::SetDocToolbar(int side)
{
    if (side < 1 || side > 4)
        return;
    m_side = side;
    // Docked left, the bar shows an edge on its left side only.
    m_toolBar->setStyleSheet(side == 3 ? QStringLiteral("QToolBar#doctoolbar { border: none; "
                                                        "border-left: 1px solid palette(mid); }")
                                       : QStringLiteral("QToolBar#doctoolbar { border: none; }"));
    m_dockSides->actions().at(side - 1)->setChecked(true);
}

void DocumentPage::t303Click()
{
    setToolbarShown(!toolbarShown());
}

bool DocumentPage::toolbarShown() const
{
    return !m_toolBar->isHidden();
}

void DocumentPage::setToolbarShown(bool shown)
{
    m_toolBar->setVisible(shown);
    Q_EMIT toolbarShownChanged(shown);
}

void DocumentPage::applySettings(const core::DocumentSettings& settings)
{
    m_commands->applySettings(settings);
    setToolbarShown(settings.showTools);
    dockAt(settings.toolDock);
}

void DocumentPage::storeSettings(core::DocumentSettings& settings) const
{
    m_commands->storeSettings(settings);
    settings.showTools = toolbarShown();
    settings.toolDock = m_side;
}

bool DocumentPage::TabConChanging(int currentTab)
{
    bool allowed = false;
    run([&] { allowed = m_commands->TabConChanging(currentTab); });
    return allowed;
}

void DocumentPage::TabConChange(int tab)
{
    run([&] { m_commands->TabConChange(tab); });
    if (tab == fileops::DocumentCommands::DocumentTab && m_editor->isEnabled())
        m_editor->setFocus();
}

void DocumentPage::run(const std::function<void()>& command)
{
    core::showErrorsOf(m_dialogs, command);
    updateButtons();
    Q_EMIT commandDone();
}

void DocumentPage::updateButtons()
{
    action(QStringLiteral("savenote"))->setEnabled(m_commands->saveEnabled());
    action(QStringLiteral("loadnote"))->setEnabled(m_commands->loadEnabled());
}

QWidget* DocumentPage::editTarget() const
{
    QWidget* focus = QApplication::focusWidget();
    if (qobject_cast<QLineEdit*>(focus) || qobject_cast<QPlainTextEdit*>(focus) ||
        qobject_cast<QTextEdit*>(focus))
        return focus;
    return nullptr;
}

void DocumentPage::updateEditActions()
{
    QWidget* target = editTarget();
    bool selected = false;
    bool editable = false;
    if (auto* line = qobject_cast<QLineEdit*>(target)) {
        selected = line->hasSelectedText();
        editable = !line->isReadOnly();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(target)) {
        selected = plain->textCursor().hasSelection();
        editable = !plain->isReadOnly();
    } else if (auto* rich = qobject_cast<QTextEdit*>(target)) {
        selected = rich->textCursor().hasSelection();
        editable = !rich->isReadOnly();
    }
    action(QStringLiteral("ToolButton17"))->setEnabled(selected && editable);
    action(QStringLiteral("ToolButton18"))->setEnabled(selected);
    action(QStringLiteral("ToolButton19"))->setEnabled(target && editable && clipboardHasText());
    action(QStringLiteral("ToolButton20"))->setEnabled(target != nullptr);
}

// ---------------------------------------------------------------------------------------
// The editor as the commands see it

QString DocumentPage::text() const
{
    // The raw text keeps every character as typed or loaded; blocks end in U+2029.
    QString text = m_editor->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

bool DocumentPage::hasText() const
{
    return !m_editor->document()->isEmpty();
}

void DocumentPage::setText(const QString& text)
{
    m_editor->setPlainText(text);
    m_editor->document()->setModified(false);
}

bool DocumentPage::isModified() const
{
    return m_editor->document()->isModified();
}

void DocumentPage::setModified(bool modified)
{
    m_editor->document()->setModified(modified);
}

void DocumentPage::setEditorEnabled(bool enabled)
{
    m_editor->setEnabled(enabled);
}

void DocumentPage::setLook(const core::FontSpec& font, int backColor)
{
    m_lookFont = font;
    m_lookBack = backColor;
    m_editor->setFont(fontFromSpec(font));
    QPalette palette = m_editor->palette();
    palette.setColor(QPalette::Text, shownColor(font.color, QPalette::Text));
    palette.setColor(QPalette::Base, shownColor(backColor, QPalette::Base));
    m_editor->setPalette(palette);
}

void DocumentPage::applyScheme()
{
    setLook(m_lookFont, m_lookBack);
}

} // namespace ui
