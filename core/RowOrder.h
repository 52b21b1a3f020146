#pragma once
// The order of a list's rows by one column: text columns by their GB18030 bytes with only the
// ASCII letters a to z folded to upper case, the size and date columns by their numbers; rows
// that compare equal keep the order they had. The sort keys of all rows are written into one
// buffer, names straight from their UTF-8 bytes through a table, so a sort of many rows makes
// no string per row.

#include "core/FileRows.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <string>
#include <vector>

namespace core {

enum class RowKey
{
    Name,
    Note,
    Folder,
    Size,
    Date,
    Attr
};

// Row k of the sorted list is row order[k] of `rows`.
std::vector<int> sortedOrder(const FileRows& rows, RowKey key, bool ascending);

// The sort key of a text: its GB18030 bytes with a to z folded to A to Z.
void appendTextKey(std::string& out, QStringView text);
// The same for a name given as its bytes in UTF-8 (valid UTF-8 only).
void appendUtf8Key(std::string& out, QByteArrayView utf8);
// The name column's key of a listed row: its name's bytes, shown as themselves or (when
// `captionDecoded`) as their GB18030 reading.
void appendNameKey(std::string& out, QByteArrayView nameBytes, bool captionDecoded);
// The name column's key of row i of `rows`.
void appendNameKey(std::string& out, const FileRows& rows, size_t i);

} // namespace core
