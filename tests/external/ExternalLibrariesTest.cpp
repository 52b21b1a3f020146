// External libraries: registering outside folders with the folder form and its checks,
// selecting, redefining, renaming and removing them, and refreshing the tree.
#include "core/ConfigFile.h"
#include "platform/DriveInfo.h"
#include "platform/FileNames.h"
#include "support/World.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

using testing_support::ScriptedDialogs;
using testing_support::Shown;
using testing_support::World;

namespace {

// Stands in for the system's mounts: the type of the longest matching prefix, else fixed.
class StandInDrives : public platform::DriveOracle
{
public:
    std::map<QString, platform::DriveType> types;

    platform::MountInfo mountOf(const QString& path) const override
    {
        platform::MountInfo mount;
        mount.type = platform::DriveType::Fixed;
        qsizetype longest = -1;
        for (const auto& [prefix, type] : types) {
            if (path.startsWith(prefix) && prefix.size() > longest) {
                longest = prefix.size();
                mount.type = type;
            }
        }
        return mount;
    }
    qint64 freeSpace(const QString&) const override { return 1 << 30; }
    bool isMountPoint(const QString&) const override { return false; }
};

class ExternalLibraries : public ::testing::Test
{
protected:
    World world;
    StandInDrives drives;
    core::CategoryTreeModel& tree = world.workspace.externalTree();
    QString outside = QDir::cleanPath(world.library.path("../outside")) + u'/';

    void SetUp() override
    {
        world.session.setDrives(&drives);
        QDir().mkpath(outside + "a");
        QDir().mkpath(outside + "b");
    }

    QStringList entries() const
    {
        QStringList names;
        for (int row = 0; row < tree.rowCount(tree.rootIndex()); ++row)
            names.append(tree.captionOf(tree.index(row, 0, tree.rootIndex())));
        return names;
    }
    QModelIndex entry(const QString& name) const
    {
        for (int row = 0; row < tree.rowCount(tree.rootIndex()); ++row) {
            if (tree.captionOf(tree.index(row, 0, tree.rootIndex())) == name)
                return tree.index(row, 0, tree.rootIndex());
        }
        return {};
    }
    QString stored(const QString& name) const
    {
        return world.config.readString("UserDefDir", name, "<none>");
    }
    // One run of the add form: each library typed and browsed in turn.
    void addLibraries(const std::vector<std::pair<QString, QString>>& libraries)
    {
        std::vector<ScriptedDialogs::FolderFormPress> presses;
        for (const auto& [name, folder] : libraries) {
            presses.push_back({name, true});
            world.dialogs.folderChoices.push_back(folder);
        }
        world.dialogs.folderFormInputs.push_back(presses);
        world.external.newuserdirClick();
    }
    void register_(const QString& name, const QString& folder)
    {
        world.config.writeString("UserDefDir", name, folder);
    }
};

} // namespace

TEST_F(ExternalLibraries, TheAddFormStaysOpenForOneLibraryAfterAnother)
{
    addLibraries({{"Zeta", outside + "a"}, {"Alpha", outside + "b/"}});

    const core::FolderFormSpec& form = world.dialogs.folderForms.at(0);
    EXPECT_EQ(form.caption, "自定义文件夹");
    EXPECT_EQ(form.okText, "确 定");
    EXPECT_EQ(form.closeText, "关 闭");
    EXPECT_TRUE(form.nameEnabled);
    EXPECT_EQ(world.dialogs.folderDialogTitles.at(0), "请选择一个目录...");
    EXPECT_EQ(world.dialogs.okResults, (std::vector<core::OkResult>{core::OkResult::StayCleared,
                                                                    core::OkResult::StayCleared}));
    EXPECT_EQ(world.dialogs.folderFormStates.back(), std::make_pair(QString(), QString()));
    // Appended in the order added, each folder with one final "/".
    EXPECT_EQ(entries(), QStringList({"Zeta", "Alpha"}));
    EXPECT_EQ(stored("Zeta"), outside + "a/");
    EXPECT_EQ(stored("Alpha"), outside + "b/");
    EXPECT_TRUE(world.dialogs.nothingShown());

    // The same name again keeps one entry; its key holds the second folder.
    addLibraries({{"Zeta", outside + "b"}});
    EXPECT_EQ(entries(), QStringList({"Zeta", "Alpha"}));
    EXPECT_EQ(world.config.keys("UserDefDir"), QStringList({"Zeta", "Alpha"}));
    EXPECT_EQ(stored("Zeta"), outside + "b/");

    // A drive root keeps its single "/"; a cancelled browser leaves the folder shown.
    world.dialogs.folderChoices = {"/", ""};
    world.dialogs.folderFormInputs.push_back({{"Root", true}, {"Root2", true}});
    world.external.newuserdirClick();
    EXPECT_EQ(stored("Root"), "/");
    EXPECT_EQ(world.dialogs.shown.back().text, "请选择分类库的对应目标目录路径。");
}

