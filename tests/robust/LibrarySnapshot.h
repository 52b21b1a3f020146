#pragma once
// Everything on disk below a test's temporary folder, and the rules a command that failed
// part way must keep: every file is in its state before the command or after it (never cut,
// never lost, never in two places where it should be in one), every key of the notes files
// and of the configuration file holds its old or its new value, a note the command keeps
// is never lost, and nothing of the program's temporary files stays behind.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <tuple>

namespace robust_testing {

struct LibrarySnapshot
{
    // Relative path: the bytes of a file, "<folder>" for a folder, "-> target" for a link.
    // The INI files (notes files and the configuration file) are kept below instead, and
    // what lies under the program's temporary names in `temporaries` only.
    std::map<QString, QByteArray> entries;
    // (relative path of an INI file, section, key as spelled) -> value of its first line.
    using IniKey = std::tuple<QString, QString, QString>;
    std::map<IniKey, QString> iniValues;
    std::map<QString, QByteArray> iniFiles;
    // Relative path: permissions and stored attribute letters of every file and folder.
    std::map<QString, QByteArray> metadata;
    // Relative path: the comment (user.xdg.comment) of every file that carries one.
    std::map<QString, QByteArray> comments;
    QStringList temporaries;

    static LibrarySnapshot take(const QString& root);

    std::optional<QByteArray> entry(const QString& path) const;
    std::optional<QString> value(const IniKey& key) const;
    // The note of the file at `path` (its folder's notes file, key spelled as its name).
    std::optional<QString> noteOf(const QString& path) const;
    std::optional<QByteArray> commentOf(const QString& path) const;
    // The paths of the files holding exactly these bytes.
    QStringList pathsOf(const QByteArray& content) const;
};

struct Verdict
{
    QStringList violations;
    // Keys whose removal failed and was ignored, as it is for every key removal: the key
    // stays with its old note while its file is gone.
    int leftKeys = 0;
    // Documents of files deleted for good whose removal failed: the document stays.
    int leftDocuments = 0;
    // Hidden temporary entries left by a removal that failed after the command was
    // complete (a folder moved to another file system whose old tree could not go).
    int leftTemporaries = 0;
    bool sameAsAfter = false; // the command's whole effect, apart from left keys
};

// A note that is blank is no note: an empty key stands for none. A comment is never ahead of
// the notes file: a file carries the comment it had before, the note the notes file holds for
// it, or none.
// With `notesWithFiles` (commands that move or copy files with their notes) every file is
// also with its note: where it still is as before, its notes file holds its note of before
// (or of after); where it has arrived, the note it has there after the command. A note left
// only under the key of a file that is gone, or a note of another file, breaks the rule.
Verdict judge(const LibrarySnapshot& before, const LibrarySnapshot& after,
              const LibrarySnapshot& faulted, bool notesWithFiles = false);

} // namespace robust_testing
