#pragma once
// The one-line note editor above the file list: typing stops at 500 characters, but a longer
// note shows and saves whole unless the user shortens it; entering it selects nothing. While
// it is empty a grey hint says how a note is saved.

#include <QLineEdit>

namespace ui {

class NoteEdit : public QLineEdit
{
    Q_OBJECT
public:
    static constexpr int kTypingLimit = 500;
    static inline const QString kHint = QStringLiteral("输入注释后按回车保存");

    explicit NoteEdit(QWidget* parent = nullptr);

    // Shows a note as it is stored, however long, with the cursor at its start.
    void showNote(const QString& text);

protected:
    void focusInEvent(QFocusEvent* event) override;
};

} // namespace ui
