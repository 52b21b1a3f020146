#pragma once
// What the document page's commands see of its text editor: the text, the modified mark,
// whether it can be edited, and its font and background.

#include "core/Settings.h"

#include <QString>

namespace fileops {

class DocumentEditor
{
public:
    virtual ~DocumentEditor() = default;

    // Line breaks are "\n".
    virtual QString text() const = 0;
    // Whether the editor holds any text (at least one line).
    virtual bool hasText() const = 0;
    // Replaces the text and clears the modified mark.
    virtual void setText(const QString& text) = 0;
    virtual bool isModified() const = 0;
    virtual void setModified(bool modified) = 0;
    virtual void setEditorEnabled(bool enabled) = 0;
    // The font (its size in points decides) with its colour, and the background colour.
    virtual void setLook(const core::FontSpec& font, int backColor) = 0;
};

} // namespace fileops
