#pragma once
// Which file or folder a path names: its device and inode. Two paths name one file or one
// folder when those match, whatever their text (a hard link, a folder reached through a bind
// mount or a link, a name spelled another way on a folder that ignores letter case). Every
// command that asks whether two paths are one asks here.

#include <QString>

#include <optional>
#include <sys/types.h>

namespace platform {

struct FileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;
    bool isLink = false; // the entry itself is a symbolic link (links taken as themselves)
    bool operator==(const FileIdentity& other) const
    {
        return device == other.device && inode == other.inode;
    }
};

enum class Links
{
    AsThemselves, // a link is a link (lstat)
    Follow,       // the file a link leads to (stat)
};

// The identity of what is at `path`; nothing when nothing is there.
std::optional<FileIdentity> identityOf(const QString& path, Links links = Links::AsThemselves);

// Both paths name one entry: the same device and inode (links as themselves, or the files
// they lead to).
bool isSameFile(const QString& a, const QString& b, Links links = Links::AsThemselves);

// Both paths name one folder (a link to a folder leads to it, as opening the path does). When
// one of them does not exist they are compared by their text, made absolute and cleaned.
bool isSameFolder(const QString& a, const QString& b);

// Bringing `source` to `target` would bring a file onto itself: both paths name one entry,
// or `source` is a link that leads to the file `target` is or leads to. Such a file is
// already in place; replacing the target would leave a link to itself, or nothing.
bool isAlreadyAt(const QString& source, const QString& target);

} // namespace platform
