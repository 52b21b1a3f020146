#include "core/TextFile.h"

namespace core {

namespace {

QString withNewLines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

QString decodeFile(const QByteArray& bytes, platform::TextEncoding* encoding)
{
    *encoding = platform::text::detect(bytes);
    return withNewLines(platform::text::decode(bytes, *encoding));
}

} // namespace

TextFile readTextFile(const QString& path, qint64 limit)
{
    TextFile file;
    QByteArray bytes;
    file.outcome = platform::readWholeFile(path, &bytes, limit, &file.error);
    if (file.outcome != platform::ReadOutcome::Loaded)
        return file;
    file.text = decodeFile(bytes, &file.format.encoding);
    // A file with line feeds and no CR LF pair keeps its line feeds.
    file.format.crLf = !bytes.contains('\n') || bytes.contains("\r\n");
    return file;
}

QByteArray textFileBytes(const QString& text, const TextFormat& format)
{
    if (text.isEmpty())
        return {};
    QString lines = withNewLines(text);
    if (!lines.endsWith(u'\n'))
        lines += u'\n';
    QString out = lines;
    if (format.crLf)
        out.replace(u'\n', QStringLiteral("\r\n"));
    const auto bytesIn = [&](platform::TextEncoding encoding) {
        return platform::text::byteOrderMark(encoding) + platform::text::encode(out, encoding);
    };
    const QByteArray bytes = bytesIn(format.encoding);
    platform::TextEncoding readAs;
    if (decodeFile(bytes, &readAs) == lines)
        return bytes;
    return bytesIn(platform::TextEncoding::Utf8WithBom);
}

int writeTextFile(const QString& path, const QString& text, const TextFormat& format,
                  platform::LinkPolicy links)
{
    return platform::writeWholeFile(path, textFileBytes(text, format), links);
}

} // namespace core
