#include "platform/TextCodec.h"

#include "platform/FileNames.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>
#include <vector>

namespace platform::text {

namespace {

const char kGb18030[] = "GB18030";
const QByteArray kUtf8Bom("\xEF\xBB\xBF", 3);
const QByteArray kUtf16LeBom("\xFF\xFE", 2);
const QByteArray kUtf16BeBom("\xFE\xFF", 2);

bool isUtf16(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
}

char16_t unitAt(QByteArrayView bytes, qsizetype pos, bool bigEndian)
{
    const auto first = static_cast<unsigned char>(bytes[pos]);
    const auto second = static_cast<unsigned char>(bytes[pos + 1]);
    return bigEndian ? char16_t(first << 8 | second) : char16_t(second << 8 | first);
}

// UTF-16 keeps every code unit as it is, paired or not; an odd last byte is kept as a byte.
QString decodeUtf16(QByteArrayView bytes, bool bigEndian)
{
    QString out(bytes.size() / 2 + bytes.size() % 2, Qt::Uninitialized);
    char16_t* units = reinterpret_cast<char16_t*>(out.data());
    qsizetype i = 0;
    for (; i + 1 < bytes.size(); i += 2)
        *units++ = unitAt(bytes, i, bigEndian);
    if (i < bytes.size())
        *units = char16_t(0xDC00 + static_cast<unsigned char>(bytes[i]));
    return out;
}

QByteArray encodeUtf16(QStringView text, bool bigEndian)
{
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    char* bytes = out.data();
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        *bytes++ = char(bigEndian ? unit >> 8 : unit & 0xFF);
        *bytes++ = char(bigEndian ? unit & 0xFF : unit >> 8);
    }
    return out;
}

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
    // Neither can start GBK text: 0xFF is no lead byte, and no trail byte either.
    if (bytes.startsWith(kUtf16LeBom))
        return TextEncoding::Utf16Le;
    if (bytes.startsWith(kUtf16BeBom))
        return TextEncoding::Utf16Be;
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

namespace {

// Decodes a run of complete, well-formed characters.
// Opening a GB18030 converter is costly, so each thread keeps one of each; being stateless,
// every call stands on its own.
// An initial U+FEFF is text like any other here: the file's reader takes off its mark once.
QString decodeRun(QByteArrayView bytes, TextEncoding encoding)
{
    constexpr auto flags =
        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;
    if (encoding != TextEncoding::Gb18030) {
        static thread_local QStringDecoder utf8(QStringConverter::Utf8, flags);
        return utf8.decode(bytes);
    }
    static thread_local QStringDecoder decoder(kGb18030, flags);
    return decoder.decode(bytes);
}

QByteArray converterEncode(QStringView text)
{
    static thread_local QStringEncoder encoder(kGb18030, QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

std::optional<QByteArray> encodeTwoByteText(QStringView text);

QByteArray encodeRun(QStringView text, TextEncoding encoding)
{
    if (encoding != TextEncoding::Gb18030)
        return text.toUtf8();
    if (std::optional<QByteArray> bytes = encodeTwoByteText(text))
        return *std::move(bytes);
    return converterEncode(text);
}

// Length of the GB18030 character at `pos`, 0 when the bytes there start none. Every
// two-byte sequence names a character (checked against the converter for all 23,940 of
// them); a four-byte one may name none.
int gb18030CharacterLength(const QByteArray& bytes, qsizetype pos)
{
    const int length = gb18030SequenceLength(bytes, pos);
    if (length != 4)
        return length;
    const QByteArrayView sequence = QByteArrayView(bytes).sliced(pos, length);
    const QString one = decodeRun(sequence, TextEncoding::Gb18030);
    if (one.contains(QChar(0xFFFD)) && encodeRun(one, TextEncoding::Gb18030) != sequence)
        return 0;
    return length;
}

// GBK's two-byte characters (lead 0x81..0xFE, trail 0x40..0xFE but 0x7F), read once through
// the converter into a table: notes files and names are short texts, for which the converter
// costs more than the reading itself. 0 marks a pair the table does not answer.
constexpr int kTrailCount = 0xFF - 0x40;

const std::vector<char16_t>& twoByteTable()
{
    static const std::vector<char16_t> table = [] {
        std::vector<char16_t> t(size_t(0xFF - 0x81) * kTrailCount, 0);
        QByteArray pairs;
        pairs.reserve(qsizetype(t.size()) * 2);
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                pairs += char(lead);
                pairs += char(trail == 0x7F ? 0x40 : trail);
            }
        }
        // Every pair is a character of the Basic Multilingual Plane, so the text has one unit
        // per pair; anything else leaves the table empty and every text to the converter.
        const QString text = decodeRun(pairs, TextEncoding::Gb18030);
        if (text.size() * 2 != pairs.size())
            return t;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            const int trail = i % kTrailCount + 0x40;
            if (trail != 0x7F && c != 0xFFFD && !QChar::isSurrogate(c))
                t[size_t(i)] = c;
        }
        return t;
    }();
    return table;
}

// The same table the other way round, by character: the pair of bytes it is written as, 0 for
// a character written otherwise (four bytes). Built only when the converter writes every
// character of the table back as its own pair.
const std::vector<quint16>& pairOfCharacter()
{
    static const std::vector<quint16> pairs = [] {
        std::vector<quint16> p;
        const std::vector<char16_t>& table = twoByteTable();
        QString text;
        QByteArray expected;
        text.reserve(qsizetype(table.size()));
        expected.reserve(qsizetype(table.size()) * 2);
        for (size_t i = 0; i < table.size(); ++i) {
            if (table[i] == 0)
                continue;
            text += QChar(table[i]);
            expected += char(0x81 + int(i) / kTrailCount);
            expected += char(0x40 + int(i) % kTrailCount);
        }
        if (text.isEmpty() || converterEncode(text) != expected)
            return p;
        p.assign(0x10000, 0);
        for (size_t i = 0; i < table.size(); ++i) {
            if (table[i] != 0 && p[table[i]] == 0)
                p[table[i]] = quint16(((0x81 + int(i) / kTrailCount) << 8) | (0x40 + int(i) % kTrailCount));
        }
        return p;
    }();
    return pairs;
}

// The bytes of a text made of ASCII and two-byte characters only; nothing when it holds any
// other character, which the converter then writes.
std::optional<QByteArray> encodeTwoByteText(QStringView text)
{
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    char* to = out.data();
    const std::vector<quint16>* pairs = nullptr;
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c < 0x80) {
            *to++ = char(c);
            continue;
        }
        if (!pairs) {
            pairs = &pairOfCharacter();
            if (pairs->empty())
                return std::nullopt;
        }
        const quint16 pair = (*pairs)[c];
        if (pair == 0)
            return std::nullopt;
        *to++ = char(pair >> 8);
        *to++ = char(pair & 0xFF);
    }
    out.truncate(to - out.data());
    return out;
}

