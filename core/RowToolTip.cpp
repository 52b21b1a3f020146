#include "core/RowToolTip.h"

#include "core/Texts.h"
#include "notes/FileComments.h"
#include "platform/FileNames.h"

namespace core {

QString RowToolTip(const FileRow& row, const QString& cellText, bool noteColumn)
{
    const QString origin =
        row.folder.isEmpty() ? QString() : notes::originOf(row.folder + row.name);
    QString text;
    if (noteColumn)
        text = row.note;
    else if (!origin.isEmpty())
        text = platform::displayText(cellText);
    if (!origin.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + texts::OriginLabel + origin;
    if (text.isEmpty())
        return {};
    return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

} // namespace core
