// Drive kinds, read-only mounts, free space and mount points, from /proc/self/mountinfo.
#include "platform/DriveInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/mount.h>

using platform::DriveOracle;
using platform::DriveType;
using platform::MountInfo;
using platform::SystemDriveOracle;

namespace {

// A file system mounted in a temporary folder for the length of one test; tests that need
// one skip where mounting is not permitted.
class ScratchMount
{
public:
    ScratchMount(const char* type, unsigned long flags, const QString& folderName = "mnt")
    {
        m_path = m_dir.path() + QLatin1Char('/') + folderName;
        QDir().mkdir(m_path);
        m_mounted = ::mount(type, QFile::encodeName(m_path).constData(), type, flags, "") == 0;
    }
    ~ScratchMount()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    QString path() const { return m_path; }
    QString outside() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_path;
    bool m_mounted = false;
};

class FakeOracle : public DriveOracle
{
public:
    MountInfo mount;
    MountInfo mountOf(const QString&) const override { return mount; }
    qint64 freeSpace(const QString&) const override { return 0; }
    bool isMountPoint(const QString&) const override { return false; }
};

} // namespace

TEST(DriveInfo, ClassifiesByFileSystemTypeThenByRemovableDevice)
{
    // Every network file system, the kernel's or a FUSE one, is a network drive, and its
    // changes are polled; so are other FUSE mounts and a virtual machine's host folders.
    const struct
    {
        const char* type;
        const char* source;
        bool removable;
        DriveType expected;
        bool polled;
    } cases[] = {
        {"iso9660", "/dev/sr0", false, DriveType::CdRom, false},
        {"udf", "/dev/sr0", true, DriveType::CdRom, false},
        {"nfs", "nas:/export", false, DriveType::Remote, true},
        {"nfs4", "nas:/export", false, DriveType::Remote, true},
        {"cifs", "//nas/share", false, DriveType::Remote, true},
        {"smb3", "//nas/share", false, DriveType::Remote, true},
        {"smbfs", "//nas/share", false, DriveType::Remote, true},
        {"9p", "share", false, DriveType::Remote, true},
        {"afs", "AFS", false, DriveType::Remote, true},
        {"ceph", "10.0.0.1:/", false, DriveType::Remote, true},
        {"glusterfs", "gl:/vol", false, DriveType::Remote, true},
        {"davfs", "https://dav.example/", false, DriveType::Remote, true},
        {"fuse.sshfs", "me@host:/srv", false, DriveType::Remote, true},
        {"fuse.rclone", "drive:", false, DriveType::Remote, true},
        {"fuse.gvfsd-fuse", "gvfsd-fuse", false, DriveType::Remote, true},
        {"fuse.s3fs", "s3fs", false, DriveType::Remote, true},
        {"fuse.davfs", "https://dav.example/", false, DriveType::Remote, true},
        {"fuse.curlftpfs", "ftp://host/", false, DriveType::Remote, true},
        {"fuse", "https://dav.example/remote.php/webdav", false, DriveType::Remote, true},
        {"fuse", "sshfs#me@host:/srv", false, DriveType::Remote, true},
        {"fuse", "bindfs#/srv/data", false, DriveType::Fixed, true},
        {"fuse.bindfs", "/srv/data", false, DriveType::Fixed, true},
        {"fuse.mergerfs", "disks", false, DriveType::Fixed, true},
        {"fuseblk", "/dev/sdb1", true, DriveType::Removable, true},
        {"fuseblk", "/dev/sda3", false, DriveType::Fixed, true},
        {"virtiofs", "host", false, DriveType::Fixed, true},
        {"vboxsf", "share", false, DriveType::Fixed, true},
        {"tmpfs", "tmpfs", false, DriveType::RamDisk, false},
        {"ramfs", "ramfs", false, DriveType::RamDisk, false},
        {"vfat", "/dev/sdb1", true, DriveType::Removable, false},
        {"ext4", "/dev/sdb1", true, DriveType::Removable, false},
        {"ext4", "/dev/sda1", false, DriveType::Fixed, false},
        {"btrfs", "/dev/sda2", false, DriveType::Fixed, false},
        {"overlay", "overlay", false, DriveType::Fixed, false},
        {"nfsd", "nfsd", false, DriveType::Fixed, false},
        {"ext4", "https://not-an-address-for-a-disk", false, DriveType::Fixed, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SystemDriveOracle::classify(c.type, c.source, c.removable), c.expected)
            << c.type << " " << c.source << (c.removable ? " removable" : "");
        EXPECT_EQ(SystemDriveOracle::changesNeedPolling(c.type, c.source), c.polled)
            << c.type << " " << c.source;
    }
}

