#pragma once
// What kind of medium holds a path, whether it is mounted read-only, and its free space.
// Commands ask a DriveOracle so that tests can stand in for a CD-ROM, a network drive or a
// floppy that is not ready.

#include <QByteArray>
#include <QString>

#include <vector>

namespace platform {

enum class DriveType
{
    Unknown,   // the path does not exist or is on no mount
    Removable, // a block device whose /sys/block/<dev>/removable is 1
    Fixed,
    Remote,  // a network file system, kernel or FUSE (see SystemDriveOracle::classify)
    CdRom,   // iso9660, udf
    RamDisk, // tmpfs, ramfs
};

struct MountInfo
{
    QString mountPoint; // ends in "/"
    QString fsType;
    QString device; // the mount source
    bool readOnly = false;
    DriveType type = DriveType::Unknown;
};

class DriveOracle
{
public:
    virtual ~DriveOracle() = default;
    // The mount that holds `path` (the longest mount point that is a prefix of its canonical
    // form); type Unknown and an empty mount point when the path does not exist.
    virtual MountInfo mountOf(const QString& path) const = 0;
    // Free bytes available to the user at `path` (f_bavail * f_frsize), -1 on failure.
    virtual qint64 freeSpace(const QString& path) const = 0;
    // True when `path` is itself a mount point (the floppy folder is "ready" only then).
    virtual bool isMountPoint(const QString& path) const = 0;

    DriveType driveType(const QString& path) const { return mountOf(path).type; }
    // False on a CD-ROM or on a mount that is read-only.
    bool isWritable(const QString& path) const;
};

// The oracle of the running system: /proc/self/mountinfo, /sys/dev/block and statvfs.
class SystemDriveOracle : public DriveOracle
{
public:
    MountInfo mountOf(const QString& path) const override;
    qint64 freeSpace(const QString& path) const override;
    bool isMountPoint(const QString& path) const override;

    // The classification rule on its own, for a file-system type and a mount source. The type
    // decides: a network file system, the kernel's or a FUSE one ("fuse.sshfs", "fuse.rclone",
    // "fuse.gvfsd-fuse", "fuse.s3fs", davfs...), is Remote; a FUSE mount that names no type of
    // its own ("fuse") is told by its source: an address ("https://...") or the old
    // "type#source" form.
    static DriveType classify(const QString& fsType, const QString& device, bool removableDevice);
    // True when inotify does not report every change on such a file system: the changes
    // another machine makes on a network file system, or that reach a FUSE mount or a shared
    // folder of a virtual machine by another path. Every Remote type is among them.
    static bool changesNeedPolling(const QString& fsType, const QString& device);
    // One line of /proc/self/mountinfo: the mount and the "major:minor" of its device.
    struct MountEntry
    {
        MountInfo mount; // `type` is left Unknown: it needs the device's removable flag
        QString deviceNumber;
    };
    // The mounts listed in the text of /proc/self/mountinfo, in its order.
    static std::vector<MountEntry> parseMountInfo(const QByteArray& text);
    // Whether the block device "major:minor" is removable, from <sysRoot>/dev/block/MAJ:MIN
    // (a partition's flag is that of its disk).
    static bool isRemovableDevice(const QString& deviceNumber,
                                  const QString& sysRoot = QStringLiteral("/sys"));
};

} // namespace platform
