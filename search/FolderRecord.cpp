#include "search/FolderRecord.h"

#include "core/FileListing.h"
#include "platform/FileNames.h"
#include "platform/OpenFolder.h"

#include <algorithm>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <time.h>
#include <unordered_map>

namespace search {

namespace {

qint64 nsOf(const struct statx_timestamp& t)
{
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

constexpr unsigned kStampFields = STATX_TYPE | STATX_INO | STATX_SIZE | STATX_CTIME | STATX_MTIME;

} // namespace

qint64 FolderStamp::latestNs() const
{
    return std::max({changedNs, modifiedNs, notesChangedNs, notesModifiedNs});
}

bool readStamp(int fd, FolderStamp* out, const QByteArray& path, int below)
{
    *out = {};
    struct statx sx;
    const bool byPath = !path.isEmpty();
    const int from = below >= 0 ? below : AT_FDCWD;
    if (byPath ? ::statx(from, path.constData(), 0, kStampFields, &sx) != 0 ||
                     !S_ISDIR(sx.stx_mode)
               : fd < 0 || ::statx(fd, "", AT_EMPTY_PATH, kStampFields, &sx) != 0)
        return false;
    const QByteArray notesPath = byPath ? path + "zzfdat.nod" : QByteArray("zzfdat.nod");
    const int at = byPath ? from : fd;
    out->device = (quint64(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
    out->inode = sx.stx_ino;
    out->changedNs = nsOf(sx.stx_ctime);
    out->modifiedNs = nsOf(sx.stx_mtime);
    // The notes file as it is read: a link to one is followed, and then tells of itself too.
    struct statx notes;
    if (::statx(at, notesPath.constData(), AT_SYMLINK_NOFOLLOW, kStampFields, &notes) != 0)
        return true;
    out->notes = true;
    out->notesLink = S_ISLNK(notes.stx_mode);
    if (out->notesLink && ::statx(at, notesPath.constData(), 0, kStampFields, &notes) != 0)
        return true;
    out->notesDevice = (quint64(notes.stx_dev_major) << 32) | notes.stx_dev_minor;
    out->notesInode = notes.stx_ino;
    out->notesSize = qint64(notes.stx_size);
    out->notesChangedNs = nsOf(notes.stx_ctime);
    out->notesModifiedNs = nsOf(notes.stx_mtime);
    return true;
}

qint64 fileClockNs()
{
    timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void appendWtf8(std::string& out, QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        if (c < 0x80) {
            out.push_back(char(c));
        } else if (c < 0x800) {
            out.push_back(char(0xC0 | (c >> 6)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(char(0xE0 | (c >> 12)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (c >> 18)));
            out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        }
    }
}

bool FolderRecord::read(const platform::OpenFolder& folder, int fd, bool details)
{
    readAtNs = fileClockNs();
    subjects.clear();
    notes.clear();
    files.clear();
    kept.clear();
    subfolders.clear();
    complete = false;
    stamp = {};
    opened = folder.isOpen();
    if (!opened)
        return false;
    // The stamp before the listing: a change while it is read shows at the next look.
    readStamp(fd, &stamp);
    core::FolderListing listing = core::listFolder(folder, nullptr,
                                                   core::ListFiles | core::ListSubfolders |
                                                       (details ? 0 : core::ListNoDetails));
    complete = listing.complete;
    if (!complete)
        return false;
    const core::FileRows& rows = listing.rows;
    files.reserve(rows.size());
    // The texts take their room at once (a name that is no UTF-8 may take a little more).
    size_t nameBytes = 0;
    size_t noteUnits = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        nameBytes += size_t(rows.nameBytes(i).size());
        noteUnits += size_t(rows.noteView(i).size());
    }
    subjects.reserve(nameBytes);
    notes.reserve(noteUnits);
    for (size_t i = 0; i < rows.size(); ++i) {
        File f;
        const QByteArrayView name = rows.nameBytes(i);
        f.nameAt = quint32(subjects.size());
        if (name.isValidUtf8()) {
            subjects.append(name.data(), size_t(name.size()));
        } else {
            const QString caption = rows.caption(i);
            appendWtf8(subjects, caption);
            kept.push_back({quint32(files.size()), name.toByteArray(), caption});
            f.flags |= KeptName;
        }
        const QStringView note = rows.noteView(i);
        f.noteAt = quint32(notes.size());
        notes.append(reinterpret_cast<const char16_t*>(note.data()), size_t(note.size()));
        f.attributes = quint8(rows.listedAttributes(i));
        if (rows.storedFlagsLater(i))
            f.flags |= StoredLater;
        else
            f.flags |= Link;
        if (rows.captionDecoded(i))
            f.flags |= CaptionDecoded;
        if (!f.setSize(rows.size(i)) || !f.setModifiedSeconds(rows.modifiedMs(i) / 1000))
            f.flags |= Oversize;
        files.push_back(f);
    }
    subfolders.reserve(listing.subfolders.size());
    for (const core::FolderListing::Subfolder& sub : listing.subfolders)
        subfolders.push_back({sub.name, quint32(sub.rowsBefore), sub.isLink});
    subjects.shrink_to_fit();
    notes.shrink_to_fit();
    makeRuns();
    return true;
}

namespace {

inline quint32 runHash(quint32 run)
{
    return run * 0x9E3779B1u;
}

inline quint32 foldedUnit(quint32 c)
{
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}

// Appends the bits of every run `runsOf` gives: about one and a half bits a run for the
// half of them taken to be distinct.
template <typename RunsOf>
void appendBits(std::vector<quint64>& out, size_t positions, RunsOf&& runsOf)
{
    if (positions == 0)
        return;
    // At least one word: a single run has its bit too.
    const size_t words = std::max<size_t>(1, (positions * 3 / 4 + 63) / 64);
    const size_t first = out.size();
    out.resize(first + words, 0);
    const quint64 count = words * 64;
    quint64* const bits = out.data() + first;
    runsOf([&](quint32 run) {
        const quint64 bit = (quint64(runHash(run)) * count) >> 32;
        bits[bit >> 6] |= quint64(1) << (bit & 63);
    });
}

} // namespace

void FolderRecord::makeRuns()
{
    runs.clear();
    size_t positions = 0;
    for (size_t k = 0; k < files.size(); ++k)
        positions += nameLength(k) > 2 ? nameLength(k) - 2 : 0;
    // Each unit is folded once, into a window of the last three (or two).
    appendBits(runs, positions, [&](auto&& add) {
        for (size_t k = 0; k < files.size(); ++k) {
            const auto* s = reinterpret_cast<const quint8*>(subjects.data() + files[k].nameAt);
            const size_t length = nameLength(k);
            quint32 window = 0;
            for (size_t i = 0; i < length; ++i) {
                window = (window << 8 | foldedUnit(s[i])) & 0xFFFFFF;
                if (i >= 2)
                    add(window);
            }
        }
    });
    nameWords = quint32(runs.size());
    positions = 0;
    for (size_t k = 0; k < files.size(); ++k)
        positions += noteLength(k) > 1 ? noteLength(k) - 1 : 0;
    appendBits(runs, positions, [&](auto&& add) {
        for (size_t k = 0; k < files.size(); ++k) {
            const char16_t* n = notes.data() + files[k].noteAt;
            const size_t length = noteLength(k);
            quint32 window = 0;
            for (size_t i = 0; i < length; ++i) {
                window = window << 16 | foldedUnit(n[i]);
                if (i >= 1)
                    add(window);
            }
        }
    });
    runs.shrink_to_fit();
}

std::vector<quint32> FolderRecord::nameRunsOf(const std::string& keyword)
{
    std::vector<quint32> runs;
    const auto* s = reinterpret_cast<const quint8*>(keyword.data());
    for (size_t i = 0; i + 3 <= keyword.size(); ++i)
        runs.push_back(runHash(quint32(s[i]) << 16 | quint32(s[i + 1]) << 8 | s[i + 2]));
    return runs;
}

std::vector<quint32> FolderRecord::noteRunsOf(QStringView keyword)
{
    std::vector<quint32> runs;
    for (qsizetype i = 0; i + 2 <= keyword.size(); ++i)
        runs.push_back(runHash(quint32(keyword[i].unicode()) << 16 | keyword[i + 1].unicode()));
    return runs;
}

const FolderRecord::Kept* FolderRecord::keptOf(size_t i) const
{
    if (!(files[i].flags & KeptName))
        return nullptr;
    const auto at = std::lower_bound(kept.begin(), kept.end(), quint32(i),
                                     [](const Kept& k, quint32 file) { return k.file < file; });
    return at != kept.end() && at->file == i ? &*at : nullptr;
}

QByteArrayView FolderRecord::nameBytes(size_t i) const
{
    if (const Kept* k = keptOf(i))
        return k->bytes;
    return subject(i);
}

QString FolderRecord::caption(size_t i) const
{
    if (const Kept* k = keptOf(i))
        return k->caption;
    const QByteArrayView s = subject(i);
    return QString::fromUtf8(s.data(), s.size());
}

void FolderRecord::addRow(size_t i, quint32 folderIndex, core::FileRows& out,
                          const std::pair<qint64, qint64>* seen) const
{
    const File& f = files[i];
    out.addListed({nameBytes(i), folderIndex, seen ? seen->first : f.size(),
                   seen ? seen->second : f.modifiedSeconds(), platform::Attributes(f.attributes),
                   bool(f.flags & StoredLater), bool(f.flags & CaptionDecoded), note(i)});
}

bool FolderRecord::restat(size_t i, const platform::OpenFolder* folder,
                          std::pair<qint64, qint64>* seen)
{
    platform::OpenFolder::Details details;
    const bool there =
        folder
            ? folder->details(nameBytes(i).toByteArray().constData(), &details)
            : platform::OpenFolder::detailsAt(
                  AT_FDCWD, (platform::nativePath(path) + nameBytes(i).toByteArray()).constData(),
                  &details);
    if (!there || details.isFolder || details.isRealFolder)
        return false;
    File& f = files[i];
    if (seen)
        *seen = {details.size, details.modifiedSeconds};
    f.flags &= quint8(~Oversize);
    if (!f.setSize(details.size) || !f.setModifiedSeconds(details.modifiedSeconds))
        f.flags |= Oversize;
    f.attributes &= quint8(~platform::ReadOnly);
    if (!details.ownerWrite)
        f.attributes |= quint8(platform::ReadOnly);
    f.flags &= quint8(~(StoredLater | Link));
    f.flags |= details.isLink ? Link : StoredLater;
    return true;
}

qsizetype FolderRecord::findFile(QByteArrayView name) const
{
    for (size_t i = 0; i < files.size(); ++i) {
        if (nameBytes(i) == name)
            return qsizetype(i);
    }
    return -1;
}

size_t FolderRecord::takeRanks(const FolderRecord& old)
{
    // A name ranks alike wherever it lies: by its bytes and how its caption is read.
    std::unordered_map<std::string_view, std::pair<quint32, quint8>> ranks;
    for (size_t i = 0; i < old.files.size(); ++i) {
        if (old.files[i].rank != kNoRank) {
            const QByteArrayView name = old.nameBytes(i);
            ranks.emplace(
                std::string_view(name.data(), size_t(name.size())),
                std::pair{old.files[i].rank, quint8(old.files[i].flags & CaptionDecoded)});
        }
    }
    size_t left = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        File& f = files[i];
        f.rank = kNoRank;
        if (!ranks.empty()) {
            const QByteArrayView name = nameBytes(i);
            const auto found = ranks.find(std::string_view(name.data(), size_t(name.size())));
            if (found != ranks.end() && found->second.second == (f.flags & CaptionDecoded))
                f.rank = found->second.first;
        }
        left += f.rank == kNoRank;
    }
    return left;
}

bool FolderRecord::sameShape(const FolderRecord& other) const
{
    if (opened != other.opened || complete != other.complete ||
        stamp.device != other.stamp.device || stamp.inode != other.stamp.inode ||
        subfolders.size() != other.subfolders.size())
        return false;
    for (size_t i = 0; i < subfolders.size(); ++i) {
        if (subfolders[i].name != other.subfolders[i].name ||
            subfolders[i].isLink != other.subfolders[i].isLink)
            return false;
    }
    return true;
}

size_t FolderRecord::memory() const
{
    size_t bytes = sizeof(*this) + size_t(path.capacity()) * 2 + subjects.capacity() +
                   notes.capacity() * 2 + files.capacity() * sizeof(File) +
                   subfolders.capacity() * sizeof(Subfolder) + kept.capacity() * sizeof(Kept) +
                   runs.capacity() * 8;
    for (const Subfolder& s : subfolders)
        bytes += size_t(s.name.capacity());
    for (const Kept& k : kept)
        bytes += size_t(k.bytes.capacity()) + size_t(k.caption.capacity()) * 2;
    return bytes;
}

} // namespace search
