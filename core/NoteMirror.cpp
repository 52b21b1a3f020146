#include "core/NoteMirror.h"

#include "core/NotesStore.h"
#include "platform/ExtendedAttributes.h"
#include "platform/FileNames.h"
#include "platform/IniDocument.h"
#include "platform/TextCodec.h"

#include <QUrl>

#include <sys/stat.h>

namespace core {

namespace {

bool g_enabled = true;
NoteMirror::Batch* g_current = nullptr;

bool entryExists(const QString& path)
{
    struct stat st;
    return ::lstat(platform::nativePath(path).constData(), &st) == 0;
}

// The file shown as `caption` in `dir`: the name itself, or a name of GB18030 bytes that reads
// as it (names from Windows archives).
QString pathOfCaption(const QString& dir, const QString& caption)
{
    const QString path = dir + caption;
    if (entryExists(path) || platform::hasKeptBytes(caption))
        return path;
    const QString name =
        platform::pathFromNative(platform::text::encode(caption, platform::TextEncoding::Gb18030));
    if (name != caption && platform::captionOfName(name) == caption && entryExists(dir + name))
        return dir + name;
    return path;
}

void mirror(const QString& path, const QString& text)
{
    if (isBlankNote(text))
        platform::removeAttribute(path, platform::CommentAttribute);
    else
        platform::writeAttribute(path, platform::CommentAttribute, text.toUtf8());
}

} // namespace

void NoteMirror::setEnabled(bool enabled)
{
    g_enabled = enabled;
}

bool NoteMirror::enabled()
{
    return g_enabled;
}

NoteMirror::Batch::Batch() : m_outer(g_current)
{
    g_current = this;
}

NoteMirror::Batch::~Batch()
{
    g_current = m_outer;
}

void NoteMirror::Batch::commit()
{
    if (g_current == this)
        g_current = m_outer;
    apply(std::exchange(m_changes, {}));
}

void NoteMirror::noteChanged(const QString& dir, const QString& caption, const QString& text)
{
    if (g_enabled && g_current)
        g_current->m_changes.append({dir, caption, text});
}

void NoteMirror::apply(const QList<Batch::Change>& changes)
{
    for (const Batch::Change& change : changes)
        noteWritten(change.dir, change.caption, change.text);
}

void NoteMirror::noteWritten(const QString& dir, const QString& caption, const QString& text)
{
    if (g_enabled)
        mirror(pathOfCaption(dir, caption), text);
}

QString NoteMirror::commentOf(const QString& path)
{
    return commentAt(platform::nativePath(path));
}

QString NoteMirror::commentAt(const QByteArray& nativePath)
{
    const std::optional<QByteArray> comment =
        platform::readAttributeAt(nativePath, platform::CommentAttribute);
    if (!comment || comment->isEmpty())
        return {};
    QString text = QString::fromUtf8(*comment);
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    // What a notes file gives back of it: at most its value limit in the file's encoding.
    const QByteArray stored = platform::text::encode(text, platform::TextEncoding::Gb18030);
    if (stored.size() > platform::IniDocument::kMaxValueBytes)
        text = platform::text::decodeLimited(stored, platform::TextEncoding::Gb18030,
                                             platform::IniDocument::kMaxValueBytes);
    return isBlankNote(text) ? QString() : text;
}

bool NoteMirror::isOpenableAddress(const QString& address)
{
    const QUrl url(address);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == u"http" || scheme == u"https" || scheme == u"ftp");
}

QString NoteMirror::originOf(const QString& path)
{
    const std::optional<QByteArray> origin =
        platform::readAttribute(path, platform::OriginAttribute);
    return origin ? QString::fromUtf8(*origin).trimmed() : QString();
}

} // namespace core
