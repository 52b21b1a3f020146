#pragma once
// The rows of a list held compactly: a fixed record per row, the names as their bytes on disk
// and the notes as text in shared buffers, each folder once. A row costs a record and its
// bytes until it is shown; its texts (caption, size, date, attribute letters) are written when
// a view or a command asks for them, and the stored flags (A, S, H) are read only then.
//
// Rows come in from a listing (addListed: bytes, numbers and a note) or as whole FileRows from
// the commands; a row whose texts or caption are not the ones its fields give keeps them.

#include "core/FileRow.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <string>
#include <vector>

namespace core {

class FileRows
{
public:
    FileRows() = default;
    FileRows(FileRows&&) noexcept = default;
    FileRows& operator=(FileRows&&) noexcept = default;
    FileRows(const FileRows&) = delete;
    FileRows& operator=(const FileRows&) = delete;

    size_t size() const { return m_records.size(); }
    bool empty() const { return m_records.empty(); }
    void clear();
    void reserve(size_t rows) { m_records.reserve(rows); }
    // Room for names and notes of this many bytes and units more, for rows added next.
    void reserveText(size_t nameBytes, size_t noteUnits);
    // Gives back the room the buffers grew beyond what they hold.
    void squeeze();

    // The index of a folder path (ending in "/"), the same for the same text.
    quint32 folderIndex(const QString& folder);
    // The index of a folder path that the rows do not hold yet (the caller knows it).
    quint32 addFolder(const QString& folder);

    // A row as a listing finds it: the name's bytes, the numbers, and the note.
    struct Listed
    {
        QByteArrayView name;
        quint32 folder = 0;
        qint64 size = 0;
        qint64 modifiedSeconds = 0;
        platform::Attributes attributes = 0; // what the mode and the name give
        bool storedLater = false;            // the stored flags are read when first asked
        bool captionDecoded = false;         // the caption is the name's GB18030 reading
        QStringView note;
    };
    void addListed(const Listed& row);
    // Any row; its texts are kept where they differ from what its fields give.
    void add(const FileRow& row);
    // The rows of `other` after these.
    void append(FileRows&& other);
    // For appending the rows of `other` a part at a time: adopt() takes over what its rows
    // refer to (their bytes, notes and folders), appendAdopted() then appends rows of it.
    struct Adopted
    {
        quint32 chunkBase = 0;
        quint32 extraBase = 0;
        std::vector<quint32> folderOf;
    };
    Adopted adopt(FileRows& other);
    // The rows of `parts` one after the other, or with `order` in that order (row k is row
    // order[k] of the parts one after the other); the parts are left empty. Parts that hold
    // the same folders in the same places join fastest.
    static FileRows joined(std::vector<FileRows>& parts, const std::vector<int>* order = nullptr);
    void appendAdopted(const FileRows& other, const Adopted& adopted, size_t first, size_t end);

    QString name(size_t i) const;
    // The name's bytes on disk; empty when the row holds its name as text only.
    QByteArrayView nameBytes(size_t i) const;
    QString caption(size_t i) const;
    // The caption as the list shows it (unreadable bytes as U+FFFD).
    QString shownCaption(size_t i) const;
    QString note(size_t i) const;
    QStringView noteView(size_t i) const;
    const QString& folder(size_t i) const { return m_folders[m_records[i].folder]; }
    quint32 folderOf(size_t i) const { return m_records[i].folder; }
    const std::vector<QString>& folders() const { return m_folders; }
    qint64 size(size_t i) const { return m_records[i].size; }
    qint64 modifiedMs(size_t i) const { return m_records[i].modifiedMs; }
    // The attributes with the stored flags, which are read once when still left for later.
    platform::Attributes attributes(size_t i) const;
    bool storedFlagsLater(size_t i) const { return m_records[i].flags & StoredLater; }
    // The attributes as listed, the stored flags not read.
    platform::Attributes listedAttributes(size_t i) const { return m_records[i].attributes; }
    // True when the caption is the GB18030 reading of the name's bytes.
    bool captionDecoded(size_t i) const { return m_records[i].flags & CaptionDecoded; }
    QString sizeText(size_t i) const;
    QString dateText(size_t i) const;
    QString attrText(size_t i) const;
    // The whole row: with `complete` its stored flags read and every text written, else as
    // listed (size and date texts and stored flags maybe left for later).
    FileRow row(size_t i, bool complete) const;
    // True when the row's name is exactly `name`, whose bytes are `nativeName`.
    bool nameIs(size_t i, const QString& name, const QByteArray& nativeName) const;
    // True when the caption is the name as it is (a name in UTF-8).
    bool captionIsName(size_t i) const;

    void setNote(size_t i, QStringView note);
    void setAttributes(size_t i, platform::Attributes attributes, const QString& text);
    void set(size_t i, const FileRow& row);
    void erase(size_t first, size_t last); // rows first..last
    // Keeps the rows whose flag is false.
    void eraseMarked(const std::vector<bool>& marked);
    // Row k becomes what row order[k] was.
    void reorder(const std::vector<int>& order);
    // Folders that start with `from` start with `to` instead; returns the rows that changed.
    std::vector<int> rebaseFolders(const QString& from, const QString& to);

private:
    enum Flag : quint8
    {
        StoredLater = 0x01,
        CaptionDecoded = 0x02,
    };
    // 40 bytes a row: the name and the note lie in one chunk.
    struct Record
    {
        quint32 chunk = 0;
        quint32 nameAt = 0;
        quint32 noteAt = 0;
        quint32 folder = 0;
        quint32 extra = 0; // 0: none, else the index of its Extra + 1
        quint16 nameLength = 0;
        quint16 noteLength = 0;
        qint64 modifiedMs = 0;
        qint64 size : 48;
        quint64 attributes : 8;
        quint64 flags : 8;
        Record() : size(0), attributes(0), flags(0) {}
    };
    static_assert(sizeof(Record) == 40);
    // Bytes of names and text of notes, shared by the rows of one listing or one folder.
    struct Chunk
    {
        std::string names;
        std::u16string notes;
    };
    // What a row holds beyond its record, each where its fields do not give it: a name that
    // its bytes cannot carry, a caption that is neither the name nor its GB18030 reading, a
    // note too long for the record, texts given as they are.
    struct Extra
    {
        QString name;
        QString caption;
        QString note;
        QString sizeText;
        QString dateText;
        QString attrText;
        bool hasName = false;
        bool hasCaption = false;
        bool hasNote = false;
        bool hasSizeText = false;
        bool hasDateText = false;
        bool hasAttrText = false;
    };

    // The chunk new names and notes go into.
    Chunk& currentChunk(quint32* index);
    // Puts the name's bytes and then the note into the current chunk; false for what a
    // record cannot hold (it then goes into the row's Extra).
    bool putName(Record& record, QByteArrayView bytes);
    bool putNote(Record& record, QStringView note);
    // Moves the row's name into the current chunk, where its new note goes.
    void rehome(Record& record);
    const Extra* extraOf(const Record& record) const
    {
        return record.extra ? &m_extras[record.extra - 1] : nullptr;
    }
    Extra& makeExtra(Record& record);
    Record recordOf(const FileRow& row);

    // Records read their stored flags when first asked, also through a const list.
    mutable std::vector<Record> m_records;
    std::vector<Chunk> m_chunks;
    std::vector<Extra> m_extras;
    std::vector<QString> m_folders;
    QHash<QString, quint32> m_folderIndex;
};

} // namespace core
