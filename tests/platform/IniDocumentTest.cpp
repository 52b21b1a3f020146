// The INI engine shared by the notes files and the configuration file.
#include "platform/Errors.h"
#include "platform/IniDocument.h"
#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::IniDocument;
using platform::IniFile;
using platform::ValueBlanks;

namespace {

QByteArray gbk(const QString& text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(IniDocument, LooksUpSectionsAndKeysWithoutLetterCaseAndSplitsAtTheFirstEquals)
{
    const IniDocument doc = IniDocument::parse(
        "orphan=before any section\r\n"
        "[FileInfo]\r\n"
        "Setup.EXE=installs = everything\r\n"
        "  spaced key  =value\r\n"
        "setup.exe=second copy\r\n"
        "no equals sign here\r\n"
        "[other]\r\n"
        "a=1\r\n");

    EXPECT_EQ(doc.value("fileinfo", "setup.exe"), QString("installs = everything"));
    EXPECT_EQ(doc.value("FILEINFO", "spaced key"), QString("value"));
    EXPECT_FALSE(doc.value("fileinfo", "orphan").has_value());
    EXPECT_FALSE(doc.value("fileinfo", "a").has_value());
    EXPECT_FALSE(doc.value("missing", "a").has_value());
    EXPECT_TRUE(doc.hasSection("OTHER"));
    EXPECT_EQ(doc.keys("fileinfo"), QStringList({"Setup.EXE", "spaced key"}));
    EXPECT_EQ(doc.values("fileinfo").value(QString("SETUP.exe").toCaseFolded()),
              QString("installs = everything"));
}

TEST(IniDocument, AFileNameInBracketsIsAKeyNotASection)
{
    IniDocument doc;
    doc.setValue("fileinfo", "[book]manual.pdf", "note");
    doc.setValue("fileinfo", "[x]", "]");
    const IniDocument reread = IniDocument::parse(doc.serialize());
    EXPECT_EQ(reread.value("fileinfo", "[book]manual.pdf"), QString("note"));
    EXPECT_EQ(reread.value("fileinfo", "[x]"), QString("]"));
}

TEST(IniDocument, ValuesReadBackAsAtMost2047BytesWithoutCuttingACharacter)
{
    const QByteArray ascii(3000, 'x');
    IniDocument doc = IniDocument::parse("[s]\r\nk=" + ascii + "\r\n");
    EXPECT_EQ(doc.value("s", "k")->size(), 2047);

    // Two bytes per character in GB18030: 1023 whole characters fit, the 1024th would cross.
    const QString chinese = QString(1500, QChar(0x6CE8));
    doc = IniDocument::parse("[s]\r\nk=" + gbk(chinese) + "\r\n");
    EXPECT_EQ(*doc.value("s", "k"), QString(1023, QChar(0x6CE8)));

    // One ASCII byte first shifts the boundary: 1 + 2 * 1023 = 2047 bytes exactly.
    doc = IniDocument::parse("[s]\r\nk=a" + gbk(chinese) + "\r\n");
    EXPECT_EQ(*doc.value("s", "k"), "a" + QString(1023, QChar(0x6CE8)));

    // Three bytes per character in UTF-8: 682 characters are 2046 bytes.
    doc = IniDocument::parse("[s]\r\nk=" + QString(1000, QChar(0x6CE8)).toUtf8() + "\r\n");
    EXPECT_EQ(doc.encoding(), platform::TextEncoding::Utf8);
    EXPECT_EQ(*doc.value("s", "k"), QString(682, QChar(0x6CE8)));
}

TEST(IniDocument, ReplacesInPlaceAndLeavesEveryOtherByteAlone)
{
    const QByteArray junk("\x00\xff\xfe binary \x81\r\n", 16);
    const QByteArray original = "; hand-written comment\n"
                                "[FILEINFO]\r\n"
                                "A.txt=old\r\n" +
                                junk + "b.txt=keep\n" + "\r\n" + "[other]\r\nz=1";
    IniDocument doc = IniDocument::parse(original);
    doc.setValue("fileinfo", "a.TXT", "new");

    QByteArray expected = original;
    expected.replace("A.txt=old", "A.txt=new");
    EXPECT_EQ(doc.serialize(), expected);
}

TEST(IniDocument, AppendsKeysAtTheEndOfTheirSectionAndMissingSectionsAtTheEnd)
{
    IniDocument doc = IniDocument::parse("[fileinfo]\r\na=1\r\n\r\n[other]\r\nz=1");
    doc.setValue("fileinfo", "b", "2");
    doc.setValue("new", "k", "v");
    EXPECT_EQ(doc.serialize(),
              QByteArray("[fileinfo]\r\na=1\r\nb=2\r\n\r\n[other]\r\nz=1\r\n[new]\r\nk=v\r\n"));

    IniDocument lf = IniDocument::parse("[s]\na=1\n");
    lf.setValue("s", "b", "2");
    EXPECT_EQ(lf.serialize(), QByteArray("[s]\na=1\nb=2\n"));

    IniDocument empty;
    empty.setValue("fileinfo", "x", "");
    EXPECT_EQ(empty.serialize(), QByteArray("[fileinfo]\r\nx=\r\n"));
    EXPECT_EQ(IniDocument::parse(empty.serialize()).value("fileinfo", "x"), QString(""));
}

TEST(IniDocument, RemovesKeysAndSections)
{
    IniDocument doc =
        IniDocument::parse("[a]\r\nk=1\r\nK=shadowed\r\nj=2\r\n[b]\r\nk=3\r\n[A]\r\nk=4\r\n");
    EXPECT_TRUE(doc.removeKey("a", "k"));
    EXPECT_FALSE(doc.hasKey("a", "k")) << "a duplicate must not reappear after a delete";
    EXPECT_EQ(doc.value("b", "k"), QString("3"));
    EXPECT_FALSE(doc.removeKey("a", "k"));

    EXPECT_TRUE(doc.removeSection("a"));
    EXPECT_EQ(doc.serialize(), QByteArray("[b]\r\nk=3\r\n"));
    EXPECT_FALSE(doc.removeSection("a"));
}

TEST(IniDocument, KeepsTheEncodingOfTheFileItRewrites)
{
    const QString note = QStringLiteral("中文注释");
    IniDocument gb = IniDocument::parse("[fileinfo]\r\nold=" + gbk("旧") + "\r\n");
    EXPECT_EQ(gb.encoding(), platform::TextEncoding::Gb18030);
    gb.setValue("fileinfo", "new", note);
    EXPECT_TRUE(gb.serialize().contains("new=" + gbk(note)));

    const QByteArray bom("\xEF\xBB\xBF");
    IniDocument utf = IniDocument::parse(bom + "[fileinfo]\r\nold=x\r\n");
    EXPECT_EQ(utf.encoding(), platform::TextEncoding::Utf8WithBom);
    utf.setValue("fileinfo", "new", note);
    const QByteArray out = utf.serialize();
    EXPECT_TRUE(out.startsWith(bom));
    EXPECT_TRUE(out.contains("new=" + note.toUtf8()));
    EXPECT_EQ(IniDocument::parse(out).value("FILEINFO", "new"), note);
}

TEST(IniDocument, SurvivesVeryLongLinesAndJunkThatIsNotText)
{
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk += char(i * 37 % 256);
    const QByteArray original = "[fileinfo]\n" + QByteArray(1 << 20, 'L') + "\n" + junk;
    IniDocument doc = IniDocument::parse(original);
    doc.setValue("fileinfo", "k", "v");
    const QByteArray out = doc.serialize();
    EXPECT_TRUE(out.contains(QByteArray(1 << 20, 'L')));
    EXPECT_TRUE(out.contains(junk.left(junk.lastIndexOf('\n'))));
    EXPECT_EQ(IniDocument::parse(out).value("fileinfo", "k"), QString("v"));
}

// Files made on Windows read as its profile functions read them; what is written keeps every
// byte-exact rule and reads back as it was given.
TEST(IniDocument, ReadsLineEndsQuotesBlanksAndCommentsAsWindowsDoes)
{
    const auto read = [](const char* section, const char* key) {
        return [=](IniDocument& doc) {
            return doc.value(section, key).value_or(QStringLiteral("<none>")).toUtf8();
        };
    };
    const auto keys = [](const char* section) {
        return [=](IniDocument& doc) { return doc.keys(section).join(u',').toUtf8(); };
    };
    const auto set = [](const char* section, const char* key, const char* value) {
        return [=](IniDocument& doc) {
            doc.setValue(section, key, QString::fromUtf8(value));
            return doc.serialize();
        };
    };
    const auto remove = [](const char* section, const char* key) {
        return [=](IniDocument& doc) {
            doc.removeKey(section, key);
            return doc.serialize();
        };
    };
    const auto erase = [](const char* section) {
        return [=](IniDocument& doc) {
            doc.removeSection(section);
            return doc.serialize();
        };
    };
    const QByteArray utf16 = QByteArray("\xFF\xFE", 2) +
                             QByteArray(reinterpret_cast<const char*>(u"[s]\ra=\"q\"\r"), 20);
    const struct
    {
        const char* what;
        QByteArray file;
        std::function<QByteArray(IniDocument&)> operation;
        QByteArray expected; // the value read, the keys listed, or the file after the edit
        ValueBlanks blanks = ValueBlanks::Kept; // notes files; settings are Trimmed
    } cases[] = {
        {"CR alone ends a line", "[fileinfo]\ra.txt=one\rb.txt=two\r", read("fileinfo", "b.txt"),
         "two"},
        {"CR, LF and CR LF mixed", "[s]\r\na=1\rb=2\nc=3", keys("s"), "a,b,c"},
        {"UTF-16 with CR alone", utf16, read("s", "a"), "q"},
        {"a CR file gets CR lines", "[fileinfo]\ra.txt=one\r", set("fileinfo", "c.txt", "new"),
         "[fileinfo]\ra.txt=one\rc.txt=new\r"},
        {"replaced in place in a CR file", "[fileinfo]\ra.txt=one\rb.txt=two\r",
         set("fileinfo", "a.txt", "1"), "[fileinfo]\ra.txt=1\rb.txt=two\r"},
        {"a new section after a last line without its end", "[s]\ra=1", set("t", "k", "v"),
         "[s]\ra=1\r[t]\rk=v\r"},
        {"a new line before an empty LF line ends in CR LF", "[s]\ra=1\n\n[t]\r",
         set("s", "b", "2"), "[s]\ra=1\nb=2\r\n\n[t]\r"},
        {"a removal never joins a CR to an LF", "[s]\ra=1\rk=v\n\nz=1", remove("s", "k"),
         "[s]\ra=1\rz=1"},
        {"double quotes come off", "[fileinfo]\r\na.txt=\"Best tool\"\r\n",
         read("fileinfo", "a.txt"), "Best tool"},
        {"single quotes come off", "[s]\r\nk='x y'\r\n", read("s", "k"), "x y"},
        {"only the outer pair comes off", "[s]\r\nk=\"in \"the\" middle\"\r\n", read("s", "k"),
         "in \"the\" middle"},
        {"a lone quote stays", "[s]\r\nk=\"lone\r\n", read("s", "k"), "\"lone"},
        {"unmatched quotes stay", "[s]\r\nk=\"mixed'\r\n", read("s", "k"), "\"mixed'"},
        {"one quote alone stays", "[s]\r\nk=\"\r\n", read("s", "k"), "\""},
        {"a pair of quotes is empty", "[s]\r\nk=\"\"\r\n", read("s", "k"), ""},
        {"settings: blanks around = and at the end", "[UserDefDir]\r\nname = /path/ \r\n",
         read("userdefdir", "name"), "/path/", ValueBlanks::Trimmed},
        {"settings: tabs around =", "[s]\r\n\tfontname\t=\tSimSun\t\r\n", read("s", "fontname"),
         "SimSun", ValueBlanks::Trimmed},
        {"settings: blanks inside quotes stay", "[s]\r\nk =  \" padded \"  \r\n", read("s", "k"),
         " padded ", ValueBlanks::Trimmed},
        {"settings: blanks at a value's ends are written in quotes", "[s]\r\n",
         set("s", "k", " a "), "[s]\r\nk=\" a \"\r\n", ValueBlanks::Trimmed},
        {"settings: the blanks after = stay", "[s]\r\nname = /old/ \r\n",
         set("s", "name", "/new/"), "[s]\r\nname = /new/\r\n", ValueBlanks::Trimmed},
        {"notes: a note keeps its blanks", "[fileinfo]\r\na.txt= two words \r\n",
         read("fileinfo", "a.txt"), " two words "},
        {"notes: a hand-edited = loses the blanks around it", "[fileinfo]\r\nb.txt = note \r\n",
         read("fileinfo", "b.txt"), "note "},
        {"notes: quotes come off with the blanks around them", "[fileinfo]\r\na.txt= \"x\" \r\n",
         read("fileinfo", "a.txt"), "x"},
        {"notes: blanks are written as they are", "[s]\r\n", set("s", "k", " a "),
         "[s]\r\nk= a \r\n"},
        {"notes: a new value on a hand-edited line", "[s]\r\nb.txt = old\r\n",
         set("s", "b.txt", " new"), "[s]\r\nb.txt = \" new\"\r\n"},
        {"a value in quotes is written in quotes", "[s]\r\n", set("s", "k", " \"q\""),
         "[s]\r\nk=\" \"q\"\"\r\n"},
        {"a lone quote is written as it is", "[s]\r\n", set("s", "k", "\""), "[s]\r\nk=\"\r\n"},
        {"a quoted value replaced", "[s]\r\na.txt=\"Best tool\"\r\n", set("s", "a.txt", "x"),
         "[s]\r\na.txt=x\r\n"},
        {"comments are no keys", "[UserDefDir]\r\n;old=/gone/\r\nlib=/here/\r\n  ; x=1\r\n",
         keys("userdefdir"), "lib"},
        {"a comment is not read", "[s]\r\n;old=/gone/\r\n", read("s", ";old"), "<none>"},
        {"a comment is not removed as a key", "[s]\r\n;old=/gone/\r\n", remove("s", ";old"),
         "[s]\r\n;old=/gone/\r\n"},
        {"erasing a section keeps its comments", "[a]\r\n;keep=1\r\nk=1\r\n[b]\r\nj=2\r\n",
         erase("a"), ";keep=1\r\n[b]\r\nj=2\r\n"},
        {"a new key goes after a comment", "[a]\r\nk=1\r\n;old=2\r\n\r\n[b]\r\n",
         set("a", "n", "3"), "[a]\r\nk=1\r\n;old=2\r\nn=3\r\n\r\n[b]\r\n"},
    };
    for (const auto& c : cases) {
        IniDocument doc = IniDocument::parse(c.file, c.blanks);
        EXPECT_EQ(doc.serialize(), c.file) << c.what;
        EXPECT_EQ(c.operation(doc), c.expected) << c.what;
    }

    for (const ValueBlanks blanks : {ValueBlanks::Kept, ValueBlanks::Trimmed}) {
        for (const QString value :
             {" a", "a ", "\t", "\"q\"", " 'q' ", "\"", "\"a'", "", "'", "\" \"q\" \""}) {
            IniDocument doc = IniDocument::parse("[s]\r\nk=old\r\nh = old\r\n", blanks);
            for (const char* key : {"k", "h", "new"})
                doc.setValue("s", key, value);
            const IniDocument reread = IniDocument::parse(doc.serialize(), blanks);
            for (const char* key : {"k", "h", "new"})
                EXPECT_EQ(reread.value("s", key), value) << key << ' ' << value.toStdString();
        }
    }
}

TEST(IniDocument, RefusesKeysThatCannotBeReadBackUnchanged)
{
    EXPECT_TRUE(IniDocument::isStorableKey("setup.exe"));
    EXPECT_TRUE(IniDocument::isStorableKey("[book] 手册.pdf"));
    EXPECT_FALSE(IniDocument::isStorableKey(""));
    EXPECT_FALSE(IniDocument::isStorableKey("a=b.txt"));
    EXPECT_FALSE(IniDocument::isStorableKey("line\nbreak"));
    EXPECT_FALSE(IniDocument::isStorableKey("cr\r"));
    EXPECT_FALSE(IniDocument::isStorableKey(" leading"));
    EXPECT_FALSE(IniDocument::isStorableKey("trailing "));
    EXPECT_FALSE(IniDocument::isStorableKey(";comment.txt"));
}

TEST(IniFile, ParsesIntegersAsTheProfileRulesSay)
{
    EXPECT_EQ(IniFile::parseInt("42"), 42);
    EXPECT_EQ(IniFile::parseInt(" -12 "), -12);
    EXPECT_EQ(IniFile::parseInt("0x2"), 2);
    EXPECT_EQ(IniFile::parseInt("0XfF"), 255);
    EXPECT_EQ(IniFile::parseInt("$10"), 16);
    EXPECT_EQ(IniFile::parseInt("0x80000008"), -2147483640);
    EXPECT_EQ(IniFile::parseInt("-2147483648"), INT_MIN);
    EXPECT_FALSE(IniFile::parseInt("0x").has_value());
    EXPECT_FALSE(IniFile::parseInt("2147483648").has_value());
    EXPECT_FALSE(IniFile::parseInt("12abc").has_value());
    EXPECT_FALSE(IniFile::parseInt("").has_value());
    EXPECT_FALSE(IniFile::parseInt("1.5").has_value());
}

TEST(IniFile, ReadsDefaultsAndWritesAtomically)
{
    QTemporaryDir dir;
    IniFile file(dir.filePath("test.ini"));
    EXPECT_EQ(file.readInt("s", "n", 7), 7);
    EXPECT_TRUE(file.readBool("s", "b", true));
    EXPECT_FALSE(file.exists()) << "reading never creates the file";

    file.writeInt("s", "n", -5);
    file.writeBool("s", "b", false);
    file.writeString("s", "text", "junk");
    EXPECT_EQ(readBytes(file.path()), QByteArray("[s]\r\nn=-5\r\nb=0\r\ntext=junk\r\n"));
    EXPECT_EQ(file.readInt("S", "N", 7), -5);
    EXPECT_FALSE(file.readBool("s", "b", true));
    EXPECT_EQ(file.readInt("s", "text", 3), 3);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList("test.ini"))
        << "no temporary file is left behind";
}

TEST(IniFile, AWriteTheFileSystemRefusesRaisesUnableToWriteAndChangesNothing)
{
    QTemporaryDir dir;
    // A folder in the place of the file: nothing can be written there.
    const QString blocked = dir.filePath("blocked.ini");
    QDir().mkdir(blocked);
    IniFile file(blocked);
    try {
        file.writeString("s", "k", "v");
        FAIL() << "the write must fail";
    } catch (const platform::WriteError& error) {
        EXPECT_EQ(error.message().section(u'\n', 0, 0), "Unable to write to " + blocked);
    }

    // A file carrying the read-only attribute keeps its contents.
    const QString readOnly = dir.filePath("ro.ini");
    writeBytes(readOnly, "[s]\r\nk=old\r\n");
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_THROW(IniFile(readOnly).writeString("s", "k", "new"), platform::WriteError);
    EXPECT_EQ(readBytes(readOnly), QByteArray("[s]\r\nk=old\r\n"));
}

TEST(TextCodec, ShortGbkTextThatHappensToBeValidUtf8IsReadAsGbk)
{
    using platform::TextEncoding;
    namespace text = platform::text;
    EXPECT_EQ(text::detect(gbk(QStringLiteral("注释"))), TextEncoding::Gb18030);
    EXPECT_EQ(text::detect(QStringLiteral("注释").toUtf8()), TextEncoding::Utf8);
    EXPECT_EQ(text::detect("plain ascii"), TextEncoding::Gb18030);
    EXPECT_EQ(text::detect(QByteArray("\xEF\xBB\xBF") + "x"), TextEncoding::Utf8WithBom);
    EXPECT_EQ(text::detect(gbk(QStringLiteral("我的软件库，一个很长的中文句子。"))),
              TextEncoding::Gb18030);
    EXPECT_EQ(text::decodeLimited(gbk(QStringLiteral("中文")), TextEncoding::Gb18030, 3),
              QStringLiteral("中"));
    EXPECT_EQ(text::decodeLimited(QStringLiteral("中文").toUtf8(), TextEncoding::Utf8, 5),
              QStringLiteral("中"));
}

TEST(IniSectionRead, ReadsTheSectionAsTheWholeDocumentDoes)
{
    const QByteArray longValue(3000, 'x');
    const QByteArray inputs[] = {
        gbk(QStringLiteral("[fileinfo]\r\n软件.zip=好用\r\nb.txt = 二 \r\n软件.zip=第二行\r\n")),
        gbk(QStringLiteral("x=1\n[other]\na=no\n[FileInfo]\n a = yes\n[fileinfo\nc=")) + "\n",
        "[fileinfo]\r\nlong=" + longValue + "\r\n=novalue\r\njunk\r\n[fileinfo]\r\nz=last",
        "\xEF\xBB\xBF[fileinfo]\n\xE8\xBD\xAF.txt=\xE5\xA5\xBD\n",          // UTF-8 with its mark
        "[fileinfo]\r\nbad\x81\r\nname=\x81\x30\r\nok=\xB0\xA1\r\n",        // malformed bytes
        "[fileinfo]\ra = \"q\" \r;c=1\rb='\r\n\nd=\"" + longValue + "\"\r", // Windows' reading
        QByteArray(),
    };
    for (const QByteArray& bytes : inputs) {
        for (const ValueBlanks blanks : {ValueBlanks::Kept, ValueBlanks::Trimmed}) {
            EXPECT_EQ(IniDocument::readSection(bytes, QStringLiteral("fileinfo"), blanks),
                      IniDocument::parse(bytes, blanks).entries(QStringLiteral("fileinfo")))
                << bytes.left(40).toStdString();
        }
    }
}

TEST(TextDecoding, EveryTwoByteCharacterReadsAsTheConverterReadsIt)
{
    QStringDecoder converter("GB18030", QStringConverter::Flag::Stateless);
    int compared = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            QByteArray pair;
            pair.append(char(lead)).append(char(trail));
            const QString expected = converter.decode(pair);
            if (expected.size() != 1 || expected[0] == QChar(0xFFFD))
                continue; // kept as bytes either way
            ASSERT_EQ(platform::text::decode("a" + pair, platform::TextEncoding::Gb18030),
                      u'a' + expected)
                << lead << ' ' << trail;
            ++compared;
        }
    }
    EXPECT_GT(compared, 20000);
}

TEST(TextDecoding, EveryCharacterIsWrittenAsTheConverterWritesIt)
{
    QStringEncoder converter("GB18030", QStringConverter::Flag::Stateless);
    for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
        if (QChar::isSurrogate(c))
            continue;
        const QString one{QChar(char16_t(c))};
        ASSERT_EQ(platform::text::encode(one, platform::TextEncoding::Gb18030),
                  converter.encode(one))
            << std::hex << unsigned(c);
    }
}
