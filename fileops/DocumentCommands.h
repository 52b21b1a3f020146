#pragma once
// The document page: the detailed document of the selected file shown for editing when the
// page is entered, the question that guards unsaved edits when it is left, saving (an empty
// document deletes its file), saving a copy elsewhere, loading a text file into it, and the
// editor's font, size and background.

#include "core/Dialogs.h"
#include "core/TextFile.h"
#include "core/Workspace.h"
#include "fileops/DocumentEditor.h"

namespace fileops {

struct DocumentMenuStates
{
    bool t501, t502, t503;
};

class DocumentCommands
{
public:
    static constexpr int FilesTab = 0;
    static constexpr int DocumentTab = 1;

    DocumentCommands(core::Workspace& workspace, core::Dialogs& dialogs, DocumentEditor& editor);

    // Before the bottom tab changes away from `currentTab`: an edited document asks whether
    // to save it. False keeps the tab (Cancel, or a save that failed).
    bool TabConChanging(int currentTab);
    // After the tab changed to `tab`: the import button follows the page, and the document
    // page shows the document of the first selected file.
    void TabConChange(int tab);

    // "保存文档[&S]": writes an edited document, or deletes the file of an emptied one.
    // False when nothing could be saved.
    bool savenoteClick();
    // "文档另存为[&A]...": the editor's text into a file the user names.
    void t502Click();
    // "从文件中调入[&L]...": a text file's contents replace the editor's text.
    void t503Click();
    // The font dialog, the colour dialog, and the larger and smaller font buttons.
    void t504Click();
    void backcolorbtnClick();
    void ToolButton15Click();
    void ToolButton16Click();

    // The document menu's items when it opens.
    DocumentMenuStates t500Click() const;

    const QString& CurrentDocName() const { return m_currentDocName; }
    bool saveEnabled() const { return m_saveEnabled; }
    bool loadEnabled() const { return m_loadEnabled; }
    const core::FontSpec& font() const { return m_font; }
    int backColor() const { return m_backColor; }

    // The editor's font and background from the configuration's settings, and back.
    void applySettings(const core::DocumentSettings& settings);
    void storeSettings(core::DocumentSettings& settings) const;

private:
    QString documentPath() const;
    void showNoDocument(const QString& text);
    void updateDocumentMark();
    void recordDocumentedFile();
    void applyLook();

    core::Workspace& m_workspace;
    core::Dialogs& m_dialogs;
    DocumentEditor& m_editor;
    QString m_currentDocName;
    core::TextFormat m_format; // how the shown document is written
    bool m_saveEnabled = false;
    bool m_loadEnabled = false;
    core::FontSpec m_font;
    int m_backColor = 16777215;
};

} // namespace fileops
