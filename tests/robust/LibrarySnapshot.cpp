#include "LibrarySnapshot.h"

#include "platform/AtomicFile.h"
#include "platform/FileNames.h"
#include "platform/FileSystem.h"
#include "platform/IniDocument.h"

#include <cstdlib>
#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace robust_testing {

namespace {

bool isIniFile(const QString& name)
{
    return name.compare(QStringLiteral("zzfdat.nod"), Qt::CaseInsensitive) == 0 ||
           name.endsWith(QStringLiteral(".ini"));
}

// Paths below the root are written as "<root>/...", so that runs in other temporary folders
// compare (the configuration file names registered folders).
struct RootNames
{
    QList<QByteArray> bytes;
    QStringList texts;
};

QByteArray normalized(QByteArray bytes, const RootNames& roots)
{
    for (const QByteArray& root : roots.bytes)
        bytes.replace(root, "<root>/");
    return bytes;
}

QString normalized(QString text, const RootNames& roots)
{
    for (const QString& root : roots.texts)
        text.replace(root, QStringLiteral("<root>/"));
    return text;
}

void walk(const QString& root, const QString& relative, const RootNames& roots,
          LibrarySnapshot& snapshot)
{
    DIR* dir = ::opendir(platform::nativePath(root + relative).constData());
    if (!dir)
        return;
    while (const dirent* d = ::readdir(dir)) {
        const QString name = platform::pathFromNative(d->d_name);
        if (name == u"." || name == u"..")
            continue;
        const QString path = relative + name;
        const QByteArray native = platform::nativePath(root + path);
        struct stat st;
        if (::lstat(native.constData(), &st) != 0)
            continue;
        if (platform::isTemporaryName(name)) {
            snapshot.temporaries.append(path);
            continue;
        }
        if (!S_ISLNK(st.st_mode)) {
            char letters[16] = {};
            const ssize_t n =
                ::lgetxattr(native.constData(), "user.quillet.attrib", letters, sizeof letters);
            snapshot.metadata[path] = QByteArray::number(st.st_mode & 07777, 8) + ' ' +
                                      QByteArray(letters, int(qMax<ssize_t>(n, 0)));
        }
        char comment[4096];
        if (const ssize_t n =
                ::lgetxattr(native.constData(), "user.xdg.comment", comment, sizeof comment);
            n >= 0)
            snapshot.comments[path] = QByteArray(comment, int(n));
        if (S_ISDIR(st.st_mode)) {
            snapshot.entries[path] = "<folder>";
            walk(root, path + u'/', roots, snapshot);
        } else if (S_ISLNK(st.st_mode)) {
            char target[4096];
            const ssize_t n = ::readlink(native.constData(), target, sizeof target);
            snapshot.entries[path] =
                "-> " + normalized(QByteArray(target, int(qMax<ssize_t>(n, 0))), roots);
        } else {
            QByteArray bytes;
            platform::readWholeFile(root + path, &bytes);
            if (!isIniFile(name)) {
                snapshot.entries[path] = normalized(bytes, roots);
                continue;
            }
            snapshot.iniFiles[path] = bytes;
            const platform::IniDocument document = platform::IniDocument::parse(bytes);
            for (const QString& section : document.sections()) {
                // Where the box's files came from is recorded on each file, or here where the
                // file cannot carry it: either place holds it, so it is not judged.
                if (section.compare(QStringLiteral("fromdir"), Qt::CaseInsensitive) == 0 &&
                    name.compare(QStringLiteral("zzfdat.nod"), Qt::CaseInsensitive) == 0)
                    continue;
                for (const auto& [key, value] : document.entries(section)) {
                    const LibrarySnapshot::IniKey id{path, section.toCaseFolded(), key};
                    if (!snapshot.iniValues.count(id))
                        snapshot.iniValues[id] = normalized(value, roots);
                }
            }
        }
    }
    ::closedir(dir);
}

template <typename Map>
std::set<typename Map::key_type> keysOf(const Map& a, const Map& b, const Map& c)
{
    std::set<typename Map::key_type> keys;
    for (const Map* map : {&a, &b, &c})
        for (const auto& [key, value] : *map)
            keys.insert(key);
    return keys;
}

QString show(const std::optional<QByteArray>& bytes)
{
    return bytes ? QString::fromUtf8(bytes->left(40)) : QStringLiteral("(none)");
}

QString show(const std::optional<QString>& text)
{
    return text ? u'"' + *text + u'"' : QStringLiteral("(none)");
}

QString folderOf(const QString& path)
{
    return path.left(path.lastIndexOf(u'/') + 1);
}

QString nameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

} // namespace

