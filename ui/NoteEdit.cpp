#include "ui/NoteEdit.h"

#include <QFocusEvent>

namespace ui {

NoteEdit::NoteEdit(QWidget* parent) : QLineEdit(parent)
{
    setMaxLength(kTypingLimit);
    // A hint while the editor is empty; it is never the editor's text.
    setPlaceholderText(kHint);
    QPalette grey = palette();
    grey.setColor(QPalette::PlaceholderText, QColor(128, 128, 128));
    setPalette(grey);
}

void NoteEdit::showNote(const QString& text)
{
    // The limit is for typing: it never cuts a note that is already longer.
    setMaxLength(qMax<int>(kTypingLimit, int(text.size())));
    setText(text);
    setCursorPosition(0);
}

void NoteEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // Tabbing in would select the whole note, and the next key would replace it.
    if (hasSelectedText())
        deselect();
}

} // namespace ui
