#include "platform/IniFile.h"

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/FileNames.h"
#include "platform/FileSystem.h"
#include "platform/FolderLock.h"

#include <cerrno>
#include <climits>

namespace platform {

bool IniFile::exists() const
{
    return !m_path.isEmpty() && FileSystem::local().exists(m_path);
}

IniDocument IniFile::load(LoadState* state, int* error) const
{
    QByteArray bytes;
    switch (readWholeFile(m_path, &bytes, kMaxOwnFileSize, error)) {
    case ReadOutcome::Missing:
        *state = LoadState::Missing;
        return IniDocument(m_blanks);
    case ReadOutcome::Unreadable:
        *state = LoadState::Unreadable;
        return IniDocument(m_blanks);
    case ReadOutcome::Loaded:
        break;
    }
    *state = LoadState::Loaded;
    return IniDocument::parse(bytes, m_blanks);
}

IniDocument IniFile::load() const
{
    LoadState state;
    return load(&state);
}

QList<std::pair<QString, QString>> IniFile::readSection(const QString& section) const
{
    QByteArray bytes;
    if (readWholeFile(m_path, &bytes) != ReadOutcome::Loaded)
        return {};
    return IniDocument::readSection(bytes, section, m_blanks);
}

std::optional<QString> IniFile::read(const QString& section, const QString& key) const
{
    return load().value(section, key);
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& fallback) const
{
    return read(section, key).value_or(fallback);
}

std::optional<int> IniFile::parseInt(const QString& input)
{
    QString text = input.trimmed();
    bool negative = false;
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        negative = text.startsWith(u'-');
        text.remove(0, 1);
    }
    int base = 10;
    if ((text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X"))) &&
        text.size() > 2) {
        base = 16;
        text.remove(0, 2);
    } else if (text.startsWith(u'$')) {
        base = 16;
        text.remove(0, 1);
    }
    if (text.isEmpty())
        return std::nullopt;
    for (const QChar c : text) {
        const bool digit = c >= u'0' && c <= u'9';
        const bool hexLetter = (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (!digit && !(base == 16 && hexLetter))
            return std::nullopt;
    }
    bool ok = false;
    const qulonglong magnitude = text.toULongLong(&ok, base);
    if (!ok)
        return std::nullopt;
    if (base == 16) {
        // Hexadecimal values use all 32 bits: 0x80000008 is a negative number.
        if (magnitude > 0xFFFFFFFFull)
            return std::nullopt;
        const auto value = static_cast<qint32>(static_cast<quint32>(magnitude));
        return negative ? -value : value;
    }
    const qint64 value = negative ? -qint64(magnitude) : qint64(magnitude);
    if (magnitude > 0x80000000ull || value > INT_MAX || value < INT_MIN)
        return std::nullopt;
    return int(value);
}

int IniFile::readInt(const QString& section, const QString& key, int fallback) const
{
    const auto text = read(section, key);
    if (!text)
        return fallback;
    return parseInt(*text).value_or(fallback);
}

bool IniFile::readBool(const QString& section, const QString& key, bool fallback) const
{
    return readInt(section, key, fallback ? 1 : 0) != 0;
}

bool IniFile::hasKey(const QString& section, const QString& key) const
{
    return load().hasKey(section, key);
}

QStringList IniFile::keys(const QString& section) const
{
    return load().keys(section);
}

void IniFile::save(const IniDocument& document) const
{
    if (const int error = writeWholeFile(m_path, document.serialize(), m_links))
        throw WriteError(m_path, error);
}

QString IniFile::replacedPath() const
{
    if (m_links == LinkPolicy::WriteTarget) {
        if (QString target = canonicalPath(m_path); !target.isEmpty())
            return target;
    }
    return m_path;
}

void IniFile::update(const std::function<bool(IniDocument&)>& edit) const
{
    // Another program may rewrite the file at the same time: the folder in which it is replaced
    // stays locked from the read to the rename, so the file is read as the other left it.
    const FolderLock lock(folderOfPath(replacedPath()));
    if (!lock.acquired())
        throw WriteError(m_path, errors::Busy);
    LoadState state;
    int error = 0;
    IniDocument document = load(&state, &error);
    if (state == LoadState::Unreadable) {
        // What it holds would be lost by a rewrite; a folder, FIFO or device is no file.
        const bool kind = error == EISDIR || error == EFBIG;
        throw WriteError(m_path, kind ? error : errors::Unreadable);
    }
    if (edit(document))
        save(document);
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) const
{
    update([&](IniDocument& document) {
        document.setValue(section, key, value);
        return true;
    });
}

void IniFile::writeInt(const QString& section, const QString& key, int value) const
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) const
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::removeKey(const QString& section, const QString& key) const
{
    update([&](IniDocument& document) { return document.removeKey(section, key); });
}

void IniFile::removeSection(const QString& section) const
{
    update([&](IniDocument& document) { return document.removeSection(section); });
}

} // namespace platform
