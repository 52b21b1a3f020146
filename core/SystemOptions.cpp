#include "core/SystemOptions.h"

#include "notes/NotesKeeper.h"
#include "platform/Errors.h"

namespace core {

OptionsForm::OptionsForm(Session& session, OptionEffects& effects, Dialogs& dialogs,
                         bool toolTipsShown, bool documentToolsShown)
    : m_session(session), m_effects(effects), m_dialogs(dialogs)
{
    const Options& o = session.options();
    values.DelDialog = o.DelDialog;
    values.EmptyDialog = o.EmptyDialog;
    values.DoubleEnv = o.DoubleEnv;
    values.DropMode = o.DropMode;
    values.SysHint = toolTipsShown;
    values.ExpNoteTree = o.ExpNoteTree;
    values.AllowDragCopyNote = o.AllowDragCopyNote;
    values.EnabledSound = o.EnabledSound;
    values.XattrComment = o.XattrComment;
    values.ColorScheme = o.ColorScheme;
    values.InstantSearch = o.InstantSearch;
    values.ShowDocTools = documentToolsShown;
    values.DragPro = o.DragPro;
    values.ToolbarBmp = o.ToolbarBmp;
    values.TreeBarBmp = o.TreeBarBmp;
}

bool OptionsForm::YesBtnClick(bool yesButton)
{
    try {
        apply();
    } catch (const platform::UserError& error) {
        m_dialogs.showError(error.message());
        return false;
    }
    return yesButton;
}

void OptionsForm::apply()
{
    Options& o = m_session.options();
    ConfigFile& config = m_session.config();
    const QString& s = section::SystemConfig;
    const auto text = [&](const char* key, QString& option, const QString& value) {
        config.writeString(s, QLatin1String(key), value);
        option = value;
    };
    const auto flag = [&](const char* key, bool& option, bool value) {
        config.writeBool(s, QLatin1String(key), value);
        option = value;
    };
    const auto number = [&](const char* key, int& option, int value) {
        config.writeInt(s, QLatin1String(key), value);
        option = value;
    };

    text("DragPro", o.DragPro, values.DragPro);
    text("ToolbarBmp", o.ToolbarBmp, values.ToolbarBmp);
    m_effects.setToolbarPicture(values.ToolbarBmp.trimmed().isEmpty() ? QString()
                                                                      : values.ToolbarBmp);
    text("TreeBarBmp", o.TreeBarBmp, values.TreeBarBmp);
    m_effects.setTreePicture(values.TreeBarBmp.trimmed().isEmpty() ? QString() : values.TreeBarBmp);
    flag("DelDialog", o.DelDialog, values.DelDialog);
    flag("EmptyDialog", o.EmptyDialog, values.EmptyDialog);
    flag("ExpNoteTree", o.ExpNoteTree, values.ExpNoteTree); // takes effect at the next start
    flag("SysHint", o.SysHint, values.SysHint);
    m_effects.setToolTipsShown(values.SysHint);
    flag("EnabledSound", o.EnabledSound, values.EnabledSound);
    flag("AllowDragCopyNote", o.AllowDragCopyNote, values.AllowDragCopyNote);
    flag("XattrComment", o.XattrComment, values.XattrComment);
    notes::NotesKeeper::setCommentsFollowNotes(values.XattrComment);
    flag("InstantSearch", o.InstantSearch, values.InstantSearch);
    number("DoubleEnv", o.DoubleEnv, values.DoubleEnv);
    number("DropMode", o.DropMode, values.DropMode);
    m_effects.setDropMode(values.DropMode);
    config.writeBool(section::NoteWindow, QStringLiteral("ShowDocTools"), values.ShowDocTools);
    m_effects.setDocumentToolsShown(values.ShowDocTools);
    number("ColorScheme", o.ColorScheme, values.ColorScheme);
    m_effects.setColorScheme(values.ColorScheme);
}

void OptionsForm::SpeedButton1Click()
{
    const QString chosen = m_dialogs.chooseFile(options::ProgramTitle, options::ProgramFilter);
    if (!chosen.isEmpty())
        values.DragPro = chosen;
}

void OptionsForm::SpeedButton2Click()
{
    const QString chosen =
        m_dialogs.choosePicture(options::ToolbarPictureTitle, options::PictureFilter);
    if (!chosen.isEmpty())
        values.ToolbarBmp = chosen;
}

void OptionsForm::SpeedButton5Click()
{
    const QString chosen =
        m_dialogs.choosePicture(options::TreePictureTitle, options::PictureFilter);
    if (!chosen.isEmpty())
        values.TreeBarBmp = chosen;
}

void OptionsForm::BitBtn1Click()
{
    if (showHelp)
        showHelp();
}

} // namespace core
