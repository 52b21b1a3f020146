#include "search/KeywordMatcher.h"

namespace search {

namespace {

inline char16_t folded(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

} // namespace

KeywordMatcher::KeywordMatcher(const QString& keyword) : m_folded(keyword)
{
    for (QChar& c : m_folded)
        c = QChar(folded(c.unicode()));
}

bool KeywordMatcher::matches(QStringView subject) const
{
    const qsizetype length = m_folded.size();
    if (length == 0 || subject.size() < length)
        return false;
    const char16_t* key = reinterpret_cast<const char16_t*>(m_folded.constData());
    const char16_t* text = reinterpret_cast<const char16_t*>(subject.data());
    const qsizetype last = subject.size() - length;
    for (qsizetype at = 0; at <= last; ++at) {
        if (folded(text[at]) != key[0])
            continue;
        qsizetype i = 1;
        while (i < length && folded(text[at + i]) == key[i])
            ++i;
        if (i == length)
            return true;
    }
    return false;
}

QString KeywordMatcher::trimmedKeyword(const QString& text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text[first].unicode() <= u' ')
        ++first;
    while (end > first && text[end - 1].unicode() <= u' ')
        --end;
    return text.mid(first, end - first);
}

} // namespace search
