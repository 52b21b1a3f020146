#include "search/KeywordFilter.h"

#include "platform/TextCodec.h"

#include <array>
#include <cstring>

namespace search {

namespace {

constexpr std::array<char, 256> kFolded = [] {
    std::array<char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[size_t(c)] = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return table;
}();

inline char foldedByte(char c)
{
    return kFolded[static_cast<unsigned char>(c)];
}

// True when `folded` (A to Z folded) occurs in `bytes` with A to Z folded.
bool containsFolded(QByteArrayView bytes, const QByteArray& folded)
{
    const qsizetype length = folded.size();
    if (length == 0 || bytes.size() < length)
        return false;
    const char first = folded[0];
    const bool letter = first >= 'a' && first <= 'z';
    const char* at = bytes.data();
    const char* const end = at + bytes.size() - length + 1;
    for (; at < end; ++at) {
        if (!letter) {
            // A byte that is no letter is found as it is.
            at = static_cast<const char*>(std::memchr(at, first, size_t(end - at)));
            if (!at)
                return false;
        } else if (foldedByte(*at) != first) {
            continue;
        }
        qsizetype i = 1;
        while (i < length && foldedByte(at[i]) == folded[i])
            ++i;
        if (i == length)
            return true;
    }
    return false;
}

QByteArray foldedBytes(const QString& text, platform::TextEncoding encoding)
{
    QByteArray bytes = platform::text::encode(text, encoding);
    for (char& c : bytes)
        c = foldedByte(c);
    return bytes;
}

} // namespace

KeywordFilter::KeywordFilter(bool byNote, const QString& keyword)
    : m_byNote(byNote), m_matcher(keyword),
      m_utf8Keyword(foldedBytes(m_matcher.keyword(), platform::TextEncoding::Utf8))
{
    m_keywordBytes.append(m_utf8Keyword);
    const QByteArray gb = foldedBytes(m_matcher.keyword(), platform::TextEncoding::Gb18030);
    if (gb != m_utf8Keyword)
        m_keywordBytes.append(gb);
}

bool KeywordFilter::utf8NamePasses(QByteArrayView name) const
{
    // A keyword's bytes in a UTF-8 text always start at a character.
    return containsFolded(name, m_utf8Keyword);
}

bool KeywordFilter::notesMayPass(const QByteArray& bytes) const
{
    // Every character of a note has its one spelling in the file's encoding, so a note that
    // holds the keyword puts the keyword's bytes into the file. The keyword's bytes are known
    // in the 8-bit encodings only; a UTF-16 notes file is read whole.
    const platform::TextEncoding encoding = platform::text::detect(bytes);
    if (encoding == platform::TextEncoding::Utf16Le || encoding == platform::TextEncoding::Utf16Be)
        return true;
    for (const QByteArray& keyword : m_keywordBytes) {
        if (containsFolded(bytes, keyword))
            return true;
    }
    return false;
}

} // namespace search
