#include "notes/Mirror.h"

#include "notes/NotesFile.h"
#include "platform/ExtendedAttributes.h"

#include <sys/stat.h>

namespace notes {

namespace {

bool g_commentsEnabled = true;

} // namespace

void Mirror::setCommentsEnabled(bool enabled)
{
    g_commentsEnabled = enabled;
}

bool Mirror::commentsEnabled()
{
    return g_commentsEnabled;
}

bool Mirror::inStep(const NoteRecord& record, QStringView note)
{
    return record.noteHash == NoteRecord::hashOf(note) && (record.mirrored || !g_commentsEnabled);
}

bool Mirror::follow(const QByteArray& path, const FolderId& folder, QByteArrayView name,
                    QStringView note)
{
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return true; // no file, no comment
    bool mirrored = false;
    bool stale = false;
    if (g_commentsEnabled) {
        if (isBlankNote(note)) {
            // Only a comment that is there can stay behind.
            mirrored = !platform::readAttributeAt(path, platform::CommentAttribute) ||
                       platform::removeAttributeAt(path, platform::CommentAttribute);
            stale = !mirrored;
        } else if (platform::writeAttributeAt(path, platform::CommentAttribute, note.toUtf8())) {
            mirrored = true;
        } else {
            // Too long for the file system, a full disk, a file the user may not change: the
            // old text must not stay behind to be taken for the note.
            stale = !platform::removeAttributeAt(path, platform::CommentAttribute);
        }
    }
    NoteRecord record;
    record.folder = folder;
    record.name = name.toByteArray();
    record.noteHash = NoteRecord::hashOf(note);
    record.mirrored = mirrored;
    platform::writeAttributeAt(path, RecordAttribute, record.encode());
    return !stale;
}

} // namespace notes
