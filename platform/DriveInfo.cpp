#include "platform/DriveInfo.h"

#include "platform/FileNames.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

#include <cstdlib>
#include <sys/statvfs.h>

namespace platform {

namespace {

// mountinfo writes space, tab, newline and backslash in names as "\040", "\011", "\012"
// and "\134".
QByteArray unescape(const QByteArray& field)
{
    QByteArray result;
    result.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const auto isOctal = [&](qsizetype at) {
            return at < field.size() && field[at] >= '0' && field[at] <= '7';
        };
        if (field[i] == '\\' && isOctal(i + 1) && isOctal(i + 2) && isOctal(i + 3)) {
            result += char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                           (field[i + 3] - '0'));
            i += 3;
        } else {
            result += field[i];
        }
    }
    return result;
}

bool hasReadOnlyOption(const QByteArray& options)
{
    return options.split(',').contains(QByteArrayLiteral("ro"));
}

std::vector<SystemDriveOracle::MountEntry> systemMounts()
{
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return SystemDriveOracle::parseMountInfo(file.readAll());
}

} // namespace

bool DriveOracle::isWritable(const QString& path) const
{
    const MountInfo mount = mountOf(path);
    return mount.type != DriveType::CdRom && !mount.readOnly;
}

std::vector<SystemDriveOracle::MountEntry> SystemDriveOracle::parseMountInfo(const QByteArray& text)
{
    std::vector<MountEntry> mounts;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        // id, parent, major:minor, root, mount point, options, optional fields..., "-",
        // type, source, super options
        const qsizetype separator = fields.indexOf(QByteArrayLiteral("-"), 6);
        // A mount point is an absolute path; a line without one is no mount.
        if (separator < 0 || separator + 2 >= fields.size() || !fields[4].startsWith('/'))
            continue;
        MountEntry entry;
        MountInfo& mount = entry.mount;
        mount.mountPoint = withTrailingSlash(pathFromNative(unescape(fields[4])));
        mount.fsType = QString::fromUtf8(unescape(fields[separator + 1]));
        mount.device = pathFromNative(unescape(fields[separator + 2]));
        entry.deviceNumber = QString::fromLatin1(fields[2]);
        mount.readOnly = hasReadOnlyOption(fields[5]) || (separator + 3 < fields.size() &&
                                                          hasReadOnlyOption(fields[separator + 3]));
        mounts.push_back(std::move(entry));
    }
    return mounts;
}

// /sys/dev/block/MAJ:MIN leads to the device's folder; a partition's folder lies inside the
// folder of the disk it belongs to, which holds the "removable" flag.
bool SystemDriveOracle::isRemovableDevice(const QString& deviceNumber, const QString& sysRoot)
{
    if (deviceNumber.isEmpty() || deviceNumber.startsWith(QLatin1String("0:")))
        return false; // no block device behind it
    QString folder =
        QFileInfo(sysRoot + QStringLiteral("/dev/block/") + deviceNumber).canonicalFilePath();
    if (folder.isEmpty())
        return false;
    if (QFile::exists(folder + QStringLiteral("/partition")))
        folder = QFileInfo(folder).path();
    QFile removable(folder + QStringLiteral("/removable"));
    return removable.open(QIODevice::ReadOnly) && removable.readAll().trimmed() == "1";
}

MountInfo SystemDriveOracle::mountOf(const QString& path) const
{
    const QString resolved = canonicalPath(path);
    if (resolved.isEmpty())
        return {};
    // Stacked mounts on one point are listed bottom first, so the last one wins a tie.
    const QString inside = withTrailingSlash(resolved);
    MountEntry best;
    for (MountEntry& entry : systemMounts()) {
        const QString& point = entry.mount.mountPoint;
        if (inside.startsWith(point) && point.size() >= best.mount.mountPoint.size())
            best = std::move(entry);
    }
    MountInfo& mount = best.mount;
    if (!mount.mountPoint.isEmpty())
        mount.type = classify(mount.fsType, mount.device, isRemovableDevice(best.deviceNumber));
    return mount;
}

qint64 SystemDriveOracle::freeSpace(const QString& path) const
{
    struct statvfs info;
    if (path.isEmpty() || ::statvfs(nativePath(path).constData(), &info) != 0)
        return -1;
    return qint64(info.f_bavail) * qint64(info.f_frsize);
}

