#include "core/DragSource.h"

#include <QCoreApplication>

namespace core {

namespace {

QByteArray tagOf(DragSource source)
{
    const char* kind = "";
    switch (source) {
    case DragSource::FileList:
        kind = "filelist";
        break;
    case DragSource::SearchList:
        kind = "findList";
        break;
    case DragSource::SystemTree:
        kind = "treeview";
        break;
    case DragSource::Other:
        break;
    }
    return QByteArray::number(QCoreApplication::applicationPid()) + ' ' + kind;
}

} // namespace

QString dragSourceFormat()
{
    return QStringLiteral("application/x-quillet-drag-source");
}

QMimeData* dragDataFor(DragSource source)
{
    auto* data = new QMimeData;
    data->setData(dragSourceFormat(), tagOf(source));
    return data;
}

DragSource dragSourceOf(const QMimeData* data)
{
    if (!data || !data->hasFormat(dragSourceFormat()))
        return DragSource::Other;
    const QByteArray tag = data->data(dragSourceFormat());
    for (DragSource source :
         {DragSource::FileList, DragSource::SearchList, DragSource::SystemTree}) {
        if (tag == tagOf(source))
            return source;
    }
    return DragSource::Other;
}

} // namespace core
