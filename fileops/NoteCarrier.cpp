#include "fileops/NoteCarrier.h"

#include "core/NotesStore.h"
#include "fileops/RowSteps.h"
#include "platform/IniFile.h"

#include <algorithm>

namespace fileops {

namespace {

platform::IniFile notesIniOf(const QString& dir)
{
    return platform::IniFile(dir + core::NotesFileName);
}

} // namespace

void writeNotes(const QString& dir, const QList<std::pair<QString, QString>>& notes)
{
    if (notes.isEmpty())
        return;
    core::NotesFile::open(dir).update([&](platform::IniDocument& document) {
        for (const auto& [name, text] : notes)
            core::setNoteIn(document, dir, name, text);
        return true;
    });
}

void removeNotes(const QString& dir, const QStringList& names)
{
    if (names.isEmpty())
        return;
    try {
        core::NotesFile::open(dir).update([&](platform::IniDocument& document) {
            bool changed = false;
            for (const QString& name : names)
                changed = core::removeNoteIn(document, dir, name) || changed;
            return changed;
        });
    } catch (const platform::WriteError&) {
        // A key that cannot be removed stays; it shows again at the next listing.
    }
}

NoteCarrier::NoteCarrier(core::FileListModel& list, QItemSelectionModel& selection, QString boxDir)
    : m_list(list), m_selection(selection), m_boxDir(std::move(boxDir))
{
}

void NoteCarrier::fileMoved(int row, const QString& boxKey, const QString& note,
                            const QString& sourceDir, const QString& sourceKey,
                            bool removeSourceKey)
{
    if (!core::isBlankNote(note)) {
        if (!m_boxEncoding)
            m_boxEncoding = notesIniOf(m_boxDir).load().encoding();
        if (!platform::IniDocument::isStorableKey(boxKey) ||
            !platform::text::roundTrips(boxKey, *m_boxEncoding)) {
            flush();
            throw core::NoteKeyError(boxKey);
        }
        m_boxNotes.append({boxKey, note});
    }
    if (removeSourceKey)
        removeKeyLater(sourceDir, sourceKey);
    m_rows.append(QPersistentModelIndex(m_list.index(row, 0)));
    deselectRow(m_list, m_selection, row);
}

void NoteCarrier::removeKeyLater(const QString& dir, const QString& name)
{
    auto keys = m_keysToRemove.find(dir);
    if (keys == m_keysToRemove.end()) {
        m_sourceOrder.append(dir);
        keys = m_keysToRemove.insert(dir, {});
    }
    keys->append(name);
}

void NoteCarrier::flush()
{
    const QList<std::pair<QString, QString>> boxNotes = std::exchange(m_boxNotes, {});
    const QList<QString> sources = std::exchange(m_sourceOrder, {});
    const QHash<QString, QStringList> keys = std::exchange(m_keysToRemove, {});
    const QList<QPersistentModelIndex> rows = std::exchange(m_rows, {});
    try {
        writeNotes(m_boxDir, boxNotes);
    } catch (...) {
        // The files are in the box already; their rows stay and show the notes that are
        // still in the old notes files.
        for (const QPersistentModelIndex& index : rows) {
            if (index.isValid())
                selectRow(m_list, m_selection, index.row());
        }
        throw;
    }
    for (const QString& dir : sources)
        removeNotes(dir, keys.value(dir));

    std::vector<int> doomed;
    doomed.reserve(size_t(rows.size()));
    for (const QPersistentModelIndex& index : rows) {
        if (index.isValid())
            doomed.push_back(index.row());
    }
    // From the bottom up, so each removal leaves the other row numbers as they are.
    std::sort(doomed.begin(), doomed.end(), std::greater<>());
    for (int row : doomed)
        m_list.removeRowAt(row);
}

} // namespace fileops