LibrarySnapshot LibrarySnapshot::take(const QString& root)
{
    LibrarySnapshot snapshot;
    RootNames roots;
    const QString given = platform::withTrailingSlash(root);
    roots.texts.append(given);
    if (char* real = ::realpath(platform::nativePath(root).constData(), nullptr)) {
        roots.texts.append(platform::withTrailingSlash(platform::pathFromNative(real)));
        std::free(real);
    }
    for (const QString& text : roots.texts)
        roots.bytes.append(platform::nativePath(text));
    walk(given, QString(), roots, snapshot);
    return snapshot;
}

std::optional<QByteArray> LibrarySnapshot::entry(const QString& path) const
{
    const auto it = entries.find(path);
    return it == entries.end() ? std::nullopt : std::optional<QByteArray>(it->second);
}

std::optional<QString> LibrarySnapshot::value(const IniKey& key) const
{
    const auto it = iniValues.find(key);
    return it == iniValues.end() ? std::nullopt : std::optional<QString>(it->second);
}

std::optional<QByteArray> LibrarySnapshot::commentOf(const QString& path) const
{
    const auto it = comments.find(path);
    return it == comments.end() ? std::nullopt : std::optional<QByteArray>(it->second);
}

std::optional<QString> LibrarySnapshot::noteOf(const QString& path) const
{
    return value(
        {folderOf(path) + QStringLiteral("zzfdat.nod"), QStringLiteral("fileinfo"), nameOf(path)});
}

QStringList LibrarySnapshot::pathsOf(const QByteArray& content) const
{
    QStringList paths;
    for (const auto& [path, bytes] : entries) {
        if (bytes == content)
            paths.append(path);
    }
    return paths;
}

