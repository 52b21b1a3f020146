#include "platform/IniDocument.h"

#include "platform/Errors.h"

#include <QSet>

#include <cstring>

namespace platform {

namespace {

void refuseLineBreak(const QString& text)
{
    if (text.contains(u'\n') || text.contains(u'\r'))
        throw UnstorableText(text);
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The blanks a reader takes off around a value (the C library's white space; a line break
// never stands inside a line).
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

bool isQuote(QChar c)
{
    return c == u'"' || c == u'\'';
}

// Where the value of a key line lies, in characters of the line. Reading drops the blanks
// after the "=" where values are trimmed, or where the "=" stands between blanks (a line
// edited by hand: the program never writes a blank before its "="), and the blanks at the
// line's end where values are trimmed. A value that is, its outer blanks aside, wrapped in a
// pair of matching quotes is what lies between them. A new value replaces what follows the
// blanks that reading drops.
struct ValueRange
{
    qsizetype replaceFrom = 0;
    qsizetype from = 0;
    qsizetype to = 0;
    bool leadingBlanksDropped = false;
};

ValueRange valueRange(QStringView text, qsizetype equals, ValueBlanks blanks)
{
    ValueRange range;
    range.from = equals + 1;
    range.to = text.size();
    range.leadingBlanksDropped =
        blanks == ValueBlanks::Trimmed || (equals > 0 && isBlank(text[equals - 1]));
    if (range.leadingBlanksDropped) {
        while (range.from < range.to && isBlank(text[range.from]))
            ++range.from;
    }
    if (blanks == ValueBlanks::Trimmed) {
        while (range.to > range.from && isBlank(text[range.to - 1]))
            --range.to;
    }
    range.replaceFrom = range.from;
    qsizetype first = range.from;
    qsizetype last = range.to;
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    if (last - first >= 2 && isQuote(text[first]) && text[last - 1] == text[first]) {
        range.from = first + 1;
        range.to = last - 1;
    }
    return range;
}

// The same range in bytes of the line. Everything the range leaves out after the "=" is
// blanks and quotes, one code unit each; "=" never occurs inside a multi-byte character of
// GB18030 or UTF-8, so the first "=" byte is the first "=" character.
struct ByteRange
{
    qsizetype replaceFrom = 0;
    qsizetype from = 0;
    qsizetype to = 0;
};

ByteRange byteRange(QByteArrayView raw, QStringView text, qsizetype equals, const ValueRange& range,
                    int unit)
{
    if (unit == 2)
        return {range.replaceFrom * 2, range.from * 2, range.to * 2};
    const qsizetype valueStart = raw.indexOf('=') + 1;
    const qsizetype offset = valueStart - (equals + 1);
    return {range.replaceFrom + offset, range.from + offset, raw.size() - (text.size() - range.to)};
}

// True when `value`, written as it is, reads back as it is (see valueRange).
bool readsBack(QStringView value, bool leadingBlanksDropped, ValueBlanks blanks)
{
    if (value.isEmpty())
        return true;
    if ((leadingBlanksDropped && isBlank(value.front())) ||
        (blanks == ValueBlanks::Trimmed && isBlank(value.back())))
        return false;
    qsizetype first = 0;
    qsizetype last = value.size();
    while (first < last && isBlank(value[first]))
        ++first;
    while (last > first && isBlank(value[last - 1]))
        --last;
    return !(last - first >= 2 && isQuote(value[first]) && value[last - 1] == value[first]);
}

// A value as it is written: as it is, or in double quotes where reading would not give it
// back so (the quotes come off again, and nothing inside them does).
QString writtenValue(const QString& value, bool leadingBlanksDropped, ValueBlanks blanks)
{
    return readsBack(value, leadingBlanksDropped, blanks) ? value : u'"' + value + u'"';
}

// A header is a line that starts with "[" and holds no "=" (any key line holds one, so a
// file name such as "[book]a.pdf" can still be a key); the name ends at the first "]".
bool parseSectionHeader(QStringView trimmed, QStringView* name)
{
    if (!trimmed.startsWith(u'[') || trimmed.contains(u'='))
        return false;
    const qsizetype close = trimmed.indexOf(u']');
    *name = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
    return true;
}

} // namespace

IniDocument::Kind IniDocument::classifyView(QStringView text, QStringView* name, qsizetype* equals)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.startsWith(u';'))
        return Kind::Comment;
    if (parseSectionHeader(trimmed, name))
        return Kind::Section;
    *equals = text.indexOf(u'=');
    if (*equals <= 0)
        return Kind::Other;
    const QStringView key = text.left(*equals).trimmed();
    if (key.isEmpty())
        return Kind::Other;
    *name = key;
    return Kind::Key;
}

IniDocument::Kind IniDocument::classifyText(QStringView text, QString* name, qsizetype* equals)
{
    QStringView view;
    const Kind kind = classifyView(text, &view, equals);
    if (kind == Kind::Section || kind == Kind::Key)
        *name = view.toString();
    return kind;
}

IniDocument::Line IniDocument::classify(QByteArray raw, QByteArray eol, QStringView text,
                                        qsizetype textOffset, int unitSize, ValueBlanks blanks)
{
    Line line;
    line.raw = std::move(raw);
    line.eol = std::move(eol);
    line.blank = text.trimmed().isEmpty();
    qsizetype equals = -1;
    line.kind = classifyText(text, &line.name, &equals);
    if (line.kind != Kind::Key)
        return line;
    const ValueRange range = valueRange(text, equals, blanks);
    const ByteRange bytes = byteRange(line.raw, text, equals, range, unitSize);
    line.leadingBlanksDropped = range.leadingBlanksDropped;
    line.valueStart = bytes.replaceFrom;
    line.readFrom = bytes.from;
    line.readTo = bytes.to;
    if (textOffset >= 0) {
        line.valueOffset = textOffset + range.from;
        line.valueLength = range.to - range.from;
    } else {
        line.ownValue = text.sliced(range.from, range.to - range.from).toString();
    }
    return line;
}

namespace {

// Splits text into lines as Windows reads them: CR LF, CR alone and LF alone each end a line;
// the last line may have no line end. `find(unit, from)` gives the position of the next code
// unit `unit` at or after `from`, or `count` when there is none. Each look-up scans forward
// only, so a file of any line ends is split in one pass.
template <typename Find> class LineSplitter
{
public:
    LineSplitter(Find find, qsizetype count) : m_find(find), m_count(count) {}

    // The next line: where it starts and ends (without its line end) and the length of its
    // line end in code units; false after the last line.
    bool next(qsizetype* start, qsizetype* end, int* eolLength)
    {
        if (m_pos >= m_count)
            return false;
        if (m_lf < m_pos)
            m_lf = m_find(u'\n', m_pos);
        if (m_cr < m_pos)
            m_cr = m_find(u'\r', m_pos);
        *start = m_pos;
        if (m_cr < m_lf) {
            *end = m_cr;
            *eolLength = m_cr + 1 == m_lf ? 2 : 1;
        } else {
            *end = m_lf;
            *eolLength = m_lf < m_count ? 1 : 0;
        }
        m_pos = *end + *eolLength;
        return true;
    }

private:
    Find m_find;
    qsizetype m_count;
    qsizetype m_pos = 0;
    qsizetype m_lf = -1;
    qsizetype m_cr = -1;
};

template <typename Find> LineSplitter<Find> splitter(Find find, qsizetype count)
{
    return LineSplitter<Find>(find, count);
}

// The lines of decoded text.
auto textLines(QStringView text)
{
    return splitter(
        [text](char16_t unit, qsizetype from) {
            const qsizetype at = text.indexOf(QChar(unit), from);
            return at < 0 ? text.size() : at;
        },
        text.size());
}

// The lines of a file's bytes in a single-byte-unit encoding (GB18030, UTF-8): a line break
// byte is never part of a multi-byte character.
auto byteLines(QByteArrayView bytes)
{
    return splitter(
        [bytes](char16_t unit, qsizetype from) {
            const void* at =
                std::memchr(bytes.data() + from, int(unit), size_t(bytes.size() - from));
            return at ? static_cast<const char*>(at) - bytes.data() : bytes.size();
        },
        bytes.size());
}

struct RawLine
{
    QByteArray raw;
    QByteArray eol;
};

// Splits the body of a file into lines with their line ends, in code units of its encoding.
std::vector<RawLine> splitLines(const QByteArray& bytes, TextEncoding encoding)
{
    std::vector<RawLine> lines;
    const auto collect = [&](auto split, int unit) {
        qsizetype start = 0;
        qsizetype end = 0;
        int eolLength = 0;
        while (split.next(&start, &end, &eolLength)) {
            RawLine& line = lines.emplace_back();
            line.raw = bytes.mid(start * unit, (end - start) * unit);
            line.eol = bytes.mid(end * unit, eolLength * unit);
        }
    };
    if (encoding != TextEncoding::Utf16Le && encoding != TextEncoding::Utf16Be) {
        collect(byteLines(bytes), 1);
        return lines;
    }
    const bool bigEndian = encoding == TextEncoding::Utf16Be;
    const qsizetype units = bytes.size() / 2;
    const auto unitAt = [&](qsizetype i) {
        const auto a = static_cast<unsigned char>(bytes[2 * i]);
        const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
        return bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a);
    };
    collect(splitter(
                [&](char16_t unit, qsizetype from) {
                    for (qsizetype i = from; i < units; ++i) {
                        if (unitAt(i) == unit)
                            return i;
                    }
                    return units;
                },
                units),
            2);
    return lines;
}

} // namespace