TEST_F(ExternalLibraries, RegistrationRefusesWhatCannotBeALibrary)
{
    drives.types = {{outside + "net", platform::DriveType::Remote},
                    {outside + "cd", platform::DriveType::CdRom},
                    {outside + "ram", platform::DriveType::RamDisk},
                    {outside + "gone", platform::DriveType::Unknown},
                    {outside + "usb", platform::DriveType::Removable}};
    const struct
    {
        QString name;
        QString folder;
        QString message; // empty: accepted
        core::OkResult result;
    } cases[] = {
        {"  ", outside + "a/", "请输入一个代表下面文件夹路径的分类库名称。",
         core::OkResult::StayFocusInput},
        {" lead", outside + "a/", "NAME", core::OkResult::StaySelectInput},
        {"trail ", outside + "a/", "NAME", core::OkResult::StaySelectInput},
        {"a=b", outside + "a/", "NAME", core::OkResult::StaySelectInput},
        {";note", outside + "a/", "NAME", core::OkResult::StaySelectInput},
        {"[sec", outside + "a/", "NAME", core::OkResult::StaySelectInput},
        {"two\nlines", outside + "a/", "NAME", core::OkResult::StaySelectInput},
        {"n", "", "请选择分类库的对应目标目录路径。", core::OkResult::Stay},
        {"n", outside + "net/", "你不能选择网络驱动器上的目录。", core::OkResult::Stay},
        {"n", outside + "cd/", "你不能选择在CD_ROM是的文件夹。", core::OkResult::Stay},
        {"n", outside + "ram/", "你不能选择在虚拟驱动器上的目录.", core::OkResult::Stay},
        {"n", outside + "gone/", "目录路径所在的磁盘类型无法确定,\r请在本地硬盘上选择一个文件夹。",
         core::OkResult::Stay},
        {"n", "relative/", "目录路径所在的磁盘类型无法确定,\r请在本地硬盘上选择一个文件夹。",
         core::OkResult::Stay},
        {"n", outside + platform::pathFromNative("bad\xb0\xa1/"),
         "这个目录的路径不能保存到设置文件中，请选择另一个目录。", core::OkResult::Stay},
        {"a;b[c]", outside + "usb/", "", core::OkResult::StayCleared},
    };
    for (const auto& c : cases) {
        world.dialogs.shown.clear();
        const core::OkResult result =
            world.external.BitBtn1Click(external::FolderForm::Mode::Add, c.name, c.folder);
        EXPECT_EQ(result, c.result) << c.name.toStdString() << " " << c.folder.toStdString();
        if (c.message.isEmpty()) {
            EXPECT_TRUE(world.dialogs.nothingShown());
            continue;
        }
        ASSERT_EQ(world.dialogs.shown.size(), 1u) << c.name.toStdString();
        const Shown& shown = world.dialogs.last();
        EXPECT_EQ(shown.caption, "系统消息");
        EXPECT_EQ(shown.icon, core::MessageIcon::Warning);
        if (c.message == "NAME")
            EXPECT_TRUE(shown.text.startsWith("分类库名的前后不能有空格"))
                << shown.text.toStdString();
        else
            EXPECT_EQ(shown.text, c.message);
    }
    // Only the acceptable library was written, and it reads back under its own name.
    EXPECT_EQ(world.config.keys("UserDefDir"), QStringList({"a;b[c]"}));
    EXPECT_EQ(entries(), QStringList({"a;b[c]"}));
}

