// The file list: formats, listing, sorting, selection feedback.
#include "core/FileFormats.h"
#include "core/FileListing.h"
#include "notes/NotesKeeper.h"
#include "platform/FileNames.h"
#include "platform/TextCodec.h"
#include "support/World.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

using testing_support::World;

namespace {

void setModified(const QString& path, const QDateTime& time)
{
    const QByteArray p = QFile::encodeName(path);
    utimbuf times{time.toSecsSinceEpoch(), time.toSecsSinceEpoch()};
    ASSERT_EQ(utime(p.constData(), &times), 0);
}

class FileList : public ::testing::Test
{
protected:
    World world;
    core::FileListModel& list = world.workspace.fileList();
    core::StatusPanels& status = world.workspace.status();

    QStringList column(int c) const
    {
        QStringList texts;
        for (int r = 0; r < list.rowCount(); ++r)
            texts.append(list.index(r, c).data().toString());
        return texts;
    }
};

} // namespace

TEST(FileFormats, SizesTimesAndAttributes)
{
    EXPECT_EQ(core::SizeText(1536), "1.50KB");
    EXPECT_EQ(core::SizeText(1024), "1.00KB");
    EXPECT_EQ(core::SizeText(1023), "1.00KB");
    EXPECT_EQ(core::SizeText(5), "0.00KB");
    EXPECT_EQ(core::SizeText(0), "0.00KB");
    EXPECT_EQ(core::SizeText(5'000'000'000LL), "4882812.50KB") << "no thousands separators";
    EXPECT_EQ(core::ImportSizeText(2048), "2.00 K");
    EXPECT_EQ(core::ImportSizeText(-1), "未知");
    EXPECT_EQ(core::SizeTextLong(12646), "12.35KB (12,646 字节)");
    EXPECT_EQ(core::SizeTextLong(5), "0.00KB (5 字节)");

    const QDateTime midnight(QDate(2024, 3, 9), QTime(0, 0));
    const QDateTime afternoon(QDate(2024, 3, 9), QTime(14, 5, 6));
    EXPECT_FALSE(core::DateText(midnight).contains("00:00")) << "no time at exactly midnight";
    EXPECT_TRUE(core::DateText(afternoon).startsWith(core::DateText(midnight) + ' '));
    EXPECT_TRUE(core::DateText(afternoon).contains("14"));

    using namespace platform;
    EXPECT_EQ(core::AttrText(ReadOnly | Archive | System | Hidden), "RASH");
    EXPECT_EQ(core::AttrText(Hidden | ReadOnly), "RH");
    EXPECT_EQ(core::AttrText(0), "");
}

TEST_F(FileList, ListsFilesWithTheirNotesButNeverFoldersOrTheNotesFile)
{
    world.library.makeDir("cat/sub");
    world.library.makeFile("cat/tool.zip", QByteArray(1536, 'x'));
    world.library.makeFile("cat/.hidden");
    world.library.makeFile("cat/ZZFDAT.NOD", "[fileinfo]\r\n");
    world.library.writeNotes("cat/", {{"TOOL.ZIP", QStringLiteral("压缩包")}});
    const bool flags = platform::FileSystem::local()
                           .setAttributes(world.library.path("cat/tool.zip"), platform::Archive)
                           .ok();
    world.start();
    world.selectCategory({"cat"});

    EXPECT_EQ(world.listedNames(), QStringList({".hidden", "tool.zip"}));
    // What a row leaves for later is there when the list shows it.
    const int toolRow = world.rowOf("tool.zip");
    EXPECT_EQ(list.data(list.index(toolRow, 2)).toString(), "1.50KB");
    EXPECT_FALSE(list.data(list.index(toolRow, 3)).toString().isEmpty());
    if (flags) {
        EXPECT_EQ(list.data(list.index(toolRow, 4)).toString(), "A");
    }
    const core::FileRow& tool = list.row(world.rowOf("tool.zip"));
    EXPECT_EQ(tool.note, QStringLiteral("压缩包"));
    EXPECT_EQ(tool.sizeText, "1.50KB");
    EXPECT_EQ(tool.size, 1536);
    EXPECT_EQ(list.row(world.rowOf(".hidden")).attrText, "H");
    EXPECT_EQ(list.headerData(3, Qt::Horizontal).toString(), "修改时间");
    EXPECT_EQ(list.data(list.index(0, 2), Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
              Qt::AlignRight);
}

TEST_F(FileList, ANotesFileFromWindowsWithCrLineEndsAndQuotesListsItsNotesAndStaysSo)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        world.library.makeFile(QStringLiteral("cat/") + QLatin1String(name));
    const QByteArray windows = "[fileinfo]\ra.txt=\"Best tool\"\r" +
                               testing_support::gbk(QStringLiteral("b.txt = 中文注释")) +
                               "\r;c.txt=commented out\r";
    world.library.makeFile("cat/zzfdat.nod", windows);
    world.start();
    world.selectCategory({"cat"});
    const auto noteOf = [&](const char* name) { return list.row(world.rowOf(name)).note; };
    EXPECT_EQ(noteOf("a.txt"), "Best tool");
    EXPECT_EQ(noteOf("b.txt"), QStringLiteral("中文注释"));
    EXPECT_EQ(noteOf("c.txt"), "");

    // The next note joins the one section, with the file's own line ends, as it is shown.
    notes::NotesKeeper::setNote(world.session.currentDir(), "c.txt", " new ");
    EXPECT_EQ(world.library.read("cat/zzfdat.nod"), windows + "c.txt= new \r");
    world.files.flistrefClick();
    EXPECT_EQ(noteOf("c.txt"), " new ");
    EXPECT_EQ(noteOf("a.txt"), "Best tool");
}

TEST_F(FileList, AFolderWithOnlyNotesAndSubfoldersCountsNoFiles)
{
    world.library.makeDir("cat/sub");
    world.library.makeFile("cat/Zzfdat.nod");
    world.start();
    world.selectCategory({"cat"});
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(status.text(1), "共0个文件");
}

TEST_F(FileList, RefreshCountsWithoutTheLeadingWordAndKeepsTheSortDirection)
{
    for (const char* name : {"b.txt", "a.txt", "c.txt"})
        world.library.makeFile(QStringLiteral("cat/") + name);
    world.start();
    world.selectCategory({"cat"});
    EXPECT_EQ(column(0), QStringList({"a.txt", "b.txt", "c.txt"})) << "sorted by name at first";
    world.files.filelistColumnClick(0);
    world.library.makeFile("cat/d.txt");
    world.files.flistrefClick();
    EXPECT_EQ(status.text(1), "4个文件");
    EXPECT_EQ(column(0), QStringList({"d.txt", "c.txt", "b.txt", "a.txt"}));
    world.selectSystemNode(world.workspace.systemTree().transitIndex());
    world.selectCategory({"cat"});
    EXPECT_EQ(status.text(1), "共4个文件");

    world.selectSystemNode(world.workspace.systemTree().rootIndex());
    world.files.flistrefClick();
    EXPECT_EQ(list.count(), 0) << "the root shows no files, also after a refresh";
}

TEST_F(FileList, HeaderClicksFlipTheDirectionEveryTime)
{
    world.library.makeFile("cat/small.bin", QByteArray(10, 'x'));
    world.library.makeFile("cat/large.bin", QByteArray(3000, 'x'));
    world.library.makeFile("cat/medium.bin", QByteArray(2000, 'x'));
    world.start();
    world.selectCategory({"cat"});

    world.files.filelistColumnClick(2);
    EXPECT_EQ(column(0), QStringList({"large.bin", "medium.bin", "small.bin"}));
    world.files.filelistColumnClick(2);
    EXPECT_EQ(column(0), QStringList({"small.bin", "medium.bin", "large.bin"}));
    world.files.filelistColumnClick(0);
    EXPECT_EQ(column(0), QStringList({"small.bin", "medium.bin", "large.bin"}))
        << "name, descending";
}

TEST_F(FileList, TextColumnsCompareGbkBytesFoldingOnlyAsciiLetters)
{
    // GBK orders 啊 (B0A1) before 中 (D6D0), though Unicode puts 中 (4E2D) first.
    for (const QString& name :
         {QStringLiteral("中.txt"), QStringLiteral("啊.txt"), QStringLiteral("Beta.txt"),
          QStringLiteral("alpha.txt"), QStringLiteral("ALPHA2.txt"), QStringLiteral("_x.txt")})
        world.library.makeFile("cat/" + name);
    world.start();
    world.selectCategory({"cat"});
    EXPECT_EQ(column(0), QStringList({"alpha.txt", "ALPHA2.txt", "Beta.txt", "_x.txt",
                                      QStringLiteral("啊.txt"), QStringLiteral("中.txt")}));
}

TEST_F(FileList, NamesOfEveryKindOfCharacterSortByTheirGb18030Bytes)
{
    // Characters of one, two and four bytes in GB18030, one beyond the Basic Multilingual
    // Plane, and two whose second byte is the byte of a letter ("癮" ends in that of "a").
    const QStringList names = {QStringLiteral("癮b.txt"),    QStringLiteral("癆a.txt"),
                               QStringLiteral("é.txt"),      QStringLiteral("€.txt"),
                               QStringLiteral("\u0080.txt"), QStringLiteral("😀.txt"),
                               QStringLiteral("ｚ.txt"),     QStringLiteral("Ω.txt"),
                               QStringLiteral("Z.txt"),      QStringLiteral("\uFFFD.txt")};
    for (const QString& name : names)
        world.library.makeFile("cat/" + name);
    world.start();
    world.selectCategory({"cat"});
    QStringList expected = names;
    const auto key = [](const QString& text) {
        QByteArray bytes = platform::text::encode(text, platform::TextEncoding::Gb18030);
        for (char& c : bytes)
            c = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
        return bytes;
    };
    std::sort(expected.begin(), expected.end(),
              [&](const QString& a, const QString& b) { return key(a) < key(b); });
    EXPECT_EQ(column(0), expected);
}

TEST_F(FileList, TheDateColumnSortsAsDateTimes)
{
    world.library.makeFile("cat/new.txt");
    world.library.makeFile("cat/old.txt");
    world.library.makeFile("cat/mid.txt");
    setModified(world.library.path("cat/new.txt"), QDateTime(QDate(2024, 12, 1), QTime(9, 0)));
    setModified(world.library.path("cat/old.txt"), QDateTime(QDate(2003, 1, 2), QTime(23, 0)));
    setModified(world.library.path("cat/mid.txt"), QDateTime(QDate(2010, 6, 5), QTime(1, 0)));
    world.start();
    world.selectCategory({"cat"});
    world.files.filelistColumnClick(3); // descending first
    EXPECT_EQ(column(0), QStringList({"new.txt", "mid.txt", "old.txt"}));
}

TEST_F(FileList, SortingKeepsTheSelectionOnItsRows)
{
    for (const char* name : {"a", "b", "c", "d"})
        world.library.makeFile(QStringLiteral("cat/") + name);
    world.start();
    world.selectCategory({"cat"});
    world.selectFiles({"b", "d"});
    world.files.filelistColumnClick(0);
    QStringList selected;
    for (int row : core::Workspace::selectedRows(world.workspace.fileSelection()))
        selected.append(list.row(row).name);
    EXPECT_EQ(selected, QStringList({"d", "b"}));
}

TEST_F(FileList, SelectAllAndInvertActOnTheListOfTheShownPage)
{
    for (const char* name : {"a", "b", "c"})
        world.library.makeFile(QStringLiteral("cat/") + name);
    world.start();
    EXPECT_FALSE(world.files.t201Click()) << "nothing while the root is selected";
    world.selectCategory({"cat"});
    world.selectFiles({"b"});
    EXPECT_TRUE(world.files.t202Click());
    EXPECT_EQ(core::Workspace::selectedRows(world.workspace.fileSelection()),
              (std::vector<int>{0, 2}));
    EXPECT_EQ(status.text(2), "共选取了2个文件");
    EXPECT_TRUE(world.files.t201Click());
    EXPECT_EQ(status.text(2), "共选取了3个文件");

    world.workspace.setPage(core::Workspace::Page::Search);
    core::FileRow row;
    row.name = "x";
    world.workspace.searchList().appendRow(row);
    EXPECT_FALSE(world.files.t201Click()) << "the search list takes the command, not the focus";
    EXPECT_EQ(core::Workspace::selectedRows(world.workspace.searchSelection()),
              (std::vector<int>{0}));
}

TEST_F(FileList, SelectionFeedbackCountsMarksDocumentsAndFillsTheNoteEditor)
{
    world.library.makeFile("cat/doc.txt");
    world.library.makeFile("cat/plain.txt");
    world.library.makeFile("filecomm/doc.txt.txt", "details");
    world.library.writeNotes("cat/", {{"doc.txt", "first note"}, {"plain.txt", "second"}});
    world.start();
    world.selectCategory({"cat"});

    world.selectFiles({"doc.txt"});
    EXPECT_EQ(status.text(2), "共选取了1个文件");
    EXPECT_EQ(status.text(3), "此文件有详细文档");
    EXPECT_EQ(world.workspace.topEditText(), "first note");

    world.workspace.setTopEditText("typed but not saved");
    world.selectFiles({"plain.txt"});
    EXPECT_EQ(status.text(3), "");
    EXPECT_EQ(world.workspace.topEditText(), "second");

    // Deselecting a row marks that row.
    world.workspace.fileSelection().select(list.index(world.rowOf("doc.txt"), 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    world.workspace.fileSelection().select(list.index(world.rowOf("doc.txt"), 0),
                                           QItemSelectionModel::Deselect |
                                               QItemSelectionModel::Rows);
    EXPECT_EQ(status.text(2), "共选取了1个文件");
    EXPECT_EQ(status.text(3), "此文件有详细文档");

    world.selectSystemNode(world.workspace.systemTree().rootIndex());
    EXPECT_EQ(world.workspace.topEditText(), "");
    EXPECT_EQ(status.text(3), "");
}

TEST(FileListing, TenThousandFilesNeedOneReadOfTheNotes)
{
    testing_support::TempLibrary lib;
    QList<std::pair<QString, QString>> notes;
    for (int i = 0; i < 2000; ++i) {
        lib.makeFile(QStringLiteral("cat/文件%1.zip").arg(i));
        notes.append({QStringLiteral("文件%1.zip").arg(i), QStringLiteral("注释%1").arg(i)});
    }
    lib.writeNotes("cat/", notes);
    const auto rows = core::ListCategoryFiles(platform::FileSystem::local(), lib.path("cat/"),
                                              notes::NotesFile::open(lib.path("cat/")).readAll());
    ASSERT_EQ(rows.size(), 2000u);
    for (const core::FileRow& row : rows)
        EXPECT_EQ(row.note, QStringLiteral("注释") + row.name.mid(2).chopped(4));
}

TEST(FileListing, EveryRowShowsTheNoteTheNotesStoreReads)
{
    using testing_support::gbk;
    static const char junkBytes[] = "\x00\xFF\x81\r\x80=\x00\n\xFE[fileinfo\x01\r";
    static const char utf16Bytes[] =
        "\xFF\xFE[\0f\0i\0l\0e\0i\0n\0f\0o\0]\0\r\0a\0.\0t\0x\0t\0=\0u\0\r\0";
    const QByteArray junk(junkBytes, sizeof junkBytes - 1);
    const QByteArray files[] = {
        gbk(QStringLiteral("[fileinfo]\ra.txt=one\rB.TXT= two \r\r;c.txt=hidden\r")),
        gbk(QStringLiteral("[fileinfo]\na.txt = \"quoted\" \nb.txt='single'\nc.txt=\"open\n")),
        gbk(QStringLiteral("[fileinfo]\r\na.txt=first\r\nA.TXT=other\r\na.txt=second\r\n")),
        gbk(QStringLiteral(
            "[FileInfo]\r\n 中.txt =中文 \r\n[x]\r\nb.txt=no\r\n[fileinfo]\r\nb.txt=yes")),
        gbk(QStringLiteral("[fileinfo]\r\n旧名.txt=GBK 名字\r\nc.txt=\"\"\r\nb.txt=a=b\r\n")),
        "\xEF\xBB\xBF[fileinfo]\n\xE4\xB8\xAD.txt=\xE4\xB8\xAD\r\n", // UTF-8 with its mark
        "[fileinfo]\r\n" + junk + "\r\na.txt=after junk\r\nb.txt=\x81\x30\xB0\xA1\r\n",
        QByteArray(utf16Bytes, sizeof utf16Bytes - 1), // UTF-16 with CR line ends
        "[fileinfo]\r\nc.txt=" + QByteArray(3000, 'x') + "\r\n",
    };
    const QString names[] = {"a.txt", "b.txt", "c.txt", QStringLiteral("中.txt"),
                             platform::pathFromNative(gbk(QStringLiteral("旧名.txt")))};
    for (const QByteArray& notes : files) {
        testing_support::TempLibrary lib;
        for (const QString& name : names)
            lib.makeFile("cat/" + name);
        lib.makeFile("cat/zzfdat.nod", notes);
        const notes::NotesFile store = notes::NotesFile::open(lib.path("cat/"));
        const core::FileRows rows = core::listCategoryRows(lib.path("cat/"));
        ASSERT_EQ(rows.size(), std::size(names));
        for (size_t i = 0; i < rows.size(); ++i) {
            const core::FileRow row = rows.row(i, false);
            EXPECT_EQ(row.note, store.readNote(row.caption))
                << row.caption.toStdString() << " in " << notes.left(60).toStdString();
        }
        // A name that is not UTF-8 is removed by its bytes.
        ::unlink(platform::nativePath(lib.path("cat/" + names[4])).constData());
    }
}

TEST(FileListing, PartsOfAListJoinWholeInTheirOrderOrInTheOrderGiven)
{
    // Parts of a long list: two with the same folders in the same places, one with others in
    // other places; notes too long for a row's record, names kept as text only.
    const std::vector<QStringList> folders = {{"/a/", "/b/"}, {"/a/", "/b/"}, {"/c/", "/a/"}};
    const auto makeParts = [&] {
        std::vector<core::FileRows> parts(folders.size());
        for (size_t p = 0; p < parts.size(); ++p) {
            for (const QString& folder : folders[p])
                parts[p].addFolder(folder);
            for (int i = 0; i < 40000; ++i) {
                core::FileRow row;
                row.name = row.caption = QStringLiteral("f%1-%2.txt").arg(p).arg(i);
                if (i % 10000 == 9)
                    row.name = row.caption = QChar(0xD800) + row.name; // no bytes spell it
                row.note = i % 10000 == 7 ? QString(70000, u'x') : QStringLiteral("n%1").arg(i);
                row.folder = folders[p][i % 2];
                row.size = i;
                parts[p].add(row);
            }
        }
        return parts;
    };
    const auto described = [](const core::FileRows& rows, size_t i) {
        return rows.folder(i) + rows.name(i) + u'|' + rows.note(i).left(4) + u'|' +
               QString::number(rows.note(i).size()) + u'|' + QString::number(rows.size(i));
    };
    std::vector<core::FileRows> parts = makeParts();
    std::vector<QString> inTurn;
    for (const core::FileRows& part : parts) {
        for (size_t i = 0; i < part.size(); ++i)
            inTurn.push_back(described(part, i));
    }
    std::vector<int> order(inTurn.size());
    for (size_t k = 0; k < order.size(); ++k)
        order[k] = int((k * 7919) % order.size()); // every row once, all over the list
    for (const bool ordered : {false, true}) {
        std::vector<core::FileRows> joining = makeParts();
        const core::FileRows joined = core::FileRows::joined(joining, ordered ? &order : nullptr);
        ASSERT_EQ(joined.size(), inTurn.size());
        for (size_t k = 0; k < joined.size(); ++k) {
            ASSERT_EQ(described(joined, k), inTurn[ordered ? size_t(order[k]) : k])
                << "row " << k << (ordered ? " in the order given" : " in turn");
        }
    }
}

TEST(FileFormats, DatesReadAsTheLocaleWritesThem)
{
    const QDateTime times[] = {QDateTime(QDate(2003, 1, 2), QTime(3, 4, 6)),
                               QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58)),
                               QDateTime(QDate(2024, 7, 15), QTime(12, 0, 0)),
                               QDateTime(QDate(2024, 7, 15), QTime(0, 0, 0))};
    for (const char* name : {"C", "zh_CN", "zh_TW", "en_US", "en_GB", "de_DE", "fr_FR", "ja_JP",
                             "ko_KR", "ru_RU", "ar_EG", "hi_IN", "fa_IR", "th_TH"}) {
        const QLocale locale(QString::fromLatin1(name));
        const core::DateFormatter formatter(locale);
        QString timeFormat = locale.timeFormat(QLocale::LongFormat);
        timeFormat.remove(u't');
        timeFormat = timeFormat.trimmed();
        for (const QDateTime& time : times) {
            QString expected =
                locale.toString(time.date(), locale.dateFormat(QLocale::ShortFormat));
            if (time.time() != QTime(0, 0))
                expected += u' ' + locale.toString(time.time(), timeFormat);
            EXPECT_EQ(formatter.text(time), expected) << name;
        }
    }
}

TEST(FileFormats, SizesReadAsTheFloatingPointTextWouldWriteThem)
{
    const QString point = QLocale::system().decimalPoint();
    const auto expected = [&](qint64 size) {
        return QString::number(double(size) / 1024.0, 'f', 2).replace(u'.', point);
    };
    std::vector<qint64> sizes = {0,
                                 1,
                                 5,
                                 128,
                                 384,
                                 1023,
                                 1024,
                                 1152,
                                 1536,
                                 2047,
                                 2048,
                                 (qint64(1) << 31),
                                 (qint64(1) << 40) + 128,
                                 -5,
                                 -1536};
    QRandomGenerator random(11);
    for (int i = 0; i < 20000; ++i)
        sizes.push_back(qint64(random.bounded(1u << 30)) * (i % 7 + 1));
    for (const qint64 size : sizes)
        ASSERT_EQ(core::KilobyteNumber(size), expected(size)) << size;
}
