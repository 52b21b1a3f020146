#include "search/IndexCache.h"

#include "platform/FileNames.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <array>
#include <cstring>
#include <future>

namespace search {

namespace {

constexpr char kMagic[8] = {'Q', 'U', 'I', 'L', 'L', 'I', 'D', 'X'};

struct Header
{
    char magic[8];
    quint32 version;
    quint32 reserved;
    quint64 length;
    quint64 checksum;
};
static_assert(sizeof(Header) == 32);

class Writer
{
public:
    explicit Writer(QByteArray& out) : m_out(out) {}
    template <typename T> void number(T value)
    {
        m_out.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    void bytes(const char* data, size_t size)
    {
        number(quint32(size));
        m_out.append(data, qsizetype(size));
    }
    void bytes(QByteArrayView b) { bytes(b.data(), size_t(b.size())); }
    void raw(const void* data, size_t size)
    {
        m_out.append(static_cast<const char*>(data), qsizetype(size));
    }
    void text(QStringView t)
    {
        number(quint32(t.size()));
        m_out.append(reinterpret_cast<const char*>(t.data()), t.size() * 2);
    }

private:
    QByteArray& m_out;
};

class Reader
{
public:
    Reader(const char* data, size_t size) : m_at(data), m_end(data + size) {}
    bool ok() const { return m_ok; }
    template <typename T> T number()
    {
        T value{};
        if (!take(sizeof value))
            return value;
        std::memcpy(&value, m_at - sizeof value, sizeof value);
        return value;
    }
    // A length, checked against what is left at `unit` bytes each.
    size_t length(size_t unit)
    {
        const quint32 n = number<quint32>();
        if (size_t(m_end - m_at) / unit < n) {
            m_ok = false;
            return 0;
        }
        return n;
    }
    QByteArray byteArray()
    {
        const size_t n = length(1);
        const char* at = m_at;
        return take(n) ? QByteArray(at, qsizetype(n)) : QByteArray();
    }
    std::string string()
    {
        const size_t n = length(1);
        const char* at = m_at;
        return take(n) ? std::string(at, n) : std::string();
    }
    std::u16string units()
    {
        const size_t n = length(2);
        std::u16string out(n, u'\0');
        if (take(n * 2))
            std::memcpy(out.data(), m_at - n * 2, n * 2);
        return out;
    }
    QString text()
    {
        const size_t n = length(2);
        QString out;
        if (n > 0 && take(n * 2)) {
            out.resize(qsizetype(n));
            std::memcpy(out.data(), m_at - n * 2, n * 2);
        }
        return out;
    }
    bool raw(void* to, size_t size)
    {
        if (!take(size))
            return false;
        std::memcpy(to, m_at - size, size);
        return true;
    }

