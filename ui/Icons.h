#pragma once
// The program's pictures: its own coloured, scalable tool bar and node icons, and each file's
// type icon (from the desktop's icon theme).

#include "core/FileRow.h"

#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QString>

namespace ui {

namespace icons {

// Uses the desktop's icon theme when the platform names none and one is installed.
void chooseIconTheme();

// The program's own picture of that name, drawn at the size asked for; disabled, it shows
// grey and faint.
QIcon own(const QString& name);
// A tree node's picture by its kind; a category shows an opened folder while selected.
QIcon node(int kind);

} // namespace icons

// The type icon of a file by its name (a file without a suffix that may run gets the
// program icon); looked up once per suffix.
class FileIconProvider
{
public:
    QIcon iconFor(const core::FileRow& row);

private:
    QIcon lookUp(const QString& name);
    QMimeDatabase m_mimes;
    QHash<QString, QIcon> m_bySuffix;
    QIcon m_executable;
    QIcon m_generic;
};

} // namespace ui
