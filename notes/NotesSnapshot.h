#pragma once
// The notes of one directory read in one pass, for listing many files.
//
// A note belongs to the key spelled exactly like the file's caption. Notes files written on
// Windows may spell a key in other letter case; such a key still finds its file when no key
// is spelled exactly so and no other file of the folder has exactly that name, so that
// "Setup.exe" and "setup.exe" lying in one folder never share a note.
//
// Keys and notes are held in one text; a look-up hashes the caption it is given and makes
// no string of its own, so listing many files builds no string per file.

#include <QByteArray>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

namespace notes {

class NotesSnapshot
{
public:
    NotesSnapshot() = default;
    // The key lines of the notes file in file order.
    explicit NotesSnapshot(const QList<std::pair<QString, QString>>& entries);
    // The notes of a notes file's bytes.
    static NotesSnapshot fromFile(const QByteArray& bytes);

    // `isOtherFile(key)` tells whether a key names another file of the folder exactly.
    using OtherFile = std::function<bool(const QString& key)>;
    QString note(const QString& caption, const OtherFile& isOtherFile = {}) const;
    bool has(const QString& caption, const OtherFile& isOtherFile = {}) const;
    // The note of `caption` as a view into the snapshot, which must outlive it; a null view
    // when there is none.
    QStringView noteView(QStringView caption, const OtherFile& isOtherFile = {}) const;
    bool isEmpty() const { return m_entries.empty(); }
    qsizetype size() const { return qsizetype(m_entries.size()); } // key lines, duplicates counted

private:
    struct Entry
    {
        quint32 keyAt;
        quint32 keyLength;
        quint32 valueAt;
        quint32 valueLength;
    };
    // A slot of an index: the key's hash, and its entry + 1 (0 for an empty slot).
    struct Slot
    {
        quint32 hash = 0;
        quint32 entry = 0;
    };
    void add(QStringView key, QStringView value);
    QStringView keyOf(qsizetype entry) const;
    QStringView valueOf(qsizetype entry) const;
    // The first line of exactly this spelling, or -1.
    qsizetype exact(QStringView key) const;
    qsizetype find(QStringView caption, const OtherFile& isOtherFile) const;
    void makeExactIndex() const;
    void makeFoldIndex() const;

    QString m_text; // every key and note, one after the other
    std::vector<Entry> m_entries;
    // The indexes are made when they pay: a few look-ups in a short file read its lines.
    mutable int m_lookups = 0;
    // Open addressing by hash. The exact index holds the first line of each spelling; the
    // fold index the first line of each case-folded key, and m_nextFold the next line (in
    // file order) with the same folded key.
    mutable std::vector<Slot> m_exactSlots;
    mutable std::vector<Slot> m_foldSlots;
    mutable std::vector<qint32> m_nextFold;
    mutable QString m_folded; // the folded keys, one after the other
    mutable std::vector<std::pair<quint32, quint32>> m_foldedAt;
};

} // namespace notes
