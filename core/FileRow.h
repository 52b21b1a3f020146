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
    // A row as listed leaves for later what is written or read when it is shown (see
    // FileRows): its size and date texts, and its stored flags. A list shows a few dozen of
    // many thousand rows.
    bool storedAttributesLater = false;
    bool textsLater = false;

    bool complete() const { return !storedAttributesLater && !textsLater; }
};

} // namespace core
