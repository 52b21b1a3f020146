#pragma once
// The program's writes in progress: a whole-file write's ".quillet-*.tmp" and a copy's
// ".quillet-*.part" are held with an exclusive advisory lock from the moment they are made
// until they have taken their own name or are gone. One found without its lock was left by a
// write that was killed, and goes when a write or a listing of its folder comes upon it.

#include <QString>

namespace platform {

// The lock on one temporary entry, held while the object lives.
class TemporaryHold
{
public:
    TemporaryHold() = default;
    ~TemporaryHold() { release(); }
    TemporaryHold(const TemporaryHold&) = delete;
    TemporaryHold& operator=(const TemporaryHold&) = delete;

    // Locks the entry just made and open as `fd` (which may be closed afterwards: the hold
    // keeps a descriptor of its own). Returns ESTALE when a clean-up removed the entry before
    // the lock was taken (the caller makes another), else 0, also where the file system has
    // no locks.
    int hold(int fd);
    void release();
    // The hold's own descriptor of the entry, or -1.
    int fd() const { return m_fd; }

private:
    int m_fd = -1;
};

// Removes the temporary entry `name` of the folder open as `dirFd` when it is the program's
// write in progress (isPartialWriteName) and no running write holds it. A symbolic link or
// device node, which cannot be held, goes once it is older than any write takes. True when it
// is gone.
bool removeLeftover(int dirFd, const char* name);
bool removeLeftover(const QString& path);

} // namespace platform
