#pragma once

// The HTML page of a file list: head lines, one table row per file and foot lines, written
// as GB18030 text (the page declares the gb2312 character set) with CR LF line ends.

#include "export/HtmlEscape.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace htmlexport {

class THtmlPage
{
public:
    THtmlPage() = default;

    bool HeadDone() const { return m_headDone; }
    bool FootDone() const { return m_footDone; }
    const QStringList& Lines() const { return m_lines; }

    // The 30 lines of the head and the table's header row.
    void BeginPage();
    // The 6 lines of one table row. The texts go into the cells as given; a text that is
    // empty after removing blanks and control characters gives "&nbsp;".
    void AddRow(const QString& fileName, const QString& note, const QString& sizeText,
                const QString& dateText);
    // Room for the lines of this many rows more.
    void reserveRows(size_t rows) { m_lines.reserve(m_lines.size() + qsizetype(rows) * 6 + 7); }
    // The 7 lines that close the table and the page.
    void EndPage();
    // Ends the page when that has not been done and writes it to `path`, replacing the file
    // there once the new one is complete. Returns 0 or the errno value of the failed step.
    int SavePage(const QString& path);

    // The page's bytes: every line in GB18030 followed by CR LF.
    QByteArray bytes() const;

private:
    bool m_headDone = false;
    bool m_footDone = false;
    QStringList m_lines;
};

} // namespace htmlexport
