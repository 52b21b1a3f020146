#include "notes/NotesSnapshot.h"

#include "notes/NotesFile.h"
#include "platform/IniDocument.h"

#include <QHashFunctions>

namespace notes {

namespace {

quint32 hashOf(QStringView text)
{
    return quint32(qHash(text));
}

size_t slotCountFor(size_t entries)
{
    size_t count = 16;
    while (count < entries * 2)
        count *= 2;
    return count;
}

// The slot of `key` in an open-addressed index: the one holding it, or the empty one where it
// goes. `keyAt` gives the key of an entry.
template <typename Slots, typename KeyAt>
size_t probe(const Slots& index, quint32 hash, QStringView key, const KeyAt& keyAt)
{
    const size_t mask = index.size() - 1;
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const auto& taken = index[slot];
        if (taken.entry == 0 || (taken.hash == hash && keyAt(taken.entry - 1) == key))
            return slot;
    }
}

// Appends `text` case-folded, character by character (as QString::toCaseFolded folds).
void appendFolded(QString& out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(char16_t(c), text[i + 1].unicode());
            ++i;
        }
        const char32_t folded = QChar::toCaseFolded(c);
        if (QChar::requiresSurrogates(folded)) {
            out.append(QChar(QChar::highSurrogate(folded)));
            out.append(QChar(QChar::lowSurrogate(folded)));
        } else {
            out.append(QChar(char16_t(folded)));
        }
    }
}

} // namespace

NotesSnapshot::NotesSnapshot(const QList<std::pair<QString, QString>>& entries)
{
    qsizetype length = 0;
    for (const auto& [key, value] : entries)
        length += key.size() + value.size();
    m_text.reserve(length);
    m_entries.reserve(size_t(entries.size()));
    for (const auto& [key, value] : entries)
        add(key, value);
}

NotesSnapshot NotesSnapshot::fromFile(const QByteArray& bytes)
{
    // The keys and notes stay where the reader found them, in the file's text.
    platform::IniDocument::SectionText read =
        platform::IniDocument::readSectionText(bytes, NotesSection);
    NotesSnapshot snapshot;
    snapshot.m_text = std::move(read.text);
    snapshot.m_entries.reserve(read.lines.size());
    for (const platform::IniDocument::SectionText::Line& line : read.lines)
        snapshot.m_entries.push_back({quint32(line.keyAt), quint32(line.keyLength),
                                      quint32(line.valueAt), quint32(line.valueLength)});
    return snapshot;
}

void NotesSnapshot::add(QStringView key, QStringView value)
{
    const auto keyAt = quint32(m_text.size());
    m_text.append(key);
    m_text.append(value);
    m_entries.push_back(
        {keyAt, quint32(key.size()), keyAt + quint32(key.size()), quint32(value.size())});
}

QStringView NotesSnapshot::keyOf(qsizetype entry) const
{
    const Entry& e = m_entries[size_t(entry)];
    return QStringView(m_text).sliced(e.keyAt, e.keyLength);
}

QStringView NotesSnapshot::valueOf(qsizetype entry) const
{
    const Entry& e = m_entries[size_t(entry)];
    // Never a null view for a note that is there, even an empty one.
    return e.valueLength == 0 ? QStringView(u"")
                              : QStringView(m_text).sliced(e.valueAt, e.valueLength);
}

void NotesSnapshot::makeExactIndex() const
{
    m_exactSlots.assign(slotCountFor(m_entries.size()), Slot());
    for (qsizetype e = 0; e < qsizetype(m_entries.size()); ++e) {
        const QStringView key = keyOf(e);
        const quint32 hash = hashOf(key);
        const auto keyAt = [this](qsizetype at) { return keyOf(at); };
        Slot& taken = m_exactSlots[probe(m_exactSlots, hash, key, keyAt)];
        if (taken.entry == 0)
            taken = {hash, quint32(e + 1)}; // the first line of a spelling holds its note
    }
}

