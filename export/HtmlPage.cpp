#include "export/HtmlPage.h"

#include "platform/AtomicFile.h"
#include "platform/TextCodec.h"

namespace htmlexport {

namespace {

// Empty once the blanks and control characters around it are gone.
bool isBlankCell(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 32)
            return false;
    }
    return true;
}

QString cell(const char* start, const QString& text)
{
    return QString::fromUtf8(start) + (isBlankCell(text) ? QStringLiteral("&nbsp;") : text) +
           QStringLiteral("</td>");
}

} // namespace

void THtmlPage::BeginPage()
{
    static const char* const head[] = {
        "<html>",
        "",
        "<head>",
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">",
        "<style type=\"text/css\"><!--",
        "body         { font-family: 宋体; font-size: 10.5pt; color: #000000}",
        "td           { font-family: 宋体; font-size: 9pt; color: #000000}",
        "a:link       { color: #000080; text-decoration: none }",
        "a:visited    { color: #000080; text-decoration: none }",
        "a:hover      { background-color: #88FF00; color: #FF0000 }",
        "--></style>",
        "<title>Quillet-文件信息表</title>",
        "</head>",
        "",
        "<body topmargin=\"2\" leftmargin=\"2\">",
        "<p align=\"center\"><font color=\"#0000FF\">[Quillet] 文件信息列表</font>",
        "<hr size=\"1\" color=\"#0099CC\">",
        "<div align=\"center\">",
        "  <center>",
        "  <table border=\"1\" width=\"770\" cellspacing=\"0\" bordercolor=\"#000000\" "
        "bordercolordark=\"#FFFFFF\">",
        "    <tr>",
        "      <td width=\"120\" bgcolor=\"#0099FF\">",
        "        <p align=\"center\"><b>文件名</b></td>",
        "      <td width=\"458\" bgcolor=\"#0099FF\">",
        "        <p align=\"center\"><b>注释资料</b></td>",
        "      <td width=\"66\" bgcolor=\"#0099FF\">",
        "        <p align=\"center\"><b>大小</b></td>",
        "      <td width=\"116\" bgcolor=\"#0099FF\">",
        "        <p align=\"center\"><b>修改日期</b></td>",
        "    </tr>",
    };
    for (const char* line : head)
        m_lines.append(QString::fromUtf8(line));
    m_headDone = true;
}

void THtmlPage::AddRow(const QString& fileName, const QString& note, const QString& sizeText,
                       const QString& dateText)
{
    m_lines.append(QStringLiteral("    <tr>"));
    m_lines.append(cell("      <td width=\"120\">", fileName));
    m_lines.append(cell("      <td width=\"458\">", note));
    m_lines.append(cell("      <td width=\"66\">", sizeText));
    m_lines.append(cell("      <td width=\"116\">", dateText));
    m_lines.append(QStringLiteral("    </tr>"));
}

void THtmlPage::EndPage()
{
    static const char* const foot[] = {
        "  </table>", "  </center>",
        "</div>",     "<p align=\"center\">本表由[Quillet]自动生成</p>",
        "</body>",    "",
        "</html>",
    };
    for (const char* line : foot)
        m_lines.append(QString::fromUtf8(line));
    m_footDone = true;
}

QByteArray THtmlPage::bytes() const
{
    QString text;
    for (const QString& line : m_lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return platform::text::encode(text, platform::TextEncoding::Gb18030);
}

int THtmlPage::SavePage(const QString& path)
{
    if (!m_footDone)
        EndPage();
    // The user chose the path: a link there is written through to its file.
    return platform::writeWholeFile(path, bytes(), platform::LinkPolicy::WriteTarget);
}

} // namespace htmlexport
