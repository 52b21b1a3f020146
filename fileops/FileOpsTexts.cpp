#include "fileops/FileOpsTexts.h"

#include "core/FileFormats.h"
#include "platform/FileAttributes.h"
#include "platform/FileNames.h"

#include <QStringList>

namespace fileops::texts {

QString importFailed(const QString& source)
{
    return QStringLiteral("注意：导入文件 ") + platform::displayPath(source) +
           QStringLiteral(" 时失败！");
}

QString ImportSameNamePrompt(const QString& name, const QString& existingDate, qint64 existingSize,
                             const QString& chosenDate, qint64 chosenSize)
{
    return QStringLiteral("此分类库中已有 ") + name + QStringLiteral(" 文件存在\n") +
           QStringLiteral("是否将已有文件:\n") + QStringLiteral("日期:") + existingDate +
           QStringLiteral(",大小:") + core::KilobyteNumber(existingSize) + QStringLiteral(" K\n") +
           QStringLiteral("替换成现文件:\n") + QStringLiteral("日期:") + chosenDate +
           QStringLiteral(",大小:") + core::KilobyteNumber(chosenSize) + QStringLiteral(" K ？");
}

QString folderOfSameName(const QString& name)
{
    return QStringLiteral("此分类库中已有名为 ") + name +
           QStringLiteral(" 的文件夹，文件夹不能被文件替换，这个文件没有导入！");
}

QString notesFileNotImported(const QString& path)
{
    return QStringLiteral("文件 ") + platform::displayPath(path) +
           QStringLiteral(" 的名字是分类库保存注释用的文件名，这个文件没有导入！");
}

QString shownAlike(const QString& name)
{
    return QStringLiteral("此分类库中已有一个看起来同名的文件 ") + name +
           QStringLiteral("（名字的字节不同），两个文件会共用一条注释，这个文件没有导入！");
}

QString folderOfSameNameInBox(const QString& name)
{
    return QStringLiteral("回收箱中已有名为[") + name + QStringLiteral("]的文件夹，文件没有删除！");
}

QString sameNameInBoxQuestion(const QString& name)
{
    return QStringLiteral("回收箱中已有[") + name + QStringLiteral("]同名文件存在，是否直接删除？");
}

QString directDeleteFailed(const QString& name)
{
    return QStringLiteral("文件[") + name + QStringLiteral("]可能是只读文件，删除失败！");
}

QString moveToBoxFailed(const QString& name)
{
    return QStringLiteral("删除文件[") + name + QStringLiteral("]时失败,请稍后重试！");
}

QString deleteForGoodFailed(const QString& name)
{
    return QStringLiteral("删除文件[") + name + QStringLiteral("]时失败！可能是只读文件！");
}

QString noteDialogLabel(const QString& name)
{
    return QStringLiteral(" 编辑 ") + name + QStringLiteral(" 文件的说明文字！");
}

QString floppySameNameQuestion(const QString& name)
{
    return QStringLiteral("[A:]盘中已有同名[") + name + QStringLiteral("]文件存在,是否覆盖？");
}

QString SendReplacePrompt(const QString& target, const QString& targetDate, qint64 targetSize,
                          const QString& rowDate, const QString& rowSize)
{
    return platform::displayPath(target) + QStringLiteral("已存在\n") +
           QStringLiteral("是否将目标文件:\n") + QStringLiteral("日期:") + targetDate +
           QStringLiteral(",大小:") + core::KilobyteNumber(targetSize) + QStringLiteral(" K\n") +
           QStringLiteral("替换成现文件:\n") + QStringLiteral("日期:") + rowDate +
           QStringLiteral(",大小:") + rowSize + QStringLiteral("？");
}

QString sendCopyFailed(const QString& name)
{
    return QStringLiteral("拷贝文件[") + name + QStringLiteral("]时失败！请稍后再试.");
}

QString folderSameNameQuestion(const QString& folder, const QString& name)
{
    return platform::displayPath(folder) + QStringLiteral("目录已有同名[") + name +
           QStringLiteral("]文件存在,是否覆盖？");
}

QString copyToFolderFailed(const QString& name)
{
    return QStringLiteral("复制文件") + name + QStringLiteral("时失败，按[确定]继续...");
}

QString attributesFailedFor(const QString& name)
{
    return QStringLiteral("设置") + name + QStringLiteral("文件属性失败！");
}

QString attributesNotHeld(unsigned attributes)
{
    QStringList names;
    for (const auto& [bit, name] : {std::pair{unsigned(platform::Hidden), "隐藏"},
                                    std::pair{unsigned(platform::Archive), "存档"},
                                    std::pair{unsigned(platform::System), "系统"}}) {
        if (attributes & bit)
            names.append(QStringLiteral("“") + QString::fromUtf8(name) + QStringLiteral("”"));
    }
    return QStringLiteral("文件所在的磁盘不能保存") + names.join(QStringLiteral("、")) +
           QStringLiteral("属性，文件属性没有改变！");
}

QString severalFilesChosen(int count)
{
    return QStringLiteral("选中了 %1 个文件;").arg(count);
}

QString noteKeyRefused(const QString& name)
{
    return QStringLiteral("文件名“") + name +
           QStringLiteral("”含有等号或首尾空格，不能作为注释的键名，文件没有更名！");
}

QString renameFailed(const QString& oldName, const QString& newName, const QString& reason)
{
    return QStringLiteral("文件[") + oldName + QStringLiteral("]更名为[") + newName +
           QStringLiteral("]时失败，文件名没有改变！\n") + reason;
}

QString documentNotRenamed(const QString& oldName, const QString& newName)
{
    return QStringLiteral("文件已更名，但已有名为[") + newName +
           QStringLiteral("]的详细文档，原文件[") + oldName +
           QStringLiteral("]的详细文档没有随之更名！");
}

QString documentRenameFailed(const QString& oldName, const QString& reason)
{
    return QStringLiteral("文件已更名，但原文件[") + oldName +
           QStringLiteral("]的详细文档没有随之更名！\n") + reason;
}

QString fileToRunMissing(const QString& path)
{
    return QStringLiteral("文件[") + platform::displayPath(path) +
           QStringLiteral("]不存在，无法执行！");
}

QString moveFoundQuestion(const QString& category)
{
    return QStringLiteral("你确定要将这些选中的文件移动到[ ") + category +
           QStringLiteral(" ]分类库中吗？");
}

QString alreadyInCategory(const QString& name, const QString& category)
{
    return QStringLiteral("文件[ ") + name + QStringLiteral(" ]原本就在[ ") + category +
           QStringLiteral(" ]分类库中\n\n按[确定]按钮继续移动其它文件！");
}

QString moveFileFailed(const QString& name)
{
    return QStringLiteral("移动文件[") + name + QStringLiteral("]时失败！请稍后重试。");
}

QString folderOfSameNameInCategory(const QString& name, const QString& category)
{
    return QStringLiteral("分类库[") + category + QStringLiteral("]中已有名为 ") + name +
           QStringLiteral(" 的文件夹，文件夹不能被文件替换，这个文件没有移动！");
}

QString renameShownAlike(const QString& name)
{
    return QStringLiteral("此分类库中已有一个看起来同名的文件 ") + name +
           QStringLiteral("（名字的字节不同），两个文件会共用一条注释，这个文件没有改名！");
}

QString shownAlikeInCategory(const QString& name, const QString& category)
{
    return QStringLiteral("分类库[") + category + QStringLiteral("]中已有一个看起来同名的文件 ") +
           name + QStringLiteral("（名字的字节不同），两个文件会共用一条注释，这个文件没有移动！");
}

QString MoveSameNamePrompt(const QString& category, const QString& name,
                           const QString& existingDate, qint64 existingSize, const QString& rowDate,
                           const QString& rowSize)
{
    return QStringLiteral("分类库[") + category + QStringLiteral("]中已有") + name +
           QStringLiteral("文件存在,\n") + QStringLiteral("日期:") + existingDate +
           QStringLiteral(",大小:") + core::KilobyteNumber(existingSize) + QStringLiteral(" K\n") +
           QStringLiteral("要移动的文件:\n") + QStringLiteral("日期:") + rowDate +
           QStringLiteral(",大小:") + rowSize + QStringLiteral("\n是否覆盖？");
}

QString restoreUnknownOrigin(const QString& name)
{
    return QStringLiteral("回收箱没有记下文件[") + name +
           QStringLiteral("]是从哪个分类库删除的。\n请选择要把它还原到哪个分类库：");
}

QString restoreOriginGone(const QString& name, const QString& folder)
{
    return QStringLiteral("文件[") + name + QStringLiteral("]原来所在的分类库[") + folder +
           QStringLiteral("]已经不在了。\n请选择要把它还原到哪个分类库：");
}

QString restoreElsewhere(const QString& name)
{
    return QStringLiteral("请为文件[") + name + QStringLiteral("]另选一个要还原到的分类库：");
}

QString restoreFailed(const QString& name)
{
    return QStringLiteral("还原文件[") + name + QStringLiteral("]时失败！请稍后重试。");
}

} // namespace fileops::texts
