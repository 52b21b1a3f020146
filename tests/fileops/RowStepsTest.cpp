// The row steps the file commands share.
#include "fileops/RowSteps.h"

#include "FileOpsHelpers.h"

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
    world.library.makeFile("cat/z");
    world.start();
    world.selectCategory({"cat"});
    world.selectFiles({"z"});
    const QString dir = world.library.path("cat/");
    const QDateTime time(QDate(2023, 5, 6), QTime(7, 8, 10));

    fileops::AddImportedRow(world.workspace.fileList(), world.workspace.fileSelection(),
                            fileops::ImportedRow(platform::FileSystem::local(), dir, "a", "n", "2.00 K", 2048, time,
                                                 platform::ReadOnly | platform::Archive));
    EXPECT_EQ(world.listedNames(), QStringList({"b", "z", "a"})) << "no sorting";
    EXPECT_EQ(fileops_testing::selectedNames(world), QStringList({"z", "a"}));
    const core::FileRow& row = world.workspace.fileList().row(2);
    EXPECT_EQ(row.folder, dir);
    EXPECT_EQ(row.size, 2048);
    EXPECT_EQ(row.modifiedMs, time.toMSecsSinceEpoch());
    EXPECT_EQ(row.attrText, "RA");
    EXPECT_EQ(row.sizeText, "2.00 K");
}

TEST(RowSteps, TheRowOfAReplacedFileIsTheOneOfItsExactName)
{
    World world;
    world.library.makeFile("cat/A.BIN");
    world.library.makeFile("cat/a.bin");
    world.start();
    world.selectCategory({"cat"});
    const auto& rows = world.workspace.fileList().rows();
    const QString target = world.library.path("cat/a.bin");

    const int row = fileops::findRowOfFile(rows, "a.bin", target);
    ASSERT_GE(row, 0);
    EXPECT_EQ(rows[size_t(row)].name, "a.bin");
    // Another spelling stands for the file only when it is the same file on disk.
    std::vector<core::FileRow> upperOnly{rows[size_t(world.rowOf("A.BIN"))]};
    EXPECT_EQ(fileops::findRowOfFile(upperOnly, "a.bin", target), -1);
    EXPECT_EQ(fileops::findRowOfFile(upperOnly, "a.bin", world.library.path("cat/A.BIN")), 0);
}
