#include "external/ExternalTexts.h"

namespace external::texts {

QString removeQuestion(const QString& folder)
{
    return QStringLiteral("你真要从系统中移去这个外部目录分类库吗?\n"
                          "以后你可以重新定义这个目录,其中说明资料不会改变.\n"
                          "目录位置:") +
           folder;
}

QString folderUnreachable(const QString& folder, const QString& reason)
{
    return QStringLiteral("此分类库的外部对应目录现在无法访问,这个分类库仍然保留。\n"
                          "目录位置:") +
           folder + u'\n' + reason;
}

} // namespace external::texts
