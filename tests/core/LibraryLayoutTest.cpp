// Where the library lives, its special folders, names and the read-only state.
#include "core/LibraryLayout.h"
#include "support/TempLibrary.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using core::LibraryLayout;

namespace {

// A drive oracle that says whatever the test needs.
class FakeDrives : public platform::DriveOracle
{
public:
    platform::MountInfo info;
    platform::MountInfo mountOf(const QString&) const override { return info; }
    qint64 freeSpace(const QString&) const override { return 0; }
    bool isMountPoint(const QString&) const override { return false; }
};

} // namespace

TEST(LibraryLayout, DerivesEveryPathFromTheProgramFolder)
{
    const LibraryLayout layout("/opt/quillet", "/opt/quillet/quillet");
    EXPECT_EQ(layout.programDir(), "/opt/quillet/");
    EXPECT_EQ(layout.docDir(), "/opt/quillet/filecomm/");
    EXPECT_EQ(layout.recycleBoxDir(), "/opt/quillet/oprecy/");
    EXPECT_EQ(layout.transitDir(), "/opt/quillet/tempdir/");
    EXPECT_EQ(layout.helpFilePath(), "/opt/quillet/quillet.html");
}

TEST(LibraryLayout, CreatesTheSpecialFoldersAndReportsTheSystemErrorWhenItCannot)
{
    testing_support::TempLibrary lib(false);
    lib.makeFile("tempdir", "a file in the way");
    lib.makeDir("filecomm");
    lib.makeFile("filecomm/doc.txt", "kept");

    const QStringList errors = lib.layout().createSpecialFolders(platform::FileSystem::local());
    EXPECT_TRUE(QFileInfo(lib.path("oprecy")).isDir());
    EXPECT_EQ(lib.read("tempdir"), "a file in the way");
    EXPECT_EQ(lib.read("filecomm/doc.txt"), "kept");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.first(), qt_error_string(EEXIST));
}

TEST(LibraryLayout, ReservedAndHiddenNames)
{
    for (const QString name : {"oprecy", "OPRECY", "TempDir", "filecomm"})
        EXPECT_TRUE(LibraryLayout::isReservedCategoryName(name)) << name.toStdString();
    EXPECT_FALSE(LibraryLayout::isReservedCategoryName("language"));
    EXPECT_FALSE(LibraryLayout::isReservedCategoryName("oprecy2"));
    EXPECT_TRUE(LibraryLayout::hiddenFolderNames().contains("language"));
    EXPECT_FALSE(LibraryLayout::hiddenFolderNames().contains("OPRECY"));
}

TEST(LibraryLayout, OnlyTheNineForbiddenCharactersAreInvalidInNames)
{
    for (const QChar c : QStringLiteral("\"*/:<>?\\|"))
        EXPECT_TRUE(core::HasInvalidNameChar(QStringLiteral("ab") + c)) << QString(c).toStdString();
    EXPECT_FALSE(core::HasInvalidNameChar(QStringLiteral("网络工具 (v2) [new] & more!")));
    EXPECT_FALSE(core::HasInvalidNameChar(QStringLiteral("tab\there")));
    EXPECT_FALSE(core::HasInvalidNameChar(QStringLiteral("全角：？")));
}

TEST(LibraryLayout, FileSizesAre64BitAndMissingFilesGiveMinusOne)
{
    testing_support::TempLibrary lib;
    lib.makeFileOfSize("big.iso", 5'000'000'000LL); // sparse
    EXPECT_EQ(core::FileSizeOf(lib.path("big.iso")), 5'000'000'000LL);
    EXPECT_EQ(core::FileSizeOf(lib.path("nothing.bin")), -1);
}

TEST(LibraryLayout, OnlyACdRomOrAReadOnlyMountMakesTheLibraryReadOnly)
{
    FakeDrives drives;
    drives.info.type = platform::DriveType::CdRom;
    EXPECT_TRUE(core::IsOnCdRom(drives, "/media/cdrom/"));
    EXPECT_FALSE(core::isLibraryWritable(drives, "/media/cdrom/"));

    drives.info.type = platform::DriveType::Fixed;
    drives.info.readOnly = true;
    EXPECT_FALSE(core::IsOnCdRom(drives, "/mnt/ro/"));
    EXPECT_FALSE(core::isLibraryWritable(drives, "/mnt/ro/"));

    for (auto type : {platform::DriveType::Remote, platform::DriveType::Removable,
                      platform::DriveType::RamDisk, platform::DriveType::Unknown}) {
        drives.info = {};
        drives.info.type = type;
        EXPECT_TRUE(core::isLibraryWritable(drives, "/x/"));
    }
}
