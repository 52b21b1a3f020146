#include "platform/IniDocument.h"

#include "platform/Errors.h"

#include <QSet>
#include <QStringTokenizer>

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
    if (parseSectionHeader(text.trimmed(), name))
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
    if (kind != Kind::Other)
        *name = view.toString();
    return kind;
}

IniDocument::Line IniDocument::classify(QByteArray raw, QByteArray eol, QStringView text,
                                        qsizetype textOffset, int unitSize)
{
    Line line;
    line.raw = std::move(raw);
    line.eol = std::move(eol);
    line.blank = text.trimmed().isEmpty();
    qsizetype equals = -1;
    line.kind = classifyText(text, &line.name, &equals);
    if (line.kind != Kind::Key)
        return line;
    // "=" never occurs inside a multi-byte character of GB18030 or UTF-8, so the first "="
    // byte is the first "=" character; in UTF-16 every character of the line is one unit.
    line.valueStart = unitSize == 2 ? (equals + 1) * 2 : line.raw.indexOf('=') + 1;
    if (textOffset >= 0) {
        line.valueOffset = textOffset + equals + 1;
        line.valueLength = text.size() - equals - 1;
    } else {
        line.ownValue = text.mid(equals + 1).toString();
    }
    return line;
}

namespace {

struct RawLine
{
    QByteArray raw;
    QByteArray eol;
    bool carriageReturn = false; // the line end starts with CR
};

// Splits the body of a file into lines at LF; a CR before the LF belongs to the line end, and
// so does a CR that ends the last line (a file cut after it). `unit` is the size of a code
// unit, 2 for UTF-16; a line feed is never part of a multi-byte character.
std::vector<RawLine> splitLines(const QByteArray& bytes, TextEncoding encoding)
{
    const int unit = encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be ? 2 : 1;
    const bool bigEndian = encoding == TextEncoding::Utf16Be;
    const auto unitAt = [&](qsizetype pos) -> char16_t {
        if (unit == 1)
            return static_cast<unsigned char>(bytes[pos]);
        const auto a = static_cast<unsigned char>(bytes[pos]);
        const auto b = static_cast<unsigned char>(bytes[pos + 1]);
        return bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a);
    };
    const auto findLineFeed = [&](qsizetype from) -> qsizetype {
        if (unit == 1)
            return bytes.indexOf('\n', from);
        for (qsizetype pos = from; pos + 1 < bytes.size(); pos += 2) {
            if (unitAt(pos) == u'\n')
                return pos;
        }
        return -1;
    };
    const QByteArray cr = text::encode(u"\r", encoding);
    const QByteArray lf = text::encode(u"\n", encoding);

    std::vector<RawLine> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = findLineFeed(start);
        const qsizetype stop = end < 0 ? bytes.size() : end;
        const bool carriageReturn = stop - start >= unit && unitAt(stop - unit) == u'\r';
        RawLine& line = lines.emplace_back();
        line.raw = bytes.mid(start, stop - start - (carriageReturn ? unit : 0));
        line.carriageReturn = carriageReturn;
        line.eol = (carriageReturn ? cr : QByteArray()) + (end < 0 ? QByteArray() : lf);
        if (end < 0)
            break;
        start = end + unit;
    }
    return lines;
}

} // namespace

