#pragma once
// One INI file held in memory without loss: every line keeps its own bytes and line end, so
// a rewrite changes only the lines an edit touches. Files are read as Windows reads them:
// CR LF, CR alone and LF alone end a line; section and key names match without letter case;
// a key line splits at its first "=", and its key loses the blanks around it, its value
// those that ValueBlanks says; a value wrapped in a pair of matching quotes ("..." or '...')
// loses them; a line whose first character is ";" is a comment, never a key, and no edit
// removes it. Values are read back as at most 2047 bytes of the file's encoding. A value
// written reads back as it was given: one that reading would change is written in double
// quotes. The file keeps its encoding and its line ends: a rewrite adds the mark that makes
// it read back so where its new content alone would not (TextCodec's fileStart), and new
// lines end as its first line does.

#include "platform/TextCodec.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace platform {

// What reading does with the blanks around a value.
enum class ValueBlanks
{
    // A value keeps the blanks it was written with (a note is stored and read as shown); only
    // where the "=" stands between blanks (a line edited by hand, as the program never writes
    // a blank before its "=") do the blanks after the "=" go.
    Kept,
    // The blanks around a value go, as Windows' profile functions read it (settings).
    Trimmed,
};

class IniDocument
{
public:
    static constexpr int kMaxValueBytes = 2047;

    explicit IniDocument(ValueBlanks blanks = ValueBlanks::Kept) : m_blanks(blanks) {}
    static IniDocument parse(const QByteArray& bytes, ValueBlanks blanks = ValueBlanks::Kept);
    QByteArray serialize() const;

    TextEncoding encoding() const { return m_encoding; }
    bool isEmpty() const { return m_lines.empty(); }
    // The bytes of every line with its line end, in file order.
    QList<QByteArray> lineBytes() const;

    // Key names match without letter case unless `cs` says otherwise.

    // The value of the first line with that key in the section, cut to kMaxValueBytes
    // without splitting a character; nothing when the section or key is missing.
    std::optional<QString> value(const QString& section, const QString& key,
                                 Qt::CaseSensitivity cs = Qt::CaseInsensitive) const;
    bool hasKey(const QString& section, const QString& key,
                Qt::CaseSensitivity cs = Qt::CaseInsensitive) const;
    bool hasSection(const QString& section) const;
    // Section names in file order, each once (first spelling).
    QStringList sections() const;
    // Key names of the section in file order, each once (first spelling), spelled as in the
    // file.
    QStringList keys(const QString& section, Qt::CaseSensitivity cs = Qt::CaseInsensitive) const;
    // Every value of the section by case-folded key; the first of duplicate keys wins.
    QHash<QString, QString> values(const QString& section) const;
    // Every key line of the section in file order, keys spelled as in the file.
    QList<std::pair<QString, QString>> entries(const QString& section) const;
    // The same as parse(bytes, blanks).entries(section), read without keeping the file's
    // lines.
    static QList<std::pair<QString, QString>> readSection(const QByteArray& bytes,
                                                          const QString& section,
                                                          ValueBlanks blanks = ValueBlanks::Kept);
    // The same key lines as places in one text, read without a string per line: `text` is
    // the file's text (with any value that had to be cut appended), each line a key and a
    // value in it.
    struct SectionText
    {
        struct Line
        {
            qsizetype keyAt = 0;
            qsizetype keyLength = 0;
            qsizetype valueAt = 0;
            qsizetype valueLength = 0;
        };
        QString text;
        std::vector<Line> lines;
    };
    static SectionText readSectionText(const QByteArray& bytes, const QString& section,
                                       ValueBlanks blanks = ValueBlanks::Kept);

    // Replaces the value in place, or appends the key after the section's last line, or
    // appends the section with the key at the end of the file. Throws UnstorableText when
    // the section, key or value holds a line break (it would become lines of its own).
    void setValue(const QString& section, const QString& key, const QString& value,
                  Qt::CaseSensitivity cs = Qt::CaseInsensitive);
    // Removes every line of the key in the section; false when there was none.
    bool removeKey(const QString& section, const QString& key,
                   Qt::CaseSensitivity cs = Qt::CaseInsensitive);
    // Removes the section header and all its lines but its comments; false when there was
    // none.
    bool removeSection(const QString& section);

    // Removes the section and appends it anew at the end of the file with these keys in
    // this order (no section at all when there are none).
    void replaceSection(const QString& section, const QList<std::pair<QString, QString>>& entries);

    // True when `key` can be written and read back as the same key: not empty, no line
    // break, no "=", no blanks around it, not starting with the comment mark ";".
    static bool isStorableKey(const QString& key);

private:
    enum class Kind
    {
        Other,
        Comment,
        Section,
        Key
    };
    struct Line
    {
        QByteArray raw; // the line's bytes without its line end
        QByteArray eol; // CR LF, LF, or CR or nothing for the last line (in the file's encoding)
        Kind kind = Kind::Other;
        bool blank = false; // nothing but blanks
        QString name;       // section or key name, trimmed
        // Key lines, byte offsets in `raw`: where a new value replaces the old one (after the
        // "=" and the blanks that follow it), and the value as read.
        qsizetype valueStart = 0;
        qsizetype readFrom = 0;
        qsizetype readTo = 0;
        bool leadingBlanksDropped = false; // reading drops the blanks after the "="
        // The decoded value of a key line as read: a piece of the document's decoded text, or
        // text of its own for a line written since.
        qsizetype valueOffset = -1;
        qsizetype valueLength = 0;
        QString ownValue;
    };

    // `textOffset` is where `text` starts in m_text, or -1 when it is text of its own.
    static Line classify(QByteArray raw, QByteArray eol, QStringView text, qsizetype textOffset,
                         int unitSize, ValueBlanks blanks);
    int unitSize() const; // bytes of a code unit: 2 in UTF-16, else 1
    // Gives the last line a line end before a line is appended after it.
    void endLastLine();
    // True when the line at `index` is nothing but a line end that starts with an LF.
    bool startsWithLineFeed(size_t index) const;
    // The line end of a new line put before the line at `index`.
    QByteArray lineEndBefore(size_t index) const;
    // After lines were removed: no line ended by a CR alone stays before an empty line ended
    // by an LF (the two would read as one line end).
    void mendLineEnds();
    // What a line's text (without its line end) is: a section header with its name, a key
    // line with its key and the position of its "=", or another line.
    static Kind classifyText(QStringView text, QString* name, qsizetype* equals);
    static Kind classifyView(QStringView text, QStringView* name, qsizetype* equals);
    QString decodeValue(const Line& line) const;
    Line makeLine(const QString& text) const;
    // "key=value", the value in quotes where reading would change it.
    Line makeKeyLine(const QString& key, const QString& value) const;
    // Calls `visit(index)` for every line inside sections named `section`; stops when it
    // returns false.
    template <typename Visit> void forEachInSection(const QString& section, Visit visit) const;
    qsizetype findKey(const QString& section, const QString& key, Qt::CaseSensitivity cs) const;
    qsizetype insertionPointOfSection(const QString& section) const;

    std::vector<Line> m_lines;
    QString m_text; // the file decoded whole, which parsed lines refer to
    ValueBlanks m_blanks = ValueBlanks::Kept;
    TextEncoding m_encoding = TextEncoding::Gb18030;
    QByteArray m_newLine = QByteArrayLiteral("\r\n"); // in the file's encoding
    QByteArray m_cr = QByteArrayLiteral("\r");
    QByteArray m_lf = QByteArrayLiteral("\n");
    QByteArray m_tail; // an odd last byte of a UTF-16 file, kept at the end
};

} // namespace platform
