#include "ui/MainActions.h"

#include "ui/Icons.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <tuple>

namespace ui {

MainActions::MainActions(QWidget* window) : QObject(window), m_window(window)
{

    // File menu
    add("t101", QStringLiteral("新建分类库(&N)..."))->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    add("t102", QStringLiteral("删除分类库(&D)"));
    add("t103", QStringLiteral("移动文件入库(&M)..."));
    add("t104", QStringLiteral("复制文件入库(&I)..."));
    add("t1051", QStringLiteral("移动方式入库"));
    add("t1052", QStringLiteral("复制方式入库"));
    add("t106", QStringLiteral("删除选中文件(&K)"));
    // Puts the selected files of the recycle box back where they were deleted from.
    add("t108", QStringLiteral("还原文件(&R)"));
    add("t107", QStringLiteral("退出(&X)"));
    // Operation menu
    add("t201", QStringLiteral("全部选中(&l)"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    add("t202", QStringLiteral("反向选择(&I)"));
    add("t203", QStringLiteral("启动下载软件(&G)..."));
    // View menu
    add("t301", QStringLiteral("显示工具栏(&T)"))->setCheckable(true);
    add("t302", QStringLiteral("显示状态栏(&S)"))->setCheckable(true);
    add("t303", QStringLiteral("显示文档工具栏(&V)"))->setCheckable(true);
    add("t304", QStringLiteral("显示字体(&F)..."));
    QAction* language = add("t3051", QStringLiteral("简体中文 (GB2312)"));
    language->setCheckable(true);
    language->setChecked(true);
    // Tools menu
    add("t401", QStringLiteral("文件查找(&S)"))->setCheckable(true);
    add("t402", QStringLiteral("创建标准分类库(&J)..."));
    add("t403", QStringLiteral("清理废旧注释(&R)"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+R")));
    add("t404", QStringLiteral("系统选项(&O)..."));
    // Document menu
    // Saves as in every editor; it works only while the document page is shown.
    add("t501", QStringLiteral("保存文档[&S]"))->setShortcut(QKeySequence::Save);
    add("t502", QStringLiteral("文档另存为[&A]..."));
    add("t503", QStringLiteral("从文件中调入[&L]..."));
    add("t504", QStringLiteral("字体..."));
    add("t505", QStringLiteral("背景色..."));
    // Help menu
    add("t601", QStringLiteral("帮助主题(&H)"))->setShortcut(QKeySequence(Qt::Key_F1));
    add("t602", QStringLiteral("更新主页(&G)"));
    add("t603", QStringLiteral("信息反馈(&M)..."));
    add("t604", QStringLiteral("关于(&A)..."));

    // Tool bar: the caption is the accessible name, the hint the tool tip.
    const struct
    {
        const char* name;
        const char* text;
        const char* hint;
        const char* icon;
    } tools[] = {
        {"addtreebtn", "新建类库", "新建一个分类库", "new-category"},
        {"deltreebtn", "删除类库", "删除选中的分类库", "delete-category"},
        {"vfd", "查看目录", "打开当前的文件夹", "open-folder"},
        {"runsoft", "运行文件", "运行文件", "run-file"},
        {"editmemobtn", "撰写说明", "编辑选中文件的注释", "edit-note"},
        {"delfielbtn", "删除文件", "删除选中的文件", "delete-file"},
        {"PutToHtmlBtn", "生成网页", "将当前列表资料生成为网页", "export-html"},
        {"attrbtn", "文件属性", "查看文件属性", "file-attributes"},
        {"refbtn", "刷新列表", "刷新文件列表", "refresh-list"},
        {"addfilebtn", "导入文件", "增加文件到分类库中", "add-files"},
        {"liststyle", "查看方式", "文件查看方式", "view-style"},
        {"stfibtn", "功能切换", "切换到文件查找", "search"},
        {"showdrogwinbtn", "拖放框", "显示拖放框", "drop-window"},
        {"exedragpro", "下载外壳", "启动下载外壳程序", "download-program"},
        {"sysconfig", "系统设置", "系统设置选项", "options"},
        {"ToolButton1", "软件信息", "软件信息", "about"},
        {"helpbtn", "使用帮助", "使用帮助", "help"},
        {"ToolButton11", "退出", "退出", "exit"},
    };
    for (const auto& t : tools) {
        QAction* a = add(QLatin1String(t.name), QString::fromUtf8(t.text), QLatin1String(t.icon));
        a->setToolTip(QString::fromUtf8(t.hint));
    }
    action(QStringLiteral("stfibtn"))->setCheckable(true);

    // The search bar's buttons.
    for (const auto& [name, hint, icon] :
         {std::tuple{"findButton", "开始搜索(Enter)", "search"},
          std::tuple{"clsfindbtn", "清除搜索结果", "clear-search"},
          std::tuple{"SpeedButton2", "帮助", "help"}}) {
        QAction* a = add(QLatin1String(name), QString::fromUtf8(hint), QLatin1String(icon));
        a->setToolTip(QString::fromUtf8(hint));
    }
    action(QStringLiteral("showdrogwinbtn"))->setCheckable(true);

    buildPopups();
}

QAction* MainActions::add(const QString& name, const QString& text, const QString& icon)
{
    auto* a = new QAction(text, m_window);
    a->setObjectName(name);
    if (!icon.isEmpty())
        a->setIcon(icons::own(icon));
    // Shortcuts work wherever the focus is in the main window.
    a->setShortcutContext(Qt::WindowShortcut);
    m_window->addAction(a);
    m_actions.insert(name, a);
    return a;
}

QMenu* MainActions::addMenu(const QString& name, const QString& title)
{
    auto* menu = new QMenu(title, m_window);
    menu->setObjectName(name);
    m_menus.insert(name, menu);
    return menu;
}

QAction* MainActions::action(const QString& name) const
{
    return m_actions.value(name);
}

QMenu* MainActions::menu(const QString& name) const
{
    return m_menus.value(name);
}

void MainActions::setEnabled(const QString& name, bool enabled)
{
    if (QAction* a = action(name))
        a->setEnabled(enabled);
    else if (QMenu* m = menu(name))
        m->menuAction()->setEnabled(enabled);
}

void MainActions::setVisible(const QString& name, bool visible)
{
    if (QAction* a = action(name))
        a->setVisible(visible);
}

void MainActions::buildPopups()
{
    // treepop
    QMenu* tree = addMenu(QStringLiteral("treepop"), QString());
    tree->addAction(add("addtree", QStringLiteral("新增分类库")));
    tree->addAction(add("deltree", QStringLiteral("删除分类库")));
    tree->addAction(add("rendir", QStringLiteral("重命名分类库")));
    tree->addSeparator();
    tree->addAction(add("emptybox", QStringLiteral("清空废物箱(&B)")));
    tree->addSeparator();
    tree->addAction(add("TreeFontColor", QStringLiteral("字体色...")));
    tree->addAction(add("TreeBackColor", QStringLiteral("背景色...")));
    tree->addSeparator();
    tree->addAction(add("reftree", QStringLiteral("刷新")));

    // filepop
    QMenu* file = addMenu(QStringLiteral("filepop"), QString());
    file->addAction(add("editmemo", QStringLiteral("编辑文件说明...")));
    file->addAction(add("runfile", QStringLiteral("执行所选文件")));
    file->addSeparator();
    file->addAction(add("copymemo", QStringLiteral("拷贝说明资料")));
    file->addAction(add("clsmemo", QStringLiteral("清除说明文字")));
    file->addAction(add("BuildHtmlMenu", QStringLiteral("将列表输出为网页...")));
    file->addSeparator();
    QMenu* addFile = addMenu(QStringLiteral("addfile"), QStringLiteral("添加文件入库"));
    addFile->addAction(add("N17", QStringLiteral("移动文件入库")));
    addFile->addAction(add("N18", QStringLiteral("复制文件入库")));
    file->addMenu(addFile);
    QMenu* sendTo = addMenu(QStringLiteral("sendto"), QStringLiteral("发送到(&T)"));
    sendTo->addAction(add("toAdrive", QStringLiteral("A：驱动器磁盘")));
    sendTo->addSeparator();
    sendTo->addAction(add("sendother", QStringLiteral("其它文件夹...")));
    file->addMenu(sendTo);
    sendTo->menuAction()->setEnabled(false);
    file->addSeparator();
    file->addAction(add("delselfile", QStringLiteral("删除选定文件")));
    file->addAction(add("restorefile", QStringLiteral("还原文件")));
    file->addAction(add("renfile", QStringLiteral("重命名文件...")));
    file->addSeparator();
    file->addAction(add("openfild", QStringLiteral("查看文件夹(&O)")));
    file->addAction(add("flistref", QStringLiteral("刷新")));
    file->addSeparator();
    file->addAction(add("FileFontColor", QStringLiteral("字体色...")));
    file->addAction(add("FileBackColor", QStringLiteral("背景色...")));
    file->addSeparator();
    file->addAction(add("fattr", QStringLiteral("文件属性(&A)...")));

    // wivepop: the view styles and grid lines
    QMenu* view = addMenu(QStringLiteral("wivepop"), QString());
    m_viewStyles = new QActionGroup(this);
    int style = 0;
    for (const auto& [name, text] :
         {std::pair{"B1", "大图标(&G)"}, std::pair{"M1", "小图标(&M)"},
          std::pair{"L1", "列表(&L)"}, std::pair{"D1", "详细资料(&D)"}}) {
        QAction* a = add(QLatin1String(name), QString::fromUtf8(text));
        a->setCheckable(true);
        a->setData(style++);
        m_viewStyles->addAction(a);
        view->addAction(a);
    }
    action(QStringLiteral("D1"))->setChecked(true);
    view->addSeparator();
    view->addAction(add("showline", QStringLiteral("显示表格线")));
    action(QStringLiteral("showline"))->setCheckable(true);

    // addf: the import button's menu
    QMenu* import = addMenu(QStringLiteral("addf"), QString());
    import->addAction(add("popmf", QStringLiteral("移动文件入库")));
    import->addAction(add("popcf", QStringLiteral("复制文件入库")));
    import->addSeparator();
    QMenu* folder = addMenu(QStringLiteral("poploaddir"), QStringLiteral("导入整个目录"));
    folder->addAction(add("N12", QStringLiteral("移动入库方式")));
    folder->addAction(add("N13", QStringLiteral("复制入库方式")));
    import->addMenu(folder);

    // tree2pop
    QMenu* external = addMenu(QStringLiteral("tree2pop"), QString());
    external->addAction(add("newuserdir", QStringLiteral("添加文件夹...")));
    external->addAction(add("movedir", QStringLiteral("移去文件夹")));
    external->addAction(add("editdirname", QStringLiteral("更改类库名")));
    external->addAction(add("rendef", QStringLiteral("重定义分类库...")));
    external->addSeparator();
    external->addAction(add("emptyrec", QStringLiteral("清空回收箱(&B)")));
    external->addSeparator();
    external->addAction(add("N34", QStringLiteral("字体色...")));
    external->addAction(add("N36", QStringLiteral("背景色...")));
    external->addSeparator();
    external->addAction(add("N25", QStringLiteral("刷新")));

    // findpop
    QMenu* find = addMenu(QStringLiteral("findpop"), QString());
    find->addAction(add("editm", QStringLiteral("编辑文件注释...")));
    find->addAction(add("renfn", QStringLiteral("文件更名...")));
    find->addSeparator();
    find->addAction(add("ExecuteFile", QStringLiteral("执行文件")));
    find->addSeparator();
    find->addAction(add("DELFM", QStringLiteral("删除文件")));
    find->addAction(add("moveitem", QStringLiteral("移去选取项")));
    find->addSeparator();
    find->addAction(add("copytofolly", QStringLiteral("复制到软盘驱动器")));
    find->addAction(add("copytoother", QStringLiteral("复制到其它目录...")));
    find->addSeparator();
    find->addAction(add("selall", QStringLiteral("全部选中")));
    find->addAction(add("reverssel", QStringLiteral("反向选择")));
}

void MainActions::buildMenuBar(QMenuBar* bar)
{
    QMenu* file = addMenu(QStringLiteral("t100"), QStringLiteral("文件(&F)"));
    for (const char* name : {"t101", "t102"})
        file->addAction(action(QLatin1String(name)));
    file->addSeparator();
    file->addAction(action(QStringLiteral("t103")));
    file->addAction(action(QStringLiteral("t104")));
    QMenu* folder = addMenu(QStringLiteral("t105"), QStringLiteral("目录导入"));
    folder->addAction(action(QStringLiteral("t1051")));
    folder->addAction(action(QStringLiteral("t1052")));
    file->addMenu(folder);
    file->addAction(action(QStringLiteral("t106")));
    file->addAction(action(QStringLiteral("t108")));
    file->addSeparator();
    file->addAction(action(QStringLiteral("t107")));

    QMenu* operation = addMenu(QStringLiteral("t200"), QStringLiteral("操作(&C)"));
    operation->addAction(action(QStringLiteral("t201")));
    operation->addAction(action(QStringLiteral("t202")));
    operation->addSeparator();
    operation->addAction(action(QStringLiteral("t203")));

    QMenu* view = addMenu(QStringLiteral("t300"), QStringLiteral("查看(&V)"));
    view->addAction(action(QStringLiteral("t301")));
    view->addAction(action(QStringLiteral("t302")));
    view->addAction(action(QStringLiteral("t303")));
    view->addSeparator();
    view->addAction(action(QStringLiteral("t304")));
    view->addSeparator();
    QMenu* language = addMenu(QStringLiteral("t305"), QStringLiteral("使用语言"));
    auto* languages = new QActionGroup(language);
    languages->addAction(action(QStringLiteral("t3051")));
    language->addAction(action(QStringLiteral("t3051")));
    view->addMenu(language);

    QMenu* tools = addMenu(QStringLiteral("t400"), QStringLiteral("工具(&T)"));
    tools->addAction(action(QStringLiteral("t401")));
    tools->addSeparator();
    tools->addAction(action(QStringLiteral("t402")));
    tools->addAction(action(QStringLiteral("t403")));
    tools->addSeparator();
    tools->addAction(action(QStringLiteral("t404")));

    // Shown only while the document page is.
    QMenu* document = addMenu(QStringLiteral("t500"), QStringLiteral("文档[&D]"));
    document->addAction(action(QStringLiteral("t501")));
    document->addAction(action(QStringLiteral("t502")));
    document->addSeparator();
    document->addAction(action(QStringLiteral("t503")));
    document->addSeparator();
    document->addAction(action(QStringLiteral("t504")));
    document->addAction(action(QStringLiteral("t505")));

    QMenu* help = addMenu(QStringLiteral("t600"), QStringLiteral("帮助(&H)"));
    help->addAction(action(QStringLiteral("t601")));
    help->addSeparator();
    help->addAction(action(QStringLiteral("t602")));
    help->addAction(action(QStringLiteral("t603")));
    help->addSeparator();
    help->addAction(action(QStringLiteral("t604")));

    for (QMenu* m : {file, operation, view, tools, document, help})
        bar->addMenu(m);
    document->menuAction()->setVisible(false);
}

void MainActions::buildToolBar(QToolBar* bar)
{
    const char* const order[] = {"addtreebtn",   "deltreebtn",     "|",          "vfd",
                                 "runsoft",      "|",              "editmemobtn", "delfielbtn",
                                 "PutToHtmlBtn", "attrbtn",        "refbtn",     "|",
                                 "addfilebtn",   "liststyle",      "|",          "stfibtn",
                                 "showdrogwinbtn", "|",            "exedragpro", "sysconfig",
                                 "|",            "ToolButton1",    "helpbtn",    "ToolButton11"};
    for (const char* name : order) {
        if (name[0] == '|') {
            bar->addSeparator();
            continue;
        }
        QAction* a = action(QLatin1String(name));
        bar->addAction(a);
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a));
        if (!button)
            continue;
        button->setAccessibleName(a->text());
        button->setObjectName(QLatin1String(name));
        if (a->objectName() == QLatin1String("addfilebtn")) {
            button->setMenu(menu(QStringLiteral("addf")));
            button->setPopupMode(QToolButton::InstantPopup);
        } else if (a->objectName() == QLatin1String("liststyle")) {
            button->setMenu(menu(QStringLiteral("wivepop")));
            button->setPopupMode(QToolButton::MenuButtonPopup);
        }
    }
}

} // namespace ui
