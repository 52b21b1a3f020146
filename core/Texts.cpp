#include "core/Texts.h"

#include "platform/FileNames.h"

namespace core::texts {

QString notesNotSettled(const QString& reason)
{
    return QStringLiteral("注释或文档未能随文件更新，下次列出时再试：") +
           QString(reason).replace(u'\n', u' ');
}

QString notesUnreadable(const QString& path)
{
    return QStringLiteral("注释文件无法读取，注释暂不显示：") + platform::displayPath(path);
}

QString folderUnreadable(const QString& dir)
{
    return QStringLiteral("文件夹无法读取：") + platform::displayPath(dir);
}

QString conflictCopyUnreadable(const QString& path, const QString& reason)
{
    return QStringLiteral("同步冲突副本无法读取，其中的注释没有合并，副本留在原处：%1（%2）")
        .arg(platform::displayPath(path), reason);
}

QString conflictCopyNotMerged(const QString& path, const QString& reason)
{
    return QStringLiteral("同步冲突副本中的注释未能合并，副本留在原处：%1（%2）")
        .arg(platform::displayPath(path), QString(reason).replace(u'\n', u' '));
}

QString conflictCopyNotMoved(const QString& path, const QString& reason)
{
    return QStringLiteral("同步冲突副本中的注释已合并，但副本未能移入废品回收箱：%1（%2）")
        .arg(platform::displayPath(path), reason);
}

QString conflictNoteLine(const QString& copyPath, const QString& note)
{
    return QStringLiteral("同步冲突副本“%1”中的注释：%2")
        .arg(platform::displayPath(copyPath), note);
}

QString reservedNameMessage(const QString& name)
{
    return QStringLiteral("嘿嘿！\n你取的 [") + name +
           QStringLiteral("] 这个名称已被我定给系统保留使用了，\n\n"
                          "想不到你会和我想到一块了，可是我先想到的。\n\n"
                          "没办法，不能让给你用了,麻烦你重取一个类库名吧！");
}

QString invalidNameMessageNew()
{
    return QStringLiteral("注意：你输入了系统不接受的字符了。\r\r"
                          "\"微软\"老大好象对 /,\\,:,*,?,\",<,>,| 这些字符不太喜欢。");
}

QString invalidNameMessageRename()
{
    return QStringLiteral("注意：你输入了系统不接受的字符\r这些字符是 /,\\,:,*,?,\",<,>,|");
}

QString categoryRenameFailed()
{
    return QStringLiteral("错误！分类库更名失败，请重试！\r可能是已有同级同名的分类库存。");
}

QString templateCreateFailed(const QString& caption)
{
    return QStringLiteral("分类库") + caption + QStringLiteral("没有创建成功！");
}

QString pictureLoadFailed(const QString& path)
{
    return QStringLiteral("图片文件无法载入：") + path;
}

QString fileCount(int count)
{
    return QStringLiteral("共%1个文件").arg(count);
}

QString fileCountAfterRefresh(int count)
{
    return QStringLiteral("%1个文件").arg(count);
}

QString selectedCount(int count)
{
    return QStringLiteral("共选取了%1个文件").arg(count);
}

} // namespace core::texts
