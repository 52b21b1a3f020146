#pragma once
// A note as the exported page may hold it. Notes come from outside too (files' comments,
// notes files that came with other people's folders), so a note is text, except the plain
// formatting a user may have written on purpose: <b>, <i>, <u>, <br>, <font color=...> and
// <a href=...> to a web, ftp or mail address, each without any other attribute. Those are
// kept in one written form and closed where the note leaves them open; everything else shows
// as the characters it is made of.

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace htmlexport {

class NoteSanitizer
{
public:
    // The note as markup that shows it: allowed formatting kept, the rest escaped.
    static QString sanitize(QStringView note);

private:
    struct Tag
    {
        QString name; // lower case
        bool closing = false;
        QString markup;    // the tag as written out
        qsizetype end = 0; // just after its ">"
    };

    explicit NoteSanitizer(QStringView note) : m_note(note) {}
    QString run();
    // The allowed tag starting at `at` ('<'), or nothing when the text there is not one.
    std::optional<Tag> tagAt(qsizetype at) const;
    // Writes the tag out when it is formatting where it stands (a link never opens inside a
    // link, a closing tag closes an open element); returns false when it is not.
    bool openTag(const Tag& tag);
    bool closeTag(const Tag& tag);

    QStringView m_note;
    QString m_out;
    QStringList m_open; // elements opened and not yet closed, innermost last
};

// The character reference at `at` ('&') of an allowed kind (&amp; &lt; &gt; &quot; &apos;
// &nbsp; and numeric references to a character that may stand in text), with its length; or
// nothing.
struct CharacterReference
{
    char32_t character = 0;
    qsizetype length = 0;
    QString written; // how it is written out: the named form, or "&#<decimal>;"
};
std::optional<CharacterReference> characterReferenceAt(QStringView text, qsizetype at);

} // namespace htmlexport
