#pragma once
// Symbolic links that keep leading to their files when a command moves both. A command tells
// what arrived where (files, links and whole folders) and mends at its end: every moved link,
// and every link inside a moved folder, that leads to something this command moved is made to
// lead to where that ended up, whatever order they moved in; a link inside a moved folder that
// leads out of it leads from its new place to where it led. A link that stays inside a moved
// folder stays as it is. A relative link stays relative and an absolute one absolute; a link
// that cannot be rewritten stays as it was, and the move still counts.

#include "platform/FileSystem.h"

namespace platform {
class OpenFolder;
}

#include <QString>

#include <vector>

namespace fileops {

class LinkMender
{
public:
    LinkMender() = default;
    // A command that ends early still mends what it moved.
    ~LinkMender();
    LinkMender(const LinkMender&) = delete;
    LinkMender& operator=(const LinkMender&) = delete;

    // `from` is now at `to` (full paths; a folder with or without its final "/"). Told right
    // after the move, while the folder it came from is still there.
    void arrived(const QString& from, const QString& to);

    // A transfer (called with anything, then `from` and `to`) whose every success is told.
    template <typename Transfer> auto recording(Transfer transfer)
    {
        return [this, transfer](const auto& item, const QString& from, const QString& to) {
            const platform::FsResult result = transfer(item, from, to);
            if (result)
                arrived(from, to);
            return result;
        };
    }

    // Rewrites the links that need it, once everything of the command has arrived; returns
    // how many were rewritten.
    int mend();

private:
    struct Arrival
    {
        QByteArray from; // as given, and with its folder's links resolved
        QByteArray to;
        QByteArray realFrom;
        QByteArray realTo;
    };

    // Where `path` (normalized) is after this command's moves.
    QByteArray movedPlace(const QByteArray& path) const;
    // The link at `link` (real folder `newFolder`), whose text read as `text` from `oldFolder`,
    // led to what it leads to before the command; rewritten when that has moved.
    bool mendLink(const QByteArray& link, const QByteArray& oldFolder, const QByteArray& newFolder);
    // Every link in `folder`, at `relative` below the moved folder `arrival`, and below it.
    int mendTree(const Arrival& arrival, const platform::OpenFolder& folder,
                 const QByteArray& relative);

    std::vector<Arrival> m_arrivals;
};

} // namespace fileops