IniDocument IniDocument::parse(const QByteArray& input, ValueBlanks blanks)
{
    IniDocument document(blanks);
    const TextEncoding encoding = text::detect(input);
    document.m_encoding = encoding;
    document.m_cr = text::encode(u"\r", encoding);
    document.m_lf = text::encode(u"\n", encoding);
    // The byte-order mark is taken off once; what follows it is the file's text.
    QByteArray bytes = input.mid(text::byteOrderMark(encoding).size());
    const int unit = document.unitSize();
    if (unit == 2 && bytes.size() % 2 != 0) {
        document.m_tail = bytes.right(1); // half a code unit stays where it is, at the end
        bytes.chop(1);
    }
    document.m_newLine = document.m_cr + document.m_lf;
    if (bytes.isEmpty())
        return document;

    std::vector<RawLine> rawLines = splitLines(bytes, encoding);
    // New lines end as the file's first line does.
    if (const QByteArray& first = rawLines.front().eol;
        first == document.m_lf || first == document.m_cr)
        document.m_newLine = first;

    // Decode the whole file once; fall back to line by line when malformed bytes made the
    // decoder lose a line break.
    document.m_text = text::decode(bytes, encoding);
    const QString& all = document.m_text;
    std::vector<std::pair<qsizetype, qsizetype>> texts; // start and end of each line
    texts.reserve(rawLines.size());
    {
        auto split = textLines(all);
        qsizetype start = 0;
        qsizetype end = 0;
        int eolLength = 0;
        while (split.next(&start, &end, &eolLength))
            texts.emplace_back(start, end);
    }
    const bool aligned = texts.size() == rawLines.size();

    document.m_lines.reserve(rawLines.size());
    QString fallback;
    for (size_t i = 0; i < rawLines.size(); ++i) {
        RawLine& raw = rawLines[i];
        QStringView lineText;
        qsizetype offset = -1;
        if (aligned) {
            offset = texts[i].first;
            lineText = QStringView(all).sliced(offset, texts[i].second - offset);
        } else {
            fallback = text::decode(raw.raw, encoding);
            lineText = fallback;
        }
        document.m_lines.push_back(
            classify(std::move(raw.raw), std::move(raw.eol), lineText, offset, unit, blanks));
    }
    return document;
}

