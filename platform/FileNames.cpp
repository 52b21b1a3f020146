#include "platform/FileNames.h"

#include "platform/TextCodec.h"

#include <QStringList>

#include <cstdlib>

namespace platform {

namespace {

// U+FFFD, shown where a byte cannot be read.
constexpr char16_t kReplacement = 0xFFFD;

} // namespace

bool hasKeptBytes(QStringView text)
{
    for (const QChar c : text) {
        if (isKeptByte(c.unicode()))
            return true;
    }
    return false;
}

QByteArray nativePath(QStringView path)
{
    return text::encode(path, TextEncoding::Utf8);
}

QString pathFromNative(QByteArrayView bytes)
{
    // Almost every name is UTF-8; the check is cheaper than decoding byte by byte. The quick
    // way would take off a leading EF BB BF, which is part of the name.
    if (bytes.isValidUtf8() && !bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes);
    return text::decode(bytes, TextEncoding::Utf8);
}

QString captionOfName(const QString& name)
{
    if (!hasKeptBytes(name))
        return name;
    // The GB18030 reading keeps what it cannot read as kept bytes, so it is clean exactly when
    // none remain.
    return text::decode(nativePath(name), TextEncoding::Gb18030);
}

QString shownName(const QString& name)
{
    QString shown = captionOfName(name);
    qsizetype marks = 0;
    while (marks < shown.size() && shown.at(marks) == QChar(0xFEFF))
        ++marks;
    return marks ? shown.mid(marks) : shown;
}

QString displayText(const QString& text)
{
    if (!hasKeptBytes(text))
        return text;
    QString shown = text;
    for (QChar& c : shown) {
        if (isKeptByte(c.unicode()))
            c = QChar(kReplacement);
    }
    return shown;
}

QString displayPath(const QString& path)
{
    if (!hasKeptBytes(path))
        return path;
    QStringList parts = path.split(u'/');
    for (QString& part : parts)
        part = displayText(captionOfName(part));
    return parts.join(u'/');
}

QString folderOfPath(const QString& path)
{
    return path.left(path.lastIndexOf(u'/') + 1);
}

QString nameOfPath(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString canonicalPath(const QString& path)
{
    if (path.isEmpty())
        return {};
    char* real = ::realpath(nativePath(path).constData(), nullptr);
    if (!real)
        return {};
    const QString resolved = pathFromNative(real);
    std::free(real);
    return resolved;
}

bool isTemporaryName(QStringView name)
{
    return isPartialWriteName(name) || (name.startsWith(u".quillet-") && name.endsWith(u".keep"));
}

bool isPartialWriteName(QStringView name)
{
    return name.startsWith(u".quillet-") &&
           (name.endsWith(u".part") || name.endsWith(u".tmp"));
}

} // namespace platform
