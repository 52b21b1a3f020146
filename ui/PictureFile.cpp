#include "ui/PictureFile.h"

#include "platform/AtomicFile.h"

namespace ui {

QPixmap readPictureFile(const QString& path)
{
    QByteArray bytes;
    QPixmap picture;
    if (platform::readWholeFile(path, &bytes, kMaxPictureFileSize) == platform::ReadOutcome::Loaded)
        picture.loadFromData(bytes);
    return picture;
}

} // namespace ui
