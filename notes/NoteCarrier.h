#pragma once
// Files that move (or are copied) into one folder with their notes, one step per file: the
// note a file has at that moment is read from its notes file, written into the target's notes
// file before the file leaves, and taken out of its old notes file once the file has arrived.
// A crash between the steps leaves at worst the note in both places, never in none. A file
// that does not arrive gets the target's key back as it was, so the note of a file it was to
// replace stays. An arrived file's comment and record follow the note it has there.
//
// A file whose notes file exists but cannot be read stays where it is, as one that failed to
// move: its note could not go with it. A file that is not the one the command looked at (its
// identity changed since) stays too.
//
// Files are gathered and carried in chunks, so that moving many files rewrites each notes file
// once per chunk rather than once per file; within a chunk every file keeps that order.
//
// When the target's notes file cannot be written, no file whose note needed it moves: the
// files gathered before the first such file arrive, the others stay where they are, and the
// write error is thrown so that the command ends there.

#include "notes/Arrivals.h"
#include "platform/FileIdentity.h"
#include "platform/FileSystem.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace notes {

// What becomes of an arrived file's key in its old notes file.
enum class SourceKey
{
    Remove,          // the key goes, blank or not (moves out of the file list)
    RemoveWhenNoted, // the key goes when the note was not blank (moves out of the search list)
    Keep,            // the key stays (a copy)
};

class NoteCarrier
{
public:
    struct Item
    {
        QString sourceDir;      // ends in "/"
        QString name;           // the file's name, in both folders
        bool replacing = false; // the user agreed to replace the file of that name there
        SourceKey sourceKeyRule = SourceKey::Remove;
        qsizetype tag = -1; // the caller's, handed back in the outcome
        // Set by the carrier: the identity the file had when it was gathered, its captions in
        // both folders and the note it carried.
        std::optional<platform::FileIdentity> identity;
        QString sourceCaption;
        QString targetCaption;
        QString note;
    };
    // Brings one file from `from` to `to`.
    using Transfer =
        std::function<platform::FsResult(const Item& item, const QString& from, const QString& to)>;
    // Told for every file the carrier tried, in order, once its notes are settled.
    using Outcome = std::function<void(const Item& item, platform::FsResult result)>;
    // Told for every file that was not tried because the command ends there.
    using Stayed = std::function<void(const Item& item)>;

    NoteCarrier(const platform::FileSystem& fs, QString targetDir, Transfer transfer,
                Outcome outcome, Stayed stayed = {});
    ~NoteCarrier() = default;
    NoteCarrier(const NoteCarrier&) = delete;
    NoteCarrier& operator=(const NoteCarrier&) = delete;

    const QString& targetDir() const { return m_targetDir; }

    // What the file `name` of `sourceDir` would meet in the target, as the disk is now and with
    // the files gathered so far arrived (those that would arrive beside it are carried first).
    Arrival arrivalOf(const QString& sourceDir, const QString& name);
    // The name that shows alike, after arrivalOf() said ShownAlike.
    const QString& otherName() const { return m_arrivals.otherName(); }

    // Gathers the file `name` of `sourceDir`, replacing the file of its name in the target when
    // the user agreed; a full chunk is carried at once. `tag` is handed back in the outcome.
    void add(const QString& sourceDir, const QString& name, bool replacing, SourceKey rule,
             qsizetype tag = -1);
    // Carries what is gathered. Throws the write error of a target notes file that cannot be
    // written, after the files before it have arrived.
    void carry();

private:
    void makeWayFor(const QString& name);

    const platform::FileSystem& m_fs;
    QString m_targetDir;
    Transfer m_transfer;
    Outcome m_outcome;
    Stayed m_stayed;
    std::vector<Item> m_items;
    QSet<QString> m_shown; // what the gathered files will show as, case-folded
    Arrivals m_arrivals;
};

} // namespace notes
