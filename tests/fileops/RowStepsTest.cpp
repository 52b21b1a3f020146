// The row steps the file commands share.
#include "fileops/RowSteps.h"

#include "FileOpsHelpers.h"
#include "platform/FileNames.h"

#include <gtest/gtest.h>

using testing_support::World;

TEST(RowSteps, DrainHandsOverTheTopSelectedRowUntilNoneIsLeft)
{
    World world;
    for (const char* name : {"a", "b", "c", "d", "e"})
        world.library.makeFile(QStringLiteral("cat/") + name);
    world.start();
    world.selectCategory({"cat"});
    world.selectFiles({"b", "d", "e"});
    core::FileListModel& list = world.workspace.fileList();

    QStringList seen;
    fileops::DrainSelectedRows(list, world.workspace.fileSelection(), [&](int row) {
        seen.append(list.row(row).name);
        if (list.row(row).name == "d")
            list.removeRowAt(row);
        // "b" and "e" are left as they are: the loop must still end.
    });
    EXPECT_EQ(seen, QStringList({"b", "d", "e"}));
    EXPECT_EQ(world.listedNames(), QStringList({"a", "b", "c", "e"}));
    EXPECT_TRUE(fileops_testing::selectedNames(world).isEmpty());
}

TEST(RowSteps, ImportedRowsAreAppendedAndSelectedWithTheOthers)
{
    World world;
    world.library.makeFile("cat/b");
    world.library.makeFileOfSize("cat/z", 10);
    world.start();
    world.selectCategory({"cat"});
    world.selectFiles({"z"});
    const QString dir = world.library.path("cat/");
    const platform::FileSystem& fs = platform::FileSystem::local();
    // Two files arrive: a large read-only one, and one whose name came in GBK bytes.
    const QString gbkName =
        platform::pathFromNative(testing_support::gbk(QStringLiteral("中.txt")));
    std::vector<core::FileRow> rows;
    rows.push_back(fileops::ImportedRow(fs, dir, "a", "n", "2.00 K", 2048,
                                        QDateTime(QDate(2023, 5, 6), QTime(7, 8, 10)),
                                        platform::ReadOnly | platform::Archive));
    rows.push_back(fileops::ImportedRow(fs, dir, gbkName, "", "5", 5, QDateTime(), {}));
    core::FileListModel& list = world.workspace.fileList();
    fileops::AddImportedRows(list, world.workspace.fileSelection(), std::move(rows));

    EXPECT_EQ(world.listedNames(), QStringList({"b", "z", "a", gbkName})) << "no sorting";
    EXPECT_EQ(fileops_testing::selectedNames(world), QStringList({"z", "a", gbkName}));
    // They show as the listing shows a file: the name by its caption, the attributes as
    // letters.
    EXPECT_EQ(list.index(3, 0).data().toString(), QStringLiteral("中.txt"));
    EXPECT_EQ(list.index(2, 4).data().toString(), "RA");
    // And they take their places when the list is sorted by size (largest first), then by
    // time (oldest first: the one without a time, then the one of 2023).
    world.files.filelistColumnClick(2);
    EXPECT_EQ(world.listedNames(), QStringList({"a", "z", gbkName, "b"}));
    world.files.filelistColumnClick(3);
    EXPECT_EQ(world.listedNames().mid(0, 2), QStringList({gbkName, "a"}));
}

TEST(RowSteps, TheRowOfAReplacedFileIsTheOneOfItsExactName)
{
    World world;
    world.library.makeFile("cat/A.BIN");
    world.library.makeFile("cat/a.bin");
    world.start();
    world.selectCategory({"cat"});
    core::FileListModel& list = world.workspace.fileList();
    const QString target = world.library.path("cat/a.bin");

    const int row = fileops::findRowOfFile(list.listedRows(), "a.bin", target);
    ASSERT_GE(row, 0);
    EXPECT_EQ(list.row(row).name, "a.bin");
    // Another spelling stands for the file only when it is the same file on disk.
    list.removeRowAt(row);
    EXPECT_EQ(fileops::findRowOfFile(list.listedRows(), "a.bin", target), -1);
    EXPECT_EQ(fileops::findRowOfFile(list.listedRows(), "a.bin", world.library.path("cat/A.BIN")),
              0);
}
