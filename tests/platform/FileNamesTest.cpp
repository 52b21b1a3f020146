// Names as bytes: every name converts back to exactly its bytes, and reads as the text a user
// expects.
#include "platform/FileNames.h"
#include "platform/TextCodec.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace platform;

namespace {

QString utf8(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

TEST(FileNames, EveryNameKeepsItsBytesAndReadsAsExpected)
{
    const struct
    {
        QByteArray bytes;
        QString caption; // shown with U+FFFD for kept bytes
    } cases[] = {
        {"plain.txt", "plain.txt"},
        {"\xE4\xB8\xAD\xE6\x96\x87.txt", utf8("中文.txt")},   // UTF-8
        {"\xD6\xD0\xCE\xC4.txt", utf8("中文.txt")},           // GBK from a Windows archive
        {"caf\xE9.txt", utf8("caf\xEF\xBF\xBD.txt")},         // Latin-1: neither reads it
        {"\xFF\xFE", utf8("\xEF\xBF\xBD\xEF\xBF\xBD")},
        {"\xED\xB2\x80", QStringLiteral("\u807F\uFFFD")}, // not UTF-8 (a surrogate), half GBK
        {"a<b>&amp;", "a<b>&amp;"},
    };
    for (const auto& c : cases) {
        const QString name = pathFromNative(c.bytes);
        EXPECT_EQ(nativePath(name), c.bytes) << c.bytes.toHex().constData();
        EXPECT_EQ(displayText(captionOfName(name)), c.caption) << c.bytes.toHex().constData();
    }
    EXPECT_NE(captionOfName(pathFromNative("a\xFF")), captionOfName(pathFromNative("a\xFE")))
        << "two names that read neither way keep different captions";
    EXPECT_EQ(displayPath(pathFromNative("/lib/\xD6\xD0\xCE\xC4/caf\xE9/")),
              QStringLiteral("/lib/中文/caf\uFFFD/"));
}

TEST(FileNames, DecodingAndEncodingLoseNoByteInEitherEncoding)
{
    QRandomGenerator random(7);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes(random.bounded(1, 24), '\0');
        for (char& b : bytes)
            b = char(random.bounded(256));
        for (const TextEncoding encoding : {TextEncoding::Gb18030, TextEncoding::Utf8}) {
            const QString text = text::decode(bytes, encoding);
            ASSERT_EQ(text::encode(text, encoding), bytes) << bytes.toHex().constData();
        }
    }
}

TEST(FileNames, TheProgramsTemporaryNamesAreKnown)
{
    EXPECT_TRUE(isTemporaryName(u".quillet-1a2b3c4d.tmp"));
    EXPECT_TRUE(isTemporaryName(u".quillet-AbC123.part"));
    EXPECT_FALSE(isTemporaryName(u"quillet-1.tmp"));
    EXPECT_FALSE(isTemporaryName(u".quillet-notes.txt"));
}
