#pragma once
// The real main window on a temporary library, on Qt's offscreen platform, with scripted
// dialogs.

#include "core/CategoryTreeModel.h"
#include "core/ConfigFile.h"
#include "core/Session.h"
#include "core/Workspace.h"
#include "support/ScriptedDialogs.h"
#include "support/TempLibrary.h"
#include "ui/MainActions.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace testing_support {

class WindowFixture : public ::testing::Test
{
protected:
    TempLibrary library;
    QTemporaryDir configDir;
    QString configPath = configDir.filePath("quillet.ini");
    std::unique_ptr<core::ConfigFile> config;
    std::unique_ptr<core::Session> session;
    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<ui::MainWindow> window;

    // Creates and shows the window; `writable` stands for the library's medium.
    void open(bool writable = true);
    // Creates the window without showing it.
    void create(bool writable = true);
    void TearDown() override;

    core::Workspace& workspace() { return window->workspace(); }
    QAction* action(const char* name) { return window->actions().action(QLatin1String(name)); }
    bool enabled(const char* name) { return action(name)->isEnabled(); }

    // Clicks a node of the system or external tree view, a row of the file list, or a
    // column header of the file list or of the search list.
    void clickSystemNode(const QModelIndex& index);
    void clickExternalNode(const QModelIndex& index);
    void clickRow(int row);
    void clickHeader(int column, bool searchList = false);
    // The node at this caption path below the system root, reading levels on the way.
    QModelIndex category(const QStringList& captions);
    QStringList listedNames();
    QString panel(int index);
};

} // namespace testing_support