QByteArray IniDocument::serialize() const
{
    qsizetype size = m_tail.size();
    for (const Line& line : m_lines)
        size += line.raw.size() + line.eol.size();
    QByteArray body;
    body.reserve(size);
    for (const Line& line : m_lines) {
        body += line.raw;
        body += line.eol;
    }
    body += m_tail;
    // The file must read back in its encoding, whatever its lines have become.
    const text::FileStart start = text::fileStart(body, m_encoding, lineEndBefore(0));
    return start.prefix.isEmpty() ? body : start.prefix + body;
}

QList<QByteArray> IniDocument::lineBytes() const
{
    QList<QByteArray> lines;
    lines.reserve(qsizetype(m_lines.size()));
    for (const Line& line : m_lines)
        lines.append(line.raw + line.eol);
    return lines;
}

int IniDocument::unitSize() const
{
    return m_encoding == TextEncoding::Utf16Le || m_encoding == TextEncoding::Utf16Be ? 2 : 1;
}

void IniDocument::endLastLine()
{
    if (m_lines.empty())
        return;
    QByteArray& eol = m_lines.back().eol;
    if (eol.isEmpty())
        eol = m_newLine;
    else if (eol == m_cr && m_newLine == m_cr + m_lf)
        eol += m_lf; // a CR LF file cut after its CR: the LF completes it
}

