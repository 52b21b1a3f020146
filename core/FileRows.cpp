#include "core/FileRows.h"

#include "core/FileFormats.h"
#include "platform/FileNames.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <limits>
#include <thread>

namespace core {

namespace {

constexpr size_t kMostInRecord = std::numeric_limits<quint16>::max();

bool hasSurrogate(QStringView text)
{
    for (const QChar c : text) {
        if (c.isSurrogate())
            return true;
    }
    return false;
}

// Seconds of a date held in milliseconds, as the lists have always read it back.
qint64 secondsOf(qint64 ms)
{
    return ms / 1000;
}

} // namespace

void FileRows::clear()
{
    *this = FileRows();
}

void FileRows::squeeze()
{
    m_records.shrink_to_fit();
    for (Chunk& chunk : m_chunks) {
        chunk.names.shrink_to_fit();
        chunk.notes.shrink_to_fit();
    }
}

quint32 FileRows::folderIndex(const QString& folder)
{
    // Rows of a few folders look them up one by one; the index is made for many.
    constexpr size_t kFewFolders = 8;
    if (m_folders.size() < kFewFolders) {
        for (size_t f = 0; f < m_folders.size(); ++f) {
            if (m_folders[f] == folder)
                return quint32(f);
        }
    } else {
        if (m_folderIndex.isEmpty()) {
            for (size_t f = 0; f < m_folders.size(); ++f) {
                if (!m_folderIndex.contains(m_folders[f]))
                    m_folderIndex.insert(m_folders[f], quint32(f));
            }
        }
        const auto found = m_folderIndex.constFind(folder);
        if (found != m_folderIndex.cend())
            return *found;
    }
    return addFolder(folder);
}

quint32 FileRows::addFolder(const QString& folder)
{
    const auto index = quint32(m_folders.size());
    m_folders.push_back(folder);
    if (!m_folderIndex.isEmpty())
        m_folderIndex.insert(folder, index);
    return index;
}

void FileRows::reserveText(size_t nameBytes, size_t noteUnits)
{
    quint32 index = 0;
    Chunk& chunk = currentChunk(&index);
    chunk.names.reserve(chunk.names.size() + nameBytes);
    chunk.notes.reserve(chunk.notes.size() + noteUnits);
}

FileRows::Chunk& FileRows::currentChunk(quint32* index)
{
    if (m_chunks.empty())
        m_chunks.emplace_back();
    *index = quint32(m_chunks.size() - 1);
    return m_chunks.back();
}

bool FileRows::putName(Record& record, QByteArrayView bytes)
{
    if (size_t(bytes.size()) > kMostInRecord)
        return false;
    Chunk& chunk = currentChunk(&record.chunk);
    record.nameAt = quint32(chunk.names.size());
    record.nameLength = quint16(bytes.size());
    chunk.names.append(bytes.data(), size_t(bytes.size()));
    return true;
}

bool FileRows::putNote(Record& record, QStringView note)
{
    if (size_t(note.size()) > kMostInRecord)
        return false;
    Chunk& chunk = currentChunk(&record.chunk);
    record.noteAt = quint32(chunk.notes.size());
    record.noteLength = quint16(note.size());
    chunk.notes.append(reinterpret_cast<const char16_t*>(note.data()), size_t(note.size()));
    return true;
}

FileRows::Extra& FileRows::makeExtra(Record& record)
{
    if (!record.extra) {
        m_extras.emplace_back();
        record.extra = quint32(m_extras.size());
    }
    return m_extras[record.extra - 1];
}

void FileRows::addListed(const Listed& row)
{
    Record record;
    record.folder = row.folder;
    record.size = row.size;
    record.modifiedMs = (row.modifiedSeconds - ((row.modifiedSeconds % 2) + 2) % 2) * 1000;
    record.attributes = quint8(row.attributes);
    record.flags =
        quint8((row.storedLater ? StoredLater : 0) | (row.captionDecoded ? CaptionDecoded : 0));
    if (!putName(record, row.name)) {
        Extra& extra = makeExtra(record);
        extra.name = platform::pathFromNative(row.name);
        extra.hasName = true;
    }
    if (!putNote(record, row.note)) {
        Extra& extra = makeExtra(record);
        extra.note = row.note.toString();
        extra.hasNote = true;
    }
    m_records.push_back(record);
}

FileRows::Record FileRows::recordOf(const FileRow& row)
{
    Record record;
    Extra extra;
    const QByteArray bytes = platform::nativePath(row.name);
    // A name with a surrogate that is no kept byte has no bytes that read back as it.
    const bool keptAsBytes = !hasSurrogate(row.name) || platform::pathFromNative(bytes) == row.name;
    if (!keptAsBytes || !putName(record, bytes)) {
        extra.name = row.name;
        extra.hasName = true;
    }
    if (row.caption == row.name) {
        // the caption is the name
    } else if (!extra.hasName && platform::hasKeptBytes(row.name) &&
               row.caption == platform::captionOfName(row.name)) {
        record.flags |= CaptionDecoded;
    } else {
        extra.caption = row.caption;
        extra.hasCaption = true;
    }
    if (!putNote(record, row.note)) {
        extra.note = row.note;
        extra.hasNote = true;
    }
    record.folder = folderIndex(row.folder);
    record.size = row.size;
    record.modifiedMs = row.modifiedMs;
    record.attributes = quint8(row.attributes);
    if (row.storedAttributesLater)
        record.flags |= StoredLater;
    if (!row.textsLater) {
        if (row.sizeText != SizeText(row.size)) {
            extra.sizeText = row.sizeText;
            extra.hasSizeText = true;
        }
        if (row.dateText != FileDateText(secondsOf(row.modifiedMs))) {
            extra.dateText = row.dateText;
            extra.hasDateText = true;
        }
    }
    // Letters for flags still to be read are written once they are.
    if (!row.storedAttributesLater && row.attrText != AttrText(row.attributes)) {
        extra.attrText = row.attrText;
        extra.hasAttrText = true;
    }
    if (extra.hasName || extra.hasCaption || extra.hasNote || extra.hasSizeText ||
        extra.hasDateText || extra.hasAttrText) {
        m_extras.push_back(std::move(extra));
        record.extra = quint32(m_extras.size());
    }
    return record;
}

void FileRows::add(const FileRow& row)
{
    m_records.push_back(recordOf(row));
}

void FileRows::append(FileRows&& other)
{
    if (other.empty())
        return;
    if (empty() && m_folders.empty()) {
        *this = std::move(other);
        return;
    }
    const Adopted adopted = adopt(other);
    appendAdopted(other, adopted, 0, other.size());
    other.clear();
}

FileRows::Adopted FileRows::adopt(FileRows& other)
{
    Adopted adopted;
    adopted.chunkBase = quint32(m_chunks.size());
    adopted.extraBase = quint32(m_extras.size());
    for (Chunk& chunk : other.m_chunks)
        m_chunks.push_back(std::move(chunk));
    for (Extra& extra : other.m_extras)
        m_extras.push_back(std::move(extra));
    other.m_chunks.clear();
    other.m_extras.clear();
    // Parts of one list made with the same folders in the same places take them as they are.
    adopted.folderOf.resize(other.m_folders.size());
    for (size_t f = 0; f < other.m_folders.size(); ++f) {
        adopted.folderOf[f] = f < m_folders.size() && m_folders[f] == other.m_folders[f]
                                  ? quint32(f)
                                  : folderIndex(other.m_folders[f]);
    }
    return adopted;
}

FileRows FileRows::joined(std::vector<FileRows>& parts, const std::vector<int>* order)
{
    FileRows out;
    if (parts.empty())
        return out;
    if (parts.size() == 1 && !order) {
        out = std::move(parts[0]);
        parts[0].clear();
        return out;
    }
    size_t total = 0;
    for (const FileRows& part : parts)
        total += part.size();
    // The first part's texts and folders stay where they are; the others' are taken over.
    std::vector<std::vector<Record>> records(parts.size());
    std::vector<Adopted> adopted(parts.size());
    records[0].swap(parts[0].m_records);
    out = std::move(parts[0]);
    adopted[0].folderOf.resize(out.m_folders.size());
    for (size_t f = 0; f < out.m_folders.size(); ++f)
        adopted[0].folderOf[f] = quint32(f);
    std::vector<size_t> ends(parts.size());
    ends[0] = records[0].size();
    for (size_t p = 1; p < parts.size(); ++p) {
        adopted[p] = out.adopt(parts[p]);
        records[p].swap(parts[p].m_records);
        parts[p].clear();
        ends[p] = ends[p - 1] + records[p].size();
    }
    const auto moved = [&](size_t p, size_t i) {
        Record record = records[p][i];
        record.chunk += adopted[p].chunkBase;
        record.folder = adopted[p].folderOf[record.folder];
        if (record.extra)
            record.extra += adopted[p].extraBase;
        return record;
    };
    out.m_records.reserve(total);
    if (!order) {
        for (size_t p = 0; p < parts.size(); ++p) {
            for (size_t i = 0; i < records[p].size(); ++i)
                out.m_records.push_back(moved(p, i));
        }
        return out;
    }
    // Gathered in the new order: each row is read once where it lies and written in its place,
    // a long list in two halves side by side.
    out.m_records.resize(order->size());
    const auto gather = [&](size_t from, size_t to) {
        const auto partOf = [&](size_t at) {
            return size_t(std::upper_bound(ends.begin(), ends.end(), at) - ends.begin());
        };
        for (size_t k = from; k < to; ++k) {
            if (k + 8 < to) {
                const auto ahead = size_t((*order)[k + 8]);
                const size_t p = partOf(ahead);
                __builtin_prefetch(&records[p][ahead - (p ? ends[p - 1] : 0)]);
            }
            const auto at = size_t((*order)[k]);
            const size_t p = partOf(at);
            out.m_records[k] = moved(p, at - (p ? ends[p - 1] : 0));
        }
    };
    const size_t half = order->size() / 2;
    if (order->size() >= 100000) {
        std::thread other(gather, half, order->size());
        gather(0, half);
        other.join();
    } else {
        gather(0, order->size());
    }
    return out;
}

void FileRows::appendAdopted(const FileRows& other, const Adopted& adopted, size_t first,
                             size_t end)
{
    for (size_t i = first; i < end; ++i) {
        Record record = other.m_records[i];
        record.chunk += adopted.chunkBase;
        record.folder = adopted.folderOf[record.folder];
        if (record.extra)
            record.extra += adopted.extraBase;
        m_records.push_back(record);
    }
}

QByteArrayView FileRows::nameBytes(size_t i) const
{
    const Record& r = m_records[i];
    const Extra* extra = extraOf(r);
    if (extra && extra->hasName)
        return {};
    return QByteArrayView(m_chunks[r.chunk].names.data() + r.nameAt, r.nameLength);
}

QString FileRows::name(size_t i) const
{
    const Extra* extra = extraOf(m_records[i]);
    if (extra && extra->hasName)
        return extra->name;
    return platform::pathFromNative(nameBytes(i));
}

bool FileRows::captionIsName(size_t i) const
{
    const Record& r = m_records[i];
    const Extra* extra = extraOf(r);
    return !(r.flags & CaptionDecoded) && !(extra && extra->hasCaption);
}

QString FileRows::caption(size_t i) const
{
    const Record& r = m_records[i];
    const Extra* extra = extraOf(r);
    if (extra && extra->hasCaption)
        return extra->caption;
    if (r.flags & CaptionDecoded)
        return platform::text::decode(nameBytes(i), platform::TextEncoding::Gb18030);
    return name(i);
}

QString FileRows::shownCaption(size_t i) const
{
    return platform::displayText(caption(i));
}

QStringView FileRows::noteView(size_t i) const
{
    const Record& r = m_records[i];
    const Extra* extra = extraOf(r);
    if (extra && extra->hasNote)
        return extra->note;
    if (r.noteLength == 0)
        return {};
    return QStringView(m_chunks[r.chunk].notes.data() + r.noteAt, r.noteLength);
}

QString FileRows::note(size_t i) const
{
    const Extra* extra = extraOf(m_records[i]);
    if (extra && extra->hasNote)
        return extra->note;
    return noteView(i).toString();
}

platform::Attributes FileRows::attributes(size_t i) const
{
    Record& r = m_records[i];
    if (r.flags & StoredLater) {
        r.flags &= quint8(~StoredLater);
        r.attributes |= quint8(platform::FileSystem::local().storedAttributes(folder(i) + name(i)));
    }
    return r.attributes;
}

QString FileRows::sizeText(size_t i) const
{
    const Extra* extra = extraOf(m_records[i]);
    return extra && extra->hasSizeText ? extra->sizeText : SizeText(m_records[i].size);
}

QString FileRows::dateText(size_t i) const
{
    const Extra* extra = extraOf(m_records[i]);
    return extra && extra->hasDateText ? extra->dateText
                                       : FileDateText(secondsOf(m_records[i].modifiedMs));
}

QString FileRows::attrText(size_t i) const
{
    const platform::Attributes value = attributes(i);
    const Extra* extra = extraOf(m_records[i]);
    return extra && extra->hasAttrText ? extra->attrText : AttrText(value);
}

FileRow FileRows::row(size_t i, bool complete) const
{
    const Record& r = m_records[i];
    const Extra* extra = extraOf(r);
    FileRow row;
    row.name = name(i);
    row.caption = captionIsName(i) ? row.name : caption(i);
    row.note = note(i);
    row.folder = folder(i);
    row.size = r.size;
    row.modifiedMs = r.modifiedMs;
    const bool textsGiven = extra && (extra->hasSizeText || extra->hasDateText);
    if (complete || textsGiven) {
        row.sizeText = sizeText(i);
        row.dateText = dateText(i);
    } else {
        row.textsLater = true;
    }
    if (complete || !(r.flags & StoredLater)) {
        row.attrText = attrText(i);
        row.attributes = r.attributes;
    } else {
        row.attributes = r.attributes;
        row.attrText = AttrText(r.attributes);
        row.storedAttributesLater = true;
    }
    return row;
}

bool FileRows::nameIs(size_t i, const QString& name, const QByteArray& nativeName) const
{
    const Extra* extra = extraOf(m_records[i]);
    if (extra && extra->hasName)
        return extra->name == name;
    return nameBytes(i) == QByteArrayView(nativeName) &&
           platform::pathFromNative(nativeName) == name;
}

void FileRows::rehome(Record& record)
{
    quint32 current = 0;
    Chunk& chunk = currentChunk(&current);
    if (record.chunk == current)
        return;
    const std::string& names = m_chunks[record.chunk].names;
    const auto at = quint32(chunk.names.size());
    chunk.names.append(names, record.nameAt, record.nameLength);
    record.chunk = current;
    record.nameAt = at;
}

void FileRows::setNote(size_t i, QStringView note)
{
    Record& r = m_records[i];
    rehome(r);
    if (putNote(r, note)) {
        if (r.extra)
            m_extras[r.extra - 1].hasNote = false;
        return;
    }
    Extra& extra = makeExtra(r);
    extra.note = note.toString();
    extra.hasNote = true;
}

void FileRows::setAttributes(size_t i, platform::Attributes attributes, const QString& text)
{
    Record& r = m_records[i];
    r.attributes = quint8(attributes);
    r.flags &= quint8(~StoredLater);
    if (text == AttrText(attributes)) {
        if (r.extra)
            m_extras[r.extra - 1].hasAttrText = false;
        return;
    }
    Extra& extra = makeExtra(r);
    extra.attrText = text;
    extra.hasAttrText = true;
}

void FileRows::set(size_t i, const FileRow& row)
{
    m_records[i] = recordOf(row);
}

void FileRows::erase(size_t first, size_t last)
{
    m_records.erase(m_records.begin() + qsizetype(first), m_records.begin() + qsizetype(last) + 1);
}

void FileRows::eraseMarked(const std::vector<bool>& marked)
{
    size_t kept = 0;
    for (size_t i = 0; i < m_records.size(); ++i) {
        if (!marked[i])
            m_records[kept++] = m_records[i];
    }
    m_records.resize(kept);
}

void FileRows::reorder(const std::vector<int>& order)
{
    // In place, cycle by cycle: a long list is not held twice.
    std::vector<bool> placed(order.size(), false);
    for (size_t start = 0; start < order.size(); ++start) {
        if (placed[start])
            continue;
        const Record first = m_records[start];
        size_t at = start;
        for (;;) {
            placed[at] = true;
            const auto from = size_t(order[at]);
            if (from == start) {
                m_records[at] = first;
                break;
            }
            m_records[at] = m_records[from];
            at = from;
        }
    }
}

std::vector<int> FileRows::rebaseFolders(const QString& from, const QString& to)
{
    std::vector<bool> moved(m_folders.size(), false);
    bool any = false;
    for (size_t f = 0; f < m_folders.size(); ++f) {
        if (!m_folders[f].startsWith(from))
            continue;
        m_folders[f].replace(0, from.size(), to);
        moved[f] = any = true;
    }
    std::vector<int> rows;
    if (!any)
        return rows;
    m_folderIndex.clear(); // made again when next asked
    for (size_t i = 0; i < m_records.size(); ++i) {
        if (moved[m_records[i].folder])
            rows.push_back(int(i));
    }
    return rows;
}

} // namespace core
