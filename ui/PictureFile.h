#pragma once
// Background and preview pictures read from files the user chose: only a regular file of a
// picture's size is read, so a FIFO, a device or a huge file never holds the window up.

#include <QPixmap>
#include <QString>

namespace ui {

// The largest picture file read: far more than any tool bar or tree background needs.
inline constexpr qint64 kMaxPictureFileSize = 64 * 1024 * 1024;

// The picture in the file at `path`; a null picture when it is no regular file, is larger
// than the limit, cannot be read or holds no picture Qt can decode.
QPixmap readPictureFile(const QString& path);

} // namespace ui