bool IniDocument::startsWithLineFeed(size_t index) const
{
    return index < m_lines.size() && m_lines[index].raw.isEmpty() &&
           m_lines[index].eol.startsWith(m_lf);
}

QByteArray IniDocument::lineEndBefore(size_t index) const
{
    // A CR alone followed by a line that is nothing but an LF would read as one CR LF.
    return m_newLine == m_cr && startsWithLineFeed(index) ? m_cr + m_lf : m_newLine;
}

void IniDocument::mendLineEnds()
{
    // Lines taken out can leave a line ended by a CR alone before an empty line ended by an
    // LF; the two would read as one line end, so the empty line goes too.
    std::vector<Line> kept;
    kept.reserve(m_lines.size());
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (!kept.empty() && kept.back().eol == m_cr && startsWithLineFeed(i))
            continue;
        kept.push_back(std::move(m_lines[i]));
    }
    m_lines = std::move(kept);
}

template <typename Visit>
void IniDocument::forEachInSection(const QString& section, Visit visit) const
{
    bool inside = false;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Section) {
            inside = sameName(line.name, section);
            continue;
        }
        if (inside && !visit(i))
            return;
    }
}

QString IniDocument::decodeValue(const Line& line) const
{
    if (line.readTo - line.readFrom <= kMaxValueBytes) {
        if (line.valueOffset < 0)
            return line.ownValue;
        return m_text.mid(line.valueOffset, line.valueLength);
    }
    return text::decodeLimited(line.raw.mid(line.readFrom, line.readTo - line.readFrom), m_encoding,
                               kMaxValueBytes);
}

qsizetype IniDocument::findKey(const QString& section, const QString& key,
                               Qt::CaseSensitivity cs) const
{
    qsizetype found = -1;
    forEachInSection(section, [&](size_t i) {
        if (m_lines[i].kind == Kind::Key && m_lines[i].name.compare(key, cs) == 0)
            found = qsizetype(i);
        return found < 0;
    });
    return found;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key,
                                          Qt::CaseSensitivity cs) const
{
    const qsizetype index = findKey(section, key, cs);
    if (index < 0)
        return std::nullopt;
    return decodeValue(m_lines[size_t(index)]);
}

bool IniDocument::hasKey(const QString& section, const QString& key, Qt::CaseSensitivity cs) const
{
    return findKey(section, key, cs) >= 0;
}

bool IniDocument::hasSection(const QString& section) const
{
    for (const Line& line : m_lines) {
        if (line.kind == Kind::Section && sameName(line.name, section))
            return true;
    }
    return false;
}

QStringList IniDocument::sections() const
{
    QStringList result;
    QSet<QString> seen;
    for (const Line& line : m_lines) {
        if (line.kind == Kind::Section && !seen.contains(line.name.toCaseFolded())) {
            seen.insert(line.name.toCaseFolded());
            result.append(line.name);
        }
    }
    return result;
}

QStringList IniDocument::keys(const QString& section, Qt::CaseSensitivity cs) const
{
    QStringList result;
    QSet<QString> seen;
    forEachInSection(section, [&](size_t i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Key) {
            const QString folded = cs == Qt::CaseInsensitive ? line.name.toCaseFolded() : line.name;
            if (!seen.contains(folded)) {
                seen.insert(folded);
                result.append(line.name);
            }
        }
        return true;
    });
    return result;
}

