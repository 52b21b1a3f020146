#pragma once
// The search's matching rule: the keyword occurs anywhere in the subject, letters A to Z
// matching a to z and every other character only itself; "*" and "?" are ordinary
// characters. Subjects are compared as characters, never as bytes of an encoding, so the
// trail byte of a Chinese character never matches a letter.

#include <QString>
#include <QStringView>

namespace search {

class KeywordMatcher
{
public:
    // `keyword` as trimmedKeyword() gives it; an empty keyword matches nothing.
    explicit KeywordMatcher(const QString& keyword);

    bool matches(QStringView subject) const;
    const QString& keyword() const { return m_folded; }

    // The keyword as typed without the blanks and control characters around it (every
    // character up to the space).
    static QString trimmedKeyword(const QString& text);

private:
    QString m_folded; // the keyword with A to Z folded to a to z
};

} // namespace search
