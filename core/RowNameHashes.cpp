#include "core/RowNameHashes.h"

#include "platform/FileNames.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace core {

quint64 RowNameHashes::hashOf(QByteArrayView name)
{
    // Eight bytes at a time: a burst asks for a thousand names, a count for every row.
    constexpr quint64 kOdd = 0x9E3779B97F4A7C15ull;
    quint64 hash = quint64(name.size()) * kOdd;
    const char* at = name.data();
    for (qsizetype left = name.size(); left > 0; left -= 8, at += 8) {
        quint64 word = 0;
        std::memcpy(&word, at, size_t(left < 8 ? left : 8));
        hash = (hash ^ word) * kOdd;
        hash ^= hash >> 32;
    }
    hash = (hash ^ (hash >> 29)) * 0xBF58476D1CE4E5B9ull;
    hash ^= hash >> 32;
    return hash ? hash : 1;
}

quint64 RowNameHashes::hashOf(const FileRows& rows, size_t i)
{
    const QByteArrayView bytes = rows.nameBytes(i);
    // A row that holds its name as text only is looked for by the bytes it writes.
    return bytes.isEmpty() ? hashOf(platform::nativePath(rows.name(i))) : hashOf(bytes);
}

void RowNameHashes::count(const FileRows& rows)
{
    m_hashes = {};
    m_rows = {};
    m_used = 0;
    m_known = true;
    add(rows, 0, rows.size());
}

void RowNameHashes::add(const FileRows& rows, size_t first, size_t end)
{
    if (!m_known)
        return;
    end = std::min(end, rows.size());
    if (first >= end)
        return;
    makeRoom(m_used + (end - first));
    for (size_t i = first; i < end; ++i)
        insert(hashOf(rows, i));
}

void RowNameHashes::remove(const FileRows& rows, size_t first, size_t end)
{
    if (!m_known)
        return;
    for (size_t i = first; i < end && i < rows.size(); ++i)
        erase(hashOf(rows, i));
}

bool RowNameHashes::mayHave(QByteArrayView name) const
{
    if (!m_known)
        return true;
    return !m_hashes.empty() && m_hashes[slotOf(hashOf(name))] != 0;
}

size_t RowNameHashes::slotOf(quint64 hash) const
{
    const size_t mask = m_hashes.size() - 1;
    size_t slot = size_t(hash) & mask;
    while (m_hashes[slot] != 0 && m_hashes[slot] != hash)
        slot = (slot + 1) & mask;
    return slot;
}

void RowNameHashes::makeRoom(size_t names)
{
    // At most half the slots are taken, so that a look finds its slot in a step or two.
    size_t slotCount = 64;
    while (slotCount < 2 * names)
        slotCount *= 2;
    if (slotCount <= m_hashes.size())
        return;
    std::vector<quint64> hashes = std::exchange(m_hashes, std::vector<quint64>(slotCount, 0));
    std::vector<quint32> rows = std::exchange(m_rows, std::vector<quint32>(slotCount, 0));
    for (size_t s = 0; s < hashes.size(); ++s) {
        if (hashes[s] == 0)
            continue;
        const size_t slot = slotOf(hashes[s]);
        m_hashes[slot] = hashes[s];
        m_rows[slot] = rows[s];
    }
}

void RowNameHashes::insert(quint64 hash)
{
    const size_t slot = slotOf(hash);
    if (m_hashes[slot] == 0) {
        m_hashes[slot] = hash;
        ++m_used;
    }
    ++m_rows[slot];
}

void RowNameHashes::erase(quint64 hash)
{
    if (m_hashes.empty())
        return;
    size_t slot = slotOf(hash);
    if (m_hashes[slot] == 0 || --m_rows[slot] > 0)
        return;
    // The hashes after it that were pushed on by it move back, so that no look stops short.
    const size_t mask = m_hashes.size() - 1;
    m_hashes[slot] = 0;
    --m_used;
    for (size_t next = (slot + 1) & mask; m_hashes[next] != 0; next = (next + 1) & mask) {
        const size_t home = size_t(m_hashes[next]) & mask;
        // The entry at `next` may fill the hole when its home is not within (slot, next].
        const bool pushedOn = ((next - home) & mask) >= ((next - slot) & mask);
        if (!pushedOn)
            continue;
        m_hashes[slot] = m_hashes[next];
        m_rows[slot] = m_rows[next];
        m_hashes[next] = 0;
        m_rows[next] = 0;
        slot = next;
    }
}

} // namespace core
