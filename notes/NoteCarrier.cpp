#include "notes/NoteCarrier.h"

#include "notes/NotesFile.h"
#include "notes/NotesWriter.h"
#include "platform/FileNames.h"

#include <cerrno>
#include <exception>

namespace notes {

namespace {

// Files carried in one step of notes files; more are carried in further steps.
constexpr size_t kChunk = 1024;

QString shownKey(const QString& name)
{
    return platform::shownName(name).toCaseFolded();
}

struct Written
{
    size_t item = 0;
    QString key;                   // the key the note went under, spelled as in the file
    std::optional<QString> before; // what that key held before
};

} // namespace

NoteCarrier::NoteCarrier(const platform::FileSystem& fs, QString targetDir, Transfer transfer,
                         Outcome outcome, Stayed stayed)
    : m_fs(fs), m_targetDir(std::move(targetDir)), m_transfer(std::move(transfer)),
      m_outcome(std::move(outcome)), m_stayed(std::move(stayed)), m_arrivals(fs, m_targetDir)
{
}

void NoteCarrier::makeWayFor(const QString& name)
{
    if (m_shown.contains(shownKey(name)))
        carry();
}

Arrival NoteCarrier::arrivalOf(const QString& sourceDir, const QString& name)
{
    makeWayFor(name);
    return m_arrivals.of(sourceDir + name, name);
}

void NoteCarrier::add(const QString& sourceDir, const QString& name, bool replacing, SourceKey rule,
                      qsizetype tag)
{
    Item item;
    item.sourceDir = sourceDir;
    item.name = name;
    item.replacing = replacing;
    item.sourceKeyRule = rule;
    item.tag = tag;
    item.identity = platform::identityOf(sourceDir + name);
    m_shown.insert(shownKey(item.name));
    m_items.push_back(std::move(item));
    if (m_items.size() >= kChunk)
        carry();
}

void NoteCarrier::carry()
{
    if (m_items.empty())
        return;
    std::vector<Item> items = std::exchange(m_items, {});
    m_shown.clear();
    const size_t count = items.size();

    // The notes as they are now: one read of each old notes file. A file whose notes file
    // cannot be read cannot take its note along, so it stays where it is; so does a file that
    // is not the one the command looked at.
    QHash<QString, std::optional<platform::IniDocument>> sources;
    std::vector<int> refused(count, 0);
    for (size_t i = 0; i < count; ++i) {
        Item& item = items[i];
        item.sourceCaption = captionInFolder(m_fs, item.sourceDir, item.name);
        item.targetCaption = captionInFolder(m_fs, m_targetDir, item.name);
        if (platform::identityOf(item.sourceDir + item.name) != item.identity) {
            refused[i] = ESTALE;
            continue;
        }
        auto source = sources.find(item.sourceDir);
        if (source == sources.end())
            source = sources.insert(item.sourceDir, NotesFile::open(item.sourceDir).document());
        if (!*source) {
            refused[i] = EIO;
            continue;
        }
        item.note = noteIn(**source, item.sourceDir, item.sourceCaption).value_or(QString());
    }
    const auto noted = [&](size_t i) { return refused[i] == 0 && !isBlankNote(items[i].note); };

    // The target's notes, before any file leaves.
    NotesWriter target(m_targetDir);
    std::vector<Written> written;
    size_t stop = count; // the first file that stays where it is
    std::exception_ptr failure;
    size_t firstNoted = 0;
    while (firstNoted < count && !noted(firstNoted))
        ++firstNoted;
    if (firstNoted < count) {
        try {
            target.update([&](platform::IniDocument& document) {
                written.clear();
                stop = count;
                failure = nullptr;
                for (size_t i = firstNoted; i < count; ++i) {
                    const Item& item = items[i];
                    if (!noted(i))
                        continue;
                    if (!canBeKeyIn(document, item.targetCaption)) {
                        stop = i;
                        failure = std::make_exception_ptr(NoteKeyError(item.targetCaption));
                        break;
                    }
                    const QString key = noteKeyIn(document, m_targetDir, item.targetCaption)
                                            .value_or(item.targetCaption);
                    written.push_back(
                        {i, key, document.value(NotesSection, key, Qt::CaseSensitive)});
                    document.setValue(NotesSection, key, oneLineNote(item.note), Qt::CaseSensitive);
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
    std::vector<platform::FsResult> results(stop);
    std::vector<bool> arrived(count, false);
    for (size_t i = 0; i < stop; ++i) {
        const Item& item = items[i];
        results[i] = refused[i]
                         ? platform::FsResult{refused[i]}
                         : m_transfer(item, item.sourceDir + item.name, m_targetDir + item.name);
        arrived[i] = results[i].ok();
        if (arrived[i])
            m_arrivals.arrived(item.name);
    }

    // A file that did not arrive leaves the target's key as it was; an arrived file's comment
    // follows the note it has there now (the one it brought, or the replaced file's).
    std::vector<const Written*> undo;
    for (const Written& w : written) {
        if (!arrived[w.item])
            undo.push_back(&w);
    }
    try {
        target.update([&](platform::IniDocument& document) {
            for (const Written* w : undo) {
                if (w->before)
                    document.setValue(NotesSection, w->key, *w->before, Qt::CaseSensitive);
                else
                    document.removeKey(NotesSection, w->key, Qt::CaseSensitive);
            }
            target.dropFollows();
            for (size_t i = 0; i < stop; ++i) {
                if (arrived[i])
                    target.follow(
                        items[i].name,
                        noteIn(document, m_targetDir, items[i].targetCaption).value_or(QString()));
            }
            return !undo.empty();
        });
    } catch (const platform::WriteError&) {
        // The note stays in both places, as after a crash; the file keeps its own.
    }

    // An arrived file's key leaves its old notes file.
    QStringList folders;
    QHash<QString, QStringList> leaving;
    for (size_t i = 0; i < stop; ++i) {
        const Item& item = items[i];
        const bool remove = item.sourceKeyRule == SourceKey::Remove ||
                            (item.sourceKeyRule == SourceKey::RemoveWhenNoted && noted(i));
        if (!arrived[i] || !remove)
            continue;
        if (!leaving.contains(item.sourceDir))
            folders.append(item.sourceDir);
        leaving[item.sourceDir].append(item.sourceCaption);
    }
    for (const QString& dir : std::as_const(folders)) {
        NotesWriter source(dir);
        try {
            source.update([&](platform::IniDocument& document) {
                bool changed = false;
                for (const QString& caption : leaving.value(dir))
                    changed = removeNoteIn(document, dir, caption) || changed;
                return changed;
            });
        } catch (const platform::WriteError&) {
            // A key that cannot be removed stays; the note is in both places.
        }
    }

    for (size_t i = 0; i < stop; ++i)
        m_outcome(items[i], results[i]);
    if (m_stayed) {
        for (size_t i = stop; i < count; ++i)
            m_stayed(items[i]);
    }
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace notes
