#include "notes/ConflictCopies.h"

#include "platform/FileNames.h"

#include <iterator>

namespace notes {

namespace {

constexpr char kStem[] = "zzfdat";
constexpr char kExtension[] = ".nod";

// What each sync program puts between the notes file's stem and its extension: "#" stands for
// a digit, "@" for a character of a device's short id (A to Z, 2 to 7), "*" for a text of one
// character or more; every other character stands for itself.
constexpr const char* kShapes[] = {
    ".sync-conflict-########-######-@@@@@@@", // Syncthing
    " (conflicted copy ####-##-## ######)",   // Nextcloud, ownCloud
    " (*'s conflicted copy ####-##-##)",      // Dropbox, with the other machine's name
};

bool foldedEquals(QByteArrayView bytes, const char* lower)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != lower[i])
            return false;
    }
    return true;
}

bool matches(const char* shape, QByteArrayView text)
{
    for (; *shape; ++shape) {
        if (*shape == '*') {
            // One character or more, then the rest of the shape.
            for (qsizetype taken = 1; taken <= text.size(); ++taken) {
                if (matches(shape + 1, text.sliced(taken)))
                    return true;
            }
            return false;
        }
        if (text.isEmpty())
            return false;
        const char c = text.front();
        const bool fits = *shape == '#'   ? (c >= '0' && c <= '9')
                          : *shape == '@' ? ((c >= 'A' && c <= 'Z') || (c >= '2' && c <= '7'))
                                          : c == *shape;
        if (!fits)
            return false;
        text = text.sliced(1);
    }
    return text.isEmpty();
}

} // namespace

bool isConflictCopyName(QByteArrayView name)
{
    constexpr qsizetype stem = qsizetype(std::size(kStem) - 1);
    constexpr qsizetype extension = qsizetype(std::size(kExtension) - 1);
    if (name.size() <= stem + extension || !foldedEquals(name.first(stem), kStem) ||
        !foldedEquals(name.last(extension), kExtension))
        return false;
    const QByteArrayView between = name.sliced(stem, name.size() - stem - extension);
    for (const char* shape : kShapes) {
        if (matches(shape, between))
            return true;
    }
    return false;
}

bool isConflictCopyName(const QString& name)
{
    return isConflictCopyName(QByteArrayView(platform::nativePath(name)));
}

} // namespace notes
