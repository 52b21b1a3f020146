#include "ui/Conversions.h"

#include "platform/FileNames.h"

#include <QTextDocument>

#include <QApplication>
#include <QPalette>

namespace ui {

namespace {

// The palette role of a system colour index.
QPalette::ColorRole roleOfSystemColor(int index)
{
    switch (index) {
    case 5: // window background
        return QPalette::Base;
    case 13: // highlight
        return QPalette::Highlight;
    case 14: // highlighted text
        return QPalette::HighlightedText;
    case 15: // button face
        return QPalette::Button;
    case 18: // button text
        return QPalette::ButtonText;
    case 8: // window text
    default:
        return QPalette::Text;
    }
}

} // namespace

QColor colorFromStored(int stored)
{
    if (stored < 0)
        return QApplication::palette().color(roleOfSystemColor(stored & 0xFF));
    return QColor(stored & 0xFF, (stored >> 8) & 0xFF, (stored >> 16) & 0xFF);
}

QColor shownColor(int stored, QPalette::ColorRole role)
{
    const QPalette palette = QApplication::palette();
    const bool darkPalette = palette.color(QPalette::Base).lightness() < 128;
    const bool background = role == QPalette::Base || role == QPalette::Window;
    if (darkPalette && stored == (background ? 0xFFFFFF : 0))
        return palette.color(role);
    return colorFromStored(stored);
}

int storedFromColor(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

QFont fontFromSpec(const core::FontSpec& spec)
{
    QFont font(spec.name);
    if (spec.size > 0)
        font.setPointSize(spec.size);
    if (spec.height < 0)
        font.setPixelSize(-spec.height);
    else if (spec.height > 0)
        font.setPixelSize(spec.height);
    if (spec.pitch == 2)
        font.setFixedPitch(true);
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
    return font;
}

core::FontSpec specFromFont(const QFont& font, const QColor& color, const core::FontSpec& base)
{
    core::FontSpec spec = base;
    spec.name = font.family();
    spec.color = storedFromColor(color);
    const int points = font.pointSize() > 0 ? font.pointSize()
                                            : qRound(font.pixelSize() * 72.0 / 96.0);
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : qRound(points * 96.0 / 72.0);
    spec.size = points;
    spec.height = -pixels;
    spec.pitch = font.fixedPitch() ? 2 : 0;
    spec.bold = font.bold();
    spec.italic = font.italic();
    spec.underline = font.underline();
    spec.strikeOut = font.strikeOut();
    return spec;
}

QString plainToolTip(const QString& text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

QString messageText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return platform::displayText(text);
}

} // namespace ui
