// The kept index behind the search: after other programs change the library (with change
// notices, with notices lost, on a file system that sends none) the next search finds exactly
// what a walk finds; its cache is used, refused when foreign or damaged, and shared safely; the
// searches while typing; the keyword scan itself against a plain one.
#include "core/ConfigFile.h"
#include "core/RowOrder.h"
#include "platform/FileNames.h"
#include "search/FoldedScan.h"
#include "search/IndexCache.h"
#include "search/SearchCommands.h"
#include "support/World.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using testing_support::gbk;
using testing_support::World;

namespace {

// Each row as text: folder, name, note, size, date, the attributes as listed.
QStringList described(const core::FileRows& rows, const QString& root)
{
    QStringList out;
    for (size_t i = 0; i < rows.size(); ++i) {
        QString folder = rows.folder(i);
        folder.replace(root, QStringLiteral("<lib>/"));
        out.append(QStringLiteral("%1%2|%3|%4|%5|%6|%7")
                       .arg(folder, rows.name(i), rows.note(i))
                       .arg(rows.size(i))
                       .arg(rows.modifiedMs(i))
                       .arg(int(rows.listedAttributes(i)))
                       .arg(rows.storedFlagsLater(i)));
    }
    return out;
}

enum class Notices
{
    Told,   // every change is told
    Lost,   // the queue overflowed after each change
    Untold, // a file system that tells nothing
    Closed, // the program was closed before each change and started again from its cache
};

class IndexExactness : public ::testing::TestWithParam<Notices>
{
protected:
    World world;
    QTemporaryDir outside;
    std::unique_ptr<search::LibraryIndex> index;

    void SetUp() override
    {
        for (const char* file : {"cat/a-one.txt", "cat/a-two.zip", "cat/sub/a-deep.txt",
                                 "docs/a-doc.pdf", "oprecy/a-box.txt", "tempdir/a-transit.txt"})
            world.library.makeFile(QString::fromUtf8(file));
        world.library.writeNotes("cat/", {{"a-one.txt", QStringLiteral("第一个说明")},
                                          {"a-two.zip", QStringLiteral("压缩包 abc")}});
        QDir().mkpath(outside.path() + QStringLiteral("/ext"));
        QFile(outside.path() + QStringLiteral("/ext/a-outer.txt")).open(QIODevice::WriteOnly);
        search::LibraryIndex::Settings settings;
        if (GetParam() == Notices::Untold)
            settings.sendsNotices = [](long) { return false; };
        index = std::make_unique<search::LibraryIndex>(settings);
        index->setFolders(world.library.root(), {outside.path() + QStringLiteral("/ext/")});
        index->refresh();
    }

    QString path(const char* relative) const
    {
        return world.library.path(QString::fromUtf8(relative));
    }

