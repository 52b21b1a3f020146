#pragma once
// The Dialogs of the running program: Qt's message boxes, file, folder, colour and font
// dialogs, the clipboard and the two forms, all modal over the main window.

#include "core/Dialogs.h"

#include <QPointer>
#include <QWidget>

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

private:
    int exec(QMessageBox& box) const;

    QPointer<QWidget> m_parent;
    bool m_onTop = false;
    QString m_saveFolder; // where the save dialog was last used
};

} // namespace ui