TEST(DriveInfo, WritableUnlessCdRomOrReadOnlyMount)
{
    FakeOracle oracle;
    oracle.mount = MountInfo{"/media/cd/", "iso9660", "/dev/sr0", false, DriveType::CdRom};
    EXPECT_FALSE(oracle.isWritable("/media/cd/file"));
    oracle.mount = MountInfo{"/mnt/", "ext4", "/dev/sdb1", true, DriveType::Fixed};
    EXPECT_FALSE(oracle.isWritable("/mnt/file"));
    oracle.mount = MountInfo{"/", "ext4", "/dev/sda1", false, DriveType::Fixed};
    EXPECT_TRUE(oracle.isWritable("/file"));
    EXPECT_EQ(oracle.driveType("/file"), DriveType::Fixed);
}

TEST(DriveInfo, ParsesMountInfoLinesWithEscapesAndOptionalFields)
{
    const QByteArray text =
        "27 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw,discard\n"
        "40 27 8:17 / /media/My\\040Disk\\134x rw,nosuid shared:7 master:2 - vfat /dev/sdb1 ro\n"
        "41 27 11:0 / /media/cd ro,relatime - iso9660 /dev/sr0 ro\n"
        "42 27 0:50 /export /net/home rw - nfs4 server:/export\\040dir rw,vers=4.2\n"
        "truncated line without separator\n"
        "43 27 0:51 / /broken rw -\n"
        "44 27 0:52 / relative rw - ext4 /dev/sdc1 rw\n"
        "\n";
    std::vector<MountInfo> mounts;
    QStringList deviceNumbers;
    for (const SystemDriveOracle::MountEntry& entry : SystemDriveOracle::parseMountInfo(text)) {
        mounts.push_back(entry.mount);
        deviceNumbers << entry.deviceNumber;
    }
    ASSERT_EQ(mounts.size(), 4u);
    EXPECT_EQ(deviceNumbers, (QStringList{"254:0", "8:17", "11:0", "0:50"}));
    EXPECT_EQ(mounts[0].mountPoint, "/");
    EXPECT_EQ(mounts[0].fsType, "ext4");
    EXPECT_EQ(mounts[0].device, "/dev/vda");
    EXPECT_FALSE(mounts[0].readOnly);

    EXPECT_EQ(mounts[1].mountPoint, "/media/My Disk\\x/");
    EXPECT_EQ(mounts[1].fsType, "vfat");
    EXPECT_TRUE(mounts[1].readOnly) << "read-only through the super options";

    EXPECT_EQ(mounts[2].mountPoint, "/media/cd/");
    EXPECT_TRUE(mounts[2].readOnly);

    EXPECT_EQ(mounts[3].device, "server:/export dir");
    EXPECT_EQ(mounts[3].fsType, "nfs4");
    EXPECT_FALSE(mounts[3].readOnly) << "\"rw\" and \"vers\" are not \"ro\"";
}

TEST(DriveInfo, RemovableFlagOfAPartitionIsThatOfItsDisk)
{
    QTemporaryDir sys;
    ASSERT_TRUE(sys.isValid());
    const QString root = sys.path();
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    // Laid out as /sys is: dev/block/MAJ:MIN are links into the device folders.
    const QString stick = root + QStringLiteral("/devices/usb1/block/sdb");
    const QString disk = root + QStringLiteral("/devices/pci0/block/sda");
    ASSERT_TRUE(QDir().mkpath(stick + QStringLiteral("/sdb1")));
    ASSERT_TRUE(QDir().mkpath(disk + QStringLiteral("/sda1")));
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/dev/block")));
    write(stick + QStringLiteral("/removable"), "1\n");
    write(stick + QStringLiteral("/sdb1/partition"), "1\n");
    write(disk + QStringLiteral("/removable"), "0\n");
    write(disk + QStringLiteral("/sda1/partition"), "1\n");
    const auto link = [&](const QString& target, const char* number) {
        ASSERT_TRUE(QFile::link(target, root + QStringLiteral("/dev/block/") + number));
    };
    link(stick, "8:16");
    link(stick + QStringLiteral("/sdb1"), "8:17");
    link(disk, "8:0");
    link(disk + QStringLiteral("/sda1"), "8:1");

    EXPECT_TRUE(SystemDriveOracle::isRemovableDevice("8:16", root));
    EXPECT_TRUE(SystemDriveOracle::isRemovableDevice("8:17", root));
    EXPECT_FALSE(SystemDriveOracle::isRemovableDevice("8:0", root));
    EXPECT_FALSE(SystemDriveOracle::isRemovableDevice("8:1", root));
    EXPECT_FALSE(SystemDriveOracle::isRemovableDevice("8:99", root)) << "no such device";
    EXPECT_FALSE(SystemDriveOracle::isRemovableDevice("0:23", root)) << "no block device";
}

class SystemDriveOracleTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString folder() const { return m_dir.path(); }

    SystemDriveOracle oracle;

