#pragma once
// What a drag inside the main window carries: the file list, the search list and the system
// tree mark their drags with where they come from and with the running program, so a drop
// onto a tree can tell them apart (and a drag from another program is none of them).

#include <QMimeData>

namespace core {

enum class DragSource
{
    FileList,
    SearchList,
    SystemTree,
    Other
};

// The mime data of a drag starting in `source`.
QMimeData* dragDataFor(DragSource source);
// Where the drag carrying `data` started; Other for anything not started by this program.
DragSource dragSourceOf(const QMimeData* data);
// The one format the program's own drags carry.
QString dragSourceFormat();

} // namespace core
