#include "notes/NoteRecord.h"

#include "platform/FileNames.h"

#include <sys/stat.h>

namespace notes {

namespace {

constexpr char kMark[] = "q1:";

bool readHex(QByteArrayView text, quint64* value)
{
    if (text.isEmpty() || text.size() > 16)
        return false;
    quint64 result = 0;
    for (const char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return false;
        result = (result << 4) | quint64(digit);
    }
    *value = result;
    return true;
}

} // namespace

FolderId folderIdOf(const QString& dir)
{
    struct stat st;
    if (::stat(platform::nativePath(dir).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return {};
    return {st.st_dev, st.st_ino};
}

quint64 NoteRecord::hashOf(QStringView note)
{
    // FNV-1a over the UTF-16 units: stable from run to run, unlike Qt's seeded hash.
    quint64 hash = 14695981039346656037ull;
    for (const QChar c : note) {
        hash ^= c.unicode();
        hash *= 1099511628211ull;
    }
    return hash;
}

QByteArray NoteRecord::encode() const
{
    QByteArray out(kMark);
    out += QByteArray::number(quint64(folder.device), 16) + ':' +
           QByteArray::number(quint64(folder.inode), 16) + ':' + QByteArray::number(noteHash, 16) +
           ':' + (mirrored ? "m:" : "-:");
    out += name;
    return out;
}

std::optional<NoteRecord> NoteRecord::decode(QByteArrayView bytes)
{
    if (!bytes.startsWith(kMark))
        return std::nullopt;
    QByteArrayView rest = bytes.sliced(sizeof kMark - 1);
    quint64 fields[3];
    for (quint64& field : fields) {
        const qsizetype colon = rest.indexOf(':');
        if (colon < 0 || !readHex(rest.first(colon), &field))
            return std::nullopt;
        rest = rest.sliced(colon + 1);
    }
    if (rest.size() < 3 || (rest[0] != 'm' && rest[0] != '-') || rest[1] != ':')
        return std::nullopt;
    NoteRecord record;
    record.mirrored = rest[0] == 'm';
    rest = rest.sliced(2);
    record.folder = {dev_t(fields[0]), ino_t(fields[1])};
    record.noteHash = fields[2];
    record.name = rest.toByteArray();
    return record;
}

} // namespace notes
