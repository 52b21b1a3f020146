#pragma once
// A file's note mirrored to its comment attribute ("user.xdg.comment"), which the desktop's
// file managers show. The notes file stays the truth: every change of a note is written there
// first and its file's comment follows once the notes file is written. Where the comment
// cannot be written (a file system without user attributes, a read-only file, a link, which is
// never followed) nothing is reported and the notes file alone holds the note.

#include <QList>
#include <QString>

namespace core {

class NoteMirror
{
public:
    // The option that turns the mirror on (the default) or off; off leaves the comments that
    // files carry as they are.
    static void setEnabled(bool enabled);
    static bool enabled();

    // Gathers the notes that change while it lives, for one write of a notes file; commit()
    // gives them to the files once that write has succeeded. A change made where no batch
    // lives belongs to no write and is not mirrored.
    class Batch
    {
    public:
        Batch();
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        void commit();

    private:
        friend class NoteMirror;
        struct Change
        {
            QString dir;
            QString caption;
            QString text; // blank: the comment goes
        };
        Batch* m_outer;
        QList<Change> m_changes;
    };

    // The note of the file shown as `caption` in `dir` is now `text` (blank when removed),
    // in a notes file the current batch is about to write.
    static void noteChanged(const QString& dir, const QString& caption, const QString& text);
    // The notes file holds this note already: its file's comment follows now. For a file
    // whose note was written before it arrived.
    static void noteWritten(const QString& dir, const QString& caption, const QString& text);

    // The comment a file brings along, as a note: one line, cut to what a note holds; empty
    // when it carries none.
    static QString commentOf(const QString& path);
    // The same for a path given as its bytes.
    static QString commentAt(const QByteArray& nativePath);
    // The address a downloader recorded for the file; empty when none.
    static QString originOf(const QString& path);
    // Whether an address may be handed to the desktop to open: http, https and ftp only.
    static bool isOpenableAddress(const QString& address);

private:
    static void apply(const QList<Batch::Change>& changes);
};

} // namespace core
