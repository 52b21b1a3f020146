#include "fileops/LinkMender.h"

#include "platform/FileNames.h"
#include "platform/OpenFolder.h"
#include "platform/SysCalls.h"

#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fileops {

namespace {

QByteArray withoutFinalSlash(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

QByteArray parentOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// The absolute path with its "." and ".." taken as written; false when a ".." follows a name
// (it may climb out of a link, which only the system can tell) or the path is not absolute.
bool normalized(const QByteArray& path, QByteArray* out)
{
    if (!path.startsWith('/'))
        return false;
    QList<QByteArray> parts;
    for (const QByteArray& part : path.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.isEmpty())
                return false;
            continue; // above the root is the root
        }
        parts.append(part);
    }
    *out = '/' + parts.join('/');
    return true;
}

// Where the link text `text` leads from the real folder `folder`, normalized; false when that
// cannot be told by the names alone.
bool resolved(const QByteArray& folder, const QByteArray& text, QByteArray* out)
{
    if (text.startsWith('/'))
        return normalized(text, out);
    // The folder is real: the text's leading ".." climb it as the system would.
    QList<QByteArray> parts = folder.split('/');
    parts.removeAll(QByteArray());
    const QList<QByteArray> given = text.split('/');
    qsizetype at = 0;
    for (; at < given.size(); ++at) {
        if (given[at] == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
        } else if (!given[at].isEmpty() && given[at] != ".") {
            break;
        }
    }
    QList<QByteArray> rest = given.mid(at);
    if (rest.contains(QByteArrayLiteral("..")))
        return false;
    parts.append(rest);
    return normalized('/' + parts.join('/'), out);
}

// The relative text that leads from the folder `folder` to `target` (both normalized).
QByteArray relativeText(const QByteArray& folder, const QByteArray& target)
{
    QList<QByteArray> from = folder.split('/');
    from.removeAll(QByteArray());
    QList<QByteArray> to = target.split('/');
    to.removeAll(QByteArray());
    qsizetype common = 0;
    while (common < from.size() && common < to.size() && from[common] == to[common])
        ++common;
    QList<QByteArray> way;
    for (qsizetype i = common; i < from.size(); ++i)
        way.append("..");
    way.append(to.mid(common));
    const QByteArray text = way.join('/');
    return text.isEmpty() ? QByteArrayLiteral(".") : text;
}

// The path with its folder's links resolved (the folder must exist), else as normalized.
QByteArray realPath(const QByteArray& path)
{
    const QByteArray plain = withoutFinalSlash(path);
    const qsizetype slash = plain.lastIndexOf('/');
    if (slash < 0)
        return plain;
    QByteArray out;
    if (char* real = ::realpath(slash == 0 ? "/" : plain.left(slash).constData(), nullptr)) {
        out = withoutFinalSlash(QByteArray(real)) + '/' + plain.mid(slash + 1);
        std::free(real);
        return out;
    }
    return normalized(plain, &out) ? out : plain;
}

bool readLink(const QByteArray& link, QByteArray* text)
{
    char buffer[PATH_MAX + 1];
    const ssize_t n = ::readlink(link.constData(), buffer, sizeof buffer);
    if (n < 0 || n >= ssize_t(sizeof buffer))
        return false;
    *text = QByteArray(buffer, n);
    return true;
}

// Makes the link at `link` read `text`: a new link beside it, under a name that a listing
// removes should the program end in between, takes its name in one step.
bool rewriteLink(const QByteArray& link, const QByteArray& text)
{
    const QByteArray temporary = parentOf(link) + "/.quillet-" +
                                 QByteArray::number(QRandomGenerator::system()->generate64(), 36) +
                                 ".part";
    if (platform::sys::symlinkat(text.constData(), AT_FDCWD, temporary.constData()) != 0)
        return false;
    if (platform::sys::rename(temporary.constData(), link.constData()) != 0) {
        platform::sys::unlink(temporary.constData());
        return false;
    }
    return true;
}

// `path` after a move of `from` to `to`, when it is `from` or lies below it.
bool movedBy(const QByteArray& path, const QByteArray& from, const QByteArray& to, QByteArray* out)
{
    if (path == from) {
        *out = to;
        return true;
    }
    if (path.size() > from.size() && path.startsWith(from) && path[from.size()] == '/') {
        *out = to + path.mid(from.size());
        return true;
    }
    return false;
}

} // namespace

LinkMender::~LinkMender()
{
    try {
        mend();
    } catch (...) {
        // No room left to mend in: the links stay as the moves left them.
    }
}

void LinkMender::arrived(const QString& from, const QString& to)
{
    Arrival arrival;
    arrival.from = withoutFinalSlash(platform::nativePath(from));
    arrival.to = withoutFinalSlash(platform::nativePath(to));
    arrival.realFrom = realPath(arrival.from);
    arrival.realTo = realPath(arrival.to);
    m_arrivals.push_back(std::move(arrival));
}

QByteArray LinkMender::movedPlace(const QByteArray& path) const
{
    QByteArray out;
    for (const Arrival& arrival : m_arrivals) {
        if (movedBy(path, arrival.realFrom, arrival.realTo, &out) ||
            movedBy(path, arrival.from, arrival.to, &out))
            return out;
    }
    return path;
}

bool LinkMender::mendLink(const QByteArray& link, const QByteArray& oldFolder,
                          const QByteArray& newFolder)
{
    QByteArray text;
    QByteArray led; // where it led before the command
    if (!readLink(link, &text) || !resolved(oldFolder, text, &led))
        return false;
    const QByteArray leads = movedPlace(led);
    QByteArray wanted = text;
    if (text.startsWith('/')) {
        if (leads != led)
            wanted = leads;
    } else {
        QByteArray now;
        if (!resolved(newFolder, text, &now) || now != leads)
            wanted = relativeText(newFolder, leads);
    }
    return wanted != text && rewriteLink(link, wanted);
}

int LinkMender::mendTree(const Arrival& arrival, const platform::OpenFolder& folder,
                         const QByteArray& relative)
{
    // The folder is read whole first: a rewritten link is a new entry of it.
    std::vector<std::pair<QByteArray, platform::OpenFolder::Kind>> entries;
    folder.forEachEntry([&](QByteArrayView name, platform::OpenFolder::Kind kind) {
        if (kind != platform::OpenFolder::Kind::File && !name.startsWith(".quillet-"))
            entries.emplace_back(name.toByteArray(), kind);
    });
    int mended = 0;
    for (const auto& [name, kind] : entries) {
        const QByteArray below = relative + '/' + name;
        if (kind == platform::OpenFolder::Kind::Folder) {
            mended += mendTree(arrival, platform::OpenFolder(folder, name, false), below);
        } else if (mendLink(arrival.to + below, parentOf(arrival.realFrom + below),
                            parentOf(arrival.realTo + below))) {
            // Moved with its folder, it read as it did: from where its folder was.
            ++mended;
        }
    }
    return mended;
}

int LinkMender::mend()
{
    int mended = 0;
    for (const Arrival& arrival : m_arrivals) {
        struct stat st;
        if (::lstat(arrival.to.constData(), &st) != 0)
            continue;
        if (S_ISLNK(st.st_mode)) {
            // The move made a link that leads from its new folder to where it led.
            const QByteArray folder = parentOf(arrival.realTo);
            if (mendLink(arrival.to, folder, folder))
                ++mended;
        } else if (S_ISDIR(st.st_mode)) {
            mended += mendTree(arrival, platform::OpenFolder(platform::pathFromNative(arrival.to)),
                               QByteArray());
        }
    }
    m_arrivals.clear();
    return mended;
}

} // namespace fileops
