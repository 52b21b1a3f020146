// The list export: the page written line by line as the list shows its rows.
#include "export/HtmlExport.h"

#include "support/World.h"

#include <QFile>

#include <gtest/gtest.h>
#include <sys/stat.h>

using testing_support::gbk;
using testing_support::Shown;
using testing_support::World;

namespace {

class HtmlExportTest : public ::testing::Test
{
protected:
    World world;
    htmlexport::HtmlExport command{world.workspace, world.dialogs};
    QString target = world.library.path(QStringLiteral("../out/软件文件列表.htm"));

    void SetUp() override { world.library.makeDir(QStringLiteral("../out")); }
    void open(const QString& category)
    {
        world.start();
        world.selectCategory({category});
    }
    const core::FileRow& row(int i) const { return world.workspace.fileList().row(i); }
    QByteArray exported() const
    {
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

// The page as a browser receives it: every line in GB18030 ended by CR LF.
QByteArray pageOf(const QStringList& rows)
{
    QStringList lines = {
        "<html>",
        "",
        "<head>",
        R"(<meta http-equiv="Content-Type" content="text/html; charset=gb2312">)",
        R"(<style type="text/css"><!--)",
        "body         { font-family: 宋体; font-size: 10.5pt; color: #000000}",
        "td           { font-family: 宋体; font-size: 9pt; color: #000000}",
        "a:link       { color: #000080; text-decoration: none }",
        "a:visited    { color: #000080; text-decoration: none }",
        "a:hover      { background-color: #88FF00; color: #FF0000 }",
        "--></style>",
        "<title>Quillet-文件信息表</title>",
        "</head>",
        "",
        R"(<body topmargin="2" leftmargin="2">)",
        R"(<p align="center"><font color="#0000FF">[Quillet] 文件信息列表</font>)",
        R"(<hr size="1" color="#0099CC">)",
        R"(<div align="center">)",
        "  <center>",
        R"(  <table border="1" width="770" cellspacing="0" bordercolor="#000000" bordercolordark="#FFFFFF">)",
        "    <tr>",
        R"(      <td width="120" bgcolor="#0099FF">)",
        R"(        <p align="center"><b>文件名</b></td>)",
        R"(      <td width="458" bgcolor="#0099FF">)",
        R"(        <p align="center"><b>注释资料</b></td>)",
        R"(      <td width="66" bgcolor="#0099FF">)",
        R"(        <p align="center"><b>大小</b></td>)",
        R"(      <td width="116" bgcolor="#0099FF">)",
        R"(        <p align="center"><b>修改日期</b></td>)",
        "    </tr>",
    };
    lines += rows;
    lines += QStringList{"  </table>", "  </center>",
                         "</div>",     R"(<p align="center">本表由[Quillet]自动生成</p>)",
                         "</body>",    "",
                         "</html>"};
    return gbk(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

QStringList rowLines(const QString& name, const QString& note, const core::FileRow& row)
{
    return {"    <tr>",
            QStringLiteral(R"(      <td width="120">%1</td>)").arg(name),
            QStringLiteral(R"(      <td width="458">%1</td>)").arg(note),
            QStringLiteral(R"(      <td width="66">%1</td>)").arg(row.sizeText),
            QStringLiteral(R"(      <td width="116">%1</td>)").arg(row.dateText),
            "    </tr>"};
}

} // namespace

TEST_F(HtmlExportTest, ThreeRowsGiveTheWholePageOf55LinesInTheListsOrder)
{
    world.library.makeFile(QStringLiteral("软件/c.zip"), QByteArray(2048, 'x'));
    world.library.makeFile(QStringLiteral("软件/a.exe"), QByteArray(10, 'x'));
    world.library.makeFile(QStringLiteral("软件/工具.rar"));
    world.library.writeNotes(
        QStringLiteral("软件/"),
        {{"a.exe", QStringLiteral(" 主页 <a href=\"http://x/?a=1&b=2\">链接</a>")},
         {"c.zip", "   "}});
    open(QStringLiteral("软件"));
    world.files.filelistColumnClick(0); // shown from Z to A
    ASSERT_EQ(world.listedNames(), QStringList({QStringLiteral("工具.rar"), "c.zip", "a.exe"}));
    world.selectFiles({"a.exe"}); // selected or not, every row goes
    world.dialogs.saveChoices = {target};

    command.BuildHtmlMenuClick();

    ASSERT_EQ(world.dialogs.saveDialogs.size(), 1u);
    const core::SaveDialogSpec& spec = world.dialogs.saveDialogs[0];
    EXPECT_EQ(spec.title, "输入一个文件名");
    EXPECT_EQ(spec.fileName, QStringLiteral("软件文件列表"));
    EXPECT_EQ(spec.filter, "HTML文件[*.htm]|*.htm");
    EXPECT_EQ(spec.filterIndex, 1);
    EXPECT_EQ(spec.defaultExtension, "htm");
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_EQ(world.dialogs.busyCount, 1);
    EXPECT_EQ(world.dialogs.busyDepth, 0);

    // A note keeps its link, written in one form; blank cells hold a space entity.
    const QByteArray expected =
        pageOf(rowLines(QStringLiteral("工具.rar"), "&nbsp;", row(0)) +
               rowLines("c.zip", "&nbsp;", row(1)) +
               rowLines("a.exe", QStringLiteral(" 主页 <a href=\"http://x/?a=1&amp;b=2\">链接</a>"),
                        row(2)));
    const QByteArray page = exported();
    EXPECT_EQ(page, expected);
    EXPECT_EQ(page.count("\r\n"), 55);
    EXPECT_EQ(row(1).sizeText, "2.00KB");

    // Exporting again replaces the whole page.
    world.dialogs.saveChoices = {target};
    command.BuildHtmlMenuClick();
    EXPECT_EQ(exported(), expected);
}

TEST_F(HtmlExportTest, AFileNameIsEscapedSoItCanNeverBecomeMarkup)
{
    world.library.makeFile(QStringLiteral("软件/<img src=x onerror=alert(1)>&amp.txt"));
    open(QStringLiteral("软件"));
    world.dialogs.saveChoices = {target};
    command.BuildHtmlMenuClick();
    EXPECT_TRUE(exported().contains(
        R"(      <td width="120">&lt;img src=x onerror=alert(1)&gt;&amp;amp.txt</td>)"));
    EXPECT_FALSE(exported().contains("<img"));
}

TEST_F(HtmlExportTest, ANoteFromAnotherCollectionReachesThePageAsTextButItsFormatting)
{
    world.library.makeFile(QStringLiteral("软件/a.txt"));
    world.library.writeNotes(
        QStringLiteral("软件/"),
        {{"a.txt", QStringLiteral("<b>好</b><script>x()</script><a href=javascript:y()>z</a>"
                                  "</td></tr><i>斜")}});
    open(QStringLiteral("软件"));
    world.dialogs.saveChoices = {target};
    command.BuildHtmlMenuClick();
    EXPECT_TRUE(exported().contains(gbk(QStringLiteral(
        R"(      <td width="458"><b>好</b>&lt;script&gt;x()&lt;/script&gt;&lt;a href=javascript:y()&gt;z)"
        R"(&lt;/a&gt;&lt;/td&gt;&lt;/tr&gt;<i>斜</i></td>)"))));
}

TEST_F(HtmlExportTest, AnEmptyListOrACancelledDialogWritesNothing)
{
    world.library.makeDir(QStringLiteral("空"));
    world.library.makeFile(QStringLiteral("软件/a.txt"));
    open(QStringLiteral("空"));
    command.BuildHtmlMenuClick();
    EXPECT_TRUE(world.dialogs.saveDialogs.empty()) << "no dialog for an empty list";

    world.selectCategory({QStringLiteral("软件")});
    command.BuildHtmlMenuClick(); // cancelled
    EXPECT_EQ(world.dialogs.saveDialogs.size(), 1u);
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(world.dialogs.nothingShown());
}

TEST_F(HtmlExportTest, AFailedWriteIsReportedAndLeavesTheOldFileWhole)
{
    world.library.makeFile(QStringLiteral("软件/a.txt"));
    open(QStringLiteral("软件"));
    for (const QString& path : {world.library.path(QStringLiteral("../missing/list.htm")),
                                world.library.path(QStringLiteral("../out/readonly.htm"))}) {
        SCOPED_TRACE(path.toStdString());
        world.dialogs.shown.clear();
        QFile old(world.library.path(QStringLiteral("../out/readonly.htm")));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old page");
        old.close();
        ::chmod(QFile::encodeName(old.fileName()).constData(), 0444);

        world.dialogs.saveChoices = {path};
        command.BuildHtmlMenuClick();
        ASSERT_EQ(world.dialogs.shown.size(), 1u);
        EXPECT_EQ(world.dialogs.last().kind, Shown::Kind::Error);
        EXPECT_TRUE(
            world.dialogs.last().text.startsWith(QStringLiteral("无法写入网页文件“") + path));
        EXPECT_EQ(world.library.read(QStringLiteral("../out/readonly.htm")), "old page");
        EXPECT_EQ(world.dialogs.busyDepth, 0);
        ::chmod(QFile::encodeName(old.fileName()).constData(), 0644);
    }
    EXPECT_FALSE(QFile::exists(world.library.path(QStringLiteral("../missing/list.htm"))));
}
