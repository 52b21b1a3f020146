#pragma once
// A library on disk in a temporary folder with a whole session on it (trees, file list,
// controller), and dialogs that answer Yes, for the file command benchmarks.

#include "core/CategoryCommands.h"
#include "core/ConfigFile.h"
#include "core/Dialogs.h"
#include "core/FileListController.h"
#include "core/Workspace.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <cstdlib>
#include <cstring>
#include <deque>

namespace bench_support {

// The value of a "--name=value" argument given as `prefix` "--name="; empty when not given.
inline QString argument(int argc, char** argv, const char* prefix)
{
    const size_t length = std::strlen(prefix);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], prefix, length) == 0)
            return QString::fromLocal8Bit(argv[i] + length);
    }
    return {};
}

// Keeps the benchmarks away from the user's configuration.
inline void useTemporaryConfigHome()
{
    static QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
}

class YesDialogs : public core::Dialogs
{
public:
    std::deque<QString> folders;

    void showMessage(const QString&) override {}
    core::Answer ask(const QString&, const QString&, core::MessageIcon, core::Buttons buttons,
                     core::Answer) override
    {
        return buttons == core::Buttons::Ok ? core::Answer::Ok : core::Answer::Yes;
    }
    void showError(const QString&) override {}
    QStringList chooseFiles(const QString&, const QString&) override { return {}; }
    QString chooseFile(const QString&, const QString&) override { return {}; }
    QString chooseSaveFile(const core::SaveDialogSpec&) override { return {}; }
    QString choosePicture(const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&) override
    {
        if (folders.empty())
            return {};
        QString folder = folders.front();
        folders.pop_front();
        return folder;
    }
    std::optional<int> chooseColor(int) override { return std::nullopt; }
    std::optional<core::FontSpec> chooseFont(const core::FontSpec&) override
    {
        return std::nullopt;
    }
    QModelIndex chooseCategory(const core::CategoryChoiceSpec&) override { return {}; }
    void runNameDialog(const core::NameDialogSpec&,
                       const std::function<core::OkResult(const QString&)>&) override
    {
    }
    void runNoteDialog(const core::NoteDialogSpec&,
                       const std::function<core::OkResult(const QStringList&)>&) override
    {
    }
    void runTemplateDialog(core::TemplateForm&) override {}
    void runOptionsDialog(core::OptionsForm&) override {}
    std::optional<core::AttributeBoxes>
    runAttributesDialog(const core::AttributesDialogSpec&) override
    {
        return std::nullopt;
    }
    void runFolderForm(const core::FolderFormSpec&, const std::function<QString(const QString&)>&,
                       const std::function<core::OkResult(const QString&, const QString&)>&) override
    {
    }
    void setClipboardText(const QString&) override {}
    void setBusy(bool) override {}
};

class BenchLibrary
{
public:
    BenchLibrary()
        : m_root(m_dir.path() + QStringLiteral("/library/")),
          m_config(m_dir.path() + QStringLiteral("/quillet.ini")),
          m_session(makeLayout(m_root), m_config, platform::FileSystem::local(), true),
          m_workspace(m_session), m_files(m_workspace), m_categories(m_workspace, m_files, dialogs)
    {
    }

    YesDialogs dialogs;

    const QString& root() const { return m_root; }
    core::Workspace& workspace() { return m_workspace; }
    core::Session& session() { return m_session; }

    // `count` files of 200 bytes in `relative` (a folder path ending in "/"), each with a
    // note in the folder's notes file when `withNotes`.
    void makeFiles(const QString& relative, int count, bool withNotes) const
    {
        const QString dir = m_root + relative;
        QDir().mkpath(dir);
        const QByteArray content(200, 'x');
        QString notes = QStringLiteral("[fileinfo]\r\n");
        for (int i = 0; i < count; ++i) {
            const QString name = QStringLiteral("软件包%1.zip").arg(i, 4, 10, QLatin1Char('0'));
            QFile file(dir + name);
            file.open(QIODevice::WriteOnly);
            file.write(content);
            notes += name + QStringLiteral("=这是第%1个文件的注释说明\r\n").arg(i);
        }
        if (withNotes) {
            QFile file(dir + QStringLiteral("zzfdat.nod"));
            file.open(QIODevice::WriteOnly);
            QStringEncoder encoder("GB18030");
            file.write(encoder.encode(notes));
        }
    }

    // Fills the system tree as at start and selects the first-level category `name`.
    void selectCategory(const QString& name)
    {
        m_categories.buildAtStart();
        core::CategoryTreeModel& tree = m_workspace.systemTree();
        for (int row = 0; row < tree.rowCount(tree.rootIndex()); ++row) {
            const QModelIndex node = tree.index(row, 0, tree.rootIndex());
            if (tree.captionOf(node) == name) {
                m_workspace.systemTreeSelection().setCurrentIndex(
                    node, QItemSelectionModel::ClearAndSelect);
                return;
            }
        }
    }

    void selectAllFiles()
    {
        core::FileListModel& list = m_workspace.fileList();
        m_workspace.fileSelection().select(
            QItemSelection(list.index(0, 0), list.index(list.count() - 1, list.columnCount() - 1)),
            QItemSelectionModel::Select);
    }

private:
    static core::LibraryLayout makeLayout(const QString& root)
    {
        for (const char* folder : {"oprecy", "tempdir", "filecomm"})
            QDir().mkpath(root + QLatin1String(folder));
        return core::LibraryLayout(root, root + QStringLiteral("quillet"));
    }

    QTemporaryDir m_dir;
    QString m_root;
    core::ConfigFile m_config;
    core::Session m_session;
    core::Workspace m_workspace;
    core::FileListController m_files;
    core::CategoryCommands m_categories;
};

} // namespace bench_support
