#include "export/HtmlExport.h"

#include "export/HtmlPage.h"
#include "export/NoteSanitizer.h"
#include "platform/FileNames.h"
#include "platform/FileSystem.h"

namespace htmlexport {

QString texts::pageWriteFailed(const QString& path, const QString& reason)
{
    return QStringLiteral("无法写入网页文件“%1”：%2").arg(path, reason);
}

HtmlExport::HtmlExport(core::Workspace& workspace, core::Dialogs& dialogs)
    : m_workspace(workspace), m_dialogs(dialogs)
{
}

void HtmlExport::BuildHtmlMenuClick()
{
    const core::FileListModel& list = m_workspace.fileList();
    if (list.count() == 0)
        return;

    // The system tree names the page, also while the external tree is shown.
    const core::CategoryTreeModel& tree = m_workspace.systemTree();
    core::SaveDialogSpec spec;
    spec.title = texts::SaveTitle;
    spec.fileName =
        platform::displayText(tree.captionOf(m_workspace.selectedNode(tree))) + texts::FileNameEnd;
    spec.filter = texts::SaveFilter;
    spec.filterIndex = 1;
    spec.defaultExtension = QStringLiteral("htm");
    const QString path = m_dialogs.chooseSaveFile(spec);
    if (path.isEmpty())
        return;

    core::BusyCursor busy(m_dialogs);
    THtmlPage page;
    page.BeginPage();
    // The page shows names, notes, sizes and dates: the rows' texts are written from what the
    // listing found, and no attribute is read for it.
    const core::FileRows& rows = list.fileRows();
    page.reserveRows(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        // A file name is shown as itself, never taken as markup. A note keeps the plain
        // formatting and links a user may have written; anything else in it is shown as text,
        // as notes also come from other people's folders and from files' comments.
        page.AddRow(escapeHtml(rows.shownCaption(i)), NoteSanitizer::sanitize(rows.note(i)),
                    escapeHtml(rows.sizeText(i)), escapeHtml(rows.dateText(i)));
    }
    page.EndPage();
    if (const int error = page.SavePage(path))
        m_dialogs.showError(texts::pageWriteFailed(platform::displayText(path),
                                                   platform::FsResult::fromErrno(error).message()));
}

} // namespace htmlexport
