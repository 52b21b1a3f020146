#pragma once
// Text encodings of the files the program reads and writes. New files are written in GB18030
// (identical to GBK for every GBK character and able to hold any character a file name can
// carry). A file with a byte-order mark is read in its encoding (UTF-8, UTF-16 little or big
// endian); one without is read as UTF-8 when it is valid UTF-8 that holds sequences of three
// or more bytes (as every Chinese character in UTF-8 does), anything else as GB18030.
//
// A file keeps the encoding it was read in whatever its content becomes: where the new
// content alone would read otherwise, the file gets a mark at its start (fileStart): a UTF-8
// file the byte-order mark, a GB18030 file the marker line, a comment in GBK that is not
// UTF-8 and that INI readers skip.
//
// Decoding loses nothing: a byte that starts no character of the encoding is kept as the
// character U+DC80..U+DCFF, and encoding writes such a character back as that byte, so bytes
// that no edit touched are written back as they were. (UTF-16 keeps its code units as they
// are, paired or not.)

#include <QByteArray>
#include <QString>

namespace platform {

enum class TextEncoding
{
    Gb18030,
    Utf8,
    Utf8WithBom,
    Utf16Le, // always with its byte-order mark
    Utf16Be, // always with its byte-order mark
};

namespace text {

// The encoding of existing file contents.
TextEncoding detect(const QByteArray& bytes);

// True for the encodings that read each other's text the same: UTF-8 with and without its
// byte-order mark.
bool sameFamily(TextEncoding a, TextEncoding b);

// Decodes bytes as they are (a byte-order mark is not skipped here: the file's reader strips
// it once).
QString decode(QByteArrayView bytes, TextEncoding encoding);

// Encodes text without a byte-order mark.
QByteArray encode(QStringView text, TextEncoding encoding);

// The byte-order mark that starts a file of this encoding (empty for most).
QByteArray byteOrderMark(TextEncoding encoding);

// The GB18030 marker line (without its line end): ";文字编码 GB18030" in GBK.
QByteArray gb18030Marker();

// What a file whose body (its bytes after any mark) is `body` starts with, so that detect()
// reads it back in `encoding`: the byte-order mark of the encoding; for UTF-8 without one the
// byte-order mark when the body alone would read otherwise (the file is then UTF-8 with its
// mark); for GB18030 the marker line and `newLine` when the body alone would read otherwise.
struct FileStart
{
    QByteArray prefix;
    TextEncoding encoding = TextEncoding::Gb18030;
};
FileStart fileStart(const QByteArray& body, TextEncoding encoding, QByteArrayView newLine);

// Decodes at most `maxBytes` bytes, never cutting a character in half: a character whose
// bytes would cross the limit is left out whole.
QString decodeLimited(const QByteArray& bytes, TextEncoding encoding, int maxBytes);

// True when `text` survives encode and decode unchanged.
bool roundTrips(const QString& text, TextEncoding encoding);

// The length of the first character of `bytes` at `pos` in this encoding (1 for a byte
// that starts no valid sequence).
int characterLength(const QByteArray& bytes, qsizetype pos, TextEncoding encoding);

} // namespace text
} // namespace platform
