#pragma once
// The editor of a file name in place: a framed, opaque line that covers the name's cell and
// grows to the right only when the name needs it, and that starts with the name selected
// without its last extension, so typing replaces the name and keeps the type.

#include <QLineEdit>

namespace ui {

class NameEditor : public QLineEdit
{
    Q_OBJECT
public:
    explicit NameEditor(QWidget* parent = nullptr);

    // The editor covers `cell` and may grow to the right up to `maxRight`.
    void setRoom(const QRect& cell, int maxRight);

    // How many characters of `name` come before its last extension (all of them when it has
    // none, or when its only dot starts it).
    static int stemLength(const QString& name);

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void fit();

    QRect m_cell;
    int m_maxRight = 0;
    bool m_stemSelected = false;
};

} // namespace ui
