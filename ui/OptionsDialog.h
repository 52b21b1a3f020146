#pragma once
// The options form: the "通用" tab with the confirmation, tool tip, tree, note, sound and
// document tool bar boxes, the double-click, drop and colour scheme choices and the download
// program; the "外观" tab with the two background pictures; OK, Cancel, Apply and Help.

#include "core/SystemOptions.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace ui {

class OptionsDialog : public QDialog
{
    Q_OBJECT
public:
    OptionsDialog(core::OptionsForm& form, QWidget* parent = nullptr);

    QCheckBox* box(const char* name) const;
    QButtonGroup* doubleClickGroup() const { return m_doubleEnv; }
    QButtonGroup* dropGroup() const { return m_dropMode; }
    QButtonGroup* colorSchemeGroup() const { return m_colorScheme; }
    QLineEdit* programEdit() const { return m_program; }
    QLineEdit* toolbarPictureEdit() const { return m_toolbarPicture; }
    QLineEdit* treePictureEdit() const { return m_treePicture; }
    QTabWidget* tabs() const { return m_tabs; }
    QPushButton* applyButton() const { return m_apply; }

private:
    QWidget* buildGeneralTab();
    QWidget* buildLookTab();
    // A read-only field with its browse and clear buttons.
    QLayout* pathRow(const QString& label, QLineEdit*& edit, const char* browseName,
                     const char* clearName, void (core::OptionsForm::*browse)(),
                     void (core::OptionsForm::*clear)());
    // YesBtnClick for "确定" and "应用".
    void YesBtnClick(bool yesButton);
    void showValues();
    void takeValues();

    core::OptionsForm& m_form;
    QTabWidget* m_tabs = nullptr;
    QList<QCheckBox*> m_boxes;
    QButtonGroup* m_doubleEnv = nullptr;
    QButtonGroup* m_dropMode = nullptr;
    QButtonGroup* m_colorScheme = nullptr;
    QLineEdit* m_program = nullptr;
    QLineEdit* m_toolbarPicture = nullptr;
    QLineEdit* m_treePicture = nullptr;
    QPushButton* m_apply = nullptr;
};

} // namespace ui
