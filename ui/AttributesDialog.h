#pragma once
// The attributes form: the file's large icon, its name (or the count of the chosen files),
// place, size and times, and the read-only, hidden, archive and system boxes, which may stay
// grayed when several files are chosen.

#include "core/Dialogs.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace ui {

class AttributesDialog : public QDialog
{
    Q_OBJECT
public:
    // `icon` is the file's large icon, or the form's own picture for several files.
    AttributesDialog(const core::AttributesDialogSpec& spec, const QIcon& icon,
                     QWidget* parent = nullptr);

    // The boxes as they stand.
    core::AttributeBoxes boxes() const;
    QCheckBox* box(const char* name) const;
    QLabel* label(const char* name) const;
    QPushButton* okButton() const { return m_ok; }

private:
    QCheckBox* m_rcb;
    QCheckBox* m_hcb;
    QCheckBox* m_acb;
    QCheckBox* m_scb;
    QPushButton* m_ok;
};

} // namespace ui
