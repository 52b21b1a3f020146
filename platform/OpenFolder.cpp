#include "platform/OpenFolder.h"

#include "platform/EntryDetails.h"
#include "platform/FileNames.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

OpenFolder::OpenFolder(const QString& dir)
    : m_dir(withTrailingSlash(dir)),
      m_fd(::open(nativePath(m_dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
}

OpenFolder::~OpenFolder()
{
    close();
}

void OpenFolder::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

OpenFolder OpenFolder::subfolder(const QString& name) const
{
    const QString dir = m_dir + name + u'/';
    constexpr int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    const int fd = m_fd >= 0 ? ::openat(m_fd, nativePath(name).constData(), flags)
                             : ::open(nativePath(m_dir + name).constData(), flags);
    return OpenFolder(dir, fd);
}

bool OpenFolder::forEachEntry(const std::function<void(QByteArrayView, Kind)>& visit) const
{
    if (m_fd < 0 || (m_listed && ::lseek(m_fd, 0, SEEK_SET) != 0))
        return false;
    m_listed = true;
    // The directory's records straight from the system, in large blocks: a walk over many
    // small folders spends its time in these calls.
    struct Record
    {
        ino64_t inode;
        off64_t next;
        unsigned short length;
        unsigned char type;
        char name[1];
    };
    alignas(Record) char buffer[32768];
    for (;;) {
        const long got = ::syscall(SYS_getdents64, m_fd, buffer, sizeof buffer);
        if (got < 0)
            return false; // a listing cut short is no listing
        if (got == 0)
            return true;
        for (long at = 0; at < got;) {
            const auto* d = reinterpret_cast<const Record*>(buffer + at);
            at += d->length;
            const char* name = d->name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                continue;
            unsigned char type = d->type;
            if (type == DT_UNKNOWN) {
                struct stat st;
                if (::fstatat(m_fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                    continue; // removed since the folder was read
                type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
            }
            visit(QByteArrayView(name, qsizetype(std::strlen(name))), type == DT_DIR ? Kind::Folder
                                                                      : type == DT_LNK
                                                                          ? Kind::Link
                                                                          : Kind::File);
        }
    }
}

std::vector<DirEntry> OpenFolder::entriesNamed(const QStringList& names, StoredFlags stored) const
{
    std::vector<DirEntry> entries;
    if (m_fd < 0)
        return entries;
    entries.reserve(size_t(names.size()));
    std::string path = nativePath(m_dir).toStdString();
    const size_t folderLength = path.size();
    for (const QString& name : names) {
        const QByteArray bytes = nativePath(name);
        path.resize(folderLength);
        path.append(bytes.constData(), size_t(bytes.size()));
        DirEntry out;
        if (!detail::fillEntry(m_fd, bytes.constData(), bytes.constData(), path.c_str(), out, stored))
            continue;
        out.name = name;
        entries.push_back(std::move(out));
    }
    return entries;
}

bool OpenFolder::isDirectory(const QString& name) const
{
    struct stat st;
    return m_fd >= 0 && ::fstatat(m_fd, nativePath(name).constData(), &st, 0) == 0 &&
           S_ISDIR(st.st_mode);
}

ReadOutcome OpenFolder::readFile(const QString& name, QByteArray* bytes) const
{
    if (m_fd < 0) {
        bytes->clear();
        return ReadOutcome::Unreadable;
    }
    return readWholeFileAt(m_fd, name, bytes);
}

} // namespace platform
