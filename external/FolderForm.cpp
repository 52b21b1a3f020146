#include "external/FolderForm.h"

#include "external/ExternalTexts.h"
#include "platform/FileSystem.h"

namespace external {

FolderForm::FolderForm(const core::Session& session, const ExternalLibraries& libraries,
                       core::Dialogs& dialogs)
    : m_session(session), m_libraries(libraries), m_dialogs(dialogs)
{
}

core::FolderFormSpec FolderForm::spec(Mode mode, const QString& name, const QString& folder,
                                      int backColor)
{
    core::FolderFormSpec spec;
    spec.caption = texts::FormCaption;
    spec.prompt = texts::FormPrompt;
    spec.nameLabel = texts::NameLabel;
    spec.folderLabel = texts::FolderLabel;
    spec.browseHint = texts::BrowseHint;
    spec.backColor = backColor;
    if (mode == Mode::Add) {
        spec.okText = texts::AddOk;
        spec.closeText = texts::AddClose;
    } else {
        spec.name = name;
        spec.folder = folder;
        spec.nameEnabled = false;
        spec.okText = texts::RedefineOk;
        spec.closeText = texts::RedefineClose;
    }
    return spec;
}

QString FolderForm::SpeedButton1Click(const QString& shown)
{
    const QString chosen = m_dialogs.chooseFolder(texts::BrowseTitle);
    return chosen.isEmpty() ? shown : platform::withTrailingSlash(chosen);
}

void FolderForm::warn(const QString& text)
{
    m_dialogs.ask(texts::CheckCaption, text, core::MessageIcon::Warning, core::Buttons::Ok,
                  core::Answer::Ok);
}

std::optional<core::OkResult> FolderForm::refusal(const QString& name, const QString& folder)
{
    if (name.trimmed().isEmpty()) {
        warn(texts::NameMissing);
        return core::OkResult::StayFocusInput;
    }
    if (!m_libraries.isStorableName(name)) {
        warn(texts::NameUnstorable);
        return core::OkResult::StaySelectInput;
    }
    if (folder.trimmed().isEmpty()) {
        warn(texts::FolderMissing);
        return core::OkResult::Stay;
    }
    // The medium that holds the folder; a path that is not absolute or does not exist is on
    // no known medium.
    const platform::DriveType type = folder.startsWith(u'/') ? m_session.drives().driveType(folder)
                                                             : platform::DriveType::Unknown;
    switch (type) {
    case platform::DriveType::Removable:
    case platform::DriveType::Fixed:
        break;
    case platform::DriveType::Remote:
        warn(texts::NetworkDrive);
        return core::OkResult::Stay;
    case platform::DriveType::CdRom:
        warn(texts::CdRomDrive);
        return core::OkResult::Stay;
    case platform::DriveType::RamDisk:
        warn(texts::RamDisk);
        return core::OkResult::Stay;
    case platform::DriveType::Unknown:
        warn(texts::UnknownDrive);
        return core::OkResult::Stay;
    }
    if (!m_libraries.isStorableFolder(folder)) {
        warn(texts::FolderUnstorable);
        return core::OkResult::Stay;
    }
    return std::nullopt;
}

} // namespace external
