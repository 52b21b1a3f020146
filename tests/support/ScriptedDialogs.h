#pragma once
// A Dialogs that records every message and answers every question and dialog from a script,
// so that commands run end to end on a real library without a window.

#include "core/Dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <source_location>
#include <vector>

namespace testing_support {

struct Shown
{
    enum class Kind
    {
        Plain,
        Box,
        Error
    };
    Kind kind = Kind::Plain;
    QString caption; // empty for plain messages and errors
    QString text;
    core::MessageIcon icon = core::MessageIcon::None;
    core::Buttons buttons = core::Buttons::Ok;
    core::Answer defaultButton = core::Answer::Ok;
};

class ScriptedDialogs : public core::Dialogs
{
public:
    // Scripts: consumed front to back. An unscripted question gets its default button.
    std::deque<core::Answer> answers;
    // What another program does while a question is open, one per question.
    std::deque<std::function<void()>> whileAsked;
    std::deque<QStringList> fileChoices;
    std::deque<QString> folderChoices;
    std::deque<QString> openChoices; // the one-file open dialog
    std::deque<QString> saveChoices;
    std::deque<std::optional<int>> colorChoices;
    std::deque<std::optional<core::FontSpec>> fontChoices;
    // One entry per run of the name form: the texts typed before each press of OK; when
    // they run out the form is cancelled.
    std::deque<QStringList> nameInputs;
    // One press of OK in the folder form: the name typed (ignored while the name is fixed)
    // and whether the browse button was used first (it answers from `folderChoices`).
    struct FolderFormPress
    {
        QString name;
        bool browse = false;
    };
    // One entry per run of the folder form: its presses of OK; when they run out the form
    // is closed.
    std::deque<std::vector<FolderFormPress>> folderFormInputs;
    // One entry per run of the note form: the lines in the text area when OK is pressed,
    // or nothing for Cancel.
    std::deque<std::optional<QStringList>> noteInputs;
    // The picture dialog's answers (empty for Cancel).
    std::deque<QString> pictureChoices;
    // What the user does in each showing of the template and options forms.
    std::deque<std::function<void(core::TemplateForm&)>> templateScripts;
    std::deque<std::function<void(core::OptionsForm&)>> optionsScripts;
    // The attributes form's boxes on OK, or nothing for Cancel; unscripted forms are cancelled.
    std::deque<std::optional<core::AttributeBoxes>> attributeChoices;
    // The tree question's answers: the folder names below the root of the node chosen, or
    // nothing for Cancel; unscripted questions are cancelled. A node that cannot be chosen
    // fails the test.
    std::deque<std::optional<QStringList>> categoryChoices;

    // What happened.
    std::vector<Shown> shown;
    std::vector<core::OkResult> okResults;
    std::vector<core::NameDialogSpec> nameDialogs;
    std::vector<core::NoteDialogSpec> noteDialogs;
    std::vector<core::FolderFormSpec> folderForms;
    // The folder form's inputs after each press of OK (name, folder).
    std::vector<std::pair<QString, QString>> folderFormStates;
    std::vector<QString> fileDialogTitles;
    std::vector<QString> fileDialogFilters;
    std::vector<QString> folderDialogTitles;
    std::vector<QString> openDialogTitles;
    std::vector<QString> openDialogFilters;
    std::vector<core::SaveDialogSpec> saveDialogs;
    std::vector<QString> pictureDialogTitles;
    std::vector<QString> pictureDialogFilters;
    std::vector<core::AttributesDialogSpec> attributeDialogs;
    std::vector<core::CategoryChoiceSpec> categoryQuestions;
    int templateDialogs = 0;
    int optionsDialogs = 0;
    QString clipboard;
    int busyDepth = 0;
    int busyCount = 0;

    QStringList texts() const;
    bool nothingShown() const { return shown.empty(); }
    // The last message shown; with none shown the calling test fails there and gets an
    // empty message to go on with.
    const Shown& last(std::source_location where = std::source_location::current()) const;

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
    void setClipboardText(const QString& text) override { clipboard = text; }
    void setBusy(bool busy) override;
};

} // namespace testing_support
