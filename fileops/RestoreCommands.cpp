#include "fileops/RestoreCommands.h"

#include "core/ExternalFolders.h"
#include "core/ReadOnly.h"
#include "core/Texts.h"
#include "fileops/BoxOrigins.h"
#include "fileops/FileOpsTexts.h"
#include "fileops/LinkMender.h"
#include "fileops/RowMove.h"
#include "fileops/RowSteps.h"
#include "platform/FileIdentity.h"
#include "platform/FileNames.h"

#include <QHash>

#include <memory>
#include <vector>

namespace fileops {

namespace {

// Folder names below a place, without steps out of it or names that are never categories.
bool isPlainPath(QStringView relative, bool library)
{
    for (const QStringView part : relative.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u"." || part == u".." ||
            (library && core::LibraryLayout::hiddenFolderNames().contains(part.toString())))
            return false;
    }
    return true;
}

} // namespace

RestoreCommands::RestoreCommands(core::Workspace& workspace, core::Dialogs& dialogs)
    : m_workspace(workspace), m_dialogs(dialogs)
{
}

bool RestoreCommands::isPlaceToRestore(const QString& folder) const
{
    const core::Session& session = m_workspace.session();
    const core::LibraryLayout& layout = session.layout();
    if (!session.fs().isDirectory(folder))
        return false;
    const QString& root = layout.programDir();
    if (folder == layout.transitDir())
        return true;
    if (folder.startsWith(root)) {
        const QStringView relative = QStringView(folder).mid(root.size());
        return !relative.split(u'/', Qt::SkipEmptyParts).isEmpty() && isPlainPath(relative, true);
    }
    // A folder the recorded bytes name outside the library is taken only inside a library the
    // user registered.
    for (const core::ExternalLibrary& library : core::registeredLibraries(session.config())) {
        if (!library.folder.isEmpty() && folder.startsWith(library.folder))
            return isPlainPath(QStringView(folder).mid(library.folder.size()), false);
    }
    return false;
}

QString RestoreCommands::categoryOf(const QString& folder) const
{
    const core::Session& session = m_workspace.session();
    const core::CategoryTreeModel& tree = m_workspace.systemTree();
    if (platform::isSameFolder(folder, session.layout().transitDir()))
        return tree.captionOf(tree.transitIndex());
    for (const core::ExternalLibrary& library : core::registeredLibraries(session.config())) {
        if (!library.folder.isEmpty() && platform::isSameFolder(folder, library.folder))
            return library.name;
    }
    return platform::captionOfName(platform::nameOfPath(folder.chopped(1)));
}

std::optional<RestoreCommands::Place> RestoreCommands::askWhere(const QString& caption, Why why,
                                                                const QString& origin)
{
    core::CategoryTreeModel& tree = m_workspace.systemTree();
    const core::LibraryLayout& layout = m_workspace.session().layout();
    core::CategoryChoiceSpec spec;
    spec.caption = texts::RestoreCaption;
    switch (why) {
    case Why::Unknown:
        spec.prompt = texts::restoreUnknownOrigin(caption);
        break;
    case Why::Gone: {
        // A category by its path below the library, as the tree shows it.
        const QString& root = layout.programDir();
        const bool inLibrary = origin.startsWith(root) && origin.size() > root.size();
        spec.prompt = texts::restoreOriginGone(
            caption,
            platform::displayPath(inLibrary ? origin.mid(root.size()).chopped(1) : origin));
        break;
    }
    case Why::Elsewhere:
        spec.prompt = texts::restoreElsewhere(caption);
        break;
    }
    spec.treeName = texts::RestoreTreeName;
    spec.okText = texts::RestoreOk;
    spec.cancelText = texts::RestoreCancel;
    spec.tree = &tree;
    // The category it came from, or the nearest one above it that is there.
    spec.initial = tree.rootIndex();
    const QString& root = layout.programDir();
    QString nearest = origin;
    while (nearest.size() > root.size() && nearest.startsWith(root) &&
           !m_workspace.session().fs().isDirectory(nearest))
        nearest = platform::folderOfPath(nearest.chopped(1));
    if (!origin.isEmpty() && platform::isSameFolder(nearest, layout.transitDir()))
        spec.initial = tree.transitIndex();
    else if (nearest.startsWith(root))
        spec.initial = tree.findPath(nearest.mid(root.size()).split(u'/', Qt::SkipEmptyParts));
    spec.canChoose = [&tree](const QModelIndex& node) {
        const int kind = tree.kindOf(node);
        return kind == core::CategoryKind || kind == core::TransitKind;
    };
    const QModelIndex chosen = m_dialogs.chooseCategory(spec);
    if (!chosen.isValid() || !spec.canChoose(chosen))
        return std::nullopt;
    return Place{tree.directoryOf(chosen), tree.captionOf(chosen)};
}

