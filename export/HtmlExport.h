#pragma once
// "将列表输出为网页...": the rows of the file list, as the list shows them, written into an
// HTML page the user names.

#include "core/Dialogs.h"
#include "core/Workspace.h"

namespace htmlexport {

class HtmlExport
{
public:
    HtmlExport(core::Workspace& workspace, core::Dialogs& dialogs);

    // Asks for the page's name (proposed from the system tree's selected category) and
    // writes every row of the file list in its shown order. Does nothing for an empty list
    // or a cancelled dialog; a failed write is shown in the error box.
    void BuildHtmlMenuClick();

private:
    core::Workspace& m_workspace;
    core::Dialogs& m_dialogs;
};

namespace texts {
inline const QString SaveTitle = QStringLiteral("输入一个文件名");
inline const QString SaveFilter = QStringLiteral("HTML文件[*.htm]|*.htm");
inline const QString FileNameEnd = QStringLiteral("文件列表");
// The page could not be written: the path and the system's reason.
QString pageWriteFailed(const QString& path, const QString& reason);
} // namespace texts

} // namespace htmlexport
