// The text codec on any bytes: detected, decoded and encoded again they are the same bytes;
// a value cut at a byte limit is the longest start of the whole text that fits; and a file
// whose text is changed (characters cut off its end, others added) and written again with its
// mark reads back in its encoding as exactly the text written: the encoding never drifts.
#include "FuzzInput.h"
#include "platform/TextCodec.h"

using platform::TextEncoding;
namespace text = platform::text;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzzing::FuzzInput input(data, size);
    const QByteArray& file = input.file;
    const TextEncoding encoding = text::detect(file);
    const QByteArray body = file.mid(text::byteOrderMark(encoding).size());
    const bool utf16 = encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
    const QString decoded = text::decode(body, encoding);

    // Nothing is lost: the text encodes back to its bytes. (An odd last byte of a UTF-16 file
    // is no code unit; the INI engine keeps it aside.)
    const bool wholeUnits = !utf16 || body.size() % 2 == 0;
    if (wholeUnits)
        FUZZ_CHECK(text::encode(decoded, encoding) == body);

    // A value read up to a byte limit never cuts a character: it is the longest start of the
    // text that fits, so one character more (a surrogate pair is one) would not.
    const int limit = input.pick * 8 + 1;
    const QString limited = text::decodeLimited(body, encoding, limit);
    if (wholeUnits) {
        FUZZ_CHECK(text::encode(limited, encoding).size() <= limit);
        FUZZ_CHECK(decoded.startsWith(limited));
        if (limited.size() < decoded.size()) {
            const qsizetype at = limited.size();
            const bool pair = at + 1 < decoded.size() && decoded[at].isHighSurrogate() &&
                              decoded[at + 1].isLowSurrogate();
            FUZZ_CHECK(
                text::encode(QStringView(decoded).left(at + (pair ? 2 : 1)), encoding).size() >
                limit);
        }
    }

    // The text changes (its end cut off, new text added) and the file is written again.
    QString changed = decoded;
    changed.chop(qMin<qsizetype>(input.edit % 8, changed.size()));
    changed += input.text;
    if (!text::roundTrips(changed, encoding))
        return 0; // such text is refused before it is written
    const QByteArray newBody = text::encode(changed, encoding);
    const QByteArray newLine = text::encode(u"\r\n", encoding);
    const text::FileStart start = text::fileStart(newBody, encoding, newLine);
    const QByteArray written = start.prefix + newBody;

    const TextEncoding readAs = text::detect(written);
    FUZZ_CHECK(readAs == start.encoding);
    FUZZ_CHECK(text::sameFamily(readAs, encoding));
    QByteArray readBody = written.mid(text::byteOrderMark(readAs).size());
    if (encoding == TextEncoding::Gb18030 && !start.prefix.isEmpty()) {
        FUZZ_CHECK(readBody.startsWith(text::gb18030Marker() + newLine));
        readBody = readBody.mid(text::gb18030Marker().size() + newLine.size());
    }
    FUZZ_CHECK(text::decode(readBody, readAs) == changed);
    return 0;
}
