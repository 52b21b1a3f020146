#pragma once
// The external-folder form (Toutdirform): a library name and a folder that only the browse
// button fills. Each press of OK is decided by the command that opened it; in add mode the
// form stays open for the next library.

#include "core/Dialogs.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QToolButton;

namespace ui {

class OutDirForm : public QDialog
{
    Q_OBJECT
public:
    OutDirForm(const core::FolderFormSpec& spec, std::function<QString(const QString&)> onBrowse,
               std::function<core::OkResult(const QString&, const QString&)> onOk,
               QWidget* parent = nullptr);

    QLineEdit* nameEdit() const { return m_edit1; }
    QLineEdit* folderEdit() const { return m_edit2; }
    QToolButton* browseButton() const { return m_speedButton1; }
    QPushButton* okButton() const { return m_ok; }
    // The folder as chosen, bytes kept (the input shows it readably).
    const QString& folder() const { return m_folder; }

private:
    void SpeedButton1Click();
    void BitBtn1Click();
    void showFolder(const QString& folder);

    std::function<QString(const QString&)> m_onBrowse;
    std::function<core::OkResult(const QString&, const QString&)> m_onOk;
    QLineEdit* m_edit1;
    QLineEdit* m_edit2;
    QToolButton* m_speedButton1;
    QPushButton* m_ok = nullptr;
    QString m_folder;
};

} // namespace ui
