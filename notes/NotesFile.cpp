#include "notes/NotesFile.h"

#include "platform/AtomicFile.h"
#include "platform/FileNames.h"
#include "platform/TextCodec.h"

namespace notes {

namespace {

constexpr char kNotesFileName[] = "zzfdat.nod";

// A key spelled otherwise than `caption` belongs to another file when a file of exactly that
// name lies in the folder.
bool namesOtherFile(const QString& dir, const QString& key)
{
    return platform::FileSystem::local().exists(dir + key);
}

} // namespace

bool isNotesFileName(const QString& name)
{
    return name.compare(NotesFileName, Qt::CaseInsensitive) == 0;
}

bool isNotesFileName(QByteArrayView name)
{
    if (name.size() != qsizetype(sizeof kNotesFileName - 1))
        return false;
    // Only ASCII letters fold onto the letters of the notes file's name.
    for (qsizetype i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != kNotesFileName[i])
            return false;
    }
    return true;
}

NoteKeyError::NoteKeyError(const QString& name)
    : UserError(QStringLiteral("文件名“%1”不能作为注释文件中的键名（它含有换行符、等号或首尾空格，"
                               "或者它的字节在注释文件的编码中读不回原样），注释没有保存。")
                    .arg(platform::displayText(name)))
{
}

QString captionInFolder(const platform::FileSystem& fs, const QString& folder, const QString& name)
{
    const QString caption = platform::captionOfName(name);
    // A name read as GB18030 must not take the caption (and so the note) of a file that is
    // spelled that way in UTF-8 beside it; it then shows its bytes as they are.
    if (caption != name && fs.exists(folder + caption))
        return name;
    return caption;
}

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

NotesFile NotesFile::open(const QString& dir)
{
    NotesFile file;
    file.m_dir = dir;
    file.m_file = platform::IniFile(dir + NotesFileName);
    return file;
}

QString NotesFile::readNote(const QString& caption) const
{
    if (isNull())
        return {};
    return noteIn(m_file.load(), m_dir, caption).value_or(QString());
}

bool NotesFile::hasNote(const QString& caption) const
{
    return !isNull() && noteKeyIn(m_file.load(), m_dir, caption).has_value();
}

bool NotesFile::canHoldKey(const QString& caption) const
{
    return !isNull() && canBeKeyIn(m_file.load(), caption);
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

NotesSnapshot NotesFile::readAll() const
{
    if (isNull())
        return {};
    QByteArray bytes;
    if (platform::readWholeFile(path(), &bytes) != platform::ReadOutcome::Loaded)
        return {};
    return NotesSnapshot::fromFile(bytes);
}

std::optional<NotesSnapshot> NotesFile::snapshot() const
{
    if (isNull())
        return NotesSnapshot();
    QByteArray bytes;
    switch (platform::readWholeFile(path(), &bytes)) {
    case platform::ReadOutcome::Missing:
        return NotesSnapshot();
    case platform::ReadOutcome::Unreadable:
        return std::nullopt;
    case platform::ReadOutcome::Loaded:
        break;
    }
    return NotesSnapshot::fromFile(bytes);
}

bool isBlankNote(QStringView text)
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

} // namespace notes
