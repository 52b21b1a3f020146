#include "core/NotesStore.h"

#include <QDir>

namespace core {

NoteKeyError::NoteKeyError(const QString& name)
    : UserError(QStringLiteral("文件名“%1”含有换行符、等号或首尾空格，无法作为注释的键名，注释没有保存。")
                    .arg(name))
{
}

namespace {

QString asOneLine(QString text)
{
    // A note is one line: line breaks would split it into lines of their own.
    text.remove(u'\r');
    text.remove(u'\n');
    return text;
}

void checkKey(const QString& name, platform::TextEncoding encoding)
{
    if (!platform::IniDocument::isStorableKey(name) || !platform::text::roundTrips(name, encoding))
        throw NoteKeyError(name);
}

} // namespace

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
    return m_file.readString(NotesSection, name, QString());
}

void NotesFile::writeNote(const QString& name, const QString& text) const
{
    if (isNull())
        return;
    m_file.update([&](platform::IniDocument& document) {
        checkKey(name, document.encoding());
        document.setValue(NotesSection, name, asOneLine(text));
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
            lines.append({name, asOneLine(text)});
        }
        document.replaceSection(NotesSection, lines);
        return true;
    });
}

void NotesFile::deleteNote(const QString& name) const
{
    if (isNull())
        return;
    try {
        m_file.removeKey(NotesSection, name);
    } catch (const platform::WriteError&) {
        // A key that cannot be removed stays; the note shows again at the next listing.
    }
}

bool NotesFile::hasNote(const QString& name) const
{
    return !isNull() && m_file.hasKey(NotesSection, name);
}

void NotesFile::eraseNotes() const
{
    if (!isNull())
        m_file.removeSection(NotesSection);
}

NotesSnapshot NotesFile::readAll() const
{
    if (isNull())
        return {};
    return NotesSnapshot(m_file.load().values(NotesSection));
}

bool isBlankNote(const QString& text)
{
    return text.trimmed().isEmpty();
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
    const QString oldKey = oldName.trimmed();
    if (file.hasNote(oldKey))
        file.deleteNote(oldKey);
    if (!isBlankNote(text))
        file.writeNote(newName, text);
    return file.readNote(newName);
}

} // namespace core