Verdict judge(const LibrarySnapshot& before, const LibrarySnapshot& after,
              const LibrarySnapshot& faulted, bool notesWithFiles)
{
    Verdict verdict;
    QStringList& bad = verdict.violations;

    // Every path holds what it held before or what it holds after: no file is cut.
    bool sameEntries = true;
    for (const QString& path : keysOf(before.entries, after.entries, faulted.entries)) {
        const auto now = faulted.entry(path);
        if (now != after.entry(path) && !after.entry(path) && now == before.entry(path) &&
            path.contains(QStringLiteral("/filecomm/")))
            ++verdict.leftDocuments;
        else
            sameEntries = sameEntries && now == after.entry(path);
        if (now != before.entry(path) && now != after.entry(path))
            bad.append(
                QStringLiteral("%1 holds %2, neither %3 before nor %4 after")
                    .arg(path, show(now), show(before.entry(path)), show(after.entry(path))));
    }
    // Permissions and attribute letters: old or new.
    bool sameMetadata = true;
    for (const QString& path : keysOf(before.metadata, after.metadata, faulted.metadata)) {
        const auto find = [&](const LibrarySnapshot& snapshot) -> std::optional<QByteArray> {
            const auto it = snapshot.metadata.find(path);
            return it == snapshot.metadata.end() ? std::nullopt
                                                 : std::optional<QByteArray>(it->second);
        };
        const auto now = find(faulted);
        // Whether something is there at all is told by the entries and keys above.
        if (now == find(after) || !now || !find(after))
            continue;
        sameMetadata = false;
        if (now != find(before))
            bad.append(QStringLiteral("%1 has the attributes %2, neither %3 before nor %4 after")
                           .arg(path, show(now), show(find(before)), show(find(after))));
    }
    // Every file is where it was or where it went, in as many places: none lost or doubled.
    for (const auto& [path, content] : before.entries) {
        if (content == "<folder>" || content.startsWith("-> "))
            continue;
        const QStringList now = faulted.pathsOf(content);
        if (now != before.pathsOf(content) && now != after.pathsOf(content))
            bad.append(
                QStringLiteral("the file of %1 is at [%2], neither [%3] before nor [%4] after")
                    .arg(path, now.join(u", "), before.pathsOf(content).join(u", "),
                         after.pathsOf(content).join(u", ")));
    }
    // Every key holds its old or its new value.
    bool sameValues = true;
    const auto blankAsNone = [](std::optional<QString> value) {
        return value && value->trimmed().isEmpty() ? std::nullopt : value;
    };
    for (const auto& key : keysOf(before.iniValues, after.iniValues, faulted.iniValues)) {
        const auto& [iniFile, iniSection, iniName] = key;
        const bool isNote = nameOf(iniFile) == u"zzfdat.nod";
        const auto now = isNote ? blankAsNone(faulted.value(key)) : faulted.value(key);
        const auto old = isNote ? blankAsNone(before.value(key)) : before.value(key);
        const auto wanted = isNote ? blankAsNone(after.value(key)) : after.value(key);
        if (now == wanted)
            continue;
        const bool left =
            !wanted && now == old && isNote && !faulted.entry(folderOf(iniFile) + iniName);
        if (left)
            ++verdict.leftKeys;
        else
            sameValues = false;
        if (now != old)
            bad.append(QStringLiteral("%1 [%2] %3 = %4, neither %5 before nor %6 after")
                           .arg(iniFile, iniSection, iniName, show(now), show(old), show(wanted)));
    }
    // A note the command keeps for a file is found, with the file or still under its old key.
    for (const auto& [path, content] : before.entries) {
        const auto note = before.noteOf(path);
        if (!note || note->trimmed().isEmpty() || content == "<folder>")
            continue;
        bool kept = after.noteOf(path) == note;
        for (const QString& there : after.pathsOf(content))
            kept = kept || after.noteOf(there) == note;
        if (!kept)
            continue;
        bool found = faulted.noteOf(path) == note;
        for (const QString& there : faulted.pathsOf(content))
            found = found || faulted.noteOf(there) == note;
        if (!found)
            bad.append(QStringLiteral("the note %1 of %2 is lost").arg(show(note), path));
    }
    // Every file is with its own note, never with none and never with another's.
    for (const auto& [path, content] :
         notesWithFiles ? faulted.entries : std::map<QString, QByteArray>()) {
        if (content == "<folder>" || content.startsWith("-> ") ||
            path.contains(QStringLiteral("/filecomm/")))
            continue;
        const auto now = faulted.noteOf(path);
        const bool stayed = before.entry(path) == content && now == before.noteOf(path);
        const bool arrived = after.entry(path) == content && now == after.noteOf(path);
        if (!stayed && !arrived)
            bad.append(
                QStringLiteral("%1 has the note %2, neither %3 before nor %4 after")
                    .arg(path, show(now), show(before.noteOf(path)), show(after.noteOf(path))));
    }
    // A comment is never ahead of the notes file.
    for (const auto& [path, comment] : faulted.comments) {
        const auto content = faulted.entry(path);
        bool had = false;
        for (const QString& was : content ? before.pathsOf(*content) : QStringList())
            had = had || before.commentOf(was) == comment;
        const auto note = faulted.noteOf(path);
        if (!had && (!note || note->toUtf8() != comment))
            bad.append(QStringLiteral("%1 carries the comment %2, but its note is %3")
                           .arg(path, show(std::optional<QByteArray>(comment)), show(note)));
    }
    verdict.sameAsAfter = sameEntries && sameValues && sameMetadata;
    if (!faulted.temporaries.isEmpty()) {
        if (verdict.sameAsAfter)
            verdict.leftTemporaries = int(faulted.temporaries.size());
        else
            bad.append(QStringLiteral("temporary files left: ") + faulted.temporaries.join(u", "));
    }
    return verdict;
}

} // namespace robust_testing
