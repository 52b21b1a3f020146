#pragma once
// The search's matching rule as a listing's filter: a file passes when its caption (by name)
// or its note (by note) holds the keyword. A name in UTF-8 is its own caption, so its bytes
// are matched as they are; a notes file whose bytes cannot hold the keyword is not read.

#include "core/FileListing.h"
#include "search/KeywordMatcher.h"

#include <QByteArray>
#include <QList>

namespace search {

class KeywordFilter : public core::RowFilter
{
public:
    // `keyword` as KeywordMatcher::trimmedKeyword() gives it.
    KeywordFilter(bool byNote, const QString& keyword);

    bool byNote() const override { return m_byNote; }
    bool passes(QStringView text) const override { return m_matcher.matches(text); }
    bool utf8NamePasses(QByteArrayView name) const override;
    bool notesMayPass(const QByteArray& bytes) const override;

private:
    bool m_byNote;
    KeywordMatcher m_matcher;
    // The keyword's bytes in UTF-8 and in GB18030, A to Z folded.
    QByteArray m_utf8Keyword;
    QList<QByteArray> m_keywordBytes;
};

} // namespace search
