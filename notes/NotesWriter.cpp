#include "notes/NotesWriter.h"

#include "notes/Mirror.h"
#include "platform/FileNames.h"
#include "platform/TextCodec.h"

namespace notes {

NotesWriter::NotesWriter(QString dir) : m_dir(std::move(dir)), m_file(NotesFile::open(m_dir)) {}

void NotesWriter::follow(const QString& name, const QString& note)
{
    m_follows.emplace_back(name, note);
}

const FolderId& NotesWriter::folderId()
{
    if (!m_folderIdRead) {
        m_folderIdRead = true;
        m_folderId = folderIdOf(m_dir);
    }
    return m_folderId;
}

void NotesWriter::update(const std::function<bool(platform::IniDocument&)>& edit)
{
    m_stale.clear();
    try {
        m_file.m_file.update(edit);
    } catch (...) {
        m_follows.clear();
        throw;
    }
    applyFollows();
}

void NotesWriter::applyFollows()
{
    const std::vector<std::pair<QString, QString>> follows = std::exchange(m_follows, {});
    if (follows.empty())
        return;
    const FolderId& folder = folderId();
    const QByteArray dir = platform::nativePath(m_dir);
    for (const auto& [name, note] : follows) {
        const QByteArray bytes = platform::nativePath(name);
        if (!Mirror::follow(dir + bytes, folder, bytes, note))
            m_stale.append(name);
    }
}

void checkKey(const platform::IniDocument& document, const QString& caption)
{
    if (!canBeKeyIn(document, caption))
        throw NoteKeyError(caption);
}

void setNoteIn(platform::IniDocument& document, const QString& dir, const QString& caption,
               const QString& text)
{
    checkKey(document, caption);
    const QString key = noteKeyIn(document, dir, caption).value_or(caption);
    document.setValue(NotesSection, key, oneLineNote(text), Qt::CaseSensitive);
}

bool removeNoteIn(platform::IniDocument& document, const QString& dir, const QString& caption)
{
    bool removed = false;
    while (const std::optional<QString> key = noteKeyIn(document, dir, caption)) {
        if (!document.removeKey(NotesSection, *key, Qt::CaseSensitive))
            break;
        removed = true;
    }
    return removed;
}

} // namespace notes
