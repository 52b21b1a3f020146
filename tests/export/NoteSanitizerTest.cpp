// A note in the exported page: the plain formatting a user writes on purpose stays, written in
// one form and closed where the note leaves it open; everything else shows as text.
#include "export/NoteSanitizer.h"

#include <gtest/gtest.h>

using htmlexport::NoteSanitizer;

namespace {

struct Case
{
    const char* why;
    const char* note;
    const char* page;
};

void expectAll(std::initializer_list<Case> cases)
{
    for (const Case& c : cases) {
        const QString page = NoteSanitizer::sanitize(QString::fromUtf8(c.note));
        EXPECT_EQ(page, QString::fromUtf8(c.page)) << c.why << ": " << c.note;
        EXPECT_EQ(NoteSanitizer::sanitize(page), page) << "stable: " << c.note;
    }
}

} // namespace

TEST(NoteSanitizerTest, PlainFormattingAndWebMailAndFtpLinksStayInOneWrittenForm)
{
    expectAll({
        {"text", "安装程序 v1.2 (绿色版) \"说明\" 'x'", "安装程序 v1.2 (绿色版) \"说明\" 'x'"},
        {"the three styles", "<b>粗</b><i>斜</i><U>线</U>", "<b>粗</b><i>斜</i><u>线</u>"},
        {"line breaks", "一<br>二<BR/>三<br />四", "一<br>二<br>三<br>四"},
        {"a colour", "<font color=\"#FF0000\">红</font>", "<font color=\"#FF0000\">红</font>"},
        {"a named colour, unquoted", "<FONT COLOR=red>红</FONT>", "<font color=\"red\">红</font>"},
        {"a web link", "<a href=\"http://x/?a=1&b=2\">链接</a>",
         "<a href=\"http://x/?a=1&amp;b=2\">链接</a>"},
        {"secure, single quotes", "<a href='HTTPS://x/'>s</a>", "<a href=\"HTTPS://x/\">s</a>"},
        {"ftp, unquoted", "<a href=ftp://x/f.zip>f</a>", "<a href=\"ftp://x/f.zip\">f</a>"},
        {"mail", "<a href=\"mailto:a@b.cn?subject=你好\">信</a>",
         "<a href=\"mailto:a@b.cn?subject=你好\">信</a>"},
        {"a reference in the address", "<a href=\"http://x/?a=1&amp;b=&#50;\">x</a>",
         "<a href=\"http://x/?a=1&amp;b=2\">x</a>"},
        {"nested styles", "<b><i><font color=#0f0>x</font></i></b>",
         "<b><i><font color=\"#0f0\">x</font></i></b>"},
        {"references", "&amp; &lt;b&gt; &nbsp; &#65; &#x4e2D; &quot;&apos;",
         "&amp; &lt;b&gt; &nbsp; &#65; &#20013; &quot;&apos;"},
    });
}

TEST(NoteSanitizerTest, EverythingElseShowsAsTheCharactersItIsMadeOf)
{
    expectAll({
        {"bare signs", "AT&T <3 a>b & c", "AT&amp;T &lt;3 a&gt;b &amp; c"},
        {"a script", "<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"an event handler", "<img src=x onerror=alert(1)>", "&lt;img src=x onerror=alert(1)&gt;"},
        {"a handler on an allowed tag", "<b onclick=\"x()\">b</b>",
         "&lt;b onclick=\"x()\"&gt;b&lt;/b&gt;"},
        {"a script address", "<a href=\"javascript:alert(1)\">x</a>",
         "&lt;a href=\"javascript:alert(1)\"&gt;x&lt;/a&gt;"},
        {"a script address in references", "<a href=\"&#106;avascript:alert(1)\">x</a>",
         "&lt;a href=\"&#106;avascript:alert(1)\"&gt;x&lt;/a&gt;"},
        {"a blank before the scheme", "<a href=\" javascript:x\">x",
         "&lt;a href=\" javascript:x\"&gt;x"},
        {"a tab in the scheme", "<a href=\"http&#9;://x\">x",
         "&lt;a href=\"http&amp;#9;://x\"&gt;x"},
        {"a data address", "<a href=data:text/html,x>x", "&lt;a href=data:text/html,x&gt;x"},
        {"a relative address", "<a href=\"/etc/passwd\">x", "&lt;a href=\"/etc/passwd\"&gt;x"},
        {"another attribute", "<a href=\"http://x\" target=\"_blank\">x",
         "&lt;a href=\"http://x\" target=\"_blank\"&gt;x"},
        {"the address twice", "<a href=\"http://x\" href=\"javascript:y\">x",
         "&lt;a href=\"http://x\" href=\"javascript:y\"&gt;x"},
        {"a font face", "<font color=red face=x>x", "&lt;font color=red face=x&gt;x"},
        {"a colour that is a style", "<font color=\"red;background:url(x)\">x",
         "&lt;font color=\"red;background:url(x)\"&gt;x"},
        {"a tag without its attribute", "<a>x</a><font>y</font>",
         "&lt;a&gt;x&lt;/a&gt;&lt;font&gt;y&lt;/font&gt;"},
        {"longer names", "<bdo><a1><br2>", "&lt;bdo&gt;&lt;a1&gt;&lt;br2&gt;"},
        {"the cell's end", "</td></tr></table><p>",
         "&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;&lt;p&gt;"},
        {"comments and declarations", "<!-- x --><![CDATA[y]]><?php ?>",
         "&lt;!-- x --&gt;&lt;![CDATA[y]]&gt;&lt;?php ?&gt;"},
        {"a tag the note never closes", "a<b", "a&lt;b"},
        {"a quote that never closes", "<a href=\"http://x>y", "&lt;a href=\"http://x&gt;y"},
        {"a value running on", "<a href=\"http://x\"\">y", "&lt;a href=\"http://x\"\"&gt;y"},
        {"a sign in a plain value", "<font color=re\"d>x", "&lt;font color=re\"d&gt;x"},
        {"a closing tag with attributes", "<b>x</b class=y>", "<b>x&lt;/b class=y&gt;</b>"},
        {"references to nothing", "&#0; &#xD800; &#1114112; &#x; &#-1; &copy; &amp",
         "&amp;#0; &amp;#xD800; &amp;#1114112; &amp;#x; &amp;#-1; &amp;copy; &amp;amp"},
        {"a reference to a sign stays text", "&#60;script&#62;", "&#60;script&#62;"},
    });
}

TEST(NoteSanitizerTest, WhatTheNoteLeavesOpenClosesWithItAndStrayClosingTagsShowAsText)
{
    expectAll({
        {"left open", "<b>粗<a href=\"http://x\">链", "<b>粗<a href=\"http://x\">链</a></b>"},
        {"closed in the wrong order", "<b><i>x</b>y</i>", "<b><i>x</i></b>y&lt;/i&gt;"},
        {"a stray closing tag", "x</b></font>", "x&lt;/b&gt;&lt;/font&gt;"},
        {"a link inside a link", "<a href=\"http://a\"><a href=\"http://b\">x</a></a>",
         "<a href=\"http://a\">&lt;a href=\"http://b\"&gt;x</a>&lt;/a&gt;"},
        {"a quoted sign inside a link", "<a href=\"http://x/?q=<b>\">q</a>",
         "<a href=\"http://x/?q=&lt;b&gt;\">q</a>"},
    });
}
