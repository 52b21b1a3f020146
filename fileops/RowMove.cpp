#include "fileops/RowMove.h"

#include "core/FileFormats.h"
#include "fileops/FileOpsTexts.h"
#include "fileops/Transfer.h"
#include "notes/NotesFile.h"

namespace fileops {

Placing placeRow(const platform::FileSystem& fs, core::Dialogs& dialogs, CarriedRows& carrier,
                 const RowPlace& place, const std::function<void()>& settle,
                 const std::function<QString(const QString&)>& failed, notes::Arrival* arrival)
{
    const QString name = place.list.row(place.row.row()).name;
    const auto refuse = [&](const QString& text) {
        settle();
        dialogs.showMessage(text);
        return Placing::Refused;
    };
    // The row only points at the file: what is done follows what the disk holds now.
    const notes::Arrival met = carrier.arrivalOf(place.source, name);
    if (arrival)
        *arrival = met;
    const QString caption = notes::captionInFolder(fs, place.source, name);
    switch (met) {
    case notes::Arrival::Free:
        return Placing::Free;
    case notes::Arrival::SourceGone:
    case notes::Arrival::NotAFile:
        return refuse(failed(caption));
    case notes::Arrival::AlreadyThere:
        return refuse(texts::alreadyInCategory(caption, place.category));
    case notes::Arrival::FolderInTheWay:
        // Only a file of that name can be replaced; a folder stays as it is.
        return refuse(texts::folderOfSameNameInCategory(
            notes::captionInFolder(fs, place.target, name), place.category));
    case notes::Arrival::ShownAlike:
        return refuse(texts::shownAlikeInCategory(caption, place.category));
    case notes::Arrival::Taken:
        break;
    }
    settle();
    const QString to = place.target + name;
    const core::FileRow& shownRow = place.list.row(place.row.row());
    const QString prompt =
        texts::MoveSameNamePrompt(place.category, caption, core::DateText(fs.times(to).modified),
                                  fs.fileSize(to), shownRow.dateText, shownRow.sizeText);
    return dialogs.ask(texts::MoveSameNameCaption, prompt, core::MessageIcon::Question,
                       core::Buttons::YesNo, core::Answer::Yes) == core::Answer::Yes
               ? Placing::Replacing
               : Placing::Declined;
}

notes::NoteCarrier::Transfer movingTransfer(const platform::FileSystem& fs)
{
    // A replaced file stays until the moved one has fully arrived.
    return [&fs](const notes::NoteCarrier::Item& item, const QString& from, const QString& to) {
        return item.replacing ? ReplaceTarget(fs, TransferMode::Move, from, to) : fs.move(from, to);
    };
}

} // namespace fileops