TEST_F(ExternalLibraries, SelectingListsTheFolderWithItsNotes)
{
    QDir().mkpath(outside + "a");
    QFile file(outside + "a/x.txt");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    world.library.writeNotes("../outside/a/", {{"x.txt", QStringLiteral("外面的注释")}});
    // Stored by hand without the final "/": listing and notes still use one folder.
    register_("beta", outside + "a");
    register_("alpha", "");
    world.external.buildAtStart();
    EXPECT_EQ(entries(), QStringList({"alpha", "beta"}));

    world.selectExternalNode(entry("beta"));
    EXPECT_EQ(world.session.currentDir(), outside + "a/");
    EXPECT_EQ(world.session.notesFile().dir(), outside + "a/");
    EXPECT_EQ(world.workspace.status().text(0), outside + "a/");
    ASSERT_EQ(world.listedNames(), QStringList({"x.txt"}));
    EXPECT_EQ(world.workspace.fileList().row(0).note, QStringLiteral("外面的注释"));
    EXPECT_TRUE(world.dialogs.nothingShown());

    // A library without a folder is reported and kept, so that it can be redefined.
    world.selectExternalNode(entry("alpha"));
    EXPECT_EQ(world.dialogs.texts(),
              QStringList({"这个分类库的对应目录不明确,请重新设定对应目录!"}));
    EXPECT_TRUE(world.listedNames().isEmpty());
    EXPECT_TRUE(entry("alpha").isValid());

    // Redefining it: the name is fixed, the new folder is saved and listed.
    world.dialogs.folderChoices.push_back(outside + "a");
    world.dialogs.folderFormInputs.push_back({{"ignored", true}});
    world.external.rendefClick();
    const core::FolderFormSpec& form = world.dialogs.folderForms.back();
    EXPECT_FALSE(form.nameEnabled);
    EXPECT_EQ(form.name, "alpha");
    EXPECT_EQ(form.okText, "保 存");
    EXPECT_EQ(form.closeText, "取 消");
    EXPECT_EQ(world.dialogs.okResults.back(), core::OkResult::Close);
    EXPECT_EQ(stored("alpha"), outside + "a/");
    EXPECT_EQ(world.listedNames(), QStringList({"x.txt"}));
}

