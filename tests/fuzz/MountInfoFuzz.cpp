// The reader of the mount table (/proc/self/mountinfo) on any bytes: every mount it gives has
// an absolute mount point ending in "/", no more mounts than lines; and a table written back
// from those mounts (space, tab, line feed and backslash escaped as the kernel does) reads as
// the same mounts, byte for byte.
#include "FuzzInput.h"
#include "platform/DriveInfo.h"
#include "platform/FileNames.h"

using platform::SystemDriveOracle;

namespace {

QByteArray escaped(const QByteArray& field)
{
    QByteArray out;
    for (const char c : field) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\')
            out += '\\' + QByteArray::number(uchar(c), 8).rightJustified(3, '0');
        else
            out += c;
    }
    return out;
}

bool same(const SystemDriveOracle::MountEntry& a, const SystemDriveOracle::MountEntry& b)
{
    return a.deviceNumber == b.deviceNumber && a.mount.mountPoint == b.mount.mountPoint &&
           a.mount.fsType == b.mount.fsType && a.mount.device == b.mount.device &&
           a.mount.readOnly == b.mount.readOnly;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray table(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto mounts = SystemDriveOracle::parseMountInfo(table);
    FUZZ_CHECK(qsizetype(mounts.size()) <= table.count('\n') + 1);

    QByteArray written;
    for (const SystemDriveOracle::MountEntry& entry : mounts) {
        const platform::MountInfo& mount = entry.mount;
        FUZZ_CHECK(mount.mountPoint.startsWith(u'/') && mount.mountPoint.endsWith(u'/'));
        written += "36 35 " + entry.deviceNumber.toLatin1() + " / " +
                   escaped(platform::nativePath(mount.mountPoint)) +
                   (mount.readOnly ? " ro,relatime shared:1 - " : " rw,relatime shared:1 - ") +
                   escaped(mount.fsType.toUtf8()) + ' ' +
                   escaped(platform::nativePath(mount.device)) + " rw,errors=continue\n";
    }
    const auto again = SystemDriveOracle::parseMountInfo(written);
    FUZZ_CHECK(again.size() == mounts.size());
    for (size_t i = 0; i < mounts.size(); ++i)
        FUZZ_CHECK(same(again[i], mounts[i]));
    return 0;
}
