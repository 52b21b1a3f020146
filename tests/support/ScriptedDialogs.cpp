#include "support/ScriptedDialogs.h"

#include "core/CategoryTreeModel.h"
#include "core/StandardTemplate.h"
#include "core/SystemOptions.h"

#include <gtest/gtest.h>

namespace testing_support {

QStringList ScriptedDialogs::texts() const
{
    QStringList result;
    for (const Shown& s : shown)
        result.append(s.text);
    return result;
}

const Shown& ScriptedDialogs::last(std::source_location where) const
{
    if (shown.empty()) {
        ADD_FAILURE_AT(where.file_name(), int(where.line())) << "no message was shown";
        static const Shown none;
        return none;
    }
    return shown.back();
}

void ScriptedDialogs::showMessage(const QString& text)
{
    shown.push_back({Shown::Kind::Plain, {}, text});
}

core::Answer ScriptedDialogs::ask(const QString& caption, const QString& text,
                                  core::MessageIcon icon, core::Buttons buttons,
                                  core::Answer defaultButton)
{
    shown.push_back({Shown::Kind::Box, caption, text, icon, buttons, defaultButton});
    if (!whileAsked.empty()) {
        const std::function<void()> meanwhile = std::move(whileAsked.front());
        whileAsked.pop_front();
        if (meanwhile)
            meanwhile();
    }
    if (buttons == core::Buttons::Ok)
        return core::Answer::Ok;
    if (answers.empty())
        return defaultButton;
    const core::Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

void ScriptedDialogs::showError(const QString& text)
{
    shown.push_back({Shown::Kind::Error, {}, text});
}

QStringList ScriptedDialogs::chooseFiles(const QString& title, const QString& filter)
{
    fileDialogTitles.push_back(title);
    fileDialogFilters.push_back(filter);
    if (fileChoices.empty())
        return {};
    QStringList files = fileChoices.front();
    fileChoices.pop_front();
    return files;
}

namespace {

QString takeFront(std::deque<QString>& choices)
{
    if (choices.empty())
        return {};
    QString choice = choices.front();
    choices.pop_front();
    return choice;
}

} // namespace

QString ScriptedDialogs::chooseFile(const QString& title, const QString& filter)
{
    openDialogTitles.push_back(title);
    openDialogFilters.push_back(filter);
    return takeFront(openChoices);
}

QString ScriptedDialogs::chooseSaveFile(const core::SaveDialogSpec& spec)
{
    saveDialogs.push_back(spec);
    return takeFront(saveChoices);
}

QString ScriptedDialogs::choosePicture(const QString& title, const QString& filter)
{
    pictureDialogTitles.push_back(title);
    pictureDialogFilters.push_back(filter);
    return takeFront(pictureChoices);
}

QString ScriptedDialogs::chooseFolder(const QString& title)
{
    folderDialogTitles.push_back(title);
    if (folderChoices.empty())
        return {};
    QString folder = folderChoices.front();
    folderChoices.pop_front();
    return folder;
}

std::optional<int> ScriptedDialogs::chooseColor(int)
{
    if (colorChoices.empty())
        return std::nullopt;
    auto choice = colorChoices.front();
    colorChoices.pop_front();
    return choice;
}

std::optional<core::FontSpec> ScriptedDialogs::chooseFont(const core::FontSpec&)
{
    std::optional<core::FontSpec> choice;
    if (!fontChoices.empty()) {
        choice.swap(fontChoices.front());
        fontChoices.pop_front();
    }
    return choice;
}

QModelIndex ScriptedDialogs::chooseCategory(const core::CategoryChoiceSpec& spec)
{
    categoryQuestions.push_back(spec);
    if (categoryChoices.empty())
        return {};
    const std::optional<QStringList> names = categoryChoices.front();
    categoryChoices.pop_front();
    if (!names)
        return {};
    bool complete = false;
    const QModelIndex node = spec.tree->findPath(*names, &complete);
    if (!complete || (spec.canChoose && !spec.canChoose(node))) {
        ADD_FAILURE() << "the tree question cannot choose " << names->join(u'/').toStdString();
        return {};
    }
    return node;
}

void ScriptedDialogs::runNameDialog(const core::NameDialogSpec& spec,
                                    const std::function<core::OkResult(const QString&)>& onOk)
{
    nameDialogs.push_back(spec);
    if (nameInputs.empty())
        return;
    const QStringList typed = nameInputs.front();
    nameInputs.pop_front();
    for (const QString& text : typed) {
        const core::OkResult result = onOk(text);
        okResults.push_back(result);
        if (result == core::OkResult::Close)
            return;
    }
}

void ScriptedDialogs::runNoteDialog(const core::NoteDialogSpec& spec,
                                    const std::function<core::OkResult(const QStringList&)>& onOk)
{
    noteDialogs.push_back(spec);
    if (noteInputs.empty())
        return;
    const std::optional<QStringList> lines = noteInputs.front();
    noteInputs.pop_front();
    if (lines)
        okResults.push_back(onOk(*lines));
}

void ScriptedDialogs::runTemplateDialog(core::TemplateForm& form)
{
    ++templateDialogs;
    if (templateScripts.empty())
        return;
    const auto script = templateScripts.front();
    templateScripts.pop_front();
    script(form);
}

void ScriptedDialogs::runOptionsDialog(core::OptionsForm& form)
{
    ++optionsDialogs;
    if (optionsScripts.empty())
        return;
    const auto script = optionsScripts.front();
    optionsScripts.pop_front();
    script(form);
}

std::optional<core::AttributeBoxes>
ScriptedDialogs::runAttributesDialog(const core::AttributesDialogSpec& spec)
{
    attributeDialogs.push_back(spec);
    if (attributeChoices.empty())
        return std::nullopt;
    auto choice = attributeChoices.front();
    attributeChoices.pop_front();
    return choice;
}

void ScriptedDialogs::runFolderForm(
    const core::FolderFormSpec& spec, const std::function<QString(const QString&)>& onBrowse,
    const std::function<core::OkResult(const QString&, const QString&)>& onOk)
{
    folderForms.push_back(spec);
    if (folderFormInputs.empty())
        return;
    const std::vector<FolderFormPress> presses = folderFormInputs.front();
    folderFormInputs.pop_front();
    QString name = spec.name;
    QString folder = spec.folder;
    for (const FolderFormPress& press : presses) {
        if (spec.nameEnabled)
            name = press.name;
        if (press.browse)
            folder = onBrowse(folder);
        const core::OkResult result = onOk(name, folder);
        okResults.push_back(result);
        if (result == core::OkResult::StayCleared) {
            name.clear();
            folder.clear();
        }
        folderFormStates.emplace_back(name, folder);
        if (result == core::OkResult::Close)
            return;
    }
}

void ScriptedDialogs::setBusy(bool busy)
{
    busyDepth += busy ? 1 : -1;
    if (busy)
        ++busyCount;
}

} // namespace testing_support
