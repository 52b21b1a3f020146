#include "dropwin/DropTexts.h"

#include "platform/FileNames.h"

namespace dropwin::texts {

QString folderCreateFailed(const QString& path)
{
    return QStringLiteral("创建") + platform::displayPath(path) +
           QStringLiteral("目录时失败了，\n") +
           QStringLiteral("系统将忽略导入到该目录中的文件。\n") +
           QStringLiteral("按[确定]按钮继续...");
}

QString dropFailed(const QString& path)
{
    // A NUL would end the text where it stands.
    return QStringLiteral("拖动文件:\n") +
           platform::displayPath(QString(path).replace(QChar(0), QChar(0xFFFD))) +
           QStringLiteral("时失败！");
}

QString folderFileFailed(const QString& name)
{
    return QStringLiteral("拖动文件[") + name + QStringLiteral("]时失败，稍后请重试！");
}

QString shownAlike(const QString& name)
{
    return QStringLiteral("目的类库中已有一个看起来同名的文件 ") + name +
           QStringLiteral("（名字的字节不同），两个文件会共用一条注释，拖入的文件没有导入！");
}

QString sameNameCaption(const QString& name)
{
    return name + QStringLiteral(" 文件已存在");
}

QString DropSameNamePrompt(const QString& name, const QString& existingSize,
                           const QString& existingDate, const QString& droppedSize,
                           const QString& droppedDate)
{
    const QChar cr = u'\r';
    return QStringLiteral("目的类库中已有 ") + name + QStringLiteral(" 文件存在！") + cr + cr +
           QStringLiteral("已存在的文件") + cr + QStringLiteral("大小:") + existingSize +
           QStringLiteral(" 日期:") + existingDate + QStringLiteral("   ") + cr +
           QStringLiteral("拖入的文件") + cr + QStringLiteral("大小:") + droppedSize +
           QStringLiteral(" 日期:") + droppedDate + QStringLiteral("   ") + cr + cr +
           QStringLiteral("是否用拖入文件替换已在文件？");
}

} // namespace dropwin::texts
