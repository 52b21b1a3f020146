#pragma once
// The one-line name form (the new-category form): a label, an input and OK / Cancel. Each
// press of OK is decided by the command that opened it.

#include "core/Dialogs.h"

#include <QDialog>

class QLineEdit;

namespace ui {

class NameDialog : public QDialog
{
    Q_OBJECT
public:
    NameDialog(const core::NameDialogSpec& spec,
               std::function<core::OkResult(const QString&)> onOk, QWidget* parent = nullptr);

    QLineEdit* input() const { return m_input; }

private:
    void BitBtn1Click();

    std::function<core::OkResult(const QString&)> m_onOk;
    QLineEdit* m_input;
};

} // namespace ui