    // The index's rows and a fresh walk's for each keyword of both modes.
    void expectSameAsWalk(const char* step)
    {
        if (GetParam() == Notices::Lost)
            index->watcher().loseQueuedNotices();
        if (GetParam() == Notices::Closed) {
            // The index as it was before the change is what the last run kept.
            const QString cache = outside.path() + QStringLiteral("/cache.index");
            ASSERT_TRUE(index->save(cache));
            index = std::make_unique<search::LibraryIndex>();
            index->setFolders(world.library.root(), {outside.path() + QStringLiteral("/ext/")});
            ASSERT_TRUE(index->load(cache)) << step;
        }
        index->refresh();
        const struct
        {
            search::Mode mode;
            const char* keyword;
        } cases[] = {{search::Mode::ByName, "a-"},  {search::Mode::ByName, "TXT"},
                     {search::Mode::ByName, "new"}, {search::Mode::ByNote, "说明"},
                     {search::Mode::ByNote, "ABC"}, {search::Mode::ByNote, "新"}};
        for (const auto& c : cases) {
            const QString keyword = QString::fromUtf8(c.keyword);
            core::FileRows found;
            ASSERT_TRUE(index->search(c.mode, keyword, found));
            search::LibrarySearch walk(c.mode, keyword);
            walk.FindFiles(world.library.root());
            walk.FindOuterFiles({outside.path() + QStringLiteral("/ext/")});
            EXPECT_EQ(described(found, world.library.root()),
                      described(walk.rows(), world.library.root()))
                << step << ", keyword " << c.keyword;
        }
    }
};

TEST_P(IndexExactness, WhatOtherProgramsChangeIsInTheNextSearch)
{
    const auto write = [](const QString& file, const QByteArray& bytes, bool append) {
        QFile f(file);
        ASSERT_TRUE(f.open(append ? QIODevice::Append : QIODevice::WriteOnly));
        f.write(bytes);
    };
    const struct
    {
        const char* step;
        std::function<void()> change;
    } steps[] = {
        {"a file added", [&] { world.library.makeFile("cat/a-new.txt"); }},
        {"a file removed", [&] { QFile::remove(path("cat/a-two.zip")); }},
        {"a file renamed", [&] { QFile::rename(path("cat/a-one.txt"), path("cat/a-first.txt")); }},
        {"a file grown", [&] { write(path("cat/sub/a-deep.txt"), "more bytes", true); }},
        {"a file made read-only",
         [&] { ::chmod(platform::nativePath(path("docs/a-doc.pdf")), 0444); }},
        {"a notes file rewritten in place",
         [&] {
             world.library.writeNotes("cat/", {{"a-first.txt", QStringLiteral("新的说明")}});
         }},
        {"a notes file replaced",
         [&] {
             write(path("docs/zzfdat.tmp"),
                   gbk(QStringLiteral("[fileinfo]\r\na-doc.pdf=新文档\r\n")), false);
             ::rename(platform::nativePath(path("docs/zzfdat.tmp")),
                      platform::nativePath(path("docs/zzfdat.nod")));
         }},
        {"a notes file made a link to one outside",
         [&] {
             write(outside.path() + QStringLiteral("/linked.nod"),
                   gbk(QStringLiteral("[fileinfo]\r\na-first.txt=链接的说明\r\n")), false);
             QFile::remove(path("cat/zzfdat.nod"));
             ::symlink(platform::nativePath(outside.path() + QStringLiteral("/linked.nod")),
                       platform::nativePath(path("cat/zzfdat.nod")));
         }},
        {"the notes file a link leads to rewritten",
         [&] {
             write(outside.path() + QStringLiteral("/linked.nod"),
                   gbk(QStringLiteral("[fileinfo]\r\na-first.txt=新链接的说明abc\r\n")), false);
         }},
        {"a folder removed and made again",
         [&] {
             QDir(path("cat/sub")).removeRecursively();
             world.library.makeFile("cat/sub/a-new-deep.txt");
         }},
        {"a folder renamed", [&] { QDir().rename(path("docs"), path("docs-new")); }},
        {"a folder added with notes",
         [&] {
             world.library.makeFile("added/deeper/a-new-added.txt");
             world.library.writeNotes("added/deeper/",
                                      {{"a-new-added.txt", QStringLiteral("新加")}});
         }},
        {"a link to a folder outside",
         [&] {
             ::symlink(platform::nativePath(outside.path() + QStringLiteral("/ext")),
                       platform::nativePath(path("linked")));
         }},
        {"a file added in the root", [&] { world.library.makeFile("a-new-root.txt"); }},
        {"an external folder's file added",
         [&] {
             QFile(outside.path() + QStringLiteral("/ext/a-new-out.txt"))
                 .open(QIODevice::WriteOnly);
         }},
        {"a folder removed", [&] { QDir(path("added")).removeRecursively(); }},
    };
    expectSameAsWalk("at first");
    for (const auto& s : steps) {
        s.change();
        expectSameAsWalk(s.step);
    }
}

INSTANTIATE_TEST_SUITE_P(Notices, IndexExactness,
                         ::testing::Values(Notices::Told, Notices::Lost, Notices::Untold,
                                           Notices::Closed),
                         [](const auto& info) {
                             return std::string(info.param == Notices::Told     ? "Told"
                                                : info.param == Notices::Lost   ? "Lost"
                                                : info.param == Notices::Untold ? "Untold"
                                                                                : "Closed");
                         });

// A folder whose names or notes give a single run of letters is looked through like any other.
TEST(IndexRuns, AFolderWithTheShortestNameOrNoteIsLookedThrough)
{
    World world;
    world.library.makeFile("one/abc");
    world.library.makeFile("two/x.y");
    world.library.writeNotes("two/", {{"x.y", QStringLiteral("说明")}});
    search::LibraryIndex index;
    index.setFolders(world.library.root(), {});
    index.refresh();
    const struct
    {
        search::Mode mode;
        const char* keyword;
    } cases[] = {{search::Mode::ByName, "abc"}, {search::Mode::ByName, "ABC"},
                 {search::Mode::ByNote, "说明"}};
    for (const auto& c : cases) {
        core::FileRows found;
        ASSERT_TRUE(index.search(c.mode, QString::fromUtf8(c.keyword), found));
        EXPECT_EQ(found.size(), 1u) << c.keyword;
    }
}

// Rows asked for by name come in the result list's order, both ways, whether the names were
// ranked, read since the ranking (a rename, new files, a folder read again) or not ranked at
// all: equal names (in letter case too) keep the walk's order, a GBK name sorts by its caption.
TEST(IndexOrder, RowsByNameComeInTheListsOrder)
{
    World world;
    for (const char* file :
         {"cat/b.txt", "cat/A.txt", "cat/a.txt", "cat/sub/a.txt", "docs/B.TXT", "docs/中文.txt",
          "docs/a.txt", "docs/a.txt.bak", "z/10.txt", "z/9.txt"})
        world.library.makeFile(QString::fromUtf8(file));
    const QByteArray gbkName = platform::nativePath(world.library.path(QStringLiteral("cat/"))) +
                               gbk(QStringLiteral("说明.txt"));
    ::close(::open(gbkName.constData(), O_CREAT | O_WRONLY, 0644));
    search::LibraryIndex::Settings settings;
    settings.rankAtOnce = 0; // ranked only when told
    search::LibraryIndex index(settings);
    index.setFolders(world.library.root(), {});

    const auto expectListOrder = [&](const char* step) {
        index.refresh();
        for (const bool ascending : {true, false}) {
            for (const char* keyword : {"t", "a"}) {
                core::FileRows found;
                ASSERT_TRUE(
                    index.search(search::Mode::ByName, QString::fromUtf8(keyword), found, {},
                                 ascending ? search::LibraryIndex::RowsOrder::NameAscending
                                           : search::LibraryIndex::RowsOrder::NameDescending));
                search::LibrarySearch walk(search::Mode::ByName, QString::fromUtf8(keyword));
                walk.FindFiles(world.library.root());
                core::FileRows expected = walk.takeRows();
                expected.reorder(core::sortedOrder(expected, core::RowKey::Name, ascending));
                EXPECT_EQ(described(found, world.library.root()),
                          described(expected, world.library.root()))
                    << step << ", keyword " << keyword
                    << (ascending ? " ascending" : " descending");
            }
        }
    };
    expectListOrder("no name ranked");
    index.rankNames();
    EXPECT_EQ(index.unranked(), 0u);
    expectListOrder("every name ranked");
    world.library.makeFile(QStringLiteral("cat/a.TXT"));
    world.library.makeFile(QStringLiteral("new/aa.txt"));
    QFile::rename(world.library.path(QStringLiteral("docs/B.TXT")),
                  world.library.path(QStringLiteral("docs/c.txt")));
    expectListOrder("names read since the ranking");
    EXPECT_GT(index.unranked(), 0u);
    index.rankNames();
    expectListOrder("ranked again");
}

class IndexCacheFile : public ::testing::Test
{
protected:
    World world;
    QString file = search::IndexCache::fileFor(world.library.root());

