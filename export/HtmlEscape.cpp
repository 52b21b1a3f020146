#include "export/HtmlEscape.h"

namespace htmlexport {

void appendEscaped(QString& out, QChar c, bool attribute)
{
    switch (c.unicode()) {
    case u'&':
        out += QStringLiteral("&amp;");
        break;
    case u'<':
        out += QStringLiteral("&lt;");
        break;
    case u'>':
        out += QStringLiteral("&gt;");
        break;
    case u'"':
        out += attribute ? QStringLiteral("&quot;") : QStringLiteral("\"");
        break;
    case u'\'':
        out += attribute ? QStringLiteral("&#39;") : QStringLiteral("'");
        break;
    default:
        out += c;
    }
}

QString escapeHtml(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        appendEscaped(out, c, false);
    return out;
}

} // namespace htmlexport
