#include "platform/Gb18030Codes.h"

#include <QString>
#include <QStringEncoder>

#include <vector>

namespace platform::text {

namespace {

constexpr char kGb18030[] = "GB18030";

// Every character of the Basic Multilingual Plane but the surrogates, encoded in one call and
// taken apart by the lengths GB18030 gives its sequences: a lead byte below 0x80 stands
// alone, a second byte from 0x30 to 0x39 makes four, anything else two.
std::vector<quint32> makeTable()
{
    std::vector<quint32> table(0x10000, 0);
    QString all;
    all.reserve(0x10000);
    for (char32_t c = 0; c < 0x10000; ++c) {
        if (c < 0xD800 || c > 0xDFFF)
            all.append(QChar(char16_t(c)));
    }
    QStringEncoder encoder(kGb18030, QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(all);
    const auto byte = [&](qsizetype i) { return quint32(static_cast<unsigned char>(bytes[i])); };
    qsizetype at = 0;
    for (const QChar qc : std::as_const(all)) {
        if (at >= bytes.size())
            return {};
        const quint32 lead = byte(at);
        int length = 1;
        if (lead >= 0x80)
            length = at + 1 < bytes.size() && byte(at + 1) >= 0x30 && byte(at + 1) <= 0x39 ? 4 : 2;
        if (at + length > bytes.size())
            return {};
        quint32 code = 0;
        for (int i = 0; i < length; ++i)
            code = code << 8 | byte(at + i);
        // The length rides in the top bits of a two-byte code: two-byte codes fit in 16 bits.
        table[qc.unicode()] = length == 1 ? code : length == 2 ? code | 0x20000u : code;
        at += length;
    }
    if (at != bytes.size())
        return {}; // the converter did not write one sequence per character
    return table;
}

const std::vector<quint32>& table()
{
    static const std::vector<quint32> codes = makeTable();
    return codes;
}

Gb18030Code fromConverter(char32_t character)
{
    static thread_local QStringEncoder encoder(kGb18030, QStringConverter::Flag::Stateless);
    const char32_t one[1] = {character};
    const QByteArray bytes = encoder.encode(QString::fromUcs4(one, 1));
    Gb18030Code code;
    for (const char b : bytes)
        code.bytes = code.bytes << 8 | quint32(static_cast<unsigned char>(b));
    code.length = int(bytes.size());
    return code;
}

} // namespace

Gb18030Code gb18030Code(char32_t character)
{
    if (character < 0x80)
        return {quint32(character), 1};
    const std::vector<quint32>& codes = table();
    if (character >= 0x10000 || codes.empty())
        return fromConverter(character);
    const quint32 code = codes[character];
    if (code & 0xFF000000u)
        return {code, 4};
    if (code & 0x20000u)
        return {code & 0xFFFFu, 2};
    return {code, 1};
}

} // namespace platform::text
