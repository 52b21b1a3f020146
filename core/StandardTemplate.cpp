#include "core/StandardTemplate.h"

#include "core/CategoryCommands.h"
#include "core/FileListing.h"
#include "core/Texts.h"

namespace core {

namespace {

// The template in tree order; the number is the level below the root.
const struct
{
    int level;
    const char* caption;
} kTemplate[] = {
    {1, "常用软件"}, {1, "编程工具"}, {2, "VCL控件"},   {3, "界面类"},     {3, "网络通讯"},
    {3, "控件集合"}, {3, "数据库类"}, {2, "OCX控件"},   {2, "经典代码"},   {2, "精解资料"},
    {2, "安装制作"}, {1, "系统工具"}, {2, "磁盘工具"},  {2, "硬件驱动"},   {2, "系统安全"},
    {2, "系统优化"}, {1, "网络工具"}, {2, "FTP客户端"}, {2, "邮件通讯"},   {2, "下载工具"},
    {2, "黑客工具"}, {1, "书藉资料"}, {1, "帐务管理"},  {2, "证券投资"},   {2, "财务核算"},
    {1, "文字处理"}, {1, "图形图像"}, {2, "动画制作"},  {2, "视频处理"},   {2, "图像管理"},
    {1, "资料管理"}, {1, "游戏娱乐"}, {1, "音乐媒体"},  {2, "MIDI音乐库"}, {2, "MP3工具"},
    {1, "加密解密"}, {1, "中文平台"}, {1, "杀毒防毒"},  {1, "文件管理"},   {2, "文字输入"},
    {1, "信息管理"}, {1, "个人助理"},
};

} // namespace

StandardTemplate::StandardTemplate()
{
    m_nodes.push_back({texts::TemplateRootCaption, -1, 0, NotChosen});
    std::vector<int> lastAtLevel{Root};
    for (const auto& entry : kTemplate) {
        lastAtLevel.resize(size_t(entry.level));
        const int parent = lastAtLevel.back();
        lastAtLevel.push_back(count());
        m_nodes.push_back({QString::fromUtf8(entry.caption), parent, entry.level, NotChosen});
    }
}

std::vector<int> StandardTemplate::children(int i) const
{
    std::vector<int> result;
    for (int n = i + 1; n < count(); ++n) {
        if (node(n).parent == i)
            result.push_back(n);
    }
    return result;
}

void StandardTemplate::setSubtree(int n, State state)
{
    m_nodes[size_t(n)].state = state;
    // Descendants follow their node directly in tree order, one level deeper or more.
    for (int d = n + 1; d < count() && node(d).level > node(n).level; ++d)
        m_nodes[size_t(d)].state = state;
}

void StandardTemplate::press(int n, bool onStateImage)
{
    if (n < 0 || n >= count())
        return;
    Node& pressed = m_nodes[size_t(n)];
    if (onStateImage)
        pressed.state = pressed.state == Chosen ? NotChosen : Chosen;

    if (n == Root) {
        setSubtree(Root, pressed.state);
    } else if (pressed.state == NotChosen) {
        setSubtree(n, NotChosen);
        if (pressed.level == 1) {
            bool anyChosen = false;
            for (int child : children(Root))
                anyChosen = anyChosen || isChosen(child);
            if (!anyChosen)
                m_nodes[Root].state = NotChosen;
        }
    } else {
        for (int a = pressed.parent; a >= 0; a = node(a).parent)
            m_nodes[size_t(a)].state = Chosen;
    }
}

QString StandardTemplate::TemplateNodePath(int n) const
{
    QString path;
    for (int i = n; i > Root; i = node(i).parent)
        path = path.isEmpty() ? node(i).caption : node(i).caption + u'/' + path;
    return path;
}

TemplateForm::TemplateForm(const LibraryLayout& layout, const platform::FileSystem& fs,
                           Dialogs& dialogs, bool writable)
    : m_layout(layout), m_fs(fs), m_dialogs(dialogs), m_createEnabled(writable)
{
}

void TemplateForm::BitBtn1Click()
{
    if (!m_tree.isChosen(StandardTemplate::Root)) {
        m_dialogs.ask(texts::TemplateHintCaption, texts::TemplateNothingChosen,
                      MessageIcon::Warning, Buttons::Ok, Answer::Ok);
        return;
    }
    {
        const BusyCursor busy(m_dialogs);
        // The folder of each node, found or to be made, for its children: a category already
        // there under a name that reads as the caption (GBK bytes from Windows) is that
        // category, and its children go into it.
        std::vector<QString> folders(size_t(m_tree.count()));
        folders[StandardTemplate::Root] = m_layout.programDir();
        for (int n = StandardTemplate::Root + 1; n < m_tree.count(); ++n) {
            const QString& parent = folders[size_t(m_tree.node(n).parent)];
            const QString& caption = m_tree.node(n).caption;
            const QString existing = NameShownAs(m_fs, parent, caption);
            const QString path = parent + (existing.isEmpty() ? caption : existing);
            folders[size_t(n)] = path + u'/';
            if (!m_tree.isChosen(n))
                continue;
            // A folder already there stays as it is; a file of that name is no category.
            if (m_fs.isDirectory(path))
                continue;
            if (!m_fs.makeDirectory(path))
                m_dialogs.ask(texts::TemplateDoneCaption,
                              texts::templateCreateFailed(m_tree.node(n).caption),
                              MessageIcon::Warning, Buttons::Ok, Answer::Ok);
        }
    }
    m_created = true;
    m_createEnabled = false;
    m_dialogs.ask(texts::TemplateDoneCaption, texts::TemplateCreated, MessageIcon::Warning,
                  Buttons::Ok, Answer::Ok);
}

void t402Click(const LibraryLayout& layout, const platform::FileSystem& fs, bool writable,
               Dialogs& dialogs, CategoryCommands& categories, std::function<void()> showHelp)
{
    TemplateForm form(layout, fs, dialogs, writable);
    form.showHelp = std::move(showHelp);
    dialogs.runTemplateDialog(form);
    if (form.created())
        categories.reftreeClick();
}

} // namespace core
