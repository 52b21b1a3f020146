#include "external/ExternalTexts.h"

namespace external::texts {

QString removeQuestion(const QString& folder)
{
    return QStringLiteral("你真要从系统中移去这个外部目录分类库吗?\n"
                          "以后你可以重新定义这个目录,其中说明资料不会改变.\n"
                          "目录位置:") +
           folder;
}

} // namespace external::texts
