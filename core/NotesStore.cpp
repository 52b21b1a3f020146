#include "core/NotesStore.h"

#include "core/NoteMirror.h"
#include "platform/AtomicFile.h"
#include "platform/FileNames.h"
#include "platform/FileSystem.h"

namespace core {

NoteKeyError::NoteKeyError(const QString& name)
    : UserError(QStringLiteral("文件名“%1”不能作为注释文件中的键名（它含有换行符、等号或首尾空格，"
                               "或者它的字节在注释文件的编码中读不回原样），注释没有保存。")
                    .arg(platform::displayText(name)))
{
}

namespace {

void checkKey(const QString& name, platform::TextEncoding encoding)
{
    if (!platform::IniDocument::isStorableKey(name) || !platform::text::roundTrips(name, encoding))
        throw NoteKeyError(name);
}

// A key spelled otherwise than `caption` belongs to another file when a file of exactly that
// name lies in the folder.
bool namesOtherFile(const QString& dir, const QString& key)
{
    return platform::FileSystem::local().exists(dir + key);
}

} // namespace

std::optional<QString> noteKeyIn(const platform::IniDocument& document, const QString& dir,
                                 const QString& caption)
{
    if (document.hasKey(NotesSection, caption, Qt::CaseSensitive))
        return caption;
    for (const QString& key : document.keys(NotesSection, Qt::CaseSensitive)) {
        if (key.compare(caption, Qt::CaseInsensitive) == 0 && !namesOtherFile(dir, key))
            return key;
    }
    return std::nullopt;
}

std::optional<QString> noteIn(const platform::IniDocument& document, const QString& dir,
                              const QString& caption)
{
    const std::optional<QString> key = noteKeyIn(document, dir, caption);
    if (!key)
        return std::nullopt;
    return document.value(NotesSection, *key, Qt::CaseSensitive).value_or(QString());
}

bool canBeKeyIn(const platform::IniDocument& document, const QString& caption)
{
    return platform::IniDocument::isStorableKey(caption) &&
           platform::text::roundTrips(caption, document.encoding());
}

void setNoteIn(platform::IniDocument& document, const QString& dir, const QString& caption,
               const QString& text)
{
    checkKey(caption, document.encoding());
    const QString key = noteKeyIn(document, dir, caption).value_or(caption);
    document.setValue(NotesSection, key, oneLineNote(text), Qt::CaseSensitive);
    NoteMirror::noteChanged(dir, caption, oneLineNote(text));
}

bool removeNoteIn(platform::IniDocument& document, const QString& dir, const QString& caption)
{
    bool removed = false;
    for (const QString& key : document.keys(NotesSection, Qt::CaseSensitive)) {
        if (key.compare(caption, Qt::CaseInsensitive) != 0)
            continue;
        if (key == caption || !namesOtherFile(dir, key))
            removed = document.removeKey(NotesSection, key, Qt::CaseSensitive) || removed;
    }
    NoteMirror::noteChanged(dir, caption, QString());
    return removed;
}

NotesFile NotesFile::open(const QString& dir)
{
    NotesFile file;
    file.m_dir = dir;
    file.m_file = platform::IniFile(dir + NotesFileName);
    return file;
}

QString NotesFile::readNote(const QString& name) const
{
    if (isNull())
        return {};
    const platform::IniDocument document = m_file.load();
    const std::optional<QString> key = noteKeyIn(document, m_dir, name);
    if (!key)
        return {};
    return document.value(NotesSection, *key, Qt::CaseSensitive).value_or(QString());
}

void NotesFile::writeNote(const QString& name, const QString& text) const
{
    if (isNull())
        return;
    update([&](platform::IniDocument& document) {
        setNoteIn(document, m_dir, name, text);
        return true;
    });
}

void NotesFile::replaceAll(const QList<std::pair<QString, QString>>& notes) const
{
    if (isNull())
        return;
    m_file.update([&](platform::IniDocument& document) {
        QList<std::pair<QString, QString>> lines;
        lines.reserve(notes.size());
        for (const auto& [name, text] : notes) {
            checkKey(name, document.encoding());
            lines.append({name, oneLineNote(text)});
        }
        document.replaceSection(NotesSection, lines);
        return true;
    });
}

void NotesFile::deleteNote(const QString& name) const
{
    try {
        removeNote(name);
    } catch (const platform::WriteError&) {
        // A key that cannot be removed stays; the note shows again at the next listing.
    }
}

void NotesFile::removeNote(const QString& name) const
{
    if (isNull())
        return;
    update([&](platform::IniDocument& document) { return removeNoteIn(document, m_dir, name); });
}

bool NotesFile::canHoldKey(const QString& name) const
{
    if (isNull())
        return false;
    try {
        checkKey(name, m_file.load().encoding());
    } catch (const NoteKeyError&) {
        return false;
    }
    return true;
}

bool NotesFile::hasNote(const QString& name) const
{
    return !isNull() && noteKeyIn(m_file.load(), m_dir, name).has_value();
}

void NotesFile::eraseNotes() const
{
    if (!isNull())
        m_file.removeSection(NotesSection);
}

std::optional<platform::IniDocument> NotesFile::document() const
{
    if (isNull())
        return platform::IniDocument();
    QByteArray bytes;
    switch (platform::readWholeFile(path(), &bytes)) {
    case platform::ReadOutcome::Missing:
        return platform::IniDocument();
    case platform::ReadOutcome::Unreadable:
        return std::nullopt;
    case platform::ReadOutcome::Loaded:
        break;
    }
    return platform::IniDocument::parse(bytes);
}

void NotesFile::update(const std::function<bool(platform::IniDocument&)>& edit) const
{
    if (isNull())
        return;
    // The files' comments follow only once the notes file holds their notes.
    NoteMirror::Batch batch;
    m_file.update(edit);
    batch.commit();
}

NotesSnapshot NotesFile::readAll() const
{
    if (isNull())
        return {};
    QByteArray bytes;
    if (platform::readWholeFile(path(), &bytes) != platform::ReadOutcome::Loaded)
        return {};
    return NotesSnapshot::fromFile(bytes);
}

bool isBlankNote(const QString& text)
{
    return text.trimmed().isEmpty();
}

QString oneLineNote(QString text)
{
    // A note is one line: line breaks would split it into lines of their own.
    text.remove(u'\r');
    text.remove(u'\n');
    return text;
}

void MoveNote(const NotesFile& source, const QString& targetDir, const QString& name,
              const QString& text)
{
    if (!isBlankNote(text))
        NotesFile::open(targetDir).writeNote(name, text);
    if (source.hasNote(name))
        source.deleteNote(name);
}

QString RenameNote(const NotesFile& file, const QString& oldName, const QString& newName,
                   const QString& text)
{
    // One rewrite: a refused new key leaves the old key and its note as they were. The old
    // key goes before the new one is set, so that a name that differs from it only in letter
    // case keeps the key it has just been given.
    const QString oldKey = oldName.trimmed();
    const bool keep = !isBlankNote(text);
    file.update([&](platform::IniDocument& document) {
        if (keep)
            checkKey(newName, document.encoding());
        bool changed = removeNoteIn(document, file.dir(), oldKey);
        if (keep) {
            document.setValue(NotesSection, newName, oneLineNote(text), Qt::CaseSensitive);
            NoteMirror::noteChanged(file.dir(), newName, oneLineNote(text));
            changed = true;
        }
        return changed;
    });
    return file.readNote(newName);
}

} // namespace core
