#include "notes/NotesSnapshot.h"

#include "notes/NotesFile.h"
#include "platform/IniDocument.h"
#include "platform/TextHash.h"


namespace notes {

namespace {

quint32 hashOf(QStringView text)
{
    return quint32(platform::textHash(text));
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

// Hands each unit of `text` case-folded, character by character (as QString::toCaseFolded
// folds), to `take`.
template <typename Take>
void forEachFolded(QStringView text, Take&& take)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit < 0x80) {
            take(char16_t(unit >= 'A' && unit <= 'Z' ? unit + 32 : unit));
            continue;
        }
        char32_t c = unit;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(char16_t(c), text[i + 1].unicode());
            ++i;
        }
        const char32_t folded = QChar::toCaseFolded(c);
        if (QChar::requiresSurrogates(folded)) {
            take(QChar::highSurrogate(folded));
            take(QChar::lowSurrogate(folded));
        } else {
            take(char16_t(folded));
        }
    }
}

void appendFolded(QString& out, QStringView text)
{
    forEachFolded(text, [&](char16_t unit) { out.append(QChar(unit)); });
}

// A hash of text units, one at a time.
struct UnitHash
{
    quint32 value = 2166136261u;
    void add(char16_t unit) { value = (value ^ unit) * 16777619u; }
};

// The hash of `text` case-folded, without making the folded text; equal to the hash of the
// folded text's units.
quint32 foldedHashOf(QStringView text)
{
    UnitHash hash;
    forEachFolded(text, [&](char16_t unit) { hash.add(unit); });
    return hash.value;
}

quint32 unitHashOf(QStringView folded)
{
    UnitHash hash;
    for (const QChar c : folded)
        hash.add(c.unicode());
    return hash.value;
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
        const quint32 hash = unitHashOf(folded);
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
    // Most captions fold to no key: the folded caption is made only for a key of its hash.
    const quint32 hash = foldedHashOf(caption);
    static thread_local QString folded;
    bool madeFolded = false;
    qsizetype first = -1;
    const size_t mask = m_foldSlots.size() - 1;
    for (size_t slot = hash & mask; m_foldSlots[slot].entry != 0; slot = (slot + 1) & mask) {
        const Slot& taken = m_foldSlots[slot];
        if (taken.hash != hash)
            continue;
        if (!madeFolded) {
            folded.resize(0);
            appendFolded(folded, caption);
            madeFolded = true;
        }
        const auto& [at, length] = m_foldedAt[taken.entry - 1];
        if (QStringView(m_folded).sliced(at, length) == folded) {
            first = qsizetype(taken.entry) - 1;
            break;
        }
    }
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
