// Every command that writes, run on a library once for every system call it makes, with that
// call failing (no space left, an input/output error, no access; a write also cut short
// before the disk fills up): after each failure every file and every note is in its old
// state or its new one, nothing is lost or doubled, no temporary file stays behind, and the
// user saw a failure message; a failed sync is always told. A command joins the suite with
// one line in kCommands.
#include "LibrarySnapshot.h"
#include "core/FileListing.h"
#include "core/LiveList.h"
#include "core/NoteCleanup.h"
#include "core/StandardTemplate.h"
#include "core/SystemOptions.h"
#include "core/Texts.h"
#include "dropwin/DropCommands.h"
#include "export/HtmlExport.h"
#include "fileops/AttributeCommands.h"
#include "fileops/BoxOrigins.h"
#include "fileops/DocumentCommands.h"
#include "fileops/ImportCommands.h"
#include "fileops/MoveCommands.h"
#include "fileops/NoteCommands.h"
#include "fileops/RecycleBoxCommands.h"
#include "fileops/RenameCommands.h"
#include "fileops/RestoreCommands.h"
#include "fileops/SendCommands.h"
#include "platform/ExtendedAttributes.h"
#include "platform/FileNames.h"
#include "support/FaultInjection.h"
#include "support/FolderNotes.h"
#include "support/World.h"

#include <QDirIterator>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

using robust_testing::LibrarySnapshot;
using testing_support::FailNthCall;
using testing_support::World;

