#pragma once
// The options dialog without its widgets: the values its controls show, filled from the
// options in memory, and applying them, which writes each option to the configuration file
// and lets it take effect at once.

#include "core/Dialogs.h"
#include "core/Session.h"

#include <functional>

namespace core {

namespace options {
inline const QString ProgramTitle = QStringLiteral("请选择下载软件程序");
inline const QString ToolbarPictureTitle = QStringLiteral("请选择工具栏背景图");
inline const QString TreePictureTitle = QStringLiteral("请选择类库树背景图");
// Programs here seldom carry a suffix, so every file is offered first.
inline const QString ProgramFilter = QStringLiteral("所有文件[*.*]|*.*|程序[*.EXE]|*.exe");
inline const QString PictureFilter =
    QStringLiteral("图片[*.BMP;*.PNG;*.JPG]|*.bmp;*.png;*.jpg;*.jpeg|所有文件[*.*]|*.*");
} // namespace options

// What the dialog's controls hold.
struct OptionsValues
{
    bool DelDialog = true;         // Delfdialog
    bool EmptyDialog = true;       // emptyrecly
    bool SysHint = true;           // btnhint
    bool ExpNoteTree = false;      // exptree
    bool AllowDragCopyNote = true; // DragCopy
    bool ShowDocTools = true;      // showdoctoolbar
    bool EnabledSound = true;      // EnabledSoundCh
    bool XattrComment = true;      // XattrCommentCh
    bool InstantSearch = true;     // InstantSearchCh
    int DoubleEnv = 0;             // RadioGroup1
    int DropMode = 1;              // RadioGroup2
    int ColorScheme = 0;           // ColorSchemeGroup: 0 as the desktop, 1 light, 2 dark
    QString DragPro;               // Edit1
    QString ToolbarBmp;            // Edit2
    QString TreeBarBmp;            // Edit3

    bool operator==(const OptionsValues&) const = default;
};

// What applying the options changes in the windows.
class OptionEffects
{
public:
    virtual ~OptionEffects() = default;
    // The picture behind the tool bar, or none for a blank path; throws platform::UserError
    // when the picture cannot be loaded.
    virtual void setToolbarPicture(const QString& path) = 0;
    // The picture behind both trees, as above.
    virtual void setTreePicture(const QString& path) = 0;
    virtual void setToolTipsShown(bool shown) = 0;
    // The drop window's mode mark: "复" for 0, "移" for 1.
    virtual void setDropMode(int mode) = 0;
    virtual void setDocumentToolsShown(bool shown) = 0;
    // The colour scheme: 0 as the desktop prefers, 1 light, 2 dark. Without windows there is
    // nothing to colour.
    virtual void setColorScheme(int /*choice*/) {}
};

class OptionsForm
{
public:
    // Fills the controls from the options in memory; the tool tips and the document tool bar
    // as they are now.
    OptionsForm(Session& session, OptionEffects& effects, Dialogs& dialogs, bool toolTipsShown,
                bool documentToolsShown);

    OptionsValues values;
    // The help button's action.
    std::function<void()> showHelp;

    // "确定" (`yesButton`) and "应用": applies every option in its order, each written at once.
    // A picture that cannot be loaded or a write the file system refuses is reported and ends
    // this press; the dialog then stays open. Returns true when the dialog closes.
    bool YesBtnClick(bool yesButton);
    // "[&H]帮助".
    void BitBtn1Click();
    // The pickers beside the download program, the tool bar picture and the tree picture:
    // the chosen file's path goes into its field; Cancel changes nothing.
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton5Click();
    // The clear buttons beside them.
    void SpeedButton4Click() { values.DragPro.clear(); }
    void SpeedButton3Click() { values.ToolbarBmp.clear(); }
    void SpeedButton6Click() { values.TreeBarBmp.clear(); }

private:
    void apply();

    Session& m_session;
    OptionEffects& m_effects;
    Dialogs& m_dialogs;
};

} // namespace core
