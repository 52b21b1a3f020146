#pragma once
// The note form: a multi-line text area with cut, copy, paste and select-all buttons, a label
// naming the file, and OK / Cancel. OK hands the text area's lines to the command.

#include "core/Dialogs.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace ui {

class NoteDialog : public QDialog
{
    Q_OBJECT
public:
    NoteDialog(const core::NoteDialogSpec& spec,
               std::function<core::OkResult(const QStringList&)> onOk, QWidget* parent = nullptr);

    QPlainTextEdit* memo() const { return m_memo; }
    QPushButton* okButton() const { return m_ok; }

private:
    void WiteBtn1Click();

    std::function<core::OkResult(const QStringList&)> m_onOk;
    QPlainTextEdit* m_memo;
    QPushButton* m_ok;
};

} // namespace ui
