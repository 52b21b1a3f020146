#include "export/NoteSanitizer.h"

#include "export/HtmlEscape.h"

#include <array>
#include <utility>

namespace htmlexport {

namespace {

// The named references a note may use; any other name shows as written.
constexpr std::array<std::pair<const char*, char16_t>, 6> kNamedReferences{{
    {"amp", u'&'},
    {"lt", u'<'},
    {"gt", u'>'},
    {"quot", u'"'},
    {"apos", u'\''},
    {"nbsp", u'\u00a0'},
}};

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(QChar c)
{
    return isAsciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isBlank(QChar c)
{
    // The blanks that separate a tag's parts.
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// A character a reference may stand for: no control character, no surrogate, no non-character
// beyond Unicode's range.
bool mayStandInText(char32_t c)
{
    if (c < 0x20 || (c >= 0x7f && c <= 0x9f))
        return false;
    if (c >= 0xd800 && c <= 0xdfff)
        return false;
    return c <= 0x10ffff;
}

// An attribute's value as a browser reads it: the allowed references stand for their
// characters, every other "&" for itself.
QString decodeValue(QStringView value)
{
    QString decoded;
    decoded.reserve(value.size());
    for (qsizetype i = 0; i < value.size();) {
        if (value[i] == u'&') {
            if (const auto reference = characterReferenceAt(value, i)) {
                decoded += QString::fromUcs4(&reference->character, 1);
                i += reference->length;
                continue;
            }
        }
        decoded += value[i++];
    }
    return decoded;
}

QString escapeValue(QStringView value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value)
        appendEscaped(out, c, true);
    return out;
}

// A colour as a font tag may give it: "#" and three or six hex digits, or a colour's name.
std::optional<QString> colorValue(QStringView raw)
{
    const QString value = decodeValue(raw).trimmed();
    const auto allOf = [](QStringView text, bool (*test)(QChar)) {
        for (const QChar c : text) {
            if (!test(c))
                return false;
        }
        return true;
    };
    if (value.startsWith(u'#') && (value.size() == 4 || value.size() == 7) &&
        allOf(QStringView(value).mid(1), isHexDigit))
        return value;
    if (!value.isEmpty() && value.size() <= 20 && allOf(value, isAsciiLetter))
        return value;
    return std::nullopt;
}

// An address a link may lead to: a web, ftp or mail address, without control characters
// (a browser would drop some of them and could read another scheme).
std::optional<QString> linkValue(QStringView raw)
{
    const QString decoded = decodeValue(raw);
    for (const QChar c : decoded) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return std::nullopt;
    }
    const QString value = decoded.trimmed();
    for (const char* scheme : {"http:", "https:", "ftp:", "mailto:"}) {
        if (value.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return value;
    }
    return std::nullopt;
}

} // namespace

std::optional<CharacterReference> characterReferenceAt(QStringView text, qsizetype at)
{
    if (at >= text.size() || text[at] != u'&')
        return std::nullopt;
    const qsizetype semicolon = text.indexOf(u';', at + 1);
    if (semicolon < 0 || semicolon - at > 12)
        return std::nullopt;
    const QStringView body = text.mid(at + 1, semicolon - at - 1);
    const qsizetype length = semicolon - at + 1;
    if (body.startsWith(u'#')) {
        const bool hex = body.size() > 1 && (body[1] == u'x' || body[1] == u'X');
        const QStringView digits = body.mid(hex ? 2 : 1);
        if (digits.isEmpty() || digits.size() > 8)
            return std::nullopt;
        bool ok = false;
        const uint value = digits.toUInt(&ok, hex ? 16 : 10);
        // toUInt takes a sign or blanks; a reference holds digits only.
        for (const QChar c : digits) {
            if (!(hex ? isHexDigit(c) : isAsciiDigit(c)))
                ok = false;
        }
        if (!ok || !mayStandInText(char32_t(value)))
            return std::nullopt;
        return CharacterReference{char32_t(value), length, QStringLiteral("&#%1;").arg(value)};
    }
    for (const auto& [name, character] : kNamedReferences) {
        if (body == QLatin1String(name))
            return CharacterReference{character, length,
                                      QLatin1Char('&') + QLatin1String(name) + QLatin1Char(';')};
    }
    return std::nullopt;
}

QString NoteSanitizer::sanitize(QStringView note)
{
    return NoteSanitizer(note).run();
}

QString NoteSanitizer::run()
{
    m_out.reserve(m_note.size() + 16);
    for (qsizetype i = 0; i < m_note.size();) {
        const QChar c = m_note[i];
        if (c == u'<') {
            // A tag that is not allowed here shows as written, from its "<" on.
            const std::optional<Tag> tag = tagAt(i);
            if (tag && (tag->closing ? closeTag(*tag) : openTag(*tag))) {
                i = tag->end;
                continue;
            }
        } else if (c == u'&') {
            if (const auto reference = characterReferenceAt(m_note, i)) {
                m_out += reference->written;
                i += reference->length;
                continue;
            }
        }
        appendEscaped(m_out, c, false);
        ++i;
    }
    // What the note leaves open ends with it, so it cannot reach the cells after it.
    while (!m_open.isEmpty())
        m_out += QStringLiteral("</") + m_open.takeLast() + QLatin1Char('>');
    return m_out;
}

std::optional<NoteSanitizer::Tag> NoteSanitizer::tagAt(qsizetype at) const
{
    const QStringView s = m_note;
    qsizetype p = at + 1;
    Tag tag;
    if (p < s.size() && s[p] == u'/') {
        tag.closing = true;
        ++p;
    }
    const qsizetype nameStart = p;
    while (p < s.size() && (isAsciiLetter(s[p]) || isAsciiDigit(s[p])))
        ++p;
    tag.name = s.mid(nameStart, p - nameStart).toString().toLower();
    static const QStringList allowed = {QStringLiteral("b"),    QStringLiteral("i"),
                                        QStringLiteral("u"),    QStringLiteral("br"),
                                        QStringLiteral("font"), QStringLiteral("a")};
    if (!allowed.contains(tag.name))
        return std::nullopt;
    if (p < s.size() && !isBlank(s[p]) && s[p] != u'>' && s[p] != u'/')
        return std::nullopt; // a longer name, such as "<bdo" or "<a1"

    // The attributes, each a name, "=" and a quoted or plain value.
    QList<std::pair<QString, QStringView>> attributes;
    bool selfClosing = false;
    for (;;) {
        while (p < s.size() && isBlank(s[p]))
            ++p;
        if (p >= s.size())
            return std::nullopt; // never closed: the rest of the note is text
        if (s[p] == u'>') {
            ++p;
            break;
        }
        if (s[p] == u'/' && p + 1 < s.size() && s[p + 1] == u'>') {
            selfClosing = true;
            p += 2;
            break;
        }
        const qsizetype attributeStart = p;
        while (p < s.size() && (isAsciiLetter(s[p]) || isAsciiDigit(s[p]) || s[p] == u'-' ||
                                s[p] == u'_' || s[p] == u':'))
            ++p;
        if (p == attributeStart || !isAsciiLetter(s[attributeStart]))
            return std::nullopt;
        const QString attribute = s.mid(attributeStart, p - attributeStart).toString().toLower();
        while (p < s.size() && isBlank(s[p]))
            ++p;
        if (p >= s.size() || s[p] != u'=')
            return std::nullopt; // no allowed attribute stands without a value
        ++p;
        while (p < s.size() && isBlank(s[p]))
            ++p;
        if (p >= s.size())
            return std::nullopt;
        QStringView value;
        if (s[p] == u'"' || s[p] == u'\'') {
            const qsizetype close = s.indexOf(s[p], p + 1);
            if (close < 0)
                return std::nullopt;
            value = s.mid(p + 1, close - p - 1);
            p = close + 1;
            if (p < s.size() && !isBlank(s[p]) && s[p] != u'>' && s[p] != u'/')
                return std::nullopt; // a value that runs into the next attribute
        } else {
            const qsizetype valueStart = p;
            while (p < s.size() && !isBlank(s[p]) && s[p] != u'>') {
                if (s[p] == u'"' || s[p] == u'\'' || s[p] == u'<' || s[p] == u'=' || s[p] == u'`')
                    return std::nullopt;
                ++p;
            }
            value = s.mid(valueStart, p - valueStart);
        }
        attributes.append({attribute, value});
    }
    tag.end = p;

    if (tag.closing) {
        if (!attributes.isEmpty() || selfClosing || tag.name == u"br")
            return std::nullopt;
        tag.markup = QStringLiteral("</") + tag.name + QLatin1Char('>');
        return tag;
    }
    if (selfClosing && tag.name != u"br")
        return std::nullopt;
    if (tag.name == u"font" || tag.name == u"a") {
        const bool font = tag.name == u"font";
        if (attributes.size() != 1 ||
            attributes.front().first != (font ? QLatin1String("color") : QLatin1String("href")))
            return std::nullopt;
        const std::optional<QString> value =
            font ? colorValue(attributes.front().second) : linkValue(attributes.front().second);
        if (!value)
            return std::nullopt;
        tag.markup = QLatin1Char('<') + tag.name +
                     (font ? QStringLiteral(" color=\"") : QStringLiteral(" href=\"")) +
                     escapeValue(*value) + QStringLiteral("\">");
        return tag;
    }
    if (!attributes.isEmpty())
        return std::nullopt;
    tag.markup = QLatin1Char('<') + tag.name + QLatin1Char('>');
    return tag;
}

bool NoteSanitizer::openTag(const Tag& tag)
{
    if (tag.name == u"br") {
        m_out += tag.markup;
        return true;
    }
    // A link inside a link is not formatting.
    if (tag.name == u"a" && m_open.contains(QStringLiteral("a")))
        return false;
    m_open.append(tag.name);
    m_out += tag.markup;
    return true;
}

bool NoteSanitizer::closeTag(const Tag& tag)
{
    // A closing tag that closes nothing open is not formatting.
    if (!m_open.contains(tag.name))
        return false;
    // It ends what was opened inside the element too.
    while (!m_open.isEmpty()) {
        const QString last = m_open.takeLast();
        m_out += QStringLiteral("</") + last + QLatin1Char('>');
        if (last == tag.name)
            break;
    }
    return true;
}

} // namespace htmlexport
