#pragma once
// A whole working session on a temporary library, without widgets: the configuration, the
// session, the workspace with its models, the commands, and scripted dialogs.

#include "core/CategoryCommands.h"
#include "core/FileListController.h"
#include "external/ExternalTreeCommands.h"
#include "support/ScriptedDialogs.h"
#include "support/TempLibrary.h"

#include <memory>

namespace testing_support {

class World
{
public:
    explicit World(bool writable = true, bool withSpecialFolders = true,
                   const platform::FileSystem& fs = platform::FileSystem::local());

    TempLibrary library;
    core::ConfigFile config;
    core::Session session;
    core::Workspace workspace;
    ScriptedDialogs dialogs;
    core::FileListController files;
    core::CategoryCommands categories;
    external::ExternalTreeCommands external;

    // Fills the system tree as at start and selects its root.
    void start();
    // Selects the system-tree node at this caption path below the root (reading levels on
    // the way); an empty path selects the root. Returns the node.
    QModelIndex selectCategory(const QStringList& captions);
    QModelIndex selectSystemNode(const QModelIndex& index);
    QModelIndex selectExternalNode(const QModelIndex& index);
    // The caption path to a node, from the first level down.
    QModelIndex findCategory(const QStringList& captions);
    // Selects list rows by file name (ClearAndSelect for the first, Select for the rest).
    void selectFiles(const QStringList& names);
    // Shows these rows as search results on the search page, all of them selected.
    void showFound(std::vector<core::FileRow> rows);
    QStringList listedNames() const;
    int rowOf(const QString& name) const;
    QStringList childCaptions(const QModelIndex& parent) const;
};

} // namespace testing_support
