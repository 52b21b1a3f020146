#pragma once
// The index saved between runs: one file per library under the user's cache folder, never
// inside the library. The file starts with its kind, its version, the length of what follows
// and a checksum of it; a file of another kind or version, cut short or damaged is not used.
// It is written whole to a temporary file and renamed over the old one, under a lock beside
// it, so two programs sharing it never leave a mixture.

#include "search/LibraryIndex.h"

#include <QString>
#include <QStringList>

#include <array>

#include <functional>
#include <memory>
#include <vector>

namespace search {

class IndexCache
{
public:
    // Raised whenever what a folder's record holds changes meaning (4: the notes file's
    // conflict copies are no files of the index; 5: a file's name and note end where the next
    // file's begin, and each name has its rank; 6: the checksum is made of CRC-32C sums; 7: the
    // walk's order is kept; 8: a folder with a single run of letters has its bit).
    static constexpr quint32 kVersion = 8;

    // The cache file of the library at `root`: in $XDG_CACHE_HOME/quillet/ (the user's cache
    // folder when unset), named after the root's path.
    static QString fileFor(const QString& root);

    // The walk's order as it was worked out when the cache was written: the external folders
    // it was worked out for, and each part as (entry's place among the entries, first part,
    // last part); no parts when it was not known.
    struct Order
    {
        QStringList outer;
        std::vector<std::array<quint32, 3>> parts;
    };

    static bool write(const QString& file, const QString& root,
                      const std::vector<const LibraryIndex::Entry*>& entries, const Order& order);
    // The entries of the cache of `root`, each with the path of the one it is reached from,
    // and the walk's order; false (and nothing) when there is no usable one. `arrived` is told
    // of each entry as soon as it is read, before the file is known to be whole.
    static bool read(const QString& file, const QString& root,
                     std::vector<std::unique_ptr<LibraryIndex::Entry>>& entries,
                     std::vector<QString>& parents, Order& order,
                     const std::function<void(LibraryIndex::Entry&)>& arrived = {});

    // The checksum a cache file carries over what follows its header.
    static quint64 checksum(const char* data, size_t size);
};

} // namespace search
