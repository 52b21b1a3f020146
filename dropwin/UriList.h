#pragma once
// Reading the list of dropped files that a file manager gives as "text/uri-list".

#include <QByteArray>
#include <QStringList>

namespace dropwin {

// The local paths of the list's file addresses, in the list's order, with the bytes of each
// name as they are on disk (a name need not be UTF-8). Comment lines, addresses of other
// schemes, files of other hosts and addresses whose escapes cannot be read (not two
// hexadecimal digits, or a NUL byte) are left out; a folder's path has no trailing "/".
QStringList localPathsFromUriList(const QByteArray& list);
// The same, but an address whose escapes cannot be read stays in its place as it stands,
// which names no file: the drop refuses it by name.
QStringList droppedItemsFromUriList(const QByteArray& list);

} // namespace dropwin
