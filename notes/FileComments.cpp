#include "notes/FileComments.h"

#include "notes/NotesFile.h"
#include "platform/ExtendedAttributes.h"
#include "platform/FileNames.h"
#include "platform/IniDocument.h"
#include "platform/TextCodec.h"

#include <QUrl>

#include <cerrno>
#include <cstring>
#include <sys/xattr.h>

namespace notes {

namespace {

// Characters a comment from elsewhere may hold that have no place in a note: controls, which
// a notes file or a list cannot show, and the marks that turn the text around it.
bool isDropped(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool listHas(QByteArrayView list, const char* name)
{
    const QByteArrayView wanted(name, qsizetype(std::strlen(name)));
    for (qsizetype at = 0; at < list.size();) {
        const qsizetype end = list.indexOf('\0', at);
        const qsizetype stop = end < 0 ? list.size() : end;
        if (list.sliced(at, stop - at) == wanted)
            return true;
        at = stop + 1;
    }
    return false;
}

} // namespace

QString noteOfComment(const QByteArray& utf8)
{
    QString raw = QString::fromUtf8(utf8);
    raw.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    QString text;
    text.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        char32_t c = raw[i].unicode();
        if (raw[i].isHighSurrogate() && i + 1 < raw.size() && raw[i + 1].isLowSurrogate()) {
            text.append(raw[i]).append(raw[i + 1]);
            ++i;
            continue;
        }
        // Line breaks and tabs part words; every other control goes.
        if (c == u'\r' || c == u'\n' || c == u'\t') {
            text.append(u' ');
            continue;
        }
        if (!isDropped(c))
            text.append(raw[i]);
    }
    // What a notes file gives back of it: at most its value limit in the file's encoding.
    const QByteArray stored = platform::text::encode(text, platform::TextEncoding::Gb18030);
    if (stored.size() > platform::IniDocument::kMaxValueBytes)
        text = platform::text::decodeLimited(stored, platform::TextEncoding::Gb18030,
                                             platform::IniDocument::kMaxValueBytes);
    return isBlankNote(text) ? QString() : text;
}

QString commentOf(const QString& path)
{
    return commentAt(platform::nativePath(path));
}

QString commentAt(const QByteArray& nativePath)
{
    const std::optional<QByteArray> comment =
        platform::readAttributeAt(nativePath, platform::CommentAttribute);
    return comment ? noteOfComment(*comment) : QString();
}

QString originOf(const QString& path)
{
    const std::optional<QByteArray> origin =
        platform::readAttribute(path, platform::OriginAttribute);
    return origin ? QString::fromUtf8(*origin).trimmed() : QString();
}

bool isOpenableAddress(const QString& address)
{
    const QUrl url(address);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == u"http" || scheme == u"https" || scheme == u"ftp");
}

CarriedNote carriedAt(const QByteArray& nativePath, bool withComment)
{
    CarriedNote carried;
    const auto readRecord = [&] {
        if (const std::optional<QByteArray> bytes =
                platform::readAttributeAt(nativePath, RecordAttribute))
            carried.record = NoteRecord::decode(*bytes);
    };
    if (!withComment) {
        readRecord();
        carried.unsupported = !carried.record && errno == ENOTSUP;
        return carried;
    }
    // The names first: most files carry none, and that is one call.
    char names[1024];
    const ssize_t size = ::llistxattr(nativePath.constData(), names, sizeof names);
    if (size < 0 && errno == ENOTSUP) {
        carried.unsupported = true;
        return carried;
    }
    if (size == 0)
        return carried;
    const QByteArrayView list(names, size < 0 ? 0 : size);
    const bool all = size < 0; // a long list: each is asked for
    if (all || listHas(list, RecordAttribute))
        readRecord();
    if (all || listHas(list, platform::CommentAttribute))
        carried.comment = commentAt(nativePath);
    return carried;
}

} // namespace notes