qsizetype NotesSnapshot::exact(QStringView key) const
{
    // A short file is read line by line for its first few look-ups.
    constexpr int kLookupsBeforeIndex = 4;
    constexpr size_t kShortFile = 32;
    if (m_exactSlots.empty() && m_entries.size() <= kShortFile && m_lookups < kLookupsBeforeIndex) {
        ++m_lookups;
        for (qsizetype e = 0; e < qsizetype(m_entries.size()); ++e) {
            if (keyOf(e) == key)
                return e;
        }
        return -1;
    }
    if (m_exactSlots.empty())
        makeExactIndex();
    const auto keyAt = [this](qsizetype at) { return keyOf(at); };
    return qsizetype(m_exactSlots[probe(m_exactSlots, hashOf(key), key, keyAt)].entry) - 1;
}

void NotesSnapshot::makeFoldIndex() const
{
    m_foldSlots.assign(slotCountFor(m_entries.size()), Slot());
    m_nextFold.assign(m_entries.size(), -1);
    m_foldedAt.reserve(m_entries.size());
    // The last line chained so far, by the first line of its folded key.
    std::vector<qint32> lastOfFold(m_entries.size(), -1);
    for (qsizetype e = 0; e < qsizetype(m_entries.size()); ++e) {
        const auto at = quint32(m_folded.size());
        appendFolded(m_folded, keyOf(e));
        m_foldedAt.push_back({at, quint32(m_folded.size()) - at});
    }
    const auto foldedKey = [&](qsizetype e) {
        return QStringView(m_folded).sliced(m_foldedAt[size_t(e)].first,
                                            m_foldedAt[size_t(e)].second);
    };
    for (qsizetype e = 0; e < qsizetype(m_entries.size()); ++e) {
        const QStringView folded = foldedKey(e);
        const quint32 hash = hashOf(folded);
        Slot& taken = m_foldSlots[probe(m_foldSlots, hash, folded, foldedKey)];
        if (taken.entry == 0) {
            taken = {hash, quint32(e + 1)};
            lastOfFold[size_t(e)] = qint32(e);
        } else {
            qint32& last = lastOfFold[taken.entry - 1];
            m_nextFold[size_t(last)] = qint32(e);
            last = qint32(e);
        }
    }
}

qsizetype NotesSnapshot::find(QStringView caption, const OtherFile& isOtherFile) const
{
    if (m_entries.empty())
        return -1;
    if (const qsizetype found = exact(caption); found >= 0)
        return found;
    if (m_foldSlots.empty())
        makeFoldIndex();
    static thread_local QString folded;
    folded.resize(0);
    appendFolded(folded, caption);
    const auto foldedKey = [this](qsizetype e) {
        const auto& [at, length] = m_foldedAt[size_t(e)];
        return QStringView(m_folded).sliced(at, length);
    };
    const qsizetype first =
        qsizetype(m_foldSlots[probe(m_foldSlots, hashOf(folded), folded, foldedKey)].entry) - 1;
    // The spellings of the folded key in file order, each once (at its first line).
    for (qsizetype e = first; e >= 0; e = m_nextFold[size_t(e)]) {
        const QStringView key = keyOf(e);
        if (exact(key) != e)
            continue; // a spelling seen before
        if (!isOtherFile || !isOtherFile(key.toString()))
            return e;
    }
    return -1;
}

QStringView NotesSnapshot::noteView(QStringView caption, const OtherFile& isOtherFile) const
{
    const qsizetype found = find(caption, isOtherFile);
    return found < 0 ? QStringView() : valueOf(found);
}

QString NotesSnapshot::note(const QString& caption, const OtherFile& isOtherFile) const
{
    const qsizetype found = find(caption, isOtherFile);
    return found < 0 ? QString() : valueOf(found).toString();
}

bool NotesSnapshot::has(const QString& caption, const OtherFile& isOtherFile) const
{
    return find(caption, isOtherFile) >= 0;
}

} // namespace notes
