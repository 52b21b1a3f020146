// Searching a real library by name and by note: which files are found (folders left out at
// any depth, the root's own files, the top level of external folders, links, names that are
// not UTF-8), the messages, the keyword history, progress and the result list's own commands.
#include "core/ConfigFile.h"
#include "platform/FileNames.h"
#include "search/LibrarySearch.h"
#include "search/SearchCommands.h"
#include "support/World.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using testing_support::gbk;
using testing_support::Shown;
using testing_support::World;

// Texts show as text in failure reports.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

class Search : public ::testing::Test
{
protected:
    World world;
    search::SearchCommands commands{world.workspace, world.dialogs};
    QTemporaryDir outside;

    void SetUp() override
    {
        // Every place a file can lie; each name holds "abc".
        for (const char* file :
             {"cat/xabcx.zip", "cat/XAbC.txt", "cat/a*.zip", "cat/deep/er/abc-deep.txt",
              "cat/deep/OPRECY/abc.txt", "cat/deep/FileComm/abc.txt", "oprecy/abc-box.txt",
              "filecomm/abc.txt.txt", "tempdir/abc-transit.txt", "abc-root.txt", "cat/other.txt"})
            world.library.makeFile(QString::fromUtf8(file));
        // A link back up the tree, which a walk following links would never leave.
        ASSERT_EQ(
            ::symlink("..", platform::nativePath(world.library.path("cat/deep/loop")).constData()),
            0);
        // Names in GBK: "癮" ends in the byte of "a", "癆" in that of "A".
        makeNativeFile("cat/", gbk(QStringLiteral("癮.txt")));
        makeNativeFile("cat/", gbk(QStringLiteral("癆.txt")));
        world.library.writeNotes("cat/", {{"XAbC.txt", QStringLiteral("说明ABC")},
                                          {"other.txt", QStringLiteral("another abc note")},
                                          {QStringLiteral("癮.txt"), QStringLiteral("癆")},
                                          {"xabcx.zip", ""}});
        // Letters outside A to Z that have a case, each file's note holding its letter in the
        // other case.
        const char* const cased[][2] = {{"Ä", "ä"}, {"Σ", "σ"}, {"Ａ", "ａ"}, {"İ", "i"}};
        QList<std::pair<QString, QString>> otherCase;
        for (const auto& pair : cased) {
            for (const int i : {0, 1}) {
                const QString name = QString::fromUtf8(pair[i]) + QStringLiteral(".txt");
                world.library.makeFile(QStringLiteral("fold/") + name);
                otherCase.append({name, QString::fromUtf8(pair[1 - i])});
            }
        }
        world.library.writeNotes("fold/", otherCase);

        const QString ext = outside.path() + QStringLiteral("/ext/");
        QDir().mkpath(ext + QStringLiteral("sub"));
        QFile(ext + QStringLiteral("abc-outer.txt")).open(QIODevice::WriteOnly);
        QFile(ext + QStringLiteral("sub/abc-below.txt")).open(QIODevice::WriteOnly);
        QFile(outside.path() + QStringLiteral("/not-a-folder")).open(QIODevice::WriteOnly);
        world.config.writeString(core::section::UserDefDir, QStringLiteral("外部"), ext);
        world.config.writeString(core::section::UserDefDir, QStringLiteral("gone"),
                                 outside.path() + QStringLiteral("/missing/"));
        world.config.writeString(core::section::UserDefDir, QStringLiteral("file"),
                                 outside.path() + QStringLiteral("/not-a-folder"));
        world.config.writeString(core::section::UserDefDir, QStringLiteral("empty"), QString());
        world.external.buildAtStart();
    }

    void TearDown() override
    {
        if (!m_deepPart.isEmpty())
            removeBelow(world.library.path("cat/"), m_deepPart);
        // The temporary folder's clean-up cannot name files whose names are not UTF-8.
        for (const QByteArray& path : m_nativeFiles)
            ::unlink(path.constData());
    }

