// The INI engine on any file: parsed and written back unchanged it is byte for byte the
// same; every key reads, and the reader that keeps no lines gives every section's key lines
// as the parsed file does; after writing or deleting one key (or a whole section) the file
// parses again in its encoding and into the same lines, the lines no edit touched keep their
// bytes, no comment line is touched, every other key keeps its value, and a written value
// reads back as it was given.
#include "FuzzInput.h"
#include "platform/Errors.h"
#include "platform/IniDocument.h"

#include <QHash>

#include <algorithm>
#include <optional>
#include <vector>

using platform::IniDocument;
namespace text = platform::text;

namespace {

struct Key
{
    QString section;
    QString key;
    std::optional<QString> value;
};

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// True when the lines of `before` that are not in `touched` appear in `after` in their order
// and with their bytes (the last line may have gained a line end), with no more than `added`
// other lines.
bool untouchedLinesKept(const QList<QByteArray>& before, const std::vector<bool>& touched,
                        const QList<QByteArray>& after, qsizetype added)
{
    qsizetype at = 0;
    qsizetype extra = 0;
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (touched[size_t(i)])
            continue;
        const bool last = i == before.size() - 1;
        while (at < after.size() && after[at] != before[i] &&
               !(last && after[at].startsWith(before[i]))) {
            ++at;
            ++extra;
        }
        if (at == after.size())
            return false;
        ++at;
    }
    return extra + (after.size() - at) <= added;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fuzzing::FuzzInput input(data, size);
    // A notes file (values kept as stored) or settings (values trimmed).
    const auto blanks =
        input.edit & 4 ? platform::ValueBlanks::Trimmed : platform::ValueBlanks::Kept;
    IniDocument document = IniDocument::parse(input.file, blanks);
    FUZZ_CHECK(document.serialize() == input.file);

    // Read every key of every section.
    std::vector<Key> keys;
    for (const QString& section : document.sections()) {
        document.values(section);
        FUZZ_CHECK(IniDocument::readSection(input.file, section, blanks) ==
                   document.entries(section));
        for (const QString& key : document.keys(section)) {
            keys.push_back({section, key, document.value(section, key)});
            FUZZ_CHECK(keys.back().value.has_value());
            FUZZ_CHECK(document.hasKey(section, key));
        }
    }

    const QList<QByteArray> before = document.lineBytes();
    const platform::TextEncoding encoding = document.encoding();
    const QString value = input.text;
    // Text the file's encoding cannot hold is refused by the callers (NoteKeyError), so is
    // never written here.
    if (!text::roundTrips(value, encoding))
        return 0;

    std::optional<Key> written;
    std::optional<QString> removedSection;
    std::optional<Key> removedKey;
    const int edit = input.edit % 4;
    try {
        if (edit == 0 && !keys.empty()) {
            const Key& key = keys[input.pick % keys.size()];
            if (!text::roundTrips(key.section, encoding) || !text::roundTrips(key.key, encoding))
                return 0;
            document.setValue(key.section, key.key, value);
            written = Key{key.section, key.key, value};
        } else if (edit == 1) {
            const QString section = keys.empty() || input.pick % 2 == 0
                                        ? QStringLiteral("fuzz")
                                        : keys[input.pick % keys.size()].section;
            const QString key = QStringLiteral("key%1").arg(input.pick);
            if (!text::roundTrips(section, encoding))
                return 0;
            document.setValue(section, key, value);
            written = Key{section, key, value};
        } else if (edit == 2 && !keys.empty()) {
            removedKey = keys[input.pick % keys.size()];
            FUZZ_CHECK(document.removeKey(removedKey->section, removedKey->key));
        } else if (edit == 3 && !keys.empty()) {
            removedSection = keys[input.pick % keys.size()].section;
            FUZZ_CHECK(document.removeSection(*removedSection));
        } else {
            return 0;
        }
    } catch (const platform::UnstorableText&) {
        return 0; // a name that holds a line break
    }

    const QByteArray out = document.serialize();
    const IniDocument again = IniDocument::parse(out, blanks);
    // The file keeps its encoding whatever its content became.
    FUZZ_CHECK(text::sameFamily(again.encoding(), encoding));
    FUZZ_CHECK(again.lineBytes().mid(again.lineBytes().size() - document.lineBytes().size()) ==
               document.lineBytes());

    // Which lines of the old file the edit touched: with as many lines, the one that differs
    // (a value replaced in place); with fewer, those gone (in order, the others are kept);
    // with more, none (lines were added, the old ones are kept in order).
    std::vector<bool> touched(size_t(before.size()), false);
    const QList<QByteArray> kept = document.lineBytes();
    if (kept.size() == before.size()) {
        for (qsizetype i = 0; i < before.size(); ++i)
            touched[size_t(i)] = kept[i] != before[i];
        FUZZ_CHECK(std::count(touched.begin(), touched.end(), true) <= 1);
    } else if (kept.size() < before.size()) {
        FUZZ_CHECK(edit == 2 || edit == 3);
        qsizetype at = 0;
        for (qsizetype i = 0; i < before.size(); ++i) {
            if (at < kept.size() && kept[at] == before[i])
                ++at;
            else
                touched[size_t(i)] = true;
        }
        FUZZ_CHECK(at == kept.size());
    } else {
        FUZZ_CHECK(edit == 1 && kept.size() - before.size() <= 2);
    }
    // Comments are the user's: no edit changes or removes one.
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (touched[size_t(i)])
            FUZZ_CHECK(!text::decode(before[i], encoding).trimmed().startsWith(u';'));
    }
    // Lines the edit added or changed, and the marker line that keeps a GB18030 file so.
    const qsizetype added =
        kept.size() - before.size() + std::count(touched.begin(), touched.end(), true) + 1;
    FUZZ_CHECK(untouchedLinesKept(before, touched, again.lineBytes(), added));

    // The written value reads back, and no other key changed.
    if (written)
        FUZZ_CHECK(again.value(written->section, written->key) == written->value);
    for (const Key& key : keys) {
        const bool edited = (written && sameName(key.section, written->section) &&
                             sameName(key.key, written->key)) ||
                            (removedKey && sameName(key.section, removedKey->section) &&
                             sameName(key.key, removedKey->key)) ||
                            (removedSection && sameName(key.section, *removedSection));
        if (!edited)
            FUZZ_CHECK(again.value(key.section, key.key) == key.value);
        else if (!written)
            FUZZ_CHECK(!again.hasKey(key.section, key.key));
    }
    return 0;
}
