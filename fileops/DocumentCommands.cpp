#include "fileops/DocumentCommands.h"

#include "core/CategoryTreeModel.h"
#include "core/Texts.h"
#include "fileops/DocumentTexts.h"
#include "notes/NotesKeeper.h"
#include "platform/FileNames.h"

#include <cerrno>

namespace fileops {

QString texts::documentWriteFailed(const QString& path, const QString& reason)
{
    return QStringLiteral("文档“%1”无法写入：%2").arg(path, reason);
}

QString texts::documentReadFailed(const QString& path, const QString& reason)
{
    return QStringLiteral("文档“%1”无法读取：%2").arg(path, reason);
}

QString texts::documentDeleteFailed(const QString& path, const QString& reason)
{
    return QStringLiteral("文档“%1”无法删除：%2").arg(path, reason);
}

namespace {

QString reasonOf(int error)
{
    return platform::FsResult::fromErrno(error).message();
}

} // namespace

DocumentCommands::DocumentCommands(core::Workspace& workspace, core::Dialogs& dialogs,
                                   DocumentEditor& editor)
    : m_workspace(workspace), m_dialogs(dialogs), m_editor(editor)
{
    m_font.color = 0;
    m_font.size = 11;
    m_font.height = 0;
}

QString DocumentCommands::documentPath() const
{
    return m_workspace.session().documents().docDir() + m_currentDocName;
}

bool DocumentCommands::TabConChanging(int currentTab)
{
    if (currentTab != DocumentTab || !m_editor.isModified())
        return true;
    switch (m_dialogs.ask(texts::UnsavedCaption, texts::UnsavedQuestion, core::MessageIcon::Warning,
                          core::Buttons::YesNoCancel, core::Answer::Yes)) {
    case core::Answer::Yes:
        // A save that failed keeps the page, so the text is not lost.
        return savenoteClick();
    case core::Answer::No:
        return true;
    default:
        return false;
    }
}

void DocumentCommands::TabConChange(int tab)
{
    const bool files = tab == FilesTab;
    m_workspace.setFilePageShown(files);
    core::ToolStates tools = m_workspace.toolStates();
    if (files) {
        const bool external = m_workspace.section() == core::Workspace::Section::External;
        const int kind = m_workspace.activeKind();
        tools.addfilebtn = kind >= 0 && kind != core::RecycleBoxKind &&
                           kind != (external ? core::ExternalRootKind : core::RootKind);
    } else {
        tools.addfilebtn = false;
    }
    m_workspace.setToolStates(tools);
    if (files)
        return;

    m_editor.setText(QString());
    const core::FileListModel& list = m_workspace.fileList();
    const int row = core::Workspace::firstSelectedRow(m_workspace.fileSelection());
    if (list.count() == 0 || row < 0 || row >= list.count()) {
        m_currentDocName.clear();
        showNoDocument(texts::NoDocumentText);
        return;
    }
    m_currentDocName = list.row(row).caption.trimmed() + QStringLiteral(".txt");
    m_format = {};
    const core::TextFile document = core::readTextFile(documentPath());
    if (document.outcome == platform::ReadOutcome::Unreadable) {
        // A document that cannot be read is never replaced by an empty one.
        showNoDocument(QString());
        m_dialogs.showError(texts::documentReadFailed(platform::displayPath(documentPath()),
                                                      reasonOf(document.error)));
        return;
    }
    m_saveEnabled = true;
    m_loadEnabled = true;
    m_editor.setEditorEnabled(true);
    if (document.outcome == platform::ReadOutcome::Loaded) {
        m_format = document.format;
        m_editor.setText(document.text);
    }
    m_editor.setModified(false);
}

void DocumentCommands::showNoDocument(const QString& text)
{
    m_saveEnabled = false;
    m_loadEnabled = false;
    m_editor.setText(text);
    m_editor.setEditorEnabled(false);
    m_editor.setModified(false);
}

bool DocumentCommands::savenoteClick()
{
    if (m_currentDocName.isEmpty()) {
        m_dialogs.showMessage(texts::NoDocumentName);
        return false;
    }
    const platform::FileSystem& fs = m_workspace.session().fs();
    const QString path = documentPath();
    const QString text = m_editor.text();
    if (!text.isEmpty()) {
        if (m_editor.isModified()) {
            // The document folder is made at start; one removed since is made again.
            const QString docDir = m_workspace.session().documents().docDir();
            if (!fs.isDirectory(docDir))
                fs.makeDirectory(docDir);
            if (const int error =
                    core::writeTextFile(path, text, m_format, platform::LinkPolicy::Refuse)) {
                m_dialogs.showError(
                    texts::documentWriteFailed(platform::displayPath(path), reasonOf(error)));
                return false;
            }
        }
        m_editor.setModified(false);
        recordDocumentedFile();
    } else if (fs.exists(path)) {
        // The document exists only while it has text. The mark stays as it is.
        if (const platform::FsResult removed = fs.removeFile(path); !removed) {
            m_dialogs.showError(
                texts::documentDeleteFailed(platform::displayPath(path), removed.message()));
            return false;
        }
    }
    updateDocumentMark();
    return true;
}

void DocumentCommands::recordDocumentedFile()
{
    // The selected file, when the document is its own, is recorded under its name: a rename
    // by another program then takes the document along.
    const core::FileListModel& list = m_workspace.fileList();
    const int row = core::Workspace::firstSelectedRow(m_workspace.fileSelection());
    if (row < 0 || row >= list.count() || !m_workspace.session().writable())
        return;
    const core::Documents& documents = m_workspace.session().documents();
    if (documents.DocumentPath(list.row(row).caption) == documentPath())
        notes::NotesKeeper::recordFile(m_workspace.session().currentDir(), list.row(row).name);
}

void DocumentCommands::updateDocumentMark()
{
    // The status bar's mark speaks of the selected file, when that is still this one.
    const core::FileListModel& list = m_workspace.fileList();
    const int row = core::Workspace::firstSelectedRow(m_workspace.fileSelection());
    if (row < 0 || row >= list.count())
        return;
    const core::Documents& documents = m_workspace.session().documents();
    if (documents.DocumentPath(list.row(row).caption) != documentPath())
        return;
    m_workspace.status().setText(
        3, documents.HasDocument(list.row(row).caption) ? core::texts::DocumentMark : QString());
}

void DocumentCommands::t502Click()
{
    if (!m_editor.hasText() || !m_saveEnabled)
        return;
    core::SaveDialogSpec spec;
    spec.title = texts::SaveAsTitle;
    spec.fileName = platform::displayText(m_currentDocName);
    spec.filter = texts::TextFilter;
    spec.filterIndex = 1;
    spec.defaultExtension = QStringLiteral("txt");
    const QString path = m_dialogs.chooseSaveFile(spec);
    if (path.isEmpty())
        return;
    // The user named the file: a link there is written through to its file.
    if (core::writeTextFile(path, m_editor.text(), m_format, platform::LinkPolicy::WriteTarget) !=
        0)
        m_dialogs.showMessage(texts::SaveAsFailed);
}

void DocumentCommands::t503Click()
{
    if (!m_loadEnabled)
        return;
    const QString path = m_dialogs.chooseFile(texts::LoadTitle, texts::TextFilter);
    if (path.isEmpty())
        return;
    const core::TextFile file = core::readTextFile(path);
    if (file.outcome != platform::ReadOutcome::Loaded) {
        const int error = file.outcome == platform::ReadOutcome::Missing ? ENOENT : file.error;
        m_dialogs.showMessage(texts::LoadFailed + u'\n' +
                              (error == EFBIG ? texts::LoadTooLarge : reasonOf(error)));
        return;
    }
    m_editor.setText(file.text);
    m_editor.setModified(true);
}

void DocumentCommands::t504Click()
{
    const std::optional<core::FontSpec> chosen = m_dialogs.chooseFont(m_font);
    if (!chosen)
        return;
    m_font = *chosen;
    m_font.height = 0; // the size in points decides
    applyLook();
}

void DocumentCommands::backcolorbtnClick()
{
    const std::optional<int> chosen = m_dialogs.chooseColor(m_backColor);
    if (!chosen)
        return;
    m_backColor = *chosen;
    applyLook();
}

void DocumentCommands::ToolButton15Click()
{
    if (m_font.size < 72) {
        ++m_font.size;
        applyLook();
    }
}

void DocumentCommands::ToolButton16Click()
{
    if (m_font.size > 9) {
        --m_font.size;
        applyLook();
    }
}

DocumentMenuStates DocumentCommands::t500Click() const
{
    return {m_saveEnabled, m_saveEnabled && m_editor.hasText(), m_loadEnabled};
}

void DocumentCommands::applySettings(const core::DocumentSettings& settings)
{
    m_font.name = settings.fontName;
    m_font.size = settings.fontSize;
    m_font.height = 0;
    m_font.color = settings.fontColor;
    m_font.charset = settings.fontCharset;
    m_backColor = settings.backColor;
    applyLook();
}

void DocumentCommands::storeSettings(core::DocumentSettings& settings) const
{
    settings.backColor = m_backColor;
    settings.fontSize = m_font.size;
    settings.fontColor = m_font.color;
    settings.fontName = m_font.name;
    settings.fontCharset = m_font.charset;
}

void DocumentCommands::applyLook()
{
    m_editor.setLook(m_font, m_backColor);
}

} // namespace fileops