bool SystemDriveOracle::isMountPoint(const QString& path) const
{
    const QString resolved = canonicalPath(path);
    if (resolved.isEmpty())
        return false;
    const QString folder = withTrailingSlash(resolved);
    for (const MountEntry& entry : systemMounts())
        if (entry.mount.mountPoint == folder)
            return true;
    return false;
}

namespace {

// Network file systems of the kernel.
const QStringList& remoteKernelTypes()
{
    static const QStringList types = {
        QStringLiteral("nfs"),   QStringLiteral("nfs4"),     QStringLiteral("cifs"),
        QStringLiteral("smb3"),  QStringLiteral("smbfs"),    QStringLiteral("9p"),
        QStringLiteral("afs"),   QStringLiteral("ceph"),     QStringLiteral("glusterfs"),
        QStringLiteral("davfs"), QStringLiteral("coda"),     QStringLiteral("lustre"),
        QStringLiteral("ncpfs"), QStringLiteral("orangefs"), QStringLiteral("beegfs"),
        QStringLiteral("gpfs"),
    };
    return types;
}

// FUSE file systems that reach another machine, by the name after "fuse.".
const QStringList& remoteFuseTypes()
{
    static const QStringList types = {
        QStringLiteral("sshfs"),      QStringLiteral("rclone"),
        QStringLiteral("gvfsd-fuse"), QStringLiteral("s3fs"),
        QStringLiteral("davfs"),      QStringLiteral("davfs2"),
        QStringLiteral("curlftpfs"),  QStringLiteral("smbnetfs"),
        QStringLiteral("gcsfuse"),    QStringLiteral("goofys"),
        QStringLiteral("ceph-fuse"),  QStringLiteral("glusterfs"),
        QStringLiteral("juicefs"),    QStringLiteral("onedriver"),
        QStringLiteral("ftpfs"),      QStringLiteral("google-drive-ocamlfuse"),
        QStringLiteral("afpfs"),      QStringLiteral("webdavfs"),
        QStringLiteral("sftpfs"),     QStringLiteral("blobfuse"),
        QStringLiteral("blobfuse2"),  QStringLiteral("mountpoint-s3"),
    };
    return types;
}

// Folders a virtual machine shares from its host: the host's changes reach no inotify.
const QStringList& hostSharedTypes()
{
    static const QStringList types = {QStringLiteral("virtiofs"), QStringLiteral("vboxsf"),
                                      QStringLiteral("vmhgfs"), QStringLiteral("prl_fs")};
    return types;
}

bool isFuseType(const QString& fsType)
{
    return fsType == QLatin1String("fuse") || fsType == QLatin1String("fuseblk") ||
           fsType.startsWith(QLatin1String("fuse."));
}

// The name a FUSE mount gives its kind: "fuse.NAME", or in the old form a source "NAME#...";
// empty when it names none.
QString fuseKind(const QString& fsType, const QString& device)
{
    if (fsType.startsWith(QLatin1String("fuse.")))
        return fsType.mid(5);
    const qsizetype hash = device.indexOf(QLatin1Char('#'));
    if (hash > 0 && !device.left(hash).contains(QLatin1Char('/')))
        return device.left(hash);
    return {};
}

bool isRemoteType(const QString& fsType, const QString& device)
{
    if (remoteKernelTypes().contains(fsType))
        return true;
    if (!isFuseType(fsType))
        return false;
    const QString kind = fuseKind(fsType, device);
    if (!kind.isEmpty())
        return remoteFuseTypes().contains(kind);
    // A FUSE mount of an address (davfs2 mounts as plain "fuse" from an https:// source).
    return device.contains(QLatin1String("://"));
}

} // namespace

DriveType SystemDriveOracle::classify(const QString& fsType, const QString& device,
                                      bool removableDevice)
{
    if (fsType == QLatin1String("iso9660") || fsType == QLatin1String("udf"))
        return DriveType::CdRom;
    if (isRemoteType(fsType, device))
        return DriveType::Remote;
    if (fsType == QLatin1String("tmpfs") || fsType == QLatin1String("ramfs"))
        return DriveType::RamDisk;
    return removableDevice ? DriveType::Removable : DriveType::Fixed;
}

bool SystemDriveOracle::changesNeedPolling(const QString& fsType, const QString& device)
{
    return isRemoteType(fsType, device) || isFuseType(fsType) || hostSharedTypes().contains(fsType);
}

} // namespace platform
