#pragma once
// One folder as the search index keeps it: every file a listing of the folder makes a row of,
// packed (the names' bytes one after the other, the notes likewise, and a small record per
// file with what a result row needs), its subfolders in listing order, and the stamp it had
// when it was read, by which a later look tells whether it may have changed.

#include "core/FileRows.h"

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

namespace platform {
class OpenFolder;
}

namespace search {

// What tells a folder's state without reading it: the folder's identity and change times, and
// its notes file's identity, size and change times.
struct FolderStamp
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 changedNs = 0;
    qint64 modifiedNs = 0;
    bool notes = false; // a notes file is there
    bool notesLink = false;
    quint64 notesDevice = 0;
    quint64 notesInode = 0;
    qint64 notesSize = 0;
    qint64 notesChangedNs = 0;
    qint64 notesModifiedNs = 0;

    bool operator==(const FolderStamp&) const = default;
    // The latest of its times, in ns since the epoch.
    qint64 latestNs() const;
};

// The stamp of the open folder `fd`, or (with a path ending in "/") of the folder there,
// relative to the open folder `at` when it is given; false when it cannot be taken.
bool readStamp(int fd, FolderStamp* out, const QByteArray& path = QByteArray(), int at = -1);
// The present time as file systems stamp files, in ns since the epoch.
qint64 fileClockNs();

class FolderRecord
{
public:
    // 24 bytes a file: sizes below 1 TiB and times within 17,000 years of 1970 fit; a file
    // beyond them is looked at on disk whenever it is found. A file's name and note end where
    // the next file's begin.
    struct __attribute__((packed, aligned(4))) File
    {
        quint32 nameAt = 0; // its name's subject in subjects
        quint32 noteAt = 0; // its note in notes
        // Its place in the order of every name of the index by the result list's name column
        // (equal for names that sort alike); kNoRank when not placed yet.
        quint32 rank = 0xFFFFFFFF;
        quint8 attributes = 0; // as listed: R and a dot name's H
        quint8 flags = 0;
        quint8 sizeBytes[5] = {};
        quint8 timeBytes[5] = {};

        qint64 size() const { return qint64(load(sizeBytes)); }
        qint64 modifiedSeconds() const
        {
            const quint64 raw = load(timeBytes);
            return raw & (quint64(1) << 39) ? qint64(raw | ~((quint64(1) << 40) - 1)) : qint64(raw);
        }
        // False when the number does not fit.
        bool setSize(qint64 size)
        {
            store(sizeBytes, quint64(size));
            return size >= 0 && size < (qint64(1) << 40);
        }
        bool setModifiedSeconds(qint64 seconds)
        {
            store(timeBytes, quint64(seconds));
            return seconds >= -(qint64(1) << 39) && seconds < (qint64(1) << 39);
        }

    private:
        static quint64 load(const quint8* b)
        {
            return quint64(b[0]) | quint64(b[1]) << 8 | quint64(b[2]) << 16 | quint64(b[3]) << 24 |
                   quint64(b[4]) << 32;
        }
        static void store(quint8* b, quint64 v)
        {
            for (int i = 0; i < 5; ++i)
                b[i] = quint8(v >> (8 * i));
        }
    };
    static_assert(sizeof(File) == 24);
    static constexpr quint32 kNoRank = 0xFFFFFFFF;
    enum FileFlag : quint8
    {
        StoredLater = 1,    // the row reads the stored flags when shown
        CaptionDecoded = 2, // the caption is the GB18030 reading of the name's bytes
        KeptName = 4,       // the name is no UTF-8: its bytes lie aside, the subject is the caption
        Link = 8,           // a symbolic link: what it shows lies elsewhere
        Oversize = 16,      // its size or time does not fit the record
    };
    struct Subfolder
    {
        QByteArray name;
        quint32 filesBefore = 0; // the files listed before it
        bool isLink = false;
    };
    // A name that is no UTF-8: its bytes and its caption.
    struct Kept
    {
        quint32 file = 0;
        QByteArray bytes;
        QString caption;
    };

    // Reads the folder through its handle: its stamp first, then every file with its note
    // and every subfolder. Returns false when it could not be read to its end (it then holds
    // nothing). Without `details` its files are not looked at on disk: their sizes, times and
    // R attributes are left unknown, for a reader that looks at a file before it shows it.
    bool read(const platform::OpenFolder& folder, int fd, bool details = true);