    void SetUp() override
    {
        world.library.makeFile("cat/abc.txt");
        world.library.writeNotes("cat/", {{"abc.txt", QStringLiteral("说明")}});
    }

    // A new index of the library, loaded from the cache when it can be, in step.
    std::unique_ptr<search::LibraryIndex> started()
    {
        auto index = std::make_unique<search::LibraryIndex>();
        index->setFolders(world.library.root(), {});
        index->load(file);
        index->refresh();
        return index;
    }

    QStringList found(search::LibraryIndex& index, const char* keyword = "abc")
    {
        core::FileRows rows;
        index.search(search::Mode::ByName, QString::fromUtf8(keyword), rows);
        return described(rows, world.library.root());
    }
};

TEST_F(IndexCacheFile, LivesInTheUsersCacheFolderAndIsCheckedWhenLoaded)
{
    EXPECT_TRUE(file.startsWith(QString::fromLocal8Bit(qgetenv("XDG_CACHE_HOME")) +
                                QStringLiteral("/quillet/")));
    ASSERT_TRUE(started()->save(file));
    EXPECT_FALSE(QDir(world.library.root())
                     .entryList(QDir::Files | QDir::Hidden)
                     .filter(QStringLiteral("index"))
                     .size());

    // Changed while no program ran, each after every time the folder had was long past: only
    // its stamp tells.
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"a notes file rewritten in place",
         [&] { world.library.writeNotes("cat/", {{"abc.txt", QStringLiteral("改过的说明")}}); }},
        {"a file added", [&] { world.library.makeFile("cat/abc-later.txt"); }},
    };
    for (const auto& [what, change] : changes) {
        const timespec past[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
        for (const char* aged : {"", "cat/", "cat/zzfdat.nod"})
            ::utimensat(AT_FDCWD, platform::nativePath(world.library.path(aged)), past, 0);
        QFile::remove(file);
        ASSERT_TRUE(started()->save(file));
        change();
        auto index = started();
        EXPECT_TRUE(index->loadedFromCache());
        search::LibrarySearch walk(search::Mode::ByName, QStringLiteral("abc"));
        walk.FindFiles(world.library.root());
        EXPECT_EQ(found(*index), described(walk.rows(), world.library.root())) << what;
    }
}