namespace {

// Makes every move between two folders one between two file systems.
class CrossDeviceFileSystem : public platform::FileSystem
{
protected:
    int renameNoReplace(const QByteArray&, const QByteArray&) const override { return EXDEV; }
    int renameReplacing(const QByteArray& from, const QByteArray& to) const override
    {
        const auto folder = [](const QByteArray& path) { return path.left(path.lastIndexOf('/')); };
        return folder(from) == folder(to) ? FileSystem::renameReplacing(from, to) : EXDEV;
    }
};

// The document editor as a user leaves it.
class Editor : public fileops::DocumentEditor
{
public:
    QString shown;
    bool modified = false;
    QString text() const override { return shown; }
    bool hasText() const override { return !shown.isEmpty(); }
    void setText(const QString& text) override
    {
        shown = text;
        modified = false;
    }
    bool isModified() const override { return modified; }
    void setModified(bool value) override { modified = value; }
    void setEditorEnabled(bool) override {}
    void setLook(const core::FontSpec&, int) override {}
};

// No floppy disk anywhere.
class NoFloppy : public platform::DriveOracle
{
public:
    platform::MountInfo mountOf(const QString&) const override { return {}; }
    qint64 freeSpace(const QString&) const override { return -1; }
    bool isMountPoint(const QString&) const override { return false; }
};

// The options' effects on the window, which has none here.
class NoEffects : public core::OptionEffects
{
public:
    void setToolbarPicture(const QString&) override {}
    void setTreePicture(const QString&) override {}
    void setToolTipsShown(bool) override {}
    void setDropMode(int) override {}
    void setDocumentToolsShown(bool) override {}
};

// The library every command runs on: categories with files and notes (a GBK notes file with
// lines of its own, a UTF-8 one), the recycle box with files, notes and documents, files
// outside the library to bring in, and a configuration file. Every file has bytes of its own.
class Scene
{
public:
    explicit Scene(const platform::FileSystem& fs) : world(true, true, fs)
    {
        auto& lib = world.library;
        for (const char* name : {"a.txt", "b.txt", "中文.txt", "c.txt", "y.txt"})
            lib.makeFile(QStringLiteral("cat/") + QString::fromUtf8(name),
                         "cat " + QByteArray(name));
        lib.makeFile("cat/zzfdat.nod", testing_support::gbk(QStringLiteral(
                                           ";kept line\r\n[fileinfo]\r\na.txt=note a\r\n"
                                           "中文.txt=注释中文\r\nc.txt=  \r\ngone.txt=stale\r\n"
                                           "[other]\r\nx=1\r\n")));
        lib.makeFile("dst/d.txt", "dst d");
        lib.makeFile("dst/zzfdat.nod", QStringLiteral("[fileinfo]\nd.txt=ノート d\n").toUtf8());
        lib.makeDir("empty");
        lib.writeNotes("empty/", {{"old.txt", "left over"}});
        lib.makeFile("oprecy/x.txt", "box x");
        lib.makeFile("oprecy/y.txt", "box y");
        lib.writeNotes("oprecy/", {{"x.txt", "note x"}, {"y.txt", "note y"}});
        lib.makeFile("filecomm/x.txt.txt", "document x");
        lib.makeFile("filecomm/a.txt.txt", "document a");
        for (const char* name : {"in1.txt", "in2.txt", "a.txt"})
            lib.makeFile(QStringLiteral("../outside/") + QLatin1String(name),
                         "outside " + QByteArray(name));
        // A folder to drop, with notes, whose d.txt the sub-category of its name already has.
        for (const char* name : {"p1.txt", "p2.txt", "d.txt"})
            lib.makeFile(QStringLiteral("../outside/pack/") + QLatin1String(name),
                         "pack " + QByteArray(name));
        lib.writeNotes("../outside/pack/", {{"p1.txt", "note p1"}, {"d.txt", "pack d"}});
        lib.makeFile("dst/pack/d.txt", "dst pack d");
        lib.writeNotes("dst/pack/", {{"d.txt", "old d"}});
        lib.makeFile("../config/quillet.ini",
                     testing_support::gbk(QStringLiteral("[sysinfo]\r\nmaintext=我的软件库\r\n"
                                                         "[SystemConfig]\r\nDropMode=1\r\n")));
        // One time for every file, so that what shows it (the list as a web page) is the same
        // in every run.
        QDirIterator files(root(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const struct timespec times[2] = {{1500000000, 0}, {1500000000, 0}};
            ::utimensat(AT_FDCWD, QFile::encodeName(files.next()).constData(), times, 0);
        }
        core::Options& options = world.session.options();
        options.DelDialog = false;
        options.EmptyDialog = false;
        world.start();
    }

    QString root() const { return world.library.path(QStringLiteral("..")); }
    QString outside(const QString& name = {}) const
    {
        return world.library.path(QStringLiteral("../outside/") + name);
    }
    testing_support::FolderNotes notesOf(const QString& folder) const
    {
        return testing_support::FolderNotes(world.library.path(folder));
    }
    Scene& show(const QString& category)
    {
        world.selectCategory({category});
        return *this;
    }
    Scene& showBox()
    {
        world.selectSystemNode(world.workspace.systemTree().recycleBoxIndex());
        return *this;
    }
    // The box records that its file `name` came from the category `folder`.
    Scene& cameFrom(const QString& name, const QString& folder)
    {
        platform::writeAttribute(world.library.path("oprecy/" + name), fileops::FromFolderAttribute,
                                 folder.toUtf8());
        return *this;
    }
    Scene& select(const QStringList& names)
    {
        world.selectFiles(names);
        return *this;
    }
    Scene& chooseFiles(const QStringList& names)
    {
        QStringList paths;
        for (const QString& name : names)
            paths.append(outside(name));
        world.dialogs.fileChoices.push_back(paths);
        return *this;
    }
    // Enters the document page of the selected file and types `text` there.
    Scene& typeDocument(const QString& text)
    {
        page.TabConChange(fileops::DocumentCommands::DocumentTab);
        editor.shown = text;
        editor.modified = true;
        return *this;
    }
    Scene& saveAs(const QString& name)
    {
        world.dialogs.saveChoices.push_back(outside(name));
        return *this;
    }
    // An external library registered for the folder outside the library, shown in the tree.
    Scene& registerOutside(const QString& name)
    {
        world.config.writeString("UserDefDir", name, outside());
        world.external.buildAtStart();
        return *this;
    }
    QModelIndex library(const QString& name)
    {
        const core::CategoryTreeModel& tree = world.workspace.externalTree();
        for (int row = 0; row < tree.rowCount(tree.rootIndex()); ++row) {
            if (tree.captionOf(tree.index(row, 0, tree.rootIndex())) == name)
                return tree.index(row, 0, tree.rootIndex());
        }
        return {};
    }
    QModelIndex category(const QString& name) { return world.findCategory({name}); }
    // The options dialog, applied with OK after `change`.
    void applyOptions(const std::function<void(core::OptionsForm&)>& change)
    {
        NoEffects effects;
        core::OptionsForm form(world.session, effects, world.dialogs, true, true);
        world.dialogs.optionsScripts.push_back([change](core::OptionsForm& shown) {
            change(shown);
            shown.YesBtnClick(true);
        });
        world.dialogs.runOptionsDialog(form);
    }
    // The standard categories dialog: these are chosen and created.
    void createStandard(const QStringList& captions)
    {
        world.dialogs.templateScripts.push_back([captions](core::TemplateForm& form) {
            for (int n = 0; n < form.tree().count(); ++n) {
                if (captions.contains(form.tree().node(n).caption))
                    form.tree().press(n, true);
            }
            form.BitBtn1Click();
        });
        core::t402Click(world.session.layout(), world.session.fs(), true, world.dialogs,
                        world.categories);
    }
    Scene& answer(core::Answer answer)
    {
        world.dialogs.answers.push_back(answer);
        return *this;
    }
    // Search results for files of the library, all selected.
    Scene& found(const QList<std::pair<QString, QString>>& files)
    {
        std::vector<core::FileRow> rows;
        for (const auto& [folder, name] : files) {
            core::FileRow row;
            row.folder = world.library.path(folder);
            row.name = row.caption = name;
            row.note = notesOf(folder).readNote(name);
            rows.push_back(row);
        }
        world.showFound(std::move(rows));
        return *this;
    }

    World world;
    core::LiveList live{world.workspace, world.files};
    fileops::ImportCommands imports{world.workspace, world.dialogs};
    fileops::RecycleBoxCommands box{world.workspace, world.dialogs};
    fileops::RestoreCommands restore{world.workspace, world.dialogs};
    fileops::NoteCommands noteCommands{world.workspace, world.dialogs};
    fileops::RenameCommands rename{world.workspace, world.dialogs};
    Editor editor;
    fileops::DocumentCommands page{world.workspace, world.dialogs, editor};
    htmlexport::HtmlExport html{world.workspace, world.dialogs};
    dropwin::DropCommands drop{world.workspace, world.dialogs};
    fileops::MoveCommands moves{world.workspace, world.dialogs};
    NoFloppy drives;
    fileops::SendCommands send{world.workspace, world.dialogs, drives};
    fileops::AttributeCommands attributes{world.workspace, world.dialogs};
};

struct WritingCommand
{
    const char* name;
    std::function<void(Scene&)> prepare; // selections, answers and files it needs
    std::function<void(Scene&)> run;
    bool crossDevice = false;    // moves between folders go between file systems
    bool failsQuietly = false;   // its failure is ignored (a key removal), so nothing is told
    bool notesWithFiles = false; // it moves or copies files with their notes
};

void PrintTo(const WritingCommand& command, std::ostream* out)
{
    *out << command.name;
}

using S = Scene;
using core::Answer;

const WritingCommand kCommands[] = {
    // The notes store
    {"WriteNote", [](S&) {}, [](S& s) { s.notesOf("cat/").writeNote("b.txt", "新的注释"); }},
    {"WriteNoteIntoANewFile", [](S&) {},
     [](S& s) { s.notesOf("oprecy/").writeNote("z.txt", "z"); }},
    {"DeleteNote", [](S&) {}, [](S& s) { s.notesOf("cat/").deleteNote("a.txt"); }, false, true},
    // The configuration file
    {"ConfigWriteString", [](S&) {},
     [](S& s) { s.world.config.writeString("sysinfo", "maintext", "新的名字"); }},
    {"ConfigRemoveKey", [](S&) {},
     [](S& s) { s.world.config.removeKey("SystemConfig", "DropMode"); }},
    {"ConfigSaveWindowSettings", [](S&) {},
     [](S& s) { s.world.config.saveWindowSettings({}, true); }},
    {"ConfigWriteListFont", [](S&) {}, [](S& s) { s.world.config.writeListFont({}); }},
    // Import
    {"t103MoveFilesIn",
     [](S& s) {
         s.show("cat").chooseFiles({"in1.txt", "in2.txt"});
     },
     [](S& s) { s.imports.t103Click(); }, false, false, true},
    {"t103MoveReplacing",
     [](S& s) {
         s.show("cat").chooseFiles({"a.txt", "in1.txt"}).answer(Answer::Yes);
     },
     [](S& s) { s.imports.t103Click(); }, false, false, true},
    {"t103MoveAcrossDevices",
     [](S& s) {
         s.show("cat").chooseFiles({"a.txt", "in1.txt"}).answer(Answer::Yes);
     },
     [](S& s) { s.imports.t103Click(); }, true, false, true},
    {"t104CopyFilesIn",
     [](S& s) {
         s.show("cat").chooseFiles({"in1.txt", "in2.txt"});
     },
     [](S& s) { s.imports.t104Click(); }, false, false, true},
    {"t104CopyReplacing",
     [](S& s) {
         s.show("cat").chooseFiles({"a.txt", "in1.txt"}).answer(Answer::Yes);
     },
     [](S& s) { s.imports.t104Click(); }, false, false, true},
    {"t1051MoveFolderIn",
     [](S& s) { s.show("dst").world.dialogs.folderChoices.push_back(s.outside()); },
     [](S& s) { s.imports.t1051Click(); }, false, false, true},
    {"t1051MoveFolderAcrossDevices",
     [](S& s) { s.show("dst").world.dialogs.folderChoices.push_back(s.outside()); },
     [](S& s) { s.imports.t1051Click(); }, true, false, true},
    {"t1052CopyFolderIn",
     [](S& s) { s.show("dst").world.dialogs.folderChoices.push_back(s.outside()); },
     [](S& s) { s.imports.t1052Click(); }, false, false, true},
    // The recycle box
    {"DeleteIntoTheBox",
     [](S& s) {
         s.show("cat").select({"a.txt", "中文.txt", "b.txt"});
     },
     [](S& s) { s.box.delselfileClick(); }, false, false, true},
    {"DeleteIntoTheBoxAcrossDevices",
     [](S& s) {
         s.show("cat").select({"a.txt", "b.txt"});
     },
     [](S& s) { s.box.delselfileClick(); }, true, false, true},
    {"DeleteOverASameNamedFileInTheBox",
     [](S& s) {
         s.show("cat").select({"y.txt", "a.txt"}).answer(Answer::Yes);
     },
     [](S& s) { s.box.delselfileClick(); }, false, false, true},
    {"DeleteSearchResultsIntoTheBox",
     [](S& s) {
         s.found({{"cat/", "a.txt"}, {"dst/", "d.txt"}});
     },
     [](S& s) { s.box.delselfileClick(); }, false, false, true},
    {"DeleteForGood",
     [](S& s) {
         s.showBox().select({"x.txt", "y.txt"});
     },
     [](S& s) { s.box.delselfileClick(); }, false, false, true},
    {"EmptyTheBox", [](S& s) { s.showBox(); }, [](S& s) { s.box.emptyboxClick(); }, false, false,
     true},
    // x.txt goes where the user chooses, y.txt replaces the file of its name in its category.
    {"RestoreFromTheBox",
     [](S& s) {
         s.cameFrom("y.txt", "cat/").showBox().select({"x.txt", "y.txt"}).answer(Answer::Yes);
         s.world.dialogs.categoryChoices.push_back(QStringList{"dst"});
     },
     [](S& s) { s.restore.restorefileClick(); }, false, false, true},
    {"RestoreFromTheBoxAcrossDevices",
     [](S& s) {
         s.cameFrom("y.txt", "cat/").showBox().select({"x.txt", "y.txt"}).answer(Answer::Yes);
         s.world.dialogs.categoryChoices.push_back(QStringList{"dst"});
     },
     [](S& s) { s.restore.restorefileClick(); }, true, false, true},
    // Note editing
    {"NoteEditorSave",
     [](S& s) { s.show("cat").select({"b.txt"}).world.workspace.setTopEditText("编辑器的注释"); },
     [](S& s) { s.noteCommands.SaveEditTextClick(); }},
    {"NoteDialog",
     [](S& s) {
         s.show("cat").select({"a.txt"}).world.dialogs.noteInputs.push_back(
             QStringList{"对话框", "的注释"});
     },
     [](S& s) { s.noteCommands.editmemoClick(); }},
    {"ClearNote", [](S& s) { s.show("cat").select({"a.txt"}).answer(Answer::Yes); },
     [](S& s) { s.noteCommands.clsmemoClick(); }},
    {"DragCopyNote", [](S& s) { s.show("cat").select({"a.txt"}).answer(Answer::Yes); },
     [](S& s) { s.noteCommands.filelistDragDrop(s.world.rowOf("中文.txt")); }},
    {"t403NoteCleanup", [](S& s) { s.show("cat"); },
     [](S& s) { core::t403Click(s.world.workspace, s.world.dialogs); }},
    // Moving by dragging onto the trees
    {"DragFilesOntoACategory",
     [](S& s) {
         s.show("cat").select({"a.txt", "中文.txt"});
     },
     [](S& s) { s.moves.treeviewDragDrop(core::DragSource::FileList, s.category("dst")); }, false,
     false, true},
    {"DragFilesOntoACategoryAcrossDevices",
     [](S& s) {
         s.show("cat").select({"a.txt", "中文.txt"});
     },
     [](S& s) { s.moves.treeviewDragDrop(core::DragSource::FileList, s.category("dst")); }, true,
     false, true},
    {"DragFilesOntoAnExternalLibrary",
     [](S& s) {
         s.registerOutside("外部").show("cat").select({"a.txt", "b.txt"});
     },
     [](S& s) { s.moves.usertreeDragDrop(core::DragSource::FileList, s.library("外部")); }, false,
     false, true},
    {"DragSearchResultsOntoACategory",
     [](S& s) {
         s.found({{"cat/", "a.txt"}, {"oprecy/", "x.txt"}}).answer(Answer::Yes);
     },
     [](S& s) { s.moves.treeviewDragDrop(core::DragSource::SearchList, s.category("dst")); }, false,
     false, true},
    {"DragFilesReplacingASameNamedFile",
     [](S& s) {
         s.world.library.makeFile("cat/d.txt", "cat d");
         s.notesOf("cat/").writeNote("d.txt", "note cat d");
         s.show("cat").select({"d.txt", "a.txt"}).answer(Answer::Yes);
     },
     [](S& s) { s.moves.treeviewDragDrop(core::DragSource::FileList, s.category("dst")); }, false,
     false, true},
    {"DragFilesReplacingAcrossDevices",
     [](S& s) {
         s.world.library.makeFile("cat/d.txt", "cat d");
         s.notesOf("cat/").writeNote("d.txt", "note cat d");
         s.show("cat").select({"d.txt", "a.txt"}).answer(Answer::Yes);
     },
     [](S& s) { s.moves.treeviewDragDrop(core::DragSource::FileList, s.category("dst")); }, true,
     false, true},
    {"DragFilesOutOfTheBox",
     [](S& s) {
         s.showBox().select({"x.txt", "y.txt"});
     },
     [](S& s) { s.moves.treeviewDragDrop(core::DragSource::FileList, s.category("cat")); }, false,
     false, true},
    {"DragCategoryOntoAnother", [](S& s) { s.show("cat"); },
     [](S& s) { s.moves.treeviewDragDrop(core::DragSource::SystemTree, s.category("dst")); }, false,
     false, true},
    {"DragCategoryAcrossDevices", [](S& s) { s.show("cat"); },
     [](S& s) { s.moves.treeviewDragDrop(core::DragSource::SystemTree, s.category("dst")); }, true,
     false, true},
    // External folder libraries
    {"RegisterExternalLibrary", [](S&) {},
     [](S& s) {
         s.world.external.BitBtn1Click(external::FolderForm::Mode::Add, "外部库", s.outside());
     }},
    {"RemoveExternalLibrary",
     [](S& s) { s.registerOutside("外部").world.selectExternalNode(s.library("外部")); },
     [](S& s) { s.world.external.movedirClick(); }},
    {"RenameExternalLibrary",
     [](S& s) { s.registerOutside("外部").world.selectExternalNode(s.library("外部")); },
     [](S& s) { s.world.external.usertreeEdited(s.library("外部"), "新名"); }},
    // Renaming a file with its note and its document
    {"RenameFileInTheList", [](S& s) { s.show("cat"); },
     [](S& s) { s.rename.filelistEdited(s.world.rowOf("a.txt"), "a2.txt"); }, false, false, true},
    {"RenameInLetterCaseOnly", [](S& s) { s.show("cat"); },
     [](S& s) { s.rename.filelistEdited(s.world.rowOf("a.txt"), "A.txt"); }, false, false, true},
    {"RenameASearchRow",
     [](S& s) {
         s.found({{"cat/", "a.txt"}});
     },
     [](S& s) { s.rename.findListEdited(0, "a2.txt"); }, false, false, true},
    // Another program's renames, settled by a listing and by the live list
    {"ListingAfterAnotherProgramsRename",
     [](S& s) {
         s.show("cat").world.session.fs().move(s.world.library.path("cat/a.txt"),
                                               s.world.library.path("cat/a3.txt"));
     },
     [](S& s) { s.world.files.flistrefClick(); }, false, false, true},
    {"LiveListAfterAnotherProgramsRename",
     [](S& s) {
         s.show("cat").world.session.fs().move(s.world.library.path("cat/a.txt"),
                                               s.world.library.path("cat/a3.txt"));
     },
     [](S& s) { s.live.applyNow(); }, false, false, true},
    // A conflict copy of a notes file that a synced folder left, merged by a listing and by the
    // live list
    {"ListingMergesAConflictCopy",
     [](S& s) {
         s.show("cat").world.library.makeFile(
             "cat/zzfdat.sync-conflict-20261207-120000-ABCDEFG.nod",
             testing_support::gbk(QStringLiteral(
                 "[fileinfo]\r\na.txt=另一台的 a\r\nb.txt=note b\r\nc.txt=note c\r\n")));
     },
     [](S& s) { s.world.files.flistrefClick(); }},
    {"LiveListMergesAConflictCopy",
     [](S& s) {
         s.show("cat").world.library.makeFile(
             "cat/zzfdat (conflicted copy 2026-12-07 120000).nod",
             testing_support::gbk(
                 QStringLiteral("[fileinfo]\r\na.txt=另一台的 a\r\nb.txt=note b\r\n")));
     },
     [](S& s) { s.live.applyNow(); }},
    // The document page
    {"SaveDocument", [](S& s) { s.show("cat").select({"a.txt"}).typeDocument("新的文档\n第二行"); },
     [](S& s) { s.page.savenoteClick(); }},
    {"SaveEmptiedDocument", [](S& s) { s.show("cat").select({"a.txt"}).typeDocument(""); },
     [](S& s) { s.page.savenoteClick(); }},
    {"SaveDocumentAs",
     [](S& s) { s.show("cat").select({"a.txt"}).typeDocument("另存的文档").saveAs("saved.txt"); },
     [](S& s) { s.page.t502Click(); }},
    // The list as a web page
    {"ExportListAsHtml", [](S& s) { s.show("cat").saveAs("list.htm"); },
     [](S& s) { s.html.BuildHtmlMenuClick(); }},
    // The drop window
    {"DropFilesToMove", [](S& s) { s.show("cat"); },
     [](S& s) {
         s.drop.DropFileDrop({s.outside("in1.txt"), s.outside("a.txt")});
     },
     false, false, true},
    {"DropFilesToCopy", [](S& s) { s.show("cat").world.session.options().DropMode = 0; },
     [](S& s) {
         s.drop.DropFileDrop({s.outside("in1.txt"), s.outside("a.txt")});
     },
     false, false, true},
    {"DropFolder", [](S& s) { s.show("dst"); }, [](S& s) { s.drop.DropFileDrop({s.outside()}); },
     false, false, true},
    {"DropFolderToCopy", [](S& s) { s.show("dst").world.session.options().DropMode = 0; },
     [](S& s) { s.drop.DropFileDrop({s.outside()}); }, false, false, true},
    {"DropFolderWithNotesToMove", [](S& s) { s.show("dst"); },
     [](S& s) { s.drop.DropFileDrop({s.outside("pack")}); }, false, false, true},
    {"DropFolderWithNotesToMoveAcrossDevices", [](S& s) { s.show("dst"); },
     [](S& s) { s.drop.DropFileDrop({s.outside("pack")}); }, true, false, true},
    {"DropFolderWithNotesToCopy", [](S& s) { s.show("dst").world.session.options().DropMode = 0; },
     [](S& s) { s.drop.DropFileDrop({s.outside("pack")}); }, false, false, true},
    {"DropModeSwitch", [](S&) {}, [](S& s) { s.drop.Label1Click(); }},
    // Sending copies out, attributes, options, the standard categories
    {"SendFilesToAFolder",
     [](S& s) {
         s.show("cat")
             .select({"a.txt", "b.txt"})
             .answer(Answer::Yes)
             .world.dialogs.folderChoices.push_back(s.outside());
     },
     [](S& s) { s.send.sendotherClick(); }},
    {"SetAttributes",
     [](S& s) {
         s.show("cat")
             .select({"a.txt", "b.txt"})
             .world.dialogs.attributeChoices.push_back(
                 core::AttributeBoxes{core::BoxState::Checked, core::BoxState::Checked,
                                      core::BoxState::Checked, core::BoxState::Unchecked});
     },
     [](S& s) { s.attributes.fattrClick(); }},
    {"ApplyOptions", [](S&) {}, [](S& s) { s.applyOptions([](core::OptionsForm&) {}); }},
    {"t402StandardCategories", [](S&) {},
     [](S& s) {
         s.createStandard({"下载工具", "书藉资料"});
     }},
    // Categories
    {"t101NewCategory",
     [](S& s) { s.show("cat").world.dialogs.nameInputs.push_back(QStringList{"新分类"}); },
     [](S& s) { s.world.categories.addtreeClick(); }},
    {"RenameCategory", [](S& s) { s.show("cat"); },
     [](S& s) { s.world.categories.treeviewEdited(s.world.findCategory({"cat"}), "改名"); }},
    {"t102DeleteEmptyCategory", [](S& s) { s.show("empty").answer(Answer::Yes); },
     [](S& s) { s.world.categories.deltreeClick(); }, false, false, true},
};

struct Outcome
{
    LibrarySnapshot before;
    LibrarySnapshot after;
    QStringList messages; // shown, or the error that reached the error box
    int calls = 0;
    std::vector<platform::sys::Call> kinds; // of every call made
    bool fired = false;
    QString failedCall;
    platform::sys::Call failedKind = platform::sys::Call::Write;
};

Outcome runOnce(const WritingCommand& command, int n, int error, bool shortWrite = false)
{
    static const platform::FileSystem& local = platform::FileSystem::local();
    static const CrossDeviceFileSystem crossDevice;
    Scene scene(command.crossDevice ? static_cast<const platform::FileSystem&>(crossDevice)
                                    : local);
    command.prepare(scene);
    Outcome outcome;
    outcome.before = LibrarySnapshot::take(scene.root());
    const size_t shownBefore = scene.world.dialogs.shown.size();
    FailNthCall hook(n, error, shortWrite);
    {
        const platform::sys::ScopedHook installed(&hook);
        try {
            command.run(scene);
        } catch (const platform::UserError& failure) {
            // MainWindow::guarded shows it in the error box.
            outcome.messages.append(QStringLiteral("error box: ") + failure.message());
        }
    }
    for (size_t i = shownBefore; i < scene.world.dialogs.shown.size(); ++i)
        outcome.messages.append(scene.world.dialogs.shown[i].text);
    // A listing tells in the status bar what it met, where it shows the folder otherwise.
    if (const QString status = scene.world.workspace.status().text(0);
        !status.isEmpty() && status != scene.world.session.currentDir())
        outcome.messages.append(QStringLiteral("status bar: ") + status);
    outcome.after = LibrarySnapshot::take(scene.root());
    outcome.calls = hook.calls();
    outcome.kinds = hook.kinds();
    outcome.fired = hook.fired();
    if (hook.fired()) {
        outcome.failedKind = hook.failedCall().call;
        outcome.failedCall = testing_support::callName(outcome.failedKind) + u' ' +
                             QString::fromUtf8(hook.failedCall().path);
        if (shortWrite)
            outcome.failedCall += QStringLiteral(" cut short");
    }
    return outcome;
}

class WritingCommands : public ::testing::TestWithParam<WritingCommand>
{
};

TEST_P(WritingCommands, EveryFailedCallLeavesEveryFileAndNoteWholeAndIsReported)
{
    const WritingCommand& command = GetParam();
    const Outcome reference = runOnce(command, 0, 0);
    ASSERT_GT(reference.calls, 0) << "the command wrote nothing";
    ASSERT_TRUE(robust_testing::judge(reference.before, reference.after, reference.after,
                                      command.notesWithFiles)
                    .violations.isEmpty());

    int faults = 0;
    int reported = 0;
    int absorbed = 0;
    int leftKeys = 0;
    int leftDocuments = 0;
    int leftTemporaries = 0;
    // Every call fails with each error (a read with an input/output error); every write is
    // also cut short, then the disk is full.
    const struct
    {
        int error;
        bool shortWrite;
    } faultKinds[] = {{ENOSPC, false}, {EIO, false}, {EACCES, false}, {ENOSPC, true}};
    for (const auto& kind : faultKinds) {
        const int error = kind.error;
        for (int n = 1; n <= reference.calls; ++n) {
            const platform::sys::Call call = reference.kinds[size_t(n - 1)];
            if ((kind.shortWrite && call != platform::sys::Call::Write) ||
                (call == platform::sys::Call::Read && error != EIO))
                continue;
            const Outcome run = runOnce(command, n, error, kind.shortWrite);
            if (!run.fired)
                continue;
            ++faults;
            const robust_testing::Verdict verdict = robust_testing::judge(
                reference.before, reference.after, run.after, command.notesWithFiles);
            const bool told = run.messages != reference.messages;
            const QString where = QStringLiteral("%1 failing call %2 (%3) with %4")
                                      .arg(QLatin1String(command.name))
                                      .arg(n)
                                      .arg(run.failedCall, qt_error_string(error));
            EXPECT_TRUE(verdict.violations.isEmpty())
                << where.toStdString() << ":\n  " << verdict.violations.join("\n  ").toStdString();
            EXPECT_TRUE(told || verdict.sameAsAfter || command.failsQuietly)
                << where.toStdString() << ": the command did not complete and said nothing";
            // A sync that failed stops the write it belongs to: a command never goes on to its
            // whole effect, unseen, as if its file were safely on the disk.
            const bool leftSomething =
                verdict.leftKeys + verdict.leftDocuments + verdict.leftTemporaries > 0;
            EXPECT_FALSE(run.failedKind == platform::sys::Call::Sync && !told &&
                         verdict.sameAsAfter && !leftSomething)
                << where.toStdString() << ": a failed sync was passed over in silence";
            reported += told ? 1 : 0;
            if (!told) {
                ++absorbed;
                leftKeys += verdict.leftKeys;
                leftDocuments += verdict.leftDocuments;
                leftTemporaries += verdict.leftTemporaries;
            }
        }
    }
    std::cout << "[ faults   ] " << command.name << ": " << reference.calls << " calls, " << faults
              << " faults injected, " << reported << " reported, " << absorbed
              << " unreported with the command's whole effect (" << leftKeys << " keys and "
              << leftDocuments << " documents of files gone, " << leftTemporaries
              << " hidden temporary entries stayed: removals that failed unseen), nothing lost\n";
}

INSTANTIATE_TEST_SUITE_P(Today, WritingCommands, ::testing::ValuesIn(kCommands),
                         [](const ::testing::TestParamInfo<WritingCommand>& info) {
                             return std::string(info.param.name);
                         });

// The commands that move or copy files with their notes, killed at every call they make: a
// crash leaves every file where it was or where it went, with its note, or with the note it
// was about to get there (the one that replaces a replaced file's), never with none.
std::vector<WritingCommand> carriers()
{
    std::vector<WritingCommand> chosen;
    for (const WritingCommand& command : kCommands) {
        if (command.notesWithFiles)
            chosen.push_back(command);
    }
    return chosen;
}

// Runs the command killed at its first call, its second, and so on until it runs to its end;
// `judge` looks at the library each kill left. Returns how many kills there were.
int forEveryKill(const WritingCommand& command,
                 const std::function<void(Scene& scene, int call)>& judge)
{
    static const CrossDeviceFileSystem crossDevice;
    int kills = 0;
    for (int n = 1;; ++n) {
        Scene scene(command.crossDevice ? static_cast<const platform::FileSystem&>(crossDevice)
                                        : platform::FileSystem::local());
        command.prepare(scene);
        if (!testing_support::runKilledAtCall(n, [&] { command.run(scene); }))
            return kills;
        ++kills;
        judge(scene, n);
    }
}

class KilledCommands : public ::testing::TestWithParam<WritingCommand>
{
};

TEST_P(KilledCommands, AKilledRunLeavesEveryFileWithItsNote)
{
    const WritingCommand& command = GetParam();
    const Outcome reference = runOnce(command, 0, 0);
    const int kills = forEveryKill(command, [&](Scene& scene, int n) {
        const LibrarySnapshot now = LibrarySnapshot::take(scene.root());
        for (const auto& [path, content] : reference.before.entries) {
            const auto note = reference.before.noteOf(path);
            if (!note || note->trimmed().isEmpty() || reference.after.pathsOf(content).isEmpty())
                continue;
            const QStringList places = now.pathsOf(content);
            EXPECT_FALSE(places.isEmpty()) << command.name << " killed at call " << n << ": "
                                           << path.toStdString() << " is lost";
            for (const QString& place : places) {
                const auto there = now.noteOf(place);
                EXPECT_TRUE(there == note || there == reference.after.noteOf(place))
                    << command.name << " killed at call " << n << ": " << place.toStdString()
                    << " has the note " << there.value_or("(none)").toStdString() << ", not "
                    << note->toStdString();
            }
        }
    });
    EXPECT_GT(kills, 0);
}

INSTANTIATE_TEST_SUITE_P(Today, KilledCommands, ::testing::ValuesIn(carriers()),
                         [](const ::testing::TestParamInfo<WritingCommand>& info) {
                             return std::string(info.param.name);
                         });

// The commands that park a whole file for a moment under a hidden name (a replace that waits
// for its successor, a rename in letter case only), killed at every call: the next listing of
// each folder shows every file of before again under some name, and none stays hidden.
std::vector<WritingCommand> parkingCommands()
{
    std::vector<WritingCommand> chosen;
    for (const WritingCommand& command : kCommands) {
        for (const char* name : {"t103MoveAcrossDevices", "t104CopyReplacing",
                                 "DragFilesReplacingAcrossDevices", "DropFilesToCopy"}) {
            if (std::string(command.name) == name)
                chosen.push_back(command);
        }
    }
    // In a folder that ignores letter case "a.txt" and "A.txt" name one file; two names of
    // one file stand for that here.
    chosen.push_back({"RenameInLetterCaseOnly",
                      [](S& s) {
                          ::link(
                              platform::nativePath(s.world.library.path("cat/a.txt")).constData(),
                              platform::nativePath(s.world.library.path("cat/A.txt")).constData());
                          s.show("cat");
                      },
                      [](S& s) { s.rename.filelistEdited(s.world.rowOf("a.txt"), "A.txt"); }});
    return chosen;
}

// Lists every folder below `root` as showing it does.
void listEveryFolder(const QString& root)
{
    core::listCategoryRows(root);
    QDirIterator folders(root, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (folders.hasNext())
        core::listCategoryRows(folders.next() + u'/');
}

class KilledParkingCommands : public ::testing::TestWithParam<WritingCommand>
{
};

TEST_P(KilledParkingCommands, EveryFileShowsAgainAfterTheNextListing)
{
    const WritingCommand& command = GetParam();
    const Outcome reference = runOnce(command, 0, 0);
    int parked = 0;
    const int kills = forEveryKill(command, [&](Scene& scene, int n) {
        for (const QString& path : LibrarySnapshot::take(scene.root()).temporaries)
            parked += path.endsWith(QStringLiteral(".keep")) ? 1 : 0;
        listEveryFolder(scene.root());
        const LibrarySnapshot now = LibrarySnapshot::take(scene.root());
        EXPECT_TRUE(now.temporaries.isEmpty())
            << command.name << " killed at call " << n << ": "
            << now.temporaries.join(", ").toStdString() << " stay hidden";
        for (const auto& [path, content] : reference.before.entries) {
            // A file the whole command replaces may be gone; no other.
            if (content == "<folder>" || !now.pathsOf(content).isEmpty() ||
                reference.after.pathsOf(content).isEmpty())
                continue;
            ADD_FAILURE() << command.name << " killed at call " << n << ": " << path.toStdString()
                          << " shows nowhere";
        }
    });
    EXPECT_GT(kills, 0);
    EXPECT_GT(parked, 0) << command.name << ": no kill found a file parked";
}

INSTANTIATE_TEST_SUITE_P(Today, KilledParkingCommands, ::testing::ValuesIn(parkingCommands()),
                         [](const ::testing::TestParamInfo<WritingCommand>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