    void fail() { m_ok = false; }

private:
    bool take(size_t n)
    {
        if (!m_ok || size_t(m_end - m_at) < n) {
            m_ok = false;
            return false;
        }
        m_at += n;
        return true;
    }
    const char* m_at;
    const char* m_end;
    bool m_ok = true;
};

void writeEntry(Writer& w, const LibraryIndex::Entry& e)
{
    const FolderRecord& r = e.record;
    w.text(e.parent ? e.parent->record.path : QString());
    w.number(quint8(e.viaLink));
    w.text(r.path);
    const FolderStamp& s = r.stamp;
    for (const quint64 v :
         {s.device, s.inode, quint64(s.changedNs), quint64(s.modifiedNs), quint64(s.notes),
          quint64(s.notesLink), s.notesDevice, s.notesInode, quint64(s.notesSize),
          quint64(s.notesChangedNs), quint64(s.notesModifiedNs)})
        w.number(v);
    w.number(quint8(r.opened));
    w.number(quint8(r.complete));
    w.number(r.readAtNs);
    w.bytes(r.subjects.data(), r.subjects.size());
    w.text(QStringView(r.notes.data(), qsizetype(r.notes.size())));
    w.number(quint32(r.files.size()));
    w.raw(r.files.data(), r.files.size() * sizeof(FolderRecord::File));
    w.number(quint32(r.kept.size()));
    for (const FolderRecord::Kept& k : r.kept) {
        w.number(k.file);
        w.bytes(k.bytes);
        w.text(k.caption);
    }
    w.number(quint32(r.subfolders.size()));
    for (const FolderRecord::Subfolder& sub : r.subfolders) {
        w.bytes(sub.name);
        w.number(sub.filesBefore);
        w.number(quint8(sub.isLink));
    }
    w.number(r.nameWords);
    w.number(quint32(r.runs.size()));
    w.raw(r.runs.data(), r.runs.size() * 8);
}

// About the bytes writeEntry() writes (a little more), to take the room at once.
size_t writtenSize(const LibraryIndex::Entry& e)
{
    const FolderRecord& r = e.record;
    size_t size = 256 + size_t(r.path.size()) * 4 + r.subjects.size() + r.notes.size() * 2 +
                  r.files.size() * sizeof(FolderRecord::File) + r.runs.size() * 8;
    for (const FolderRecord::Kept& k : r.kept)
        size += 16 + size_t(k.bytes.size()) + size_t(k.caption.size()) * 2;
    for (const FolderRecord::Subfolder& sub : r.subfolders)
        size += 16 + size_t(sub.name.size());
    return size;
}

bool readEntry(Reader& in, LibraryIndex::Entry& e, QString& parent)
{
    FolderRecord& r = e.record;
    parent = in.text();
    e.viaLink = in.number<quint8>() != 0;
    r.path = in.text();
    FolderStamp& s = r.stamp;
    s.device = in.number<quint64>();
    s.inode = in.number<quint64>();
    s.changedNs = in.number<qint64>();
    s.modifiedNs = in.number<qint64>();
    s.notes = in.number<quint64>() != 0;
    s.notesLink = in.number<quint64>() != 0;
    s.notesDevice = in.number<quint64>();
    s.notesInode = in.number<quint64>();
    s.notesSize = in.number<qint64>();
    s.notesChangedNs = in.number<qint64>();
    s.notesModifiedNs = in.number<qint64>();
    r.opened = in.number<quint8>() != 0;
    r.complete = in.number<quint8>() != 0;
    r.readAtNs = in.number<qint64>();
    r.subjects = in.string();
    r.notes = in.units();
    const size_t files = in.length(sizeof(FolderRecord::File));
    r.files.resize(files);
    in.raw(r.files.data(), files * sizeof(FolderRecord::File));
    const size_t kept = in.length(4);
    r.kept.resize(kept);
    for (FolderRecord::Kept& k : r.kept) {
        k.file = in.number<quint32>();
        k.bytes = in.byteArray();
        k.caption = in.text();
    }
    const size_t subs = in.length(9);
    r.subfolders.resize(subs);
    for (FolderRecord::Subfolder& sub : r.subfolders) {
        sub.name = in.byteArray();
        sub.filesBefore = in.number<quint32>();
        sub.isLink = in.number<quint8>() != 0;
    }
    r.nameWords = in.number<quint32>();
    const size_t words = in.length(8);
    if (r.nameWords > words)
        return false;
    r.runs.resize(words);
    in.raw(r.runs.data(), words * 8);
    if (!in.ok())
        return false;
    // Every place a record names must lie inside what the folder holds.
    size_t nameAt = 0;
    size_t noteAt = 0;
    for (const FolderRecord::File& f : r.files) {
        if (f.nameAt < nameAt || f.noteAt < noteAt)
            return false;
        nameAt = f.nameAt;
        noteAt = f.noteAt;
    }
    if (nameAt > r.subjects.size() || noteAt > r.notes.size())
        return false;
    for (const FolderRecord::Kept& k : r.kept) {
        if (k.file >= r.files.size())
            return false;
    }
    for (const FolderRecord::Subfolder& sub : r.subfolders) {
        if (sub.filesBefore > r.files.size())
            return false;
    }
    return !r.path.isEmpty();
}

} // namespace

namespace {

// CRC-32C (Castagnoli), one byte at a time: the same sums as the processor's instruction.
quint32 crc32cBytes(quint32 crc, const char* data, size_t size)
{
    static const auto table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? (c >> 1) ^ 0x82F63B78u : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ quint8(data[i])) & 0xFF] ^ (crc >> 8);
    return crc;
}

// Three runs of `words` eight-byte words, side by side.
void crc32cRunsPlain(const char* data, size_t words, quint32 crcs[3])
{
    for (int run = 0; run < 3; ++run)
        crcs[run] = crc32cBytes(crcs[run], data + size_t(run) * words * 8, words * 8);
}

#if defined(__x86_64__)
__attribute__((target("sse4.2"))) void crc32cRunsSse42(const char* data, size_t words,
                                                       quint32 crcs[3])
{
    const char* a = data;
    const char* b = data + words * 8;
    const char* c = data + 2 * words * 8;
    quint64 x = crcs[0];
    quint64 y = crcs[1];
    quint64 z = crcs[2];
    for (size_t i = 0; i < words; ++i) {
        quint64 u, v, w;
        std::memcpy(&u, a + 8 * i, 8);
        std::memcpy(&v, b + 8 * i, 8);
        std::memcpy(&w, c + 8 * i, 8);
        x = __builtin_ia32_crc32di(x, u);
        y = __builtin_ia32_crc32di(y, v);
        z = __builtin_ia32_crc32di(z, w);
    }
    crcs[0] = quint32(x);
    crcs[1] = quint32(y);
    crcs[2] = quint32(z);
}
#endif

} // namespace