private:
    QTemporaryDir m_dir;
};

TEST_F(SystemDriveOracleTest, TemporaryFolderIsOnAMountThatHoldsIt)
{
    ASSERT_TRUE(QDir().mkdir(folder() + QStringLiteral("/sub")));
    const MountInfo mount = oracle.mountOf(folder() + QStringLiteral("/sub/"));
    const QString canonical = QFileInfo(folder()).canonicalFilePath() + QStringLiteral("/sub/");
    ASSERT_FALSE(mount.mountPoint.isEmpty());
    EXPECT_TRUE(mount.mountPoint.endsWith(QLatin1Char('/')));
    EXPECT_TRUE(canonical.startsWith(mount.mountPoint)) << mount.mountPoint.toStdString();
    EXPECT_FALSE(mount.fsType.isEmpty());
    if (mount.fsType == QLatin1String("tmpfs"))
        EXPECT_EQ(mount.type, DriveType::RamDisk);
    else
        EXPECT_TRUE(mount.type == DriveType::Fixed || mount.type == DriveType::Removable);
    EXPECT_FALSE(mount.readOnly);
    EXPECT_TRUE(oracle.isWritable(folder()));
    EXPECT_FALSE(oracle.isMountPoint(folder() + QStringLiteral("/sub")));
    EXPECT_GT(oracle.freeSpace(folder()), 0);
}

TEST_F(SystemDriveOracleTest, MissingPathIsOnNoDrive)
{
    const QString missing = folder() + QStringLiteral("/missing/file");
    const MountInfo mount = oracle.mountOf(missing);
    EXPECT_EQ(mount.type, DriveType::Unknown);
    EXPECT_TRUE(mount.mountPoint.isEmpty());
    EXPECT_EQ(oracle.mountOf(QString()).type, DriveType::Unknown);
    EXPECT_EQ(oracle.freeSpace(missing), -1);
    EXPECT_FALSE(oracle.isMountPoint(missing));
}

TEST_F(SystemDriveOracleTest, RootIsAMountPointAndSharedMemoryIsARamDisk)
{
    EXPECT_TRUE(oracle.isMountPoint("/"));
    EXPECT_EQ(oracle.mountOf("/").mountPoint, "/");
    if (!QFileInfo(QStringLiteral("/dev/shm")).isDir())
        GTEST_SKIP() << "no /dev/shm";
    EXPECT_EQ(oracle.driveType("/dev/shm"), DriveType::RamDisk);
    EXPECT_EQ(oracle.mountOf("/dev/shm/").mountPoint, "/dev/shm/");
}

TEST_F(SystemDriveOracleTest, LongestMountPointWinsAtAFolderBoundary)
{
    // The space in the name reaches mountinfo as "\040".
    ScratchMount ramdisk("ramfs", 0, QStringLiteral("ram disk"));
    if (!ramdisk.mounted())
        GTEST_SKIP() << "cannot mount a ramfs";
    ASSERT_TRUE(QDir().mkdir(ramdisk.path() + QStringLiteral("/inner")));
    ASSERT_TRUE(QDir().mkdir(ramdisk.outside() + QStringLiteral("/ram disk2")));
    const QString mountPoint = QFileInfo(ramdisk.path()).canonicalFilePath() + QLatin1Char('/');

    const MountInfo inner = oracle.mountOf(ramdisk.path() + QStringLiteral("/inner"));
    EXPECT_EQ(inner.mountPoint, mountPoint);
    EXPECT_EQ(inner.fsType, "ramfs");
    EXPECT_EQ(inner.type, DriveType::RamDisk);
    EXPECT_TRUE(oracle.isMountPoint(ramdisk.path()));
    EXPECT_TRUE(oracle.isMountPoint(ramdisk.path() + QLatin1Char('/')));
    EXPECT_FALSE(oracle.isMountPoint(ramdisk.path() + QStringLiteral("/inner")));

    const MountInfo sibling = oracle.mountOf(ramdisk.outside() + QStringLiteral("/ram disk2"));
    EXPECT_NE(sibling.mountPoint, mountPoint) << "\"/ram disk\" does not hold \"/ram disk2\"";
    EXPECT_NE(sibling.type, DriveType::Unknown);
}

TEST_F(SystemDriveOracleTest, ReadOnlyMountIsNotWritable)
{
    ScratchMount readOnly("tmpfs", MS_RDONLY);
    if (!readOnly.mounted())
        GTEST_SKIP() << "cannot mount a read-only tmpfs";
    const MountInfo mount = oracle.mountOf(readOnly.path());
    EXPECT_TRUE(mount.readOnly);
    EXPECT_EQ(mount.type, DriveType::RamDisk);
    EXPECT_FALSE(oracle.isWritable(readOnly.path()));
    EXPECT_TRUE(oracle.isWritable(readOnly.outside()));
}