TEST_F(ExternalLibraries, OnlyAFolderThatIsNotThereIsUnregisteredOnSelection)
{
    // A folder that cannot be reached now may still be there: it keeps its registration and
    // the message gives the system's reason.
    QFile plain(outside + "plain.txt");
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    std::vector<std::pair<QString, int>> unreachable = {
        {outside + "plain.txt/dir/", ENOTDIR},
        {outside + QString(300, u'x') + "/", ENAMETOOLONG},
    };
    QDir().mkpath(outside + "locked/inner");
    if (::geteuid() != 0) { // root enters any folder
        QFile::setPermissions(outside + "locked", {});
        unreachable.push_back({outside + "locked/inner/", EACCES});
    }
    for (size_t i = 0; i < unreachable.size(); ++i)
        register_(QStringLiteral("far%1").arg(i), unreachable[i].first);
    world.external.buildAtStart();
    for (size_t i = 0; i < unreachable.size(); ++i) {
        const auto& [folder, error] = unreachable[i];
        const QString name = QStringLiteral("far%1").arg(i);
        world.dialogs.shown.clear();
        world.selectExternalNode(entry(name));
        EXPECT_EQ(
            world.dialogs.texts(),
            QStringList({"此分类库的外部对应目录现在无法访问,这个分类库仍然保留。\n目录位置:" +
                         folder + "\n" + qt_error_string(error)}));
        EXPECT_EQ(stored(name), folder);
        EXPECT_TRUE(entry(name).isValid());
        EXPECT_TRUE(world.listedNames().isEmpty());
    }
    QFile::setPermissions(outside + "locked",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    register_("gone", outside + "vanished/");
    register_("kept", outside + "a/");
    world.external.N25Click();
    world.dialogs.shown.clear();
    world.selectExternalNode(entry("gone"));

    EXPECT_EQ(world.dialogs.texts(),
              QStringList({"此分类库的外部对应目录不存在,系统将要移去这个分类库！"}));
    EXPECT_FALSE(world.config.keys("UserDefDir").contains("gone"));
    EXPECT_FALSE(entries().contains("gone"));
    // The tree selected another entry, which was listed in turn.
    EXPECT_EQ(world.workspace.selectedNode(tree), entry("kept"));
    EXPECT_EQ(world.session.currentDir(), outside + "a/");
}

TEST_F(ExternalLibraries, AHandEditedConfigurationFileReadsAsOnWindowsAndKeepsItsLines)
{
    const QByteArray registered = "my lib = " + outside.toUtf8() + "a/ \r\n";
    const QByteArray commented = ";old=" + outside.toUtf8() + "b/\r\n";
    QFile file(world.config.path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[UserDefDir]\r\n" + registered + commented +
               "[NoteWindow]\r\nfontname = SimSun\r\n");
    file.close();

    world.external.buildAtStart();
    EXPECT_EQ(entries(), QStringList{"my lib"});
    world.selectExternalNode(entry("my lib"));
    EXPECT_TRUE(world.dialogs.texts().isEmpty()) << "the library is there";
    EXPECT_EQ(world.session.currentDir(), outside + "a/");
    EXPECT_EQ(world.config.loadWindowSettings().document.fontName, "SimSun");

    // Another registration and the closing settings leave both hand-edited lines as they are.
    addLibraries({{"second", outside + "b/"}});
    world.config.saveWindowSettings(world.config.loadWindowSettings(), true);
    file.open(QIODevice::ReadOnly);
    const QByteArray after = file.readAll();
    EXPECT_TRUE(after.contains("\r\n" + registered)) << after.toStdString();
    EXPECT_TRUE(after.contains("\r\n" + commented)) << after.toStdString();
    EXPECT_EQ(world.config.keys("UserDefDir"), QStringList({"my lib", "second"}));
}

TEST_F(ExternalLibraries, RemovingLeavesTheFolderAndItsNotes)
{
    world.library.writeNotes("../outside/a/", {{"x", "note"}});
    register_("one", outside + "a/");
    register_("two", outside + "b/");
    world.external.buildAtStart();

    // The root and the box cannot go; the transit folder is no registration.
    world.selectExternalNode(tree.rootIndex());
    world.external.deltreeClick();
    world.selectExternalNode(tree.recycleBoxIndex());
    world.external.deltreeClick();
    ASSERT_EQ(world.dialogs.shown.size(), 2u);
    EXPECT_EQ(world.dialogs.shown[0].text, "注意！你不能删除掉这个节点！");
    EXPECT_EQ(world.dialogs.shown[1].caption, "是不是太累睡着了?");
    EXPECT_EQ(world.dialogs.shown[1].icon, core::MessageIcon::Error);

    // The delete command asks, No by default.
    world.dialogs.shown.clear();
    world.selectExternalNode(entry("one"));
    world.external.deltreeClick();
    EXPECT_EQ(world.dialogs.last().caption, "请小心操作");
    EXPECT_EQ(world.dialogs.last().text, "你真要从系统中移去这个外部目录分类库吗?"
                                         "\n以后你可以重新定义这个目录,其中说明资料不会改变.\n"
                                         "目录位置:" +
                                             outside + "a/");
    EXPECT_EQ(world.dialogs.last().defaultButton, core::Answer::No);
    EXPECT_EQ(entries(), QStringList({"one", "two"}));
    world.dialogs.answers.push_back(core::Answer::Yes);
    world.external.deltreeClick();
    EXPECT_EQ(entries(), QStringList({"two"}));

    // "移去文件夹" does not ask.
    world.dialogs.shown.clear();
    world.selectExternalNode(entry("two"));
    world.external.movedirClick();
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_TRUE(world.config.keys("UserDefDir").isEmpty());
    EXPECT_TRUE(QFile::exists(outside + "a/zzfdat.nod"));
    EXPECT_TRUE(QFile::exists(outside + "b"));
}

TEST_F(ExternalLibraries, RenamingInPlaceMovesTheFolderToTheNewName)
{
    register_("old", outside + "a/");
    register_("other", outside + "b/");
    world.external.buildAtStart();
    const QModelIndex node = entry("old");
    EXPECT_FALSE(world.external.usertreeEditing(tree.rootIndex()));
    EXPECT_FALSE(world.external.usertreeEditing(tree.transitIndex()));
    EXPECT_FALSE(world.external.usertreeEditing(tree.recycleBoxIndex()));
    EXPECT_TRUE(world.external.usertreeEditing(node));

    const struct
    {
        QString text;
        QString message;
    } refused[] = {
        {"", "类库名不能空，请输入类库名!"},
        {"old", ""},
        {"x=y", "NAME"},
        {"OTHER", "已有同名的外部文件库，请换一个类库名。"},
    };
    for (const auto& r : refused) {
        world.dialogs.shown.clear();
        world.external.usertreeEdited(node, r.text);
        EXPECT_EQ(tree.captionOf(node), "old");
        if (r.message.isEmpty())
            EXPECT_TRUE(world.dialogs.nothingShown());
        else if (r.message == "NAME")
            EXPECT_TRUE(world.dialogs.last().text.startsWith("分类库名的前后不能有空格"));
        else
            EXPECT_EQ(world.dialogs.last().text, r.message);
    }
    EXPECT_EQ(world.config.keys("UserDefDir"), QStringList({"old", "other"}));

    // A configuration file kept as a link is written where the link leads.
    const QByteArray path = platform::nativePath(world.config.path());
    const QByteArray real = path + ".real";
    ASSERT_EQ(::rename(path.constData(), real.constData()), 0);
    ASSERT_EQ(::symlink(real.constData(), path.constData()), 0);

    world.dialogs.shown.clear();
    world.external.usertreeEdited(node, QStringLiteral("新名字"));
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_EQ(tree.captionOf(node), QStringLiteral("新名字"));
    EXPECT_EQ(node.row(), 0);
    EXPECT_EQ(world.config.keys("UserDefDir"), QStringList({"other", QStringLiteral("新名字")}));
    EXPECT_EQ(stored(QStringLiteral("新名字")), outside + "a/");
}

TEST_F(ExternalLibraries, RefreshingKeepsTheSelectedLibrary)
{
    register_("b", outside + "b/");
    world.external.buildAtStart();
    world.selectExternalNode(entry("b"));
    register_("a", outside + "a/");
    world.external.N25Click();
    EXPECT_EQ(entries(), QStringList({"a", "b"}));
    EXPECT_EQ(world.workspace.selectedNode(tree), entry("b"));
    EXPECT_EQ(world.session.currentDir(), outside + "b/");

    // Unregistered elsewhere: the root is selected instead.
    world.config.removeKey("UserDefDir", "b");
    world.external.N25Click();
    EXPECT_EQ(world.workspace.selectedNode(tree), tree.rootIndex());
    EXPECT_EQ(world.workspace.status().text(1), "外部文件库");
}

TEST_F(ExternalLibraries, TheNewCategoryCommandRefusesOnAReadOnlyLibrary)
{
    World readOnly(false);
    readOnly.external.addtreeClick();
    EXPECT_EQ(readOnly.dialogs.texts(),
              QStringList({"当前应用程序运行在一个只读存储存设备上，本命令不可执行！"}));
    EXPECT_TRUE(readOnly.dialogs.folderForms.empty());
}
