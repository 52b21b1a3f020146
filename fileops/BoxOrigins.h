#pragma once
// Where each file of the recycle box was deleted from, so that it can be put back there. The
// folder is recorded on the file itself, in the extended attribute "user.quillet.from" (the
// folder path's bytes, relative to the library root for a folder inside the library, so that a
// library moved elsewhere still restores into itself); a file that cannot carry it (a file
// system without user attributes, a read-only file, a link) has it in the box's notes file,
// through the notes keeper, and that record is the one that counts. The record goes when the
// file leaves the box.

#include "core/LibraryLayout.h"
#include "platform/IniDocument.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace fileops {

inline constexpr char FromFolderAttribute[] = "user.quillet.from";

class BoxOrigins
{
public:
    explicit BoxOrigins(const core::LibraryLayout& layout);
    // Writes what is still to be written (see settle()).
    ~BoxOrigins();
    BoxOrigins(const BoxOrigins&) = delete;
    BoxOrigins& operator=(const BoxOrigins&) = delete;

    const QString& box() const { return m_box; }

    // The file `name` arrived in the box from the folder `from` (ending in "/").
    void arrived(const QString& name, const QString& from);
    // The file `name` of the box left it and is now at `path`.
    void left(const QString& name, const QString& path);
    // Told of every file a move carried from `sourceDir` to `targetDir`: one that went into the
    // box records where it came from, one that left the box loses its record.
    void carried(const QString& sourceDir, const QString& targetDir, const QString& name);
    // Writes the records the files could not carry into the box's notes file, in one rewrite.
    // A failure is ignored: such a file is put back where the user chooses.
    void settle();

    // The folder `name` of the box is recorded to come from, ending in "/"; empty when none is.
    QString originOf(const QString& name);

private:
    const std::optional<platform::IniDocument>& boxNotes();
    bool hasNotesRecord(const QString& name);
    bool isBox(const QString& dir); // looked at once per folder

    QString m_root;
    QString m_box;
    std::optional<std::optional<platform::IniDocument>> m_notes; // read once, when needed
    QList<std::pair<QString, QByteArray>> m_pending;             // empty bytes: remove
    QHash<QString, bool> m_isBox;
};

} // namespace fileops