IniDocument IniDocument::parse(const QByteArray& input)
{
    IniDocument document;
    const TextEncoding encoding = text::detect(input);
    document.m_encoding = encoding;
    // The byte-order mark is taken off once; what follows it is the file's text.
    QByteArray bytes = input.mid(text::byteOrderMark(encoding).size());
    const int unit = document.unitSize();
    if (unit == 2 && bytes.size() % 2 != 0) {
        document.m_tail = bytes.right(1); // half a code unit stays where it is, at the end
        bytes.chop(1);
    }
    document.m_newLine = text::encode(u"\r\n", encoding);
    if (bytes.isEmpty())
        return document;

    std::vector<RawLine> rawLines = splitLines(bytes, encoding);
    if (rawLines.front().eol == text::encode(u"\n", encoding))
        document.m_newLine = rawLines.front().eol;

    // Decode the whole file once; fall back to line by line when malformed bytes made the
    // decoder lose a line break.
    document.m_text = text::decode(bytes, encoding);
    const QString& all = document.m_text;
    std::vector<QStringView> texts;
    texts.reserve(rawLines.size() + 1);
    for (QStringView piece : QStringTokenizer(all, u'\n'))
        texts.push_back(piece);
    if (!texts.empty() && texts.back().isEmpty() && rawLines.size() + 1 == texts.size())
        texts.pop_back();
    const bool aligned = texts.size() == rawLines.size();

    document.m_lines.reserve(rawLines.size());
    QString fallback;
    for (size_t i = 0; i < rawLines.size(); ++i) {
        RawLine& raw = rawLines[i];
        QStringView lineText;
        qsizetype offset = -1;
        if (aligned) {
            lineText = texts[i];
            offset = lineText.data() - all.constData();
            if (raw.carriageReturn)
                lineText.chop(1);
        } else {
            fallback = text::decode(raw.raw, encoding);
            lineText = fallback;
        }
        document.m_lines.push_back(
            classify(std::move(raw.raw), std::move(raw.eol), lineText, offset, unit));
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
    const text::FileStart start = text::fileStart(body, m_encoding, m_newLine);
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
    else if (eol == text::encode(u"\r", m_encoding))
        eol += text::encode(u"\n", m_encoding); // the CR stays; the LF completes it
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
    if (line.raw.size() - line.valueStart <= kMaxValueBytes) {
        if (line.valueOffset < 0)
            return line.ownValue;
        return m_text.mid(line.valueOffset, line.valueLength);
    }
    return text::decodeLimited(line.raw.mid(line.valueStart), m_encoding, kMaxValueBytes);
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

QList<std::pair<QString, QString>> IniDocument::readSection(const QByteArray& input,
                                                            const QString& section)
{
    const SectionText read = readSectionText(input, section);
    QList<std::pair<QString, QString>> result;
    result.reserve(qsizetype(read.lines.size()));
    for (const SectionText::Line& line : read.lines)
        result.append({read.text.mid(line.keyAt, line.keyLength),
                       read.text.mid(line.valueAt, line.valueLength)});
    return result;
}

IniDocument::SectionText IniDocument::readSectionText(const QByteArray& input,
                                                      const QString& section)
{
    SectionText read;
    const auto readParsed = [&] {
        read = {};
        for (const auto& [key, value] : parse(input).entries(section)) {
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
    qsizetype rawStart = 0;
    qsizetype textStart = 0;
    bool inside = false;
    while (rawStart < bytes.size()) {
        qsizetype rawEnd = bytes.indexOf('\n', rawStart);
        qsizetype textEnd = read.text.indexOf(u'\n', textStart);
        if ((rawEnd < 0) != (textEnd < 0))
            return readParsed();
        if (rawEnd < 0) {
            rawEnd = bytes.size();
            textEnd = decodedSize;
        }
        QByteArrayView raw = bytes.sliced(rawStart, rawEnd - rawStart);
        QStringView text = QStringView(read.text).sliced(textStart, textEnd - textStart);
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (text.endsWith(u'\r'))
            text.chop(1);
        const qsizetype lineAt = textStart;
        rawStart = rawEnd + 1;
        textStart = textEnd + 1;

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
            if (const QByteArrayView value = raw.sliced(raw.indexOf('=') + 1);
                value.size() > kMaxValueBytes) {
                const QString limited =
                    text::decodeLimited(value.toByteArray(), encoding, kMaxValueBytes);
                read.lines.push_back(
                    {keyAt, name.size(), decodedSize + cut.size(), limited.size()});
                cut += limited;
            } else {
                read.lines.push_back(
                    {keyAt, name.size(), lineAt + equals + 1, text.size() - equals - 1});
            }
            break;
        }
        case Kind::Other:
            break;
        }
    }
    if (textStart < decodedSize)
        return readParsed();
    read.text += cut;
    return read;
}

IniDocument::Line IniDocument::makeLine(const QString& text) const
{
    return classify(text::encode(text, m_encoding), m_newLine, text, -1, unitSize());
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
        // Keep the key as the file spells it; only the value changes.
        Line& line = m_lines[size_t(existing)];
        line.raw = line.raw.left(line.valueStart) + text::encode(value, m_encoding);
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
    m_lines.insert(m_lines.begin() + at, makeLine(key + u'=' + value));
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
    return !doomed.empty();
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
        if (!inside)
            kept.push_back(std::move(line));
    }
    m_lines = std::move(kept);
    return m_lines.size() != before;
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
        m_lines.push_back(makeLine(key + u'=' + value));
}

bool IniDocument::isStorableKey(const QString& key)
{
    return !key.isEmpty() && key == key.trimmed() && !key.contains(u'=') && !key.contains(u'\n') &&
           !key.contains(u'\r');
}

} // namespace platform