    size_t fileCount() const { return files.size(); }
    // Where file i's subject and note end.
    size_t nameEnd(size_t i) const
    {
        return i + 1 < files.size() ? files[i + 1].nameAt : subjects.size();
    }
    size_t noteEnd(size_t i) const
    {
        return i + 1 < files.size() ? files[i + 1].noteAt : notes.size();
    }
    size_t nameLength(size_t i) const { return nameEnd(i) - files[i].nameAt; }
    size_t noteLength(size_t i) const { return noteEnd(i) - files[i].noteAt; }
    QByteArrayView subject(size_t i) const
    {
        return QByteArrayView(subjects.data() + files[i].nameAt, qsizetype(nameLength(i)));
    }
    QStringView note(size_t i) const
    {
        return QStringView(notes.data() + files[i].noteAt, qsizetype(noteLength(i)));
    }
    // The name's bytes on disk.
    QByteArrayView nameBytes(size_t i) const;
    // The caption as text (for a keyword that UTF-8 cannot spell).
    QString caption(size_t i) const;
    // Adds file i to `out` as a listing would, in the folder `folderIndex` of `out`; with
    // `seen`, its size and time as just looked at.
    void addRow(size_t i, quint32 folderIndex, core::FileRows& out,
                const std::pair<qint64, qint64>* seen = nullptr) const;
    // Looks at file i on disk again through the open folder, or by its path when none is
    // given; false when it is no file now. `seen` gets its size and time.
    bool restat(size_t i, const platform::OpenFolder* folder,
                std::pair<qint64, qint64>* seen = nullptr);
    // The index of the file named `name` (its bytes), or -1.
    qsizetype findFile(QByteArrayView name) const;
    // The files before the subfolder part `part` (0 .. subfolders.size() + 1).
    quint32 boundary(size_t part) const
    {
        return part == 0                  ? 0
               : part > subfolders.size() ? quint32(files.size())
                                          : subfolders[part - 1].filesBefore;
    }
    // Gives each file the rank its name had in `old` (the folder as read before); returns
    // how many are left without one.
    size_t takeRanks(const FolderRecord& old);
    // True when the subfolders, identity and completeness are those of `other`.
    bool sameShape(const FolderRecord& other) const;
    // The bytes it holds beyond its record.
    size_t memory() const;

    // What a search looks at first, together: the files, the runs, the subfolders.
    std::vector<File> files;
    // Which runs of three name bytes and of two note units its files hold, as one bit each of
    // a few words (a run may share its bit with others): a keyword with a run not there is
    // found in none of its files. The words of the names' runs, then those of the notes'.
    std::vector<quint64> runs;
    quint32 nameWords = 0;
    std::vector<Subfolder> subfolders;
    std::string subjects;
    std::u16string notes;
    std::vector<Kept> kept;
    QString path; // ending in "/", as result rows show it
    FolderStamp stamp;
    bool opened = false;   // the folder could be opened
    bool complete = false; // read to its end
    qint64 readAtNs = 0;   // when it was read

    // Makes both from the names and notes.
    void makeRuns();
    // The bits of a keyword's runs, to test folders with; empty when it is too short to have
    // one.
    static std::vector<quint32> nameRunsOf(const std::string& keyword);
    static std::vector<quint32> noteRunsOf(QStringView keyword);
    // False when no file's name (or note) can hold the keyword of `keyRuns`.
    bool mayHold(bool byNote, const std::vector<quint32>& keyRuns) const
    {
        if (keyRuns.empty())
            return true;
        const quint64* bits = runs.data() + (byNote ? nameWords : 0);
        const quint64 count = (byNote ? runs.size() - nameWords : nameWords) * 64;
        for (const quint32 hash : keyRuns) {
            const quint64 bit = (quint64(hash) * count) >> 32;
            if (count == 0 || !(bits[bit >> 6] & (quint64(1) << (bit & 63))))
                return false;
        }
        return true;
    }

private:
    const Kept* keptOf(size_t i) const;
};

// A text in UTF-8, a surrogate that stands alone written as if it were a character; so any
// text, a name's kept bytes included, has one spelling and a keyword without surrogates is
// found in it exactly where it is found in the text.
void appendWtf8(std::string& out, QStringView text);

} // namespace search
