#pragma once
// Every message, question and dialog a command shows goes through this interface. The
// widgets implement it with Qt's message boxes and dialogs; tests implement it with a
// scripted stand-in that records each message and answers each question.

#include "core/FileRow.h"
#include "core/Settings.h"

#include <QModelIndex>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace core {

class CategoryTreeModel;
class OptionsForm;
class TemplateForm;

enum class MessageIcon { None, Information, Warning, Question, Error };
enum class Buttons { Ok, YesNo, YesNoCancel, OkCancel };
enum class Answer { Ok, Yes, No, Cancel };

// What the OK button of a form dialog decides.
enum class OkResult {
    Close,           // the input was taken; the dialog closes
    Stay,            // the dialog stays open as it is
    StayFocusInput,  // the dialog stays open with the focus in its input
    StaySelectInput, // the dialog stays open with its input selected and focused
    StayCleared      // the dialog stays open with its inputs emptied and the first focused
};

// The new-category form: a caption, a label and one line of input.
struct NameDialogSpec
{
    QString caption;
    QString label;
    int maxLength = 100;
    int backColor = 16777215; // colours in the stored encoding
    int fontColor = 0;
    QString okText;
    QString cancelText;
};

// The note form: a caption, a multi-line text and a label under it.
struct NoteDialogSpec
{
    QString caption;
    QString label;
    QString text;
    FontSpec font;
    bool okEnabled = true;
};

// A check box of the attributes form; Grayed leaves the attribute as it is.
enum class BoxState
{
    Unchecked,
    Checked,
    Grayed
};

// The read-only, hidden, archive and system boxes of the attributes form.
struct AttributeBoxes
{
    BoxState readOnly = BoxState::Unchecked; // rcb
    BoxState hidden = BoxState::Unchecked;   // hcb
    BoxState archive = BoxState::Unchecked;  // acb
    BoxState system = BoxState::Unchecked;   // scb

    bool operator==(const AttributeBoxes&) const = default;
};

// The attributes form for one file or for several.
struct AttributesDialogSpec
{
    bool several = false; // several files: no times, boxes may be grayed, the form's own picture
    FileRow row;          // the one file, for its large icon
    QString fileName;     // the file's caption, or the selection count text
    QString place;        // the folder
    QString sizeText;
    QString createTime; // empty when unknown
    QString accessTime;
    QString modifyTime;
    AttributeBoxes boxes;
    bool okEnabled = true;
    QString origin; // the address a downloaded file came from; empty when none
    // Opens the origin through the desktop; empty for an address that is not offered (only
    // http, https and ftp addresses are).
    std::function<void()> openOrigin;
};

// The external-folder form: a library name and its folder, which only the browse button
// fills.
struct FolderFormSpec
{
    QString caption;
    QString prompt;
    QString nameLabel;
    QString folderLabel;
    QString browseHint;
    QString name;
    QString folder;
    bool nameEnabled = true;
    QString okText;
    QString closeText;
    int backColor = 16777215; // the inputs' background, in the stored colour encoding
};

// The save dialog: it asks before replacing an existing file and has no read-only check box.
struct SaveDialogSpec
{
    QString title;
    QString fileName;         // the name proposed
    QString filter;           // "description|pattern" pairs joined by "|"
    int filterIndex = 1;      // the filter chosen at first, from 1
    QString defaultExtension; // added to a name typed without one
};

// The tree question: the nodes of a category tree, one of which the user chooses.
struct CategoryChoiceSpec
{
    QString caption;
    QString prompt;
    QString treeName; // the tree's accessible name
    QString okText;
    QString cancelText;
    CategoryTreeModel* tree = nullptr;
    QModelIndex initial; // shown selected, with the levels above it open
    // The nodes that can be chosen; OK is enabled only on those.
    std::function<bool(const QModelIndex&)> canChoose;
};

class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // A plain message: the text with an OK button, captioned with the application title.
    virtual void showMessage(const QString& text) = 0;
    // A message box with its own caption, icon and buttons; returns the button pressed
    // (No or Cancel when the box is closed otherwise).
    virtual Answer ask(const QString& caption, const QString& text, MessageIcon icon,
                       Buttons buttons, Answer defaultButton) = 0;
    // The application's general error box.
    virtual void showError(const QString& text) = 0;

    // The open-file dialog with several files allowed; empty when cancelled.
    virtual QStringList chooseFiles(const QString& title, const QString& filter) = 0;
    // The open-file dialog for one file; empty when cancelled.
    virtual QString chooseFile(const QString& title, const QString& filter) = 0;
    // The save dialog; the chosen path, empty when cancelled.
    virtual QString chooseSaveFile(const SaveDialogSpec& spec) = 0;
    // The open-file dialog for one picture, with a preview of the selected one; empty when
    // cancelled.
    virtual QString choosePicture(const QString& title, const QString& filter) = 0;
    // The folder chooser; empty when cancelled.
    virtual QString chooseFolder(const QString& title) = 0;
    virtual std::optional<int> chooseColor(int initialColor) = 0;
    virtual std::optional<FontSpec> chooseFont(const FontSpec& initial) = 0;
    // The tree question; the node chosen, invalid when cancelled.
    virtual QModelIndex chooseCategory(const CategoryChoiceSpec& spec) = 0;

    // Runs the name form; `onOk` decides each press of OK. Returns when it closes.
    virtual void runNameDialog(const NameDialogSpec& spec,
                               const std::function<OkResult(const QString& text)>& onOk) = 0;
    // Runs the note form; `onOk` gets the text area's lines and decides each press of OK.
    virtual void runNoteDialog(const NoteDialogSpec& spec,
                               const std::function<OkResult(const QStringList& lines)>& onOk) = 0;

    // Runs the standard category template form until the user closes it.
    virtual void runTemplateDialog(TemplateForm& form) = 0;
    // Runs the options form until OK or Cancel closes it.
    virtual void runOptionsDialog(OptionsForm& form) = 0;
    // Runs the attributes form; the boxes as they were left on OK, nothing on Cancel.
    virtual std::optional<AttributeBoxes> runAttributesDialog(const AttributesDialogSpec& spec) = 0;
    // Runs the external-folder form; `onBrowse` gets the folder shown and gives the one to
    // show after the browse button, `onOk` decides each press of OK. Returns when it closes.
    virtual void runFolderForm(
        const FolderFormSpec& spec, const std::function<QString(const QString& folder)>& onBrowse,
        const std::function<OkResult(const QString& name, const QString& folder)>& onOk) = 0;

    virtual void setClipboardText(const QString& text) = 0;
    // The hourglass cursor while a command works.
    virtual void setBusy(bool busy) = 0;
};

// Runs a command; a failure it raises (a write the file system refused, ...) is shown in the
// application's error box, and the program goes on.
void showErrorsOf(Dialogs& dialogs, const std::function<void()>& command);

// Shows the hourglass for the lifetime of the object.
class BusyCursor
{
public:
    explicit BusyCursor(Dialogs& dialogs) : m_dialogs(dialogs) { m_dialogs.setBusy(true); }
    ~BusyCursor() { m_dialogs.setBusy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Dialogs& m_dialogs;
};

} // namespace core