TEST_F(IndexCacheFile, AForeignOrDamagedCacheIsRebuiltWithoutAWord)
{
    ASSERT_TRUE(started()->save(file));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray whole = f.readAll();
    f.close();
    const QStringList expected = found(*started());
    QByteArray older = whole;
    older[8] = char(search::IndexCache::kVersion - 1);
    QByteArray flipped = whole;
    flipped[flipped.size() / 2] = char(~flipped[flipped.size() / 2]);
    const struct
    {
        const char* kind;
        QByteArray bytes;
    } cases[] = {{"an older version", older},
                 {"cut short", whole.left(whole.size() - 7)},
                 {"a byte changed", flipped},
                 {"empty", QByteArray()},
                 {"another program's file", QByteArray("not an index at all")}};
    for (const auto& c : cases) {
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes);
        f.close();
        auto index = started();
        EXPECT_FALSE(index->loadedFromCache()) << c.kind;
        EXPECT_EQ(found(*index), expected) << c.kind;
    }
}

TEST_F(IndexCacheFile, TwoProgramsSavingAtOnceLeaveAWholeFile)
{
    auto first = started();
    auto second = started();
    world.library.makeFile("cat/abc-second.txt");
    second->refresh();
    std::thread other([&] {
        for (int i = 0; i < 5; ++i)
            second->save(file);
    });
    for (int i = 0; i < 5; ++i)
        first->save(file);
    other.join();
    auto third = started();
    EXPECT_TRUE(third->loadedFromCache());
    EXPECT_EQ(found(*third), found(*second));
    EXPECT_EQ(found(*third).size(), 2);
}

class Typing : public ::testing::Test
{
protected:
    World world;
    search::SearchCommands commands{world.workspace, world.dialogs};
    // Each search of typing that ended: whether its rows were shown.
    std::vector<bool> ended;

    void SetUp() override
    {
        for (const char* file : {"cat/alpha.txt", "cat/beta.txt", "cat/alphabet.zip"})
            world.library.makeFile(QString::fromUtf8(file));
        QObject::connect(&commands.index(), &search::IndexedSearch::typedSearchEnded,
                         [this](quint64, bool used) { ended.push_back(used); });
    }

