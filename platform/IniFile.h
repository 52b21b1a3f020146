#pragma once
// Profile access to one INI file on disk: every read reads the file and every write rewrites
// it at once, atomically (a crash or a full disk leaves the old file whole). There is no
// cache, so two IniFile objects on the same path always agree.

#include "platform/AtomicFile.h"
#include "platform/IniDocument.h"

#include <QString>

#include <functional>
#include <optional>

namespace platform {

class IniFile
{
public:
    IniFile() = default;
    // `blanks` says how values are read: as stored (notes files) or trimmed as Windows reads
    // settings (the configuration file).
    explicit IniFile(QString path, LinkPolicy links = LinkPolicy::Refuse,
                     ValueBlanks blanks = ValueBlanks::Kept)
        : m_path(std::move(path)), m_links(links), m_blanks(blanks)
    {
    }

    const QString& path() const { return m_path; }
    bool isNull() const { return m_path.isEmpty(); }
    bool exists() const;

    // The file as it is now; an empty document when it is missing or cannot be read.
    IniDocument load() const;
    // The key lines of one section, read at once; none when the file is missing or cannot be
    // read.
    QList<std::pair<QString, QString>> readSection(const QString& section) const;

    std::optional<QString> read(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& fallback) const;
    // Integers are signed decimal; "0x"/"0X" (longer than two characters) and "$" start
    // hexadecimal values, which may use all 32 bits. Anything else gives `fallback`.
    int readInt(const QString& section, const QString& key, int fallback) const;
    // Booleans are integers: non-zero is true, a missing or invalid value gives `fallback`.
    bool readBool(const QString& section, const QString& key, bool fallback) const;
    bool hasKey(const QString& section, const QString& key) const;
    QStringList keys(const QString& section) const;

    static std::optional<int> parseInt(const QString& text);

    // Writes throw WriteError ("Unable to write to <path>" and why) when the file cannot be
    // written, carries the read-only attribute, is a symbolic link (unless the links policy
    // follows it), is no regular file, or exists but cannot be read (rewriting it would lose
    // what it holds). The old file then stays as it was.
    void writeString(const QString& section, const QString& key, const QString& value) const;
    void writeInt(const QString& section, const QString& key, int value) const;
    void writeBool(const QString& section, const QString& key, bool value) const; // "1" or "0"
    void removeKey(const QString& section, const QString& key) const;
    void removeSection(const QString& section) const;
    // One read-modify-write; the file is rewritten only when `edit` returns true. It runs
    // under the lock of the file's folder (FolderLock), so a write of another program is never
    // lost; when that program keeps the folder locked too long, nothing is written and
    // WriteError says so.
    void update(const std::function<bool(IniDocument&)>& edit) const;

private:
    enum class LoadState
    {
        Missing,
        Loaded,
        Unreadable
    };
    IniDocument load(LoadState* state, int* error = nullptr) const;
    void save(const IniDocument& document) const;
    // Where the file is replaced: the file a followed link leads to, else the path itself.
    QString replacedPath() const;

    QString m_path;
    LinkPolicy m_links = LinkPolicy::Refuse;
    ValueBlanks m_blanks = ValueBlanks::Kept;
};

} // namespace platform
