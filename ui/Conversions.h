#pragma once
// Colours and fonts between the stored form (colours as integers with blue, green and red
// from high to low, negative for a system colour; fonts as FontSpec) and Qt's.

#include "core/Settings.h"

#include <QColor>
#include <QFont>
#include <QPalette>

namespace ui {

QColor colorFromStored(int stored);
int storedFromColor(const QColor& color);
// What a stored colour shows as in the palette in use, for text (QPalette::Text) or a
// background (QPalette::Base): under a dark palette the light scheme's own colours, black
// text and a white background, follow the palette; any other colour shows as chosen.
QColor shownColor(int stored, QPalette::ColorRole role);

// The font a FontSpec describes: the height (negative: pixels) decides the size.
QFont fontFromSpec(const core::FontSpec& spec);
// The FontSpec of a font and a colour, keeping the character set of `base`.
core::FontSpec specFromFont(const QFont& font, const QColor& color, const core::FontSpec& base);

// The text of a message box or label, shown as plain text: "\r" breaks a line as "\n" does
// (the program's own texts use both), and bytes of a name that cannot be read show as U+FFFD.
QString messageText(QString text);
// A tool tip that shows `text` as it is: a tip would take text that looks like markup as markup.
QString plainToolTip(const QString& text);

} // namespace ui