quint64 IndexCache::checksum(const char* data, size_t size)
{
    // The CRC-32C of three equal runs of eight-byte words, worked out side by side (with the
    // processor's instruction where it has one), and of the bytes after them, folded together
    // with the length.
    const size_t words = size / 24;
    quint32 crcs[3] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
#if defined(__x86_64__)
    if (__builtin_cpu_supports("sse4.2"))
        crc32cRunsSse42(data, words, crcs);
    else
#endif
        crc32cRunsPlain(data, words, crcs);
    const size_t done = words * 24;
    const quint32 rest = crc32cBytes(0xFFFFFFFFu, data + done, size - done);
    constexpr quint64 kPrime = 0x9E3779B97F4A7C15ull;
    quint64 h = quint64(size) * kPrime;
    for (const quint32 part : {crcs[0], crcs[1], crcs[2], rest})
        h = ((h ^ part) * kPrime) ^ (h >> 31);
    return h;
}

QString IndexCache::fileFor(const QString& root)
{
    const QByteArray path = platform::nativePath(root);
    const QString name = QString::fromLatin1(
        QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex().left(20));
    QString base = QString::fromLocal8Bit(qgetenv("XDG_CACHE_HOME"));
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.cache");
    return base + QStringLiteral("/quillet/search-") + name + QStringLiteral(".index");
}

bool IndexCache::write(const QString& file, const QString& root,
                       const std::vector<const LibraryIndex::Entry*>& entries, const Order& order)
{
    QByteArray data(sizeof(Header), '\0');
    size_t size = sizeof(Header) + 16 + size_t(root.size()) * 2;
    for (const LibraryIndex::Entry* e : entries)
        size += writtenSize(*e);
    size += 64 + order.parts.size() * 12;
    for (const QString& outer : order.outer)
        size += 4 + size_t(outer.size()) * 2;
    data.reserve(qsizetype(size));
    Writer w(data);
    w.text(root);
    w.number(quint32(entries.size()));
    for (const LibraryIndex::Entry* e : entries)
        writeEntry(w, *e);
    w.number(quint32(order.outer.size()));
    for (const QString& outer : order.outer)
        w.text(outer);
    w.number(quint32(order.parts.size()));
    w.raw(order.parts.data(), order.parts.size() * sizeof(order.parts[0]));
    Header header;
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.version = kVersion;
    header.reserved = 0;
    header.length = quint64(data.size()) - sizeof(Header);
    header.checksum = checksum(data.constData() + sizeof(Header), size_t(header.length));
    std::memcpy(data.data(), &header, sizeof header);

    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    // One program writes at a time; the other's file, whole, stays until it is replaced whole.
    QLockFile lock(file + QStringLiteral(".lock"));
    lock.setStaleLockTime(30000);
    if (!lock.tryLock(2000))
        return false;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    // It holds the library's names and notes: for its owner only.
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (out.write(data) != data.size() || !out.flush()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

bool IndexCache::read(const QString& file, const QString& root,
                      std::vector<std::unique_ptr<LibraryIndex::Entry>>& entries,
                      std::vector<QString>& parents, Order& order,
                      const std::function<void(LibraryIndex::Entry&)>& arrived)
{
    entries.clear();
    parents.clear();
    order = Order();
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    // The file is mapped, not copied: a replacing write makes a new file, so the one mapped
    // stays as it was while it is read.
    const qint64 size = in.size();
    Header header;
    if (size < qint64(sizeof header))
        return false;
    const uchar* mapped = in.map(0, size);
    if (!mapped)
        return false;
    const char* data = reinterpret_cast<const char*>(mapped);
    std::memcpy(&header, data, sizeof header);
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.version != kVersion ||
        header.length != quint64(size) - sizeof header)
        return false;
    // The checksum is worked out beside the reading of the entries; a file that fails it
    // gives none.
    std::future<quint64> sum = std::async(std::launch::async, [&] {
        return checksum(data + sizeof header, size_t(header.length));
    });
    const auto fail = [&] {
        entries.clear();
        parents.clear();
        order = Order();
        sum.wait();
        return false;
    };
    Reader r(data + sizeof header, size_t(header.length));
    if (r.text() != root)
        return fail();
    const size_t count = r.length(1);
    entries.reserve(count);
    parents.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        auto entry = std::make_unique<LibraryIndex::Entry>();
        QString parent;
        if (!readEntry(r, *entry, parent))
            return fail();
        if (arrived)
            arrived(*entry);
        entries.push_back(std::move(entry));
        parents.push_back(parent);
    }
    const size_t outer = r.length(4);
    for (size_t i = 0; i < outer && r.ok(); ++i)
        order.outer.append(r.text());
    order.parts.resize(r.length(sizeof(order.parts[0])));
    r.raw(order.parts.data(), order.parts.size() * sizeof(order.parts[0]));
    // Every part names an entry, and parts of its subfolders' places.
    for (const std::array<quint32, 3>& part : order.parts) {
        if (part[0] >= entries.size() || part[1] > part[2] ||
            part[2] > entries[part[0]]->record.subfolders.size())
            r.fail();
    }
    if (!r.ok() || sum.get() != header.checksum) {
        entries.clear();
        parents.clear();
        order = Order();
        return false;
    }
    return true;
}

} // namespace search
