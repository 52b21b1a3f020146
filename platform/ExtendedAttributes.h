#pragma once
// The user extended attributes that desktop programs share: a file's comment, which file
// managers show, and the address a downloader recorded. They are read from and written to the
// entry itself: a symbolic link is never followed.

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// The comment of a file (UTF-8 text without a terminating NUL).
inline constexpr char CommentAttribute[] = "user.xdg.comment";
// Where a downloaded file came from, and the page that led there.
inline constexpr char OriginAttribute[] = "user.xdg.origin.url";
inline constexpr char ReferrerAttribute[] = "user.xdg.referrer.url";

// The value of attribute `name` of the entry at `path`; nothing when it has none or it cannot
// be read (no such entry, a file system without user attributes).
std::optional<QByteArray> readAttribute(const QString& path, const char* name);
// The same for a path given as its bytes.
std::optional<QByteArray> readAttributeAt(const QByteArray& nativePath, const char* name);
// Sets the attribute, leaving it alone when it holds that value already; false when the file
// system, the entry (a read-only file, a link) or the user refuses.
bool writeAttribute(const QString& path, const char* name, const QByteArray& value);
bool writeAttributeAt(const QByteArray& nativePath, const char* name, const QByteArray& value);
// Removes the attribute; true when the entry has none afterwards.
bool removeAttribute(const QString& path, const char* name);
bool removeAttributeAt(const QByteArray& nativePath, const char* name);

} // namespace platform
