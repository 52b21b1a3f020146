#include "search/SearchTexts.h"

namespace search::texts {

QString foundCount(int count)
{
    return QStringLiteral("共找到 %1 个文件").arg(count);
}

QString progress(int folders, int found)
{
    return QStringLiteral("已查找 %1 个文件夹，找到 %2 个文件，请稍候...").arg(folders).arg(found);
}

} // namespace search::texts
