#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform::text {

namespace {

const char kGb18030[] = "GB18030";
const QByteArray kUtf8Bom("\xEF\xBB\xBF", 3);

// Length of a well-formed UTF-8 sequence starting at `pos`, 0 when malformed.
int utf8SequenceLength(const QByteArray& bytes, qsizetype pos)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(pos);
    int length = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else
        return 0;
    if (pos + length > bytes.size())
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80)
            return 0;
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    const unsigned char second = byte(pos + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

// Length of a GB18030 character starting at `pos`, 0 when the bytes start none.
int gb18030SequenceLength(const QByteArray& bytes, qsizetype pos)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80)
        return 1;
    if (lead == 0x80 || lead == 0xFF || pos + 1 >= bytes.size())
        return 0;
    const unsigned char second = byte(pos + 1);
    if (second >= 0x40 && second <= 0xFE && second != 0x7F)
        return 2;
    if (second >= 0x30 && second <= 0x39 && pos + 3 < bytes.size()) {
        const unsigned char third = byte(pos + 2);
        const unsigned char fourth = byte(pos + 3);
        if (third >= 0x81 && third <= 0xFE && fourth >= 0x30 && fourth <= 0x39)
            return 4;
    }
    return 0;
}

} // namespace

TextEncoding detect(const QByteArray& bytes)
{
    if (bytes.startsWith(kUtf8Bom))
        return TextEncoding::Utf8WithBom;
    // Many short GBK texts are also valid UTF-8 made of two-byte sequences (GBK "注" is the
    // UTF-8 of a Hebrew letter), while every Chinese character in UTF-8 takes three bytes.
    // So UTF-8 needs a sequence of three or more bytes besides being valid throughout.
    bool longSequence = false;
    for (qsizetype pos = 0; pos < bytes.size();) {
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            ++pos;
            continue;
        }
        const int length = utf8SequenceLength(bytes, pos);
        if (length == 0)
            return TextEncoding::Gb18030;
        longSequence = longSequence || length >= 3;
        pos += length;
    }
    return longSequence ? TextEncoding::Utf8 : TextEncoding::Gb18030;
}

QString decode(const QByteArray& bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8WithBom:
        return QString::fromUtf8(bytes.startsWith(kUtf8Bom) ? bytes.mid(3) : bytes);
    case TextEncoding::Utf8:
        return QString::fromUtf8(bytes);
    case TextEncoding::Gb18030:
        break;
    }
    QStringDecoder decoder(kGb18030);
    return decoder.decode(bytes);
}

QByteArray encode(const QString& text, TextEncoding encoding)
{
    if (encoding != TextEncoding::Gb18030)
        return text.toUtf8();
    QStringEncoder encoder(kGb18030);
    return encoder.encode(text);
}

QByteArray byteOrderMark(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf8WithBom ? kUtf8Bom : QByteArray();
}

int characterLength(const QByteArray& bytes, qsizetype pos, TextEncoding encoding)
{
    const int length = encoding == TextEncoding::Gb18030 ? gb18030SequenceLength(bytes, pos)
                                                         : utf8SequenceLength(bytes, pos);
    return length > 0 ? length : 1;
}

QString decodeLimited(const QByteArray& bytes, TextEncoding encoding, int maxBytes)
{
    if (bytes.size() <= maxBytes)
        return decode(bytes, encoding);
    qsizetype end = 0;
    while (end < bytes.size()) {
        const int length = characterLength(bytes, end, encoding);
        if (end + length > maxBytes)
            break;
        end += length;
    }
    return decode(bytes.left(end), encoding);
}

bool roundTrips(const QString& text, TextEncoding encoding)
{
    return decode(encode(text, encoding), encoding) == text;
}

} // namespace platform::text
