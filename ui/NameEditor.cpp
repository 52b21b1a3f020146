#include "ui/NameEditor.h"

#include <QFocusEvent>
#include <QStyle>
#include <QStyleOptionFrame>

namespace ui {

NameEditor::NameEditor(QWidget* parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("NameEditor"));
    setAccessibleName(QStringLiteral("文件名称"));
    setFrame(true);
    // The row's other cells must not show through.
    setAutoFillBackground(true);
    connect(this, &QLineEdit::textChanged, this, &NameEditor::fit);
}

void NameEditor::setRoom(const QRect& cell, int maxRight)
{
    m_cell = cell;
    m_maxRight = qMax(cell.right(), maxRight);
    fit();
}

int NameEditor::stemLength(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return int(dot > 0 ? dot : name.size());
}

void NameEditor::fit()
{
    if (m_cell.isEmpty())
        return;
    QStyleOptionFrame frame;
    initStyleOption(&frame);
    const QSize content(fontMetrics().horizontalAdvance(text()) +
                            2 * fontMetrics().averageCharWidth(),
                        fontMetrics().height());
    const int needed =
        style()->sizeFromContents(QStyle::CT_LineEdit, &frame, content, this).width();
    const int width = qBound(m_cell.width(), needed, m_maxRight - m_cell.left() + 1);
    setGeometry(m_cell.left(), m_cell.top(), width, m_cell.height());
}

void NameEditor::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // The view selects the whole text when it opens the editor; the first focus selects the
    // name without its extension instead.
    if (!m_stemSelected) {
        m_stemSelected = true;
        setSelection(0, stemLength(text()));
    }
}

} // namespace ui