QHash<QString, QString> IniDocument::values(const QString& section) const
{
    QHash<QString, QString> result;
    forEachInSection(section, [&](size_t i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Key) {
            const QString folded = line.name.toCaseFolded();
            if (!result.contains(folded))
                result.insert(folded, decodeValue(line));
        }
        return true;
    });
    return result;
}

QList<std::pair<QString, QString>> IniDocument::entries(const QString& section) const
{
    QList<std::pair<QString, QString>> result;
    forEachInSection(section, [&](size_t i) {
        if (m_lines[i].kind == Kind::Key)
            result.append({m_lines[i].name, decodeValue(m_lines[i])});
        return true;
    });
    return result;
}

QList<std::pair<QString, QString>>
IniDocument::readSection(const QByteArray& input, const QString& section, ValueBlanks blanks)
{
    const SectionText read = readSectionText(input, section, blanks);
    QList<std::pair<QString, QString>> result;
    result.reserve(qsizetype(read.lines.size()));
    for (const SectionText::Line& line : read.lines)
        result.append({read.text.mid(line.keyAt, line.keyLength),
                       read.text.mid(line.valueAt, line.valueLength)});
    return result;
}

IniDocument::SectionText IniDocument::readSectionText(const QByteArray& input,
                                                      const QString& section, ValueBlanks blanks)
{
    SectionText read;
    const auto readParsed = [&] {
        read = {};
        for (const auto& [key, value] : parse(input, blanks).entries(section)) {
            const qsizetype at = read.text.size();
            read.text += key;
            read.text += value;
            read.lines.push_back({at, key.size(), at + key.size(), value.size()});
        }
        return std::move(read);
    };
    const TextEncoding encoding = text::detect(input);
    // UTF-16 lines are not split at a byte; such files are rare enough to be parsed whole.
    if (encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be)
        return readParsed();
    const QByteArrayView bytes = QByteArrayView(input).sliced(text::byteOrderMark(encoding).size());
    read.text = text::decode(bytes, encoding);
    const qsizetype decodedSize = read.text.size();
    QString cut; // values cut to their byte limit, to go after the text
    // The lines of the bytes and of the decoded text side by side, as parse() splits them. A
    // file whose decoder lost or made a line break is parsed whole instead.
    auto byteSplit = byteLines(bytes);
    auto textSplit = textLines(read.text);
    bool inside = false;
    for (;;) {
        qsizetype rawStart = 0, rawEnd = 0, textStart = 0, textEnd = 0;
        int rawEol = 0, textEol = 0;
        const bool moreRaw = byteSplit.next(&rawStart, &rawEnd, &rawEol);
        if (moreRaw != textSplit.next(&textStart, &textEnd, &textEol))
            return readParsed();
        if (!moreRaw)
            break;
        const QByteArrayView raw = bytes.sliced(rawStart, rawEnd - rawStart);
        const QStringView text = QStringView(read.text).sliced(textStart, textEnd - textStart);
        const qsizetype lineAt = textStart;

        QStringView name;
        qsizetype equals = -1;
        switch (classifyView(text, &name, &equals)) {
        case Kind::Section:
            inside = name.compare(section, Qt::CaseInsensitive) == 0;
            break;
        case Kind::Key: {
            if (!inside)
                break;
            const qsizetype keyAt = lineAt + (name.data() - text.data());
            const ValueRange range = valueRange(text, equals, blanks);
            const ByteRange value = byteRange(raw, text, equals, range, 1);
            if (value.to - value.from > kMaxValueBytes) {
                const QString limited =
                    text::decodeLimited(raw.sliced(value.from, value.to - value.from).toByteArray(),
                                        encoding, kMaxValueBytes);
                read.lines.push_back(
                    {keyAt, name.size(), decodedSize + cut.size(), limited.size()});
                cut += limited;
            } else {
                read.lines.push_back(
                    {keyAt, name.size(), lineAt + range.from, range.to - range.from});
            }
            break;
        }
        case Kind::Comment:
        case Kind::Other:
            break;
        }
    }
    read.text += cut;
    return read;
}

IniDocument::Line IniDocument::makeLine(const QString& text) const
{
    return classify(text::encode(text, m_encoding), m_newLine, text, -1, unitSize(), m_blanks);
}

