#pragma once
// Small helpers for the file command tests.

#include "core/FileRow.h"
#include "support/World.h"

#include <QDir>
#include <QStringList>

#include <ostream>

// Texts show as text in failure reports.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace fileops_testing {

// The names of the selected rows of the file list, from the top.
inline QStringList selectedNames(testing_support::World& world)
{
    QStringList names;
    for (int row : core::Workspace::selectedRows(world.workspace.fileSelection()))
        names.append(world.workspace.fileList().row(row).name);
    return names;
}

// Every entry of a folder, dot-files included, sorted.
inline QStringList entriesOf(const QString& dir)
{
    return QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

inline core::FileRow searchRow(const QString& folder, const QString& name, const QString& note)
{
    core::FileRow row;
    row.folder = folder;
    row.name = name;
    row.caption = name;
    row.note = note;
    return row;
}

// "[fileinfo]" and the lines given, each ended by CR LF, as a notes file holds them.
inline QString notesFileText(const QStringList& lines)
{
    QString text = QStringLiteral("[fileinfo]\r\n");
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

} // namespace fileops_testing