// The text of bytes made of ASCII and two-byte characters only; nothing when they hold any
// other sequence, which the converter then reads.
std::optional<QString> decodeTwoByteText(QByteArrayView bytes)
{
    const std::vector<char16_t>& table = twoByteTable();
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t* to = reinterpret_cast<char16_t*>(out.data());
    const auto* from = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = from + bytes.size();
    while (from < end) {
        const unsigned char lead = *from;
        if (lead < 0x80) {
            *to++ = lead;
            ++from;
            continue;
        }
        if (lead == 0x80 || lead == 0xFF || end - from < 2 || from[1] < 0x40 || from[1] == 0x7F ||
            from[1] == 0xFF)
            return std::nullopt;
        const char16_t c = table[size_t(lead - 0x81) * kTrailCount + (from[1] - 0x40)];
        if (c == 0)
            return std::nullopt;
        *to++ = c;
        from += 2;
    }
    out.truncate(to - reinterpret_cast<char16_t*>(out.data()));
    return out;
}

bool wellFormed(QByteArrayView bytes, TextEncoding encoding)
{
    if (encoding != TextEncoding::Gb18030)
        return bytes.isValidUtf8();
    const QByteArray view = QByteArray::fromRawData(bytes.data(), bytes.size());
    for (qsizetype pos = 0; pos < view.size();) {
        if (static_cast<unsigned char>(view[pos]) < 0x80) {
            ++pos; // most of a notes file is ASCII
            continue;
        }
        const int length = gb18030SequenceLength(view, pos);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

// Byte by byte: every character that reads back as its own bytes is taken, every other byte
// is kept as itself. (GB18030 has four-byte sequences that name no character.)
QString decodeKeepingBytes(QByteArrayView bytes, TextEncoding encoding)
{
    const QByteArray view = QByteArray::fromRawData(bytes.data(), bytes.size());
    QString out;
    out.reserve(view.size());
    qsizetype runStart = 0;
    qsizetype pos = 0;
    const auto flushRun = [&] {
        if (pos > runStart)
            out += decodeRun(bytes.sliced(runStart, pos - runStart), encoding);
    };
    while (pos < view.size()) {
        const int length = encoding == TextEncoding::Gb18030 ? gb18030CharacterLength(view, pos)
                                                             : utf8SequenceLength(view, pos);
        if (length > 0) {
            pos += length;
            continue;
        }
        flushRun();
        out += QChar(char16_t(0xDC00 + static_cast<unsigned char>(view[pos])));
        ++pos;
        runStart = pos;
    }
    flushRun();
    return out;
}

} // namespace

bool sameFamily(TextEncoding a, TextEncoding b)
{
    const auto utf8 = [](TextEncoding e) {
        return e == TextEncoding::Utf8 || e == TextEncoding::Utf8WithBom;
    };
    return a == b || (utf8(a) && utf8(b));
}

QString decode(QByteArrayView bytes, TextEncoding encoding)
{
    if (isUtf16(encoding))
        return decodeUtf16(bytes, encoding == TextEncoding::Utf16Be);
    if (encoding == TextEncoding::Gb18030) {
        if (std::optional<QString> text = decodeTwoByteText(bytes))
            return *std::move(text);
    }
    if (wellFormed(bytes, encoding)) {
        QString text = decodeRun(bytes, encoding);
        if (encoding != TextEncoding::Gb18030 || !text.contains(QChar(0xFFFD)))
            return text;
    }
    return decodeKeepingBytes(bytes, encoding);
}

QByteArray encode(QStringView text, TextEncoding encoding)
{
    if (isUtf16(encoding))
        return encodeUtf16(text, encoding == TextEncoding::Utf16Be);
    // Kept bytes (and any other surrogate standing alone) are written one by one.
    QByteArray out;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!QChar::isSurrogate(c))
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            ++i;
            continue;
        }
        out += encodeRun(text.sliced(runStart, i - runStart), encoding);
        if (isKeptByte(c))
            out += char(c - 0xDC00);
        else
            out += encodeRun(u"\uFFFD", encoding);
        runStart = i + 1;
    }
    if (runStart == 0)
        return encodeRun(text, encoding);
    out += encodeRun(text.sliced(runStart), encoding);
    return out;
}

