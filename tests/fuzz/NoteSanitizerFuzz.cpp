// The note written into the exported page, on any text: read back as a browser reads a page's
// text (tags, their attributes, references in attribute values), it holds no tag but b, i, u,
// br, font and a, no attribute but a font's colour and a link's web, ftp or mail address, no
// comment or declaration, and every element it opens it closes, in order, so nothing reaches
// the cells after it. Cleaning the result again changes nothing.
#include "FuzzInput.h"
#include "export/NoteSanitizer.h"

#include <QList>

namespace {

bool isLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// An attribute value as a browser decodes it. Only the references the page writes may stand
// in a value; any other "&" would be read by rules this check does not repeat.
QString decodedValue(QStringView value)
{
    QString decoded;
    for (qsizetype i = 0; i < value.size();) {
        if (value[i] != u'&') {
            decoded += value[i++];
            continue;
        }
        bool found = false;
        for (const auto& [written, shown] :
             {std::pair{"&amp;", u'&'}, std::pair{"&quot;", u'"'}, std::pair{"&lt;", u'<'},
              std::pair{"&gt;", u'>'}, std::pair{"&#39;", u'\''}}) {
            if (value.mid(i).startsWith(QLatin1String(written))) {
                decoded += QChar(shown);
                i += qsizetype(qstrlen(written));
                found = true;
                break;
            }
        }
        FUZZ_CHECK(found);
    }
    return decoded;
}

// Reads the page text as a browser's tokenizer does, from its data state.
void checkPage(QStringView page)
{
    QList<QString> open;
    qsizetype i = 0;
    while (i < page.size()) {
        const QChar c = page[i];
        FUZZ_CHECK(c != u'>'); // every other sign is written as a reference
        if (c != u'<') {
            ++i;
            continue;
        }
        FUZZ_CHECK(i + 1 < page.size());
        const bool closing = page[i + 1] == u'/';
        qsizetype p = i + (closing ? 2 : 1);
        // "<!", "<?", "</" before a non-letter: comments and declarations.
        FUZZ_CHECK(p < page.size() && isLetter(page[p]));
        const qsizetype nameStart = p;
        while (p < page.size() && !isBlank(page[p]) && page[p] != u'/' && page[p] != u'>')
            ++p;
        const QString name = page.mid(nameStart, p - nameStart).toString().toLower();
        FUZZ_CHECK(name == u"b" || name == u"i" || name == u"u" || name == u"br" ||
                   name == u"font" || name == u"a");
        QList<std::pair<QString, QString>> attributes;
        for (;;) {
            while (p < page.size() && (isBlank(page[p]) || page[p] == u'/'))
                ++p;
            FUZZ_CHECK(p < page.size()); // a tag left open would take in the next cells
            if (page[p] == u'>') {
                ++p;
                break;
            }
            const qsizetype attributeStart = p;
            while (p < page.size() && !isBlank(page[p]) && page[p] != u'/' && page[p] != u'>' &&
                   (page[p] != u'=' || p == attributeStart))
                ++p;
            const QString attribute =
                page.mid(attributeStart, p - attributeStart).toString().toLower();
            while (p < page.size() && isBlank(page[p]))
                ++p;
            QString value;
            if (p < page.size() && page[p] == u'=') {
                ++p;
                while (p < page.size() && isBlank(page[p]))
                    ++p;
                FUZZ_CHECK(p < page.size());
                if (page[p] == u'"' || page[p] == u'\'') {
                    const qsizetype close = page.indexOf(page[p], p + 1);
                    FUZZ_CHECK(close > p);
                    value = decodedValue(page.mid(p + 1, close - p - 1));
                    p = close + 1;
                } else {
                    const qsizetype valueStart = p;
                    while (p < page.size() && !isBlank(page[p]) && page[p] != u'>')
                        ++p;
                    value = decodedValue(page.mid(valueStart, p - valueStart));
                }
            }
            attributes.append({attribute, value});
        }
        if (closing) {
            FUZZ_CHECK(attributes.isEmpty());
            FUZZ_CHECK(!open.isEmpty() && open.takeLast() == name);
        } else if (name == u"font" || name == u"a") {
            FUZZ_CHECK(attributes.size() == 1);
            const auto& [attribute, value] = attributes.front();
            if (name == u"a") {
                FUZZ_CHECK(attribute == u"href");
                FUZZ_CHECK(!open.contains(QStringLiteral("a")));
                bool allowed = false;
                for (const char* scheme : {"http:", "https:", "ftp:", "mailto:"})
                    allowed =
                        allowed || value.startsWith(QLatin1String(scheme), Qt::CaseInsensitive);
                FUZZ_CHECK(allowed);
                for (const QChar v : value)
                    FUZZ_CHECK(v.unicode() >= 0x20 && v.unicode() != 0x7f);
            } else {
                FUZZ_CHECK(attribute == u"color");
                for (const QChar v : value)
                    FUZZ_CHECK(v == u'#' || v.isLetterOrNumber());
            }
            open.append(name);
        } else {
            FUZZ_CHECK(attributes.isEmpty());
            if (name != u"br")
                open.append(name);
        }
        i = p;
    }
    FUZZ_CHECK(open.isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString note =
        QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(qMin<size_t>(size, 4096)));
    const QString page = htmlexport::NoteSanitizer::sanitize(note);
    checkPage(page);
    FUZZ_CHECK(htmlexport::NoteSanitizer::sanitize(page) == page);
    return 0;
}
