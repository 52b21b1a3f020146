#include "core/RowOrder.h"

#include "platform/FileNames.h"
#include "platform/Gb18030Codes.h"
#include "platform/TextCodec.h"
#include "platform/Utf8Reader.h"

#include <algorithm>
#include <cstring>

namespace core {

namespace {

inline char folded(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

inline void appendCode(std::string& out, char32_t character)
{
    char bytes[4];
    char* end = platform::text::putGb18030(bytes, platform::text::gb18030Code(character));
    for (const char* b = bytes; b < end; ++b)
        out.push_back(folded(*b));
}

// Where each row's key lies in the buffer of keys.
struct Span
{
    quint32 at = 0;
    quint32 length = 0;
};

struct Item
{
    quint64 prefix; // the key's first eight bytes, most significant first (or its number)
    quint32 row;
};

quint64 prefixOf(const std::string& keys, Span span)
{
    quint64 prefix = 0;
    for (quint32 i = 0; i < 8; ++i) {
        const quint64 byte = i < span.length ? static_cast<unsigned char>(keys[span.at + i]) : 0;
        prefix = prefix << 8 | byte;
    }
    return prefix;
}

// Sorts by prefix, then (for text keys) the whole key, then the old row.
std::vector<int> sortItems(std::vector<Item>& items, const std::string* keys,
                           const std::vector<Span>* spans, bool ascending)
{
    const auto keyLess = [&](const Item& a, const Item& b) {
        if (a.prefix != b.prefix)
            return std::pair{a.prefix < b.prefix, true};
        if (!keys)
            return std::pair{false, false};
        const Span sa = (*spans)[a.row];
        const Span sb = (*spans)[b.row];
        if (sa.length > 8 || sb.length > 8) {
            const int order = std::memcmp(keys->data() + sa.at, keys->data() + sb.at,
                                          std::min(sa.length, sb.length));
            if (order != 0)
                return std::pair{order < 0, true};
        }
        if (sa.length != sb.length)
            return std::pair{sa.length < sb.length, true};
        return std::pair{false, false};
    };
    std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
        const auto [less, decided] = ascending ? keyLess(a, b) : keyLess(b, a);
        return decided ? less : a.row < b.row;
    });
    std::vector<int> order;
    order.reserve(items.size());
    for (const Item& item : items)
        order.push_back(int(item.row));
    return order;
}

} // namespace

void appendTextKey(std::string& out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out.push_back(folded(char(c)));
        } else if (!QChar::isSurrogate(c)) {
            appendCode(out, c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   text[i + 1].isLowSurrogate()) {
            appendCode(out, QChar::surrogateToUcs4(c, text[i + 1].unicode()));
            ++i;
        } else if (platform::isKeptByte(c)) {
            out.push_back(folded(char(c - 0xDC00))); // a kept byte is written as itself
        } else {
            appendCode(out, 0xFFFD);
        }
    }
}

void appendUtf8Key(std::string& out, QByteArrayView utf8)
{
    const auto* at = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = at + utf8.size();
    while (at < end) {
        const char32_t c = platform::nextUtf8(at, end);
        if (c < 0x80)
            out.push_back(folded(char(c)));
        else
            appendCode(out, c);
    }
}

void appendNameKey(std::string& out, QByteArrayView nameBytes, bool captionDecoded)
{
    // A UTF-8 name shows as itself: its key is written from its bytes.
    if (!captionDecoded && !nameBytes.isEmpty() && nameBytes.isValidUtf8())
        appendUtf8Key(out, nameBytes);
    else
        appendTextKey(out, platform::displayText(
                               captionDecoded ? platform::text::decode(
                                                    nameBytes, platform::TextEncoding::Gb18030)
                                              : platform::pathFromNative(nameBytes)));
}

void appendNameKey(std::string& out, const FileRows& rows, size_t i)
{
    const QByteArrayView bytes = rows.nameBytes(i);
    // A UTF-8 name shows as itself: its key is written from its bytes.
    if (rows.captionIsName(i) && !bytes.isEmpty() && bytes.isValidUtf8())
        appendUtf8Key(out, bytes);
    else
        appendTextKey(out, rows.shownCaption(i));
}

std::vector<int> sortedOrder(const FileRows& rows, RowKey key, bool ascending)
{
    const size_t n = rows.size();
    std::vector<Item> items(n);
    if (key == RowKey::Size || key == RowKey::Date) {
        for (size_t i = 0; i < n; ++i) {
            const qint64 value = key == RowKey::Size ? rows.size(i) : rows.modifiedMs(i);
            items[i] = {quint64(value) ^ (quint64(1) << 63), quint32(i)};
        }
        return sortItems(items, nullptr, nullptr, ascending);
    }

    std::string keys;
    std::vector<Span> spans(n);
    const auto keep = [&](size_t i, size_t at) {
        spans[i] = {quint32(at), quint32(keys.size() - at)};
    };
    if (key == RowKey::Folder) {
        // One key per folder.
        std::vector<Span> ofFolder(rows.folders().size());
        for (size_t f = 0; f < ofFolder.size(); ++f) {
            const size_t at = keys.size();
            appendTextKey(keys, platform::displayPath(rows.folders()[f]));
            ofFolder[f] = {quint32(at), quint32(keys.size() - at)};
        }
        for (size_t i = 0; i < n; ++i)
            spans[i] = ofFolder[rows.folderOf(i)];
    } else {
        keys.reserve(n * 32);
        for (size_t i = 0; i < n; ++i) {
            const size_t at = keys.size();
            switch (key) {
            case RowKey::Name:
                appendNameKey(keys, rows, i);
                break;
            case RowKey::Note:
                appendTextKey(keys, rows.noteView(i));
                break;
            default:
                appendTextKey(keys, rows.attrText(i));
                break;
            }
            keep(i, at);
        }
    }
    for (size_t i = 0; i < n; ++i)
        items[i] = {prefixOf(keys, spans[i]), quint32(i)};
    return sortItems(items, &keys, &spans, ascending);
}

} // namespace core
