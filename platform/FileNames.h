#pragma once
// File names are bytes on disk. The program holds every path and name as a QString that keeps
// those bytes: a name that is valid UTF-8 reads as itself, and every byte of a name that is
// not is kept as one character U+DC80..U+DCFF (a lone surrogate, which no text holds), so any
// name converts back to exactly its bytes.
//
// What a list shows for a name, and the key its note is stored under, is its caption: the
// name itself when it is UTF-8; the GB18030 reading of its bytes when they read cleanly (names
// from Windows archives); else the GB18030 reading with the unreadable bytes kept.

#include <QByteArray>
#include <QString>

namespace platform {

// The bytes of a path for a system call.
QByteArray nativePath(QStringView path);
// A path or name as the system returned it, bytes kept.
QString pathFromNative(QByteArrayView bytes);

// True when the text holds kept bytes (U+DC80..U+DCFF standing alone).
bool hasKeptBytes(QStringView text);
inline bool isKeptByte(char16_t c)
{
    return c >= 0xDC80 && c <= 0xDCFF;
}

// The caption of a file or folder name (see above).
QString captionOfName(const QString& name);

// What a name shows: its caption without leading U+FEFF, which shows as nothing. Two names
// of a folder that show alike ("中.txt" in UTF-8 and in GBK bytes, "readme.txt" with and
// without a leading U+FEFF) would look like one file and could share one note key.
QString shownName(const QString& name);

// The text shown for a caption: every kept byte shows as U+FFFD.
QString displayText(const QString& text);
// The text shown for a path: every folder and file name in it as its caption reads.
QString displayPath(const QString& path);

// The folder part of a path, with its "/" ("/a/b/c.txt" gives "/a/b/"), and the name part.
QString folderOfPath(const QString& path);
QString nameOfPath(const QString& path);

// The path with every link resolved, by its bytes; empty when nothing is there.
QString canonicalPath(const QString& path);

// The program's temporary names ("." + "quillet-" ... ): never listed, never searched. Besides
// the writes in progress below, a whole file that steps aside for a moment is parked under
// ".quillet-*.keep" (see ParkedFiles.h), which is never removed as a leftover.
bool isTemporaryName(QStringView name);
// The names of writes in progress, a whole-file write's ".quillet-*.tmp" and a copy's
// ".quillet-*.part": one left without its lock by a killed write is removed when seen.
bool isPartialWriteName(QStringView name);

} // namespace platform