QByteArray byteOrderMark(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8WithBom:
        return kUtf8Bom;
    case TextEncoding::Utf16Le:
        return kUtf16LeBom;
    case TextEncoding::Utf16Be:
        return kUtf16BeBom;
    case TextEncoding::Gb18030:
    case TextEncoding::Utf8:
        break;
    }
    return {};
}

QByteArray gb18030Marker()
{
    // The GBK bytes of its Chinese words are not UTF-8, so a file that starts with it never
    // reads as UTF-8; INI readers take a line before the first section for a comment.
    static const QByteArray marker = encode(u";文字编码 GB18030", TextEncoding::Gb18030);
    return marker;
}

FileStart fileStart(const QByteArray& body, TextEncoding encoding, QByteArrayView newLine)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        if (detect(body) == TextEncoding::Utf8)
            return {{}, encoding};
        return {kUtf8Bom, TextEncoding::Utf8WithBom};
    case TextEncoding::Gb18030:
        if (detect(body) == TextEncoding::Gb18030)
            return {{}, encoding};
        return {gb18030Marker() + newLine.toByteArray(), encoding};
    case TextEncoding::Utf8WithBom:
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
        break;
    }
    return {byteOrderMark(encoding), encoding};
}

int characterLength(const QByteArray& bytes, qsizetype pos, TextEncoding encoding)
{
    if (isUtf16(encoding)) {
        if (pos + 1 >= bytes.size())
            return 1;
        const bool bigEndian = encoding == TextEncoding::Utf16Be;
        if (pos + 3 < bytes.size() && QChar::isHighSurrogate(unitAt(bytes, pos, bigEndian)) &&
            QChar::isLowSurrogate(unitAt(bytes, pos + 2, bigEndian)))
            return 4;
        return 2;
    }
    // As decoding takes them apart: a sequence that names no character is kept byte by byte.
    const int length = encoding == TextEncoding::Gb18030 ? gb18030CharacterLength(bytes, pos)
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
