#pragma once
// What a listing reports of one directory entry (FileSystem::list).

#include "platform/FileSystem.h"

namespace platform::detail {

// Everything a listing reports of an entry but its name: `at` names it relative to the folder
// `dirFd` (or is its full path with AT_FDCWD), `name` is its own name and `path` its full path.
// False when nothing is there.
bool fillEntry(int dirFd, const char* at, const char* name, const char* path, DirEntry& out,
               StoredFlags stored);

} // namespace platform::detail
