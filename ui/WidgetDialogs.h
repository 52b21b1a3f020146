#pragma once
// The Dialogs of the running program: Qt's message boxes, file, folder, colour and font
// dialogs, the clipboard and the two forms, all modal over the main window.

#include "core/Dialogs.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

class QFileDialog;
class QMessageBox;

namespace ui {

class WidgetDialogs : public core::Dialogs
{
public:
    explicit WidgetDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    // Message boxes stay above every other window and come to the front (for a window whose
    // messages have no owner, as the main window may be hidden).
    void setStaysOnTop(bool onTop) { m_onTop = onTop; }

    void showMessage(const QString& text) override;
    core::Answer ask(const QString& caption, const QString& text, core::MessageIcon icon,
                     core::Buttons buttons, core::Answer defaultButton) override;
    void showError(const QString& text) override;
    QStringList chooseFiles(const QString& title, const QString& filter) override;
    QString chooseFile(const QString& title, const QString& filter) override;
    QString chooseSaveFile(const core::SaveDialogSpec& spec) override;
    QString choosePicture(const QString& title, const QString& filter) override;
    QString chooseFolder(const QString& title) override;
    std::optional<int> chooseColor(int initialColor) override;
    std::optional<core::FontSpec> chooseFont(const core::FontSpec& initial) override;
    QModelIndex chooseCategory(const core::CategoryChoiceSpec& spec) override;
    void runNameDialog(const core::NameDialogSpec& spec,
                       const std::function<core::OkResult(const QString&)>& onOk) override;
    void runNoteDialog(const core::NoteDialogSpec& spec,
                       const std::function<core::OkResult(const QStringList&)>& onOk) override;
    void runTemplateDialog(core::TemplateForm& form) override;
    void runOptionsDialog(core::OptionsForm& form) override;
    std::optional<core::AttributeBoxes>
    runAttributesDialog(const core::AttributesDialogSpec& spec) override;
    void runFolderForm(
        const core::FolderFormSpec& spec, const std::function<QString(const QString&)>& onBrowse,
        const std::function<core::OkResult(const QString&, const QString&)>& onOk) override;
    void setClipboardText(const QString& text) override;
    void setBusy(bool busy) override;

    // "所有文件[*.*]|*.*" (description|pattern pairs) as a Qt file dialog filter.
    static QString qtFilter(const QString& filter);

    // The command that opens the next file dialogs. A file dialog opens in the folder last
    // used with that title; commands whose dialogs share a title (the folder choosers) keep
    // their folders apart by naming their command here. Empty: the title alone decides.
    void setFolderGroup(const QString& group) { m_folderGroup = group; }
    // Where a file dialog with this title opens: the folder last used with it, else the
    // desktop's download folder, else the home folder.
    QString startFolder(const QString& title) const;

private:
    int exec(QMessageBox& box) const;
    // Runs a file dialog from its start folder, with room in its columns, and remembers the
    // folder it was left in when it was accepted.
    bool runFileDialog(QFileDialog& dialog, const QString& title, const QString& proposedName = {});

    QPointer<QWidget> m_parent;
    bool m_onTop = false;
    QString m_folderGroup;
    QHash<QString, QString> m_lastFolders; // by folder group and title
};

} // namespace ui
