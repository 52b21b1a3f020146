#pragma once

#include <QString>

// Text written into the exported page so that it shows as itself.
namespace htmlexport {

// The text with "&", "<" and ">" written as entities, so that it shows as itself.
QString escapeHtml(const QString& text);
// Appends `c` as page text shows it: "&", "<" and ">" escaped, and quotes too inside an
// attribute's value.
void appendEscaped(QString& out, QChar c, bool attribute);

} // namespace htmlexport
