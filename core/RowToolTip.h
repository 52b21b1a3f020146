#pragma once
// The tool tip of a cell of the file list or the search list: the note as it was typed in the
// note column, and on every cell of a downloaded file the address it came from. Tips take
// text that looks like markup as markup, so both are escaped.

#include "core/FileRow.h"

#include <QString>

namespace core {

// `cellText` is what the cell shows; `noteColumn` tells the note column. Empty when the cell
// needs no tip of its own.
QString RowToolTip(const FileRow& row, const QString& cellText, bool noteColumn);

} // namespace core