    void makeNativeFile(const QString& folder, const QByteArray& name)
    {
        const QByteArray path = platform::nativePath(world.library.path(folder)) + name;
        const int fd = ::open(path.constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
        m_nativeFiles.append(path);
    }

    QList<QByteArray> m_nativeFiles;
    QByteArray m_deepPart; // the name of the folders of a chain too deep for a path

    // Removes the chain of folders named `part` below `folder`, from the deepest up, each
    // step below the open folder above it (the temporary folder's clean-up goes by paths).
    static void removeBelow(const QString& folder, const QByteArray& part)
    {
        std::vector<int> chain{::open(platform::nativePath(folder).constData(), O_DIRECTORY)};
        for (int below; (below = ::openat(chain.back(), part.constData(), O_DIRECTORY)) >= 0;)
            chain.push_back(below);
        for (size_t i = chain.size() - 1; i > 0; --i) {
            for (const char* name : {"abc-deepest.txt", "zzfdat.nod"})
                ::unlinkat(chain[i], name, 0);
            ::close(chain[i]);
            ::unlinkat(chain[i - 1], part.constData(), AT_REMOVEDIR);
        }
        ::close(chain.front());
    }

    // The rows found, as folder (relative to the library or the outside folder) + caption.
    QStringList find(const QString& keyword, search::Mode mode = search::Mode::ByName)
    {
        commands.setMode(mode);
        commands.setKeyword(keyword);
        commands.findButtonClick();
        QStringList found;
        for (const core::FileRow& row : world.workspace.searchList().rows()) {
            QString folder = row.folder;
            folder.replace(world.library.root(), QString());
            folder.replace(outside.path() + u'/', QStringLiteral("<outside>/"));
            found.append(folder + row.caption);
        }
        found.sort();
        return found;
    }
};

} // namespace

