#pragma once
// One row of the file list or of the search result list.

#include "platform/FileAttributes.h"

#include <QDateTime>
#include <QString>

namespace core {

struct FileRow
{
    QString name;     // the file's name on disk, bytes kept (see platform/FileNames.h)
    QString caption;  // what the list shows and the key of the note and the document
    QString note;     // the note column
    QString sizeText; // as shown; import rows use their own form
    QString dateText;
    QString attrText;
    QString folder;        // the folder holding the file, ending in "/" (search rows show it)
    qint64 size = 0;       // the size number the list sorts by
    qint64 modifiedMs = 0; // last-write time, ms since the epoch, for sorting by date
    platform::Attributes attributes = 0;
    // The stored flags are read when the row is first looked at (see completeAttributes).
    bool storedAttributesLater = false;
};

// Reads the stored flags of a row listed without them, and writes its attribute letters.
void completeAttributes(FileRow& row);

} // namespace core