void RestoreCommands::restorefileClick()
{
    core::Session& session = m_workspace.session();
    if (core::refuseWhenReadOnly(session, m_dialogs))
        return;
    core::FileListModel& list = m_workspace.fileList();
    QItemSelectionModel& selection = m_workspace.fileSelection();
    if (m_workspace.activeKind() != core::RecycleBoxKind ||
        core::Workspace::firstSelectedRow(selection) < 0)
        return;

    const core::BusyCursor busy(m_dialogs);
    const platform::FileSystem& fs = session.fs();
    const QString box = session.layout().recycleBoxDir();
    BoxOrigins origins(session.layout());
    LinkMender links;
    // One carrier for each category files go back to. Before any question every one of them
    // carries what it gathered, so that the question meets the disk as it is.
    std::vector<std::unique_ptr<CarriedRows>> carriers;
    QHash<QString, CarriedRows*> byFolder;
    const auto carrierFor = [&](const QString& folder) -> CarriedRows& {
        const QString real = platform::canonicalPath(folder);
        const QString key = real.isEmpty() ? folder : real;
        if (CarriedRows* known = byFolder.value(key))
            return *known;
        carriers.push_back(std::make_unique<CarriedRows>(
            fs, folder, links.recording(movingTransfer(fs)),
            [&, folder](const notes::NoteCarrier::Item& item, platform::FsResult result) {
                if (result)
                    origins.left(item.name, folder + item.name);
                else
                    m_dialogs.showMessage(texts::restoreFailed(item.sourceCaption));
            },
            &list, &selection));
        byFolder.insert(key, carriers.back().get());
        return *carriers.back();
    };
    const auto carryAll = [&] {
        for (const std::unique_ptr<CarriedRows>& carrier : carriers)
            carrier->carry();
    };

    // What each folder is, looked at once for all the files that go there.
    QHash<QString, bool> places;
    QHash<QString, QString> categories;
    const auto isPlace = [&](const QString& folder) {
        auto known = places.constFind(folder);
        if (known == places.cend())
            known = places.insert(folder, isPlaceToRestore(folder));
        return *known;
    };
    const auto category = [&](const QString& folder) {
        auto known = categories.constFind(folder);
        if (known == categories.cend())
            known = categories.insert(folder, categoryOf(folder));
        return *known;
    };

    const auto restore = [&](int row) {
        const QPersistentModelIndex current(list.index(row, 0));
        const QString name = list.row(row).name;
        const QString caption = notes::captionInFolder(fs, box, name);
        const auto ask = [&](Why why, const QString& origin) {
            carryAll();
            return askWhere(caption, why, origin);
        };
        const QString origin = origins.originOf(name);
        std::optional<Place> place =
            origin.isEmpty() ? ask(Why::Unknown, {}) : Place{origin, category(origin)};
        while (place) {
            if (!isPlace(place->folder)) {
                place = ask(Why::Gone, place->folder);
                continue;
            }
            CarriedRows& carrier = carrierFor(place->folder);
            notes::Arrival arrival = notes::Arrival::Free;
            const Placing placing = placeRow(fs, m_dialogs, carrier,
                                             {list, current, box, place->folder, place->category},
                                             carryAll, texts::restoreFailed, &arrival);
            if (placing == Placing::Free || placing == Placing::Replacing) {
                carrier.add(box, name, placing == Placing::Replacing, notes::SourceKey::Remove,
                            current.row());
                return;
            }
            if (arrival == notes::Arrival::SourceGone || arrival == notes::Arrival::NotAFile)
                break;
            // The user would not replace the file of its name there, or it cannot go there.
            place = ask(Why::Elsewhere, place->folder);
        }
        // It stays in the box.
        deselectRow(list, selection, current.row());
    };
    const auto countFiles = [&] {
        m_workspace.status().setText(1, core::texts::fileCount(list.count()));
    };
    try {
        DrainSelectedRows(list, selection, restore);
        carryAll();
    } catch (...) {
        // The command ends at a category whose notes file cannot be written; the files gathered
        // for the other categories still go back.
        for (const std::unique_ptr<CarriedRows>& carrier : carriers) {
            try {
                carrier->carry();
            } catch (...) {
            }
        }
        countFiles();
        throw;
    }
    links.mend();
    countFiles();
}

} // namespace fileops
