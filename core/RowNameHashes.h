#pragma once
// The names a list's rows have, kept as the rows change, so that a burst of changes in a folder
// of a hundred thousand files finds without a pass over the rows that its names are new. Only a
// hash of each name's bytes is held, with the number of rows that have it: the answer may be
// "maybe" for a name without a row (the rows are then searched), never "no" for one with a row.

#include "core/FileRows.h"

#include <QByteArrayView>

#include <vector>

namespace core {

class RowNameHashes
{
public:
    // Counts the names of every row, afresh; until then every name may have a row.
    void count(const FileRows& rows);
    bool known() const { return m_known; }

    // Rows first..end-1 of `rows` came, or are about to go.
    void add(const FileRows& rows, size_t first, size_t end);
    void remove(const FileRows& rows, size_t first, size_t end);
    // False only when no row has the name given by its bytes on disk.
    bool mayHave(QByteArrayView name) const;

private:
    static quint64 hashOf(QByteArrayView name);
    static quint64 hashOf(const FileRows& rows, size_t i);
    // The slot that holds `hash`, or the empty one where it would go.
    size_t slotOf(quint64 hash) const;
    void insert(quint64 hash);
    void erase(quint64 hash);
    void makeRoom(size_t names);

    // An open table of hashes (0: an empty slot) and how many rows have each.
    std::vector<quint64> m_hashes;
    std::vector<quint32> m_rows;
    size_t m_used = 0;
    bool m_known = false;
};

} // namespace core