TEST_F(Search, ByNameFindsTheKeywordAnywhereInTheCaptionWithOnlyAsciiLettersFolded)
{
    const struct
    {
        const char* keyword;
        QStringList found;
    } cases[] = {
        {"ABC",
         {"<outside>/ext/abc-outer.txt", "cat/XAbC.txt", "cat/deep/er/abc-deep.txt",
          "cat/xabcx.zip", "tempdir/abc-transit.txt"}},
        {"*.zip", {"cat/a*.zip"}},
        {"?", {}},
        {"a", // the GBK names hold the byte of "a" and of "A", but not the letter
         {"<outside>/ext/abc-outer.txt", "cat/XAbC.txt", "cat/a*.zip", "cat/deep/er/abc-deep.txt",
          "cat/xabcx.zip", "tempdir/abc-transit.txt"}},
        {"癮", {QStringLiteral("cat/癮.txt")}},
        {"  \tother.TXT ", {"cat/other.txt"}},
        {"loop", {}},
        {"ä", {QStringLiteral("fold/ä.txt")}},
        {"Ä", {QStringLiteral("fold/Ä.txt")}},
        {"σ", {QStringLiteral("fold/σ.txt")}},
        {"Ａ", {QStringLiteral("fold/Ａ.txt")}},
        {"ａ", {QStringLiteral("fold/ａ.txt")}},
        {"İ", {QStringLiteral("fold/İ.txt")}},
        {"I.TXT", {"fold/i.txt"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(find(QString::fromUtf8(c.keyword)), c.found) << c.keyword;
    EXPECT_TRUE(world.library.exists("cat/deep/loop"));
}

TEST_F(Search, ByNoteFindsFilesWhoseNoteHoldsTheKeyword)
{
    const struct
    {
        const char* keyword;
        QStringList found;
    } cases[] = {
        {"abc", {"cat/XAbC.txt", "cat/other.txt"}},
        {"说明", {"cat/XAbC.txt"}},
        {"a", {"cat/XAbC.txt", "cat/other.txt"}}, // "癆" holds the byte of "A" only
        {"癆", {QStringLiteral("cat/癮.txt")}},
        {"xabcx", {}}, // a name in the notes file is not a note, and an empty note never matches
        {"Ä", {QStringLiteral("fold/ä.txt")}},
        {"Σ", {QStringLiteral("fold/σ.txt")}},
        {"ａ", {QStringLiteral("fold/Ａ.txt")}},
        {"i", {QStringLiteral("fold/İ.txt")}},
        {"İ", {"fold/i.txt"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(find(QString::fromUtf8(c.keyword), search::Mode::ByNote), c.found) << c.keyword;

    // A notes file saved as UTF-16 is searched too.
    const QString utf16 = QStringLiteral("[fileinfo]\r\nabc-deep.txt=宽字符说明\r\n");
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2);
    world.library.makeFile("cat/deep/er/zzfdat.nod", bytes);
    EXPECT_EQ(find(QStringLiteral("宽字符"), search::Mode::ByNote),
              QStringList("cat/deep/er/abc-deep.txt"));
}

TEST_F(Search, ResultRowsCarryTheirFolderNoteAndFileDetails)
{
    world.library.makeFileOfSize("cat/abc-big.bin", 1536);
    find("abc-big");
    ASSERT_EQ(world.workspace.searchList().count(), 1);
    const core::FileRow& row = world.workspace.searchList().row(0);
    EXPECT_EQ(row.folder, world.library.path("cat/"));
    EXPECT_EQ(row.sizeText, "1.50KB");
    EXPECT_EQ(row.size, 1536);

    find("XAbC");
    EXPECT_EQ(world.workspace.searchList().row(0).note, QStringLiteral("说明ABC"));
    find(QStringLiteral("癮"));
    EXPECT_EQ(world.workspace.searchList().row(0).note, QStringLiteral("癆"));
    EXPECT_NE(world.workspace.searchList().row(0).name, QStringLiteral("癮.txt"))
        << "the name keeps its bytes on disk";
}

TEST_F(Search, ABlankKeywordIsRefusedAndNothingChanges)
{
    find("other");
    commands.setKeyword(QStringLiteral(" \t "));
    commands.findButtonClick();
    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    EXPECT_EQ(world.dialogs.last().kind, Shown::Kind::Plain);
    EXPECT_EQ(world.dialogs.last().text,
              QStringLiteral("呵呵！老兄你故意难我是吧，请输入关键字符吧！"));
    EXPECT_EQ(world.workspace.searchList().count(), 1);
    EXPECT_EQ(commands.history(), QStringList("other"));
}

TEST_F(Search, KeywordsGoIntoTheHistoryOnceNewestFirstAndTheStatusCountsTheResults)
{
    find("abc");
    find("OTHER");
    find("ABC");
    EXPECT_EQ(commands.history(), QStringList({"OTHER", "abc"}));
    EXPECT_EQ(world.workspace.status().text(2), QStringLiteral("共找到 5 个文件"));
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_EQ(world.dialogs.busyDepth, 0);

    find("nothing-like-this");
    ASSERT_EQ(world.dialogs.shown.size(), 1u);
    const Shown& box = world.dialogs.last();
    EXPECT_EQ(box.caption, QStringLiteral("提示信息"));
    EXPECT_EQ(box.text, QStringLiteral("不好意思，没有找到符合条件的文件！"));
    EXPECT_EQ(box.icon, core::MessageIcon::Warning);
    EXPECT_EQ(box.buttons, core::Buttons::Ok);
    EXPECT_EQ(world.workspace.status().text(2), QStringLiteral("共找到 0 个文件"));
    EXPECT_EQ(world.workspace.searchList().count(), 0);
}

TEST_F(Search, ResultsAreSortedByTheListsSortColumn)
{
    world.library.makeFileOfSize("cat/abc-small.bin", 10);
    world.library.makeFileOfSize("tempdir/abc-large.bin", 5000);
    world.workspace.searchSort() = {3, false}; // size, largest first
    find(".bin");
    ASSERT_EQ(world.workspace.searchList().count(), 2);
    EXPECT_EQ(world.workspace.searchList().row(0).name, "abc-large.bin");
}

TEST_F(Search, TheStatusSaysItSearchesWhileThePanelBesideItCounts)
{
    for (int i = 0; i < 40; ++i)
        world.library.makeFile(QStringLiteral("many/f%1/abc%1.txt").arg(i));
    world.workspace.status().setText(3, QStringLiteral("此文件有详细文档"));
    QStringList status;
    QStringList beside;
    commands.setRepaint(
        [&] {
            status.append(world.workspace.status().text(2));
            beside.append(world.workspace.status().text(3));
        },
        0);
    find("abc");
    ASSERT_GE(status.size(), 2);
    EXPECT_EQ(status,
              QStringList(status.size(), QStringLiteral("正在查找符合条件的文件，请稍候...")));
    EXPECT_TRUE(beside.filter(QStringLiteral("已查找 ")).size() >= 1)
        << beside.join(u'|').toStdString();
    EXPECT_EQ(world.workspace.status().text(2), QStringLiteral("共找到 45 个文件"));
    EXPECT_EQ(world.workspace.status().text(3), QStringLiteral("此文件有详细文档"));
}

TEST_F(Search, RemovingAndClearingTouchOnlyTheList)
{
    find("abc");
    QItemSelectionModel& selection = world.workspace.searchSelection();
    core::FileListModel& list = world.workspace.searchList();
    for (int row : {0, 2, 3})
        selection.select(list.index(row, 0),
                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QString kept = list.row(1).name;
    commands.moveitemClick();
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.row(0).name, kept);
    EXPECT_FALSE(selection.hasSelection());
    EXPECT_TRUE(world.library.exists("cat/xabcx.zip"));

    commands.clsfindbtnClick();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(commands.keyword(), QString());
    EXPECT_EQ(commands.history(), QStringList("abc"));
    EXPECT_EQ(world.workspace.status().text(2), QString());
}

TEST_F(Search, AFolderReachedThroughALinkIsSearchedOnceWhereItsRealPathDoesNotReachIt)
{
    // A category that is a link to a folder outside, a link inside that folder back to it,
    // and a second category that is a link to a category of the library.
    const QString linked = outside.path() + QStringLiteral("/linked/");
    QDir().mkpath(linked);
    QFile(linked + QStringLiteral("abc-linked.txt")).open(QIODevice::WriteOnly);
    const auto link = [](const QString& target, const QString& at) {
        ASSERT_EQ(::symlink(platform::nativePath(target).constData(),
                            platform::nativePath(at).constData()),
                  0);
    };
    link(linked, world.library.path("linkcat"));
    link(linked, linked + QStringLiteral("back"));
    link(world.library.path("cat"), world.library.path("alias"));
    world.library.writeNotes("linkcat/", {{"abc-linked.txt", QStringLiteral("链接说明")}});

    EXPECT_EQ(find("abc-linked"), QStringList("linkcat/abc-linked.txt"));
    EXPECT_EQ(find(QStringLiteral("链接"), search::Mode::ByNote),
              QStringList("linkcat/abc-linked.txt"));
    EXPECT_EQ(find("xabcx"), QStringList("cat/xabcx.zip")) << "the real path only";
}

TEST_F(Search, TheProgramsTemporaryFilesAndFoldersAreNeverSearched)
{
    for (const char* file :
         {"cat/.quillet-1x2y.part", "cat/.quillet-abc.tmp", "cat/.quillet-3z4w.keep",
          "cat/.quillet-dir.part/abc-inside.txt", "cat/.quillet-abc.txt"})
        world.library.makeFile(QString::fromUtf8(file));
    EXPECT_EQ(find("quillet"), QStringList("cat/.quillet-abc.txt"));
    EXPECT_EQ(find("abc-inside"), QStringList());
}

TEST_F(Search, AFileDeeperThanAPathCanNameIsFoundWithItsNote)
{
    // Seventy folders of 64-byte names, one below the other: the path passes 4,096 bytes.
    // Each step is made below the open folder above it.
    const QByteArray part(64, 'd');
    m_deepPart = part;
    QByteArray relative = "cat/";
    int fd = ::open(platform::nativePath(world.library.path("cat")).constData(), O_DIRECTORY);
    for (int level = 0; level < 70; ++level) {
        ASSERT_EQ(::mkdirat(fd, part.constData(), 0755), 0);
        const int below = ::openat(fd, part.constData(), O_DIRECTORY);
        ::close(fd);
        fd = below;
        relative += part + '/';
    }
    ASSERT_GT(platform::nativePath(world.library.root()).size() + relative.size(), 4096);
    const int file = ::openat(fd, "abc-deepest.txt", O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(file, 0);
    ::close(file);
    const QByteArray notes = gbk(QStringLiteral("[fileinfo]\r\nabc-deepest.txt=最深处\r\n"));
    const int notesFd = ::openat(fd, "zzfdat.nod", O_CREAT | O_WRONLY, 0644);
    ASSERT_EQ(::write(notesFd, notes.constData(), size_t(notes.size())), notes.size());
    ::close(notesFd);
    ::close(fd);

    const QString expected = QString::fromUtf8(relative) + QStringLiteral("abc-deepest.txt");
    EXPECT_EQ(find("abc-deepest"), QStringList(expected));
    EXPECT_EQ(world.workspace.searchList().row(0).note, QStringLiteral("最深处"));
    EXPECT_EQ(find(QStringLiteral("最深"), search::Mode::ByNote), QStringList(expected));
}

TEST_F(Search, TheRowsComeInTheOrderOfAWalkByOneThreadWhateverTheThreads)
{
    for (int top = 0; top < 6; ++top) {
        for (int sub = 0; sub < 6; ++sub) {
            for (int file = 0; file < 3; ++file)
                world.library.makeFile(
                    QStringLiteral("t%1/s%2/f%3-abc.txt").arg(top).arg(sub).arg(file));
        }
        world.library.makeFile(QStringLiteral("t%1/g-abc.txt").arg(top));
    }
    const auto walk = [&](int threads) {
        search::LibrarySearch search(search::Mode::ByName, QStringLiteral("abc"), threads);
        search.FindFiles(world.library.root());
        search.FindOuterFiles(commands.externalFolders());
        const core::FileRows& rows = search.rows();
        QStringList paths;
        for (size_t i = 0; i < rows.size(); ++i)
            paths.append(rows.folder(i) + rows.name(i));
        return paths;
    };
    const QStringList alone = walk(1);
    EXPECT_EQ(alone.size(), 6 * 6 * 3 + 6 + 5); // and the five of every search here
    for (int threads : {2, 4, 8})
        EXPECT_EQ(walk(threads), alone) << threads << " threads";
}

TEST(SearchRemoval, ScatteredRowsGoInOnePass)
{
    core::FileListModel list(core::FileListModel::Layout::Search);
    std::vector<core::FileRow> rows(300);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i].name = QString::number(i);
    list.setRows(std::move(rows));
    std::vector<int> odd;
    for (int i = 1; i < 300; i += 2)
        odd.push_back(i);
    list.removeRowsAt(odd);
    ASSERT_EQ(list.count(), 150);
    for (int i = 0; i < 150; ++i)
        ASSERT_EQ(list.row(i).name, QString::number(2 * i));
}