    void waitForEnded(size_t count)
    {
        while (ended.size() < count)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    QStringList shownNames()
    {
        QStringList names;
        for (const core::FileRow& row : world.workspace.searchList().rows())
            names.append(row.name);
        return names;
    }

    // Types `text` and waits until its search ended.
    void type(const QString& text)
    {
        const size_t before = ended.size();
        commands.keywordTyped(text);
        waitForEnded(before + 1);
    }
};

TEST_F(Typing, ResultsFollowTheTypingWithoutHistoryOrMessages)
{
    type(QStringLiteral("al"));
    EXPECT_EQ(shownNames(), QStringList({"alpha.txt", "alphabet.zip"}));
    EXPECT_EQ(world.workspace.status().text(2), QStringLiteral("共找到 2 个文件"));
    type(QStringLiteral("alphab"));
    EXPECT_EQ(shownNames(), QStringList("alphabet.zip"));
    type(QStringLiteral("alphabx"));
    EXPECT_EQ(shownNames(), QStringList());
    EXPECT_TRUE(world.dialogs.nothingShown());
    EXPECT_TRUE(commands.history().isEmpty());

    commands.keywordTyped(QStringLiteral("  "));
    EXPECT_EQ(world.workspace.searchList().count(), 0);
    EXPECT_EQ(world.workspace.status().text(2), QString());
    EXPECT_TRUE(world.dialogs.nothingShown()) << "typing blanks is no empty-keyword search";
}

TEST_F(Typing, TheOptionTurnsItOff)
{
    world.session.options().InstantSearch = false;
    commands.keywordTyped(QStringLiteral("alpha"));
    commands.index().waitIdle();
    QCoreApplication::processEvents();
    EXPECT_EQ(world.workspace.searchList().count(), 0);
    EXPECT_EQ(commands.keyword(), QStringLiteral("alpha"));
    commands.findButtonClick();
    EXPECT_EQ(shownNames(), QStringList({"alpha.txt", "alphabet.zip"}));
}

TEST_F(Typing, ANewerKeystrokeOrTheSearchButtonDropsAnOlderSearch)
{
    // The first search waits on the worker until the second keystroke came in.
    std::mutex mutex;
    std::condition_variable cv;
    bool typedAgain = false;
    commands.index().setBeforeTypedSearch([&](quint64 ticket) {
        if (ticket != 1)
            return;
        std::unique_lock lock(mutex);
        cv.wait(lock, [&] { return typedAgain; });
    });
    commands.keywordTyped(QStringLiteral("beta"));
    commands.keywordTyped(QStringLiteral("alpha"));
    {
        const std::lock_guard lock(mutex);
        typedAgain = true;
    }
    cv.notify_all();
    waitForEnded(2);
    EXPECT_FALSE(ended[0]) << "the older search's rows are never shown";
    EXPECT_TRUE(ended[1]);
    EXPECT_EQ(shownNames(), QStringList({"alpha.txt", "alphabet.zip"}));

    // A keystroke, then Enter: the button's search stands.
    commands.keywordTyped(QStringLiteral("beta"));
    commands.findButtonClick();
    waitForEnded(3);
    EXPECT_FALSE(ended[2]);
    EXPECT_EQ(shownNames(), QStringList("beta.txt"));
    EXPECT_EQ(commands.history(), QStringList("beta"));
}

// The scan against a plain comparison, over texts and keywords of every length and place.
TEST(FoldedScan, FindsWhatAPlainComparisonFinds)
{
    std::mt19937 random(7);
    // Every other round draws from the one-byte units only, so that the byte search sees
    // texts longer than its blocks too.
    const char16_t alphabet[] = {u'a', u'B', u'b', u'A', u'z', u'Z',      u'@',      u'`',
                                 u'[', u'{', u'.', u'-', u'中', u'\u0141', u'\u0161'};
    const auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    for (int round = 0; round < 3000; ++round) {
        const size_t letters = round % 2 == 0 ? 12 : std::size(alphabet);
        std::u16string text(random() % 100, u' ');
        for (char16_t& c : text)
            c = alphabet[random() % letters];
        std::u16string key(1 + random() % 5, u' ');
        for (char16_t& c : key)
            c = fold(alphabet[random() % letters]);
        const size_t from = text.empty() ? 0 : random() % (text.size() + 1);
        size_t expected = search::kNotFound;
        for (size_t at = from; at + key.size() <= text.size() && expected == search::kNotFound;
             ++at) {
            size_t i = 0;
            while (i < key.size() && fold(text[at + i]) == key[i])
                ++i;
            if (i == key.size())
                expected = at;
        }
        ASSERT_EQ(search::findFolded(text.data(), text.size(), from, key.data(), key.size()),
                  expected);
        // The same in bytes, for the texts without units beyond one byte.
        std::string bytes;
        std::string keyBytes;
        bool narrow = true;
        for (char16_t c : text) {
            narrow = narrow && c < 0x80;
            bytes.push_back(char(c));
        }
        for (char16_t c : key) {
            narrow = narrow && c < 0x80;
            keyBytes.push_back(char(c));
        }
        if (narrow) {
            ASSERT_EQ(search::findFolded(bytes.data(), bytes.size(), from, keyBytes.data(),
                                         keyBytes.size()),
                      expected);
        }
    }
}

} // namespace