IniDocument::Line IniDocument::makeKeyLine(const QString& key, const QString& value) const
{
    const bool leadingBlanksDropped =
        m_blanks == ValueBlanks::Trimmed || (!key.isEmpty() && isBlank(key.back()));
    return makeLine(key + u'=' + writtenValue(value, leadingBlanksDropped, m_blanks));
}

qsizetype IniDocument::insertionPointOfSection(const QString& section) const
{
    // After the last line that is not blank in the first block of the section.
    qsizetype header = -1;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && sameName(m_lines[i].name, section)) {
            header = qsizetype(i);
            break;
        }
    }
    if (header < 0)
        return -1;
    qsizetype insertAt = header + 1;
    for (size_t i = size_t(header) + 1; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Section)
            break;
        if (!line.blank)
            insertAt = qsizetype(i) + 1;
    }
    return insertAt;
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value,
                           Qt::CaseSensitivity cs)
{
    for (const QString* text : {&section, &key, &value})
        refuseLineBreak(*text);
    const qsizetype existing = findKey(section, key, cs);
    if (existing >= 0) {
        // Keep the key as the file spells it, and the blanks after its "="; only the value
        // changes.
        Line& line = m_lines[size_t(existing)];
        const QByteArray encoded = text::encode(value, m_encoding);
        const QByteArray quote = readsBack(value, line.leadingBlanksDropped, m_blanks)
                                     ? QByteArray()
                                     : text::encode(u"\"", m_encoding);
        line.raw = line.raw.left(line.valueStart) + quote + encoded + quote;
        line.readFrom = line.valueStart + quote.size();
        line.readTo = line.readFrom + encoded.size();
        line.valueOffset = -1;
        line.ownValue = value;
        return;
    }

    qsizetype at = insertionPointOfSection(section);
    if (at < 0) {
        endLastLine();
        m_lines.push_back(makeLine(u'[' + section + u']'));
        at = qsizetype(m_lines.size());
    } else if (at == qsizetype(m_lines.size())) {
        endLastLine();
    }
    Line line = makeKeyLine(key, value);
    line.eol = lineEndBefore(size_t(at));
    m_lines.insert(m_lines.begin() + at, std::move(line));
}

bool IniDocument::removeKey(const QString& section, const QString& key, Qt::CaseSensitivity cs)
{
    std::vector<size_t> doomed;
    forEachInSection(section, [&](size_t i) {
        if (m_lines[i].kind == Kind::Key && m_lines[i].name.compare(key, cs) == 0)
            doomed.push_back(i);
        return true;
    });
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        m_lines.erase(m_lines.begin() + qsizetype(*it));
    if (doomed.empty())
        return false;
    mendLineEnds();
    return true;
}

bool IniDocument::removeSection(const QString& section)
{
    const size_t before = m_lines.size();
    std::vector<Line> kept;
    kept.reserve(before);
    bool inside = false;
    for (Line& line : m_lines) {
        if (line.kind == Kind::Section)
            inside = sameName(line.name, section);
        // Comments are the user's: no edit removes them.
        if (!inside || line.kind == Kind::Comment)
            kept.push_back(std::move(line));
    }
    m_lines = std::move(kept);
    if (m_lines.size() == before)
        return false;
    mendLineEnds();
    return true;
}

void IniDocument::replaceSection(const QString& section,
                                 const QList<std::pair<QString, QString>>& entries)
{
    for (const auto& [key, value] : entries) {
        refuseLineBreak(key);
        refuseLineBreak(value);
    }
    removeSection(section);
    if (entries.isEmpty())
        return;
    endLastLine();
    m_lines.reserve(m_lines.size() + size_t(entries.size()) + 1);
    m_lines.push_back(makeLine(u'[' + section + u']'));
    for (const auto& [key, value] : entries)
        m_lines.push_back(makeKeyLine(key, value));
}

bool IniDocument::isStorableKey(const QString& key)
{
    return !key.isEmpty() && key == key.trimmed() && !key.startsWith(u';') && !key.contains(u'=') &&
           !key.contains(u'\n') && !key.contains(u'\r');
}

} // namespace platform
