#include "fileops/NoteCarrier.h"

#include "core/NotesStore.h"
#include "fileops/RowSteps.h"
#include "platform/FileNames.h"

#include <QHash>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <optional>

namespace fileops {

namespace {

// Files carried in one step of notes files; more are carried in further steps.
constexpr size_t kChunk = 1024;

QString shownKey(const QString& name)
{
    return platform::shownName(name).toCaseFolded();
}

} // namespace

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

NoteCarrier::NoteCarrier(QString targetDir, Transfer transfer, Outcome outcome)
    : m_targetDir(std::move(targetDir)), m_transfer(std::move(transfer)),
      m_outcome(std::move(outcome))
{
}

void NoteCarrier::setList(core::FileListModel* list, QItemSelectionModel* selection)
{
    m_list = list;
    m_selection = selection;
}

void NoteCarrier::add(Item item)
{
    if (m_list && m_selection && item.row.isValid())
        deselectRow(*m_list, *m_selection, item.row.row());
    m_shown.insert(shownKey(item.name));
    m_items.push_back(std::move(item));
    if (m_items.size() >= kChunk)
        carry();
}

void NoteCarrier::makeWayFor(const QString& name)
{
    if (m_shown.contains(shownKey(name)))
        carry();
}

struct NoteCarrier::Written
{
    qsizetype item = 0;
    QString key;                   // the key the note went under, spelled as in the file
    std::optional<QString> before; // what that key held before
};

void NoteCarrier::carry()
{
    if (m_items.empty())
        return;
    std::vector<Item> items = std::exchange(m_items, {});
    m_shown.clear();
    const qsizetype count = qsizetype(items.size());

    // The notes as they are now: one read of each old notes file. A file whose notes file
    // cannot be read cannot take its note along, so it stays where it is.
    QHash<QString, std::optional<platform::IniDocument>> sources;
    std::vector<bool> held(size_t(count), false);
    for (qsizetype i = 0; i < count; ++i) {
        Item& item = items[size_t(i)];
        auto source = sources.find(item.sourceDir);
        if (source == sources.end())
            source =
                sources.insert(item.sourceDir, core::NotesFile::open(item.sourceDir).document());
        held[size_t(i)] = !*source;
        item.note = *source
                        ? core::noteIn(**source, item.sourceDir, item.sourceKey).value_or(QString())
                        : QString();
    }
    const auto noted = [&](qsizetype i) { return !core::isBlankNote(items[size_t(i)].note); };

    // The target's notes, before any file leaves.
    const core::NotesFile target = core::NotesFile::open(m_targetDir);
    std::vector<Written> written;
    qsizetype stop = count; // the first file that stays where it is
    std::exception_ptr failure;
    qsizetype firstNoted = 0;
    while (firstNoted < count && !noted(firstNoted))
        ++firstNoted;
    if (firstNoted < count) {
        try {
            target.update([&](platform::IniDocument& document) {
                written.clear();
                stop = count;
                failure = nullptr;
                for (qsizetype i = firstNoted; i < count; ++i) {
                    const Item& item = items[size_t(i)];
                    if (!noted(i))
                        continue;
                    if (!core::canBeKeyIn(document, item.targetKey)) {
                        stop = i;
                        failure = std::make_exception_ptr(core::NoteKeyError(item.targetKey));
                        break;
                    }
                    const QString key = core::noteKeyIn(document, m_targetDir, item.targetKey)
                                            .value_or(item.targetKey);
                    written.push_back(
                        {i, key, document.value(core::NotesSection, key, Qt::CaseSensitive)});
                    document.setValue(core::NotesSection, key, core::oneLineNote(item.note),
                                      Qt::CaseSensitive);
                }
                return !written.empty();
            });
        } catch (const platform::WriteError&) {
            written.clear();
            failure = std::current_exception();
            stop = firstNoted;
        }
    }

    // The files.
    std::vector<platform::FsResult> results(static_cast<size_t>(stop));
    std::vector<bool> arrived(size_t(count), false);
    for (qsizetype i = 0; i < stop; ++i) {
        const Item& item = items[size_t(i)];
        results[size_t(i)] =
            held[size_t(i)] ? platform::FsResult{EIO}
                            : m_transfer(item, item.sourceDir + item.name, m_targetDir + item.name);
        arrived[size_t(i)] = results[size_t(i)].ok();
    }

    // A file that did not arrive leaves the target's key as it was.
    std::vector<const Written*> undo;
    for (const Written& w : written) {
        if (!arrived[size_t(w.item)])
            undo.push_back(&w);
    }
    if (!undo.empty()) {
        try {
            target.update([&](platform::IniDocument& document) {
                for (const Written* w : undo) {
                    if (w->before)
                        document.setValue(core::NotesSection, w->key, *w->before,
                                          Qt::CaseSensitive);
                    else
                        document.removeKey(core::NotesSection, w->key, Qt::CaseSensitive);
                }
                return true;
            });
        } catch (const platform::WriteError&) {
            // The note stays in both places, as after a crash; the file keeps its own.
        }
    }

    // An arrived file's key leaves its old notes file.
    QStringList folders;
    QHash<QString, QStringList> leaving;
    for (qsizetype i = 0; i < stop; ++i) {
        const Item& item = items[size_t(i)];
        const bool remove = item.sourceKeyRule == SourceKey::Remove ||
                            (item.sourceKeyRule == SourceKey::RemoveWhenNoted && noted(i));
        if (!arrived[size_t(i)] || !remove)
            continue;
        if (!leaving.contains(item.sourceDir))
            folders.append(item.sourceDir);
        leaving[item.sourceDir].append(item.sourceKey);
    }
    for (const QString& dir : folders)
        removeNotes(dir, leaving.value(dir));

    for (qsizetype i = 0; i < stop; ++i)
        m_outcome(items[size_t(i)], results[size_t(i)]);
    settleRows(items, arrived, stop);
    if (failure)
        std::rethrow_exception(failure);
}

void NoteCarrier::settleRows(const std::vector<Item>& items, const std::vector<bool>& arrived,
                             qsizetype stop)
{
    if (!m_list || !m_selection)
        return;
    // The files that stay where they are were not handled: their rows are selected again.
    for (qsizetype i = stop; i < qsizetype(items.size()); ++i) {
        if (items[size_t(i)].row.isValid())
            selectRow(*m_list, *m_selection, items[size_t(i)].row.row());
    }
    std::vector<int> gone;
    for (size_t i = 0; i < items.size(); ++i) {
        if (arrived[i] && items[i].row.isValid())
            gone.push_back(items[i].row.row());
    }
    std::sort(gone.begin(), gone.end());
    gone.erase(std::unique(gone.begin(), gone.end()), gone.end());
    if (!gone.empty())
        m_list->removeRowsAt(gone);
}

} // namespace fileops
