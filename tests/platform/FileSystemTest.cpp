// Listings, no-replace moves (also between file systems), copies that keep metadata,
// read-only deletes and the R/A/S/H attributes, on real temporary folders.
#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <map>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

using platform::Attributes;
using platform::DirEntry;
using platform::FileSystem;
using platform::FsResult;

namespace {

QByteArray enc(const QString& path)
{
    return QFile::encodeName(path);
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("<unreadable>");
    return file.readAll();
}

// Content that is not all one byte, a little over one copy buffer long.
QByteArray patternBytes(int size, char seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 31 + seed) % 251);
    return bytes;
}

// Takes from the calling thread, for its lifetime, the rights by which an administrator reads
// any folder, so that a folder without read permission cannot be read whoever runs the test.
class WithoutReadingRights
{
public:
    WithoutReadingRights()
    {
        EXPECT_EQ(::syscall(SYS_capget, &m_header, m_saved), 0);
        __user_cap_data_struct fewer[2] = {m_saved[0], m_saved[1]};
        for (const int right : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
            fewer[right / 32].effective &= ~(1u << (right % 32));
        EXPECT_EQ(::syscall(SYS_capset, &m_header, fewer), 0);
    }
    ~WithoutReadingRights() { ::syscall(SYS_capset, &m_header, m_saved); }
    WithoutReadingRights(const WithoutReadingRights&) = delete;
    WithoutReadingRights& operator=(const WithoutReadingRights&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2] = {};
};

struct stat lstatOf(const QString& path)
{
    struct stat st = {};
    EXPECT_EQ(::lstat(enc(path).constData(), &st), 0) << path.toStdString();
    return st;
}

void setTimes(const QString& path, time_t atime, long atimeNs, time_t mtime, long mtimeNs)
{
    const struct timespec times[2] = {{atime, atimeNs}, {mtime, mtimeNs}};
    ASSERT_EQ(::utimensat(AT_FDCWD, enc(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

bool setXattr(const QString& path, const char* name, const QByteArray& value)
{
    return ::setxattr(enc(path).constData(), name, value.constData(), size_t(value.size()), 0) == 0;
}

QByteArray xattr(const QString& path, const char* name)
{
    char buffer[256];
    const ssize_t n = ::getxattr(enc(path).constData(), name, buffer, sizeof buffer);
    return n < 0 ? QByteArrayLiteral("<none>") : QByteArray(buffer, int(n));
}

QStringList namesIn(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

QDateTime localSeconds(qint64 secondsSinceEpoch)
{
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::LocalTime);
}

// A file system mounted in a temporary folder for the length of one test; tests that need
// one skip where mounting is not permitted.
class ScratchMount
{
public:
    ScratchMount(const char* type, const char* options)
    {
        m_path = m_dir.path() + QStringLiteral("/mnt");
        QDir().mkdir(m_path);
        m_mounted = ::mount(type, enc(m_path).constData(), type, 0, options) == 0;
    }
    ~ScratchMount()
    {
        if (m_mounted)
            ::umount2(enc(m_path).constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    QString path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QString m_path;
    bool m_mounted = false;
};

// Makes every rename look like one between two file systems.
class CrossDeviceFileSystem : public FileSystem
{
protected:
    int renameNoReplace(const QByteArray&, const QByteArray&) const override { return EXDEV; }
};

// A file system without RENAME_NOREPLACE.
class NoRenameFlagsFileSystem : public FileSystem
{
protected:
    int renameNoReplace(const QByteArray&, const QByteArray&) const override { return EINVAL; }
};

class FileSystemTestBase : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }
    QString folder() const { return m_dir.path(); }

    FileSystem& fs = FileSystem::local();

private:
    QTemporaryDir m_dir;
};

// A tree with nested files, an empty folder, links and distinctive metadata.
void makeTree(const QString& root, qint64 mtime)
{
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/sub/deeper")));
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/empty")));
    writeBytes(root + QStringLiteral("/top.txt"), "top");
    writeBytes(root + QStringLiteral("/.hidden"), "dot");
    writeBytes(root + QStringLiteral("/sub/deeper/big.bin"), patternBytes(300 * 1024 + 7, 3));
    ASSERT_EQ(::symlink("sub/deeper/big.bin", enc(root + QStringLiteral("/link")).constData()), 0);
    ASSERT_EQ(::symlink("/", enc(root + QStringLiteral("/rootlink")).constData()), 0);
    ASSERT_EQ(::chmod(enc(root + QStringLiteral("/top.txt")).constData(), 0604), 0);
    ASSERT_EQ(::chmod(enc(root + QStringLiteral("/sub")).constData(), 0750), 0);
    setXattr(root + QStringLiteral("/top.txt"), "user.note", "kept");
    setTimes(root + QStringLiteral("/top.txt"), mtime, 0, mtime, 0);
    setTimes(root + QStringLiteral("/sub/deeper"), mtime + 10, 0, mtime + 10, 0);
    setTimes(root + QStringLiteral("/sub"), mtime + 20, 0, mtime + 20, 0);
}

void expectTreeCopied(const QString& root, qint64 mtime)
{
    EXPECT_EQ(namesIn(root),
              (QStringList{".hidden", "empty", "link", "rootlink", "sub", "top.txt"}));
    EXPECT_EQ(readBytes(root + QStringLiteral("/top.txt")), "top");
    EXPECT_EQ(readBytes(root + QStringLiteral("/.hidden")), "dot");
    EXPECT_EQ(readBytes(root + QStringLiteral("/sub/deeper/big.bin")),
              patternBytes(300 * 1024 + 7, 3));
    EXPECT_EQ(QFileInfo(root + QStringLiteral("/link")).symLinkTarget(),
              root + QStringLiteral("/sub/deeper/big.bin"));
    EXPECT_TRUE(S_ISLNK(lstatOf(root + QStringLiteral("/link")).st_mode));
    EXPECT_TRUE(S_ISLNK(lstatOf(root + QStringLiteral("/rootlink")).st_mode)) << "link followed";
    EXPECT_EQ(lstatOf(root + QStringLiteral("/top.txt")).st_mode & 07777, 0604u);
    EXPECT_EQ(lstatOf(root + QStringLiteral("/sub")).st_mode & 07777, 0750u);
    EXPECT_EQ(xattr(root + QStringLiteral("/top.txt"), "user.note"), "kept");
    EXPECT_EQ(lstatOf(root + QStringLiteral("/top.txt")).st_mtim.tv_sec, mtime);
    EXPECT_EQ(lstatOf(root + QStringLiteral("/sub/deeper")).st_mtim.tv_sec, mtime + 10);
    EXPECT_EQ(lstatOf(root + QStringLiteral("/sub")).st_mtim.tv_sec, mtime + 20);
}

constexpr qint64 someTime = 1500000000; // 2017-07-14, an even second

} // namespace

// ---------------------------------------------------------------------------------------
// Listing

class FileSystemListTest : public FileSystemTestBase
{
};

TEST_F(FileSystemListTest, ReportsEveryEntryWithItsKindAndNeverTheDotEntries)
{
    writeBytes(path("file.txt"), "12345");
    writeBytes(path(".dotfile"), "");
    ASSERT_TRUE(QDir().mkdir(path("folder")));
    ASSERT_EQ(::symlink(enc(path("folder")).constData(), enc(path("dirlink")).constData()), 0);
    ASSERT_EQ(::symlink("file.txt", enc(path("filelink")).constData()), 0);
    ASSERT_EQ(::symlink("nowhere", enc(path("broken")).constData()), 0);
    setTimes(path("file.txt"), someTime, 0, someTime, 0);

    bool ok = false;
    const std::vector<DirEntry> entries = fs.list(folder(), &ok);
    ASSERT_TRUE(ok);
    std::map<QString, DirEntry> byName;
    for (const DirEntry& entry : entries)
        byName[entry.name] = entry;
    ASSERT_EQ(byName.size(), entries.size()) << "a name listed twice";
    QStringList names;
    for (const auto& [name, entry] : byName)
        names << name;
    EXPECT_EQ(names,
              (QStringList{".dotfile", "broken", "dirlink", "file.txt", "filelink", "folder"}));

    EXPECT_TRUE(byName["folder"].isDir);
    EXPECT_TRUE(byName["folder"].attributes & platform::Directory);
    EXPECT_FALSE(byName["file.txt"].isDir);
    EXPECT_FALSE(byName["file.txt"].isSymlink);
    EXPECT_EQ(byName["file.txt"].size, 5);

    EXPECT_TRUE(byName["dirlink"].isSymlink);
    EXPECT_FALSE(byName["dirlink"].isDir) << "a link to a folder must not be walked into";
    EXPECT_FALSE(byName["dirlink"].attributes & platform::Directory);

    // A link to a file stands for the file: its size and time.
    EXPECT_TRUE(byName["filelink"].isSymlink);
    EXPECT_EQ(byName["filelink"].size, 5);
    EXPECT_EQ(byName["filelink"].modified, localSeconds(someTime));
    EXPECT_TRUE(byName["broken"].isSymlink);
    EXPECT_FALSE(byName["broken"].isDir);

    EXPECT_TRUE(byName[".dotfile"].attributes & platform::Hidden);
    EXPECT_FALSE(byName["file.txt"].attributes & platform::Hidden);
}

TEST_F(FileSystemListTest, ReportsAttributesAsAttributesDoes)
{
    writeBytes(path("readonly"), "r");
    writeBytes(path("flagged"), "f");
    ASSERT_TRUE(fs.setAttributes(path("readonly"), platform::ReadOnly));
    ASSERT_TRUE(
        fs.setAttributes(path("flagged"), platform::Archive | platform::System | platform::Hidden));

    for (const DirEntry& entry : fs.list(folder()))
        EXPECT_EQ(entry.attributes, fs.attributes(path(entry.name))) << entry.name.toStdString();
    std::vector<DirEntry> entries = fs.list(folder());
    ASSERT_EQ(entries.size(), 2u);
    std::sort(entries.begin(), entries.end(), [](auto& a, auto& b) { return a.name < b.name; });
    EXPECT_EQ(entries[0].attributes,
              Attributes(platform::Archive | platform::System | platform::Hidden));
    EXPECT_EQ(entries[1].attributes, Attributes(platform::ReadOnly));
}

TEST_F(FileSystemListTest, SizesAreSixtyFourBit)
{
    const qint64 size = (qint64(5) << 30) + 3; // past what 32 bits hold
    const int fd = ::open(enc(path("sparse")).constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);

    const std::vector<DirEntry> entries = fs.list(folder());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].size, size);
    EXPECT_EQ(fs.fileSize(path("sparse")), size);
}

TEST_F(FileSystemListTest, LastWriteTimeHasTwoSecondResolutionInLocalTime)
{
    writeBytes(path("odd"), "x");
    writeBytes(path("even"), "x");
    setTimes(path("odd"), someTime, 0, someTime + 1, 999999999);
    setTimes(path("even"), someTime, 0, someTime, 500000000);

    std::map<QString, QDateTime> modified;
    for (const DirEntry& entry : fs.list(folder()))
        modified[entry.name] = entry.modified;
    EXPECT_EQ(modified["odd"], localSeconds(someTime));
    EXPECT_EQ(modified["even"], localSeconds(someTime));
    EXPECT_EQ(modified["odd"].time(), localSeconds(someTime).time()) << "the local wall-clock time";
    EXPECT_EQ(modified["odd"].time().msec(), 0);
}

TEST_F(FileSystemListTest, FolderThatCannotBeReadGivesNoEntries)
{
    writeBytes(path("plain"), "not a folder");
    ASSERT_TRUE(QDir().mkdir(path("locked")));
    writeBytes(path("locked/inside"), "x");
    ASSERT_EQ(::chmod(enc(path("locked")).constData(), 0), 0);
    {
        const WithoutReadingRights asUser;
        const int fd = ::open(enc(path("locked")).constData(), O_RDONLY | O_DIRECTORY);
        ASSERT_LT(fd, 0) << "the folder can still be read";
        for (const QString& bad : {path("locked"), path("missing"), path("plain"), QString()}) {
            bool ok = true;
            EXPECT_TRUE(fs.list(bad, &ok).empty());
            EXPECT_FALSE(ok) << bad.toStdString();
        }
    }
    ASSERT_EQ(::chmod(enc(path("locked")).constData(), 0700), 0);
    ASSERT_TRUE(QDir().mkdir(path("empty")));
    bool ok = false;
    EXPECT_TRUE(fs.list(path("empty"), &ok).empty());
    EXPECT_TRUE(ok) << "an empty folder is a successful listing";
}

TEST(FileSystemPaths, EveryFolderPathCarriesOneTrailingSeparator)
{
    EXPECT_EQ(platform::withTrailingSlash("/a/b"), "/a/b/");
    EXPECT_EQ(platform::withTrailingSlash("/a/b/"), "/a/b/");
    EXPECT_EQ(platform::withTrailingSlash("/"), "/");
    EXPECT_EQ(platform::withTrailingSlash(""), "") << "an empty path must not become the root";
}

// ---------------------------------------------------------------------------------------
// Queries

class FileSystemQueryTest : public FileSystemTestBase
{
};

TEST_F(FileSystemQueryTest, ExistenceKindAndSize)
{
    writeBytes(path("file"), "abc");
    ASSERT_TRUE(QDir().mkdir(path("dir")));
    ASSERT_EQ(::symlink("file", enc(path("filelink")).constData()), 0);
    ASSERT_EQ(::symlink("dir", enc(path("dirlink")).constData()), 0);
    ASSERT_EQ(::symlink("missing", enc(path("broken")).constData()), 0);

    EXPECT_TRUE(fs.exists(path("broken"))) << "the link itself is there";
    EXPECT_FALSE(fs.exists(path("missing")));
    EXPECT_TRUE(fs.isFile(path("filelink")));
    EXPECT_FALSE(fs.isFile(path("dir")));
    EXPECT_TRUE(fs.isDirectory(path("dirlink")));
    EXPECT_FALSE(fs.isDirectory(path("file")));
    EXPECT_FALSE(fs.isFile(path("broken")));

    EXPECT_EQ(fs.fileSize(path("file")), 3);
    EXPECT_EQ(fs.fileSize(path("filelink")), 3);
    EXPECT_EQ(fs.fileSize(path("missing")), -1);
}

TEST_F(FileSystemQueryTest, TimesHaveTwoSecondResolution)
{
    writeBytes(path("file"), "x");
    setTimes(path("file"), someTime + 3, 700000000, someTime + 5, 1);
    bool ok = false;
    const platform::FileTimes times = fs.times(path("file"), &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(times.modified, localSeconds(someTime + 4));
    EXPECT_EQ(times.accessed, localSeconds(someTime + 2));
    // Not every file system keeps a birth time; where it does it is a real, even second.
    if (!times.created.isNull()) {
        EXPECT_EQ(times.created.toSecsSinceEpoch() % 2, 0);
        EXPECT_LE(std::abs(times.created.secsTo(QDateTime::currentDateTime())), 120);
    }

    ok = true;
    const platform::FileTimes none = fs.times(path("missing"), &ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(none.modified.isNull());
}

TEST_F(FileSystemQueryTest, FoldersAreMadeOneLevelAndRemovedOnlyWhenEmpty)
{
    EXPECT_EQ(fs.makeDirectory(path("a/b")).error, ENOENT);
    ASSERT_TRUE(fs.makeDirectory(path("a")));
    EXPECT_EQ(fs.makeDirectory(path("a")).error, EEXIST);
    writeBytes(path("a/keep"), "data");
    EXPECT_EQ(fs.removeDirectory(path("a")).error, ENOTEMPTY);
    EXPECT_EQ(readBytes(path("a/keep")), "data");
    ASSERT_EQ(::unlink(enc(path("a/keep")).constData()), 0);
    EXPECT_TRUE(fs.removeDirectory(platform::withTrailingSlash(path("a"))));
    EXPECT_FALSE(fs.exists(path("a")));
}

// ---------------------------------------------------------------------------------------
// Deleting

class FileSystemRemoveTest : public FileSystemTestBase
{
};

TEST_F(FileSystemRemoveTest, ReadOnlyFileIsRefusedEvenForTheSuperuser)
{
    writeBytes(path("protected"), "keep me");
    ASSERT_TRUE(fs.setAttributes(path("protected"), platform::ReadOnly));
    const FsResult result = fs.removeFile(path("protected"));
    EXPECT_EQ(result.error, EACCES);
    EXPECT_FALSE(result.message().isEmpty());
    EXPECT_EQ(readBytes(path("protected")), "keep me");

    ASSERT_TRUE(fs.setAttributes(path("protected"), 0));
    EXPECT_TRUE(fs.removeFile(path("protected")));
    EXPECT_FALSE(fs.exists(path("protected")));
}

TEST_F(FileSystemRemoveTest, MissingFileAndFolderAreErrors)
{
    const FsResult missing = fs.removeFile(path("missing"));
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_FALSE(missing.message().isEmpty());
    EXPECT_TRUE(FsResult{}.message().isEmpty());

    ASSERT_TRUE(QDir().mkdir(path("dir")));
    EXPECT_FALSE(fs.removeFile(path("dir")));
    EXPECT_TRUE(fs.isDirectory(path("dir")));
}

// ---------------------------------------------------------------------------------------
// Attributes

class FileSystemAttributesTest : public FileSystemTestBase
{
};

TEST_F(FileSystemAttributesTest, EveryCombinationOfReadOnlyArchiveSystemHiddenRoundTrips)
{
    writeBytes(path("file"), "x");
    const Attributes bits[] = {platform::ReadOnly, platform::Archive, platform::System,
                               platform::Hidden};
    for (unsigned combination = 0; combination < 16; ++combination) {
        Attributes wanted = 0;
        for (int bit = 0; bit < 4; ++bit)
            if (combination & (1u << bit))
                wanted |= bits[bit];
        ASSERT_TRUE(fs.setAttributes(path("file"), wanted)) << wanted;
        bool ok = false;
        EXPECT_EQ(fs.attributes(path("file"), &ok), wanted);
        EXPECT_TRUE(ok);
        const mode_t mode = lstatOf(path("file")).st_mode;
        if (wanted & platform::ReadOnly)
            EXPECT_EQ(mode & 0222, 0u) << "read-only leaves no write permission";
        else
            EXPECT_TRUE(mode & S_IWUSR);
    }
    ASSERT_TRUE(fs.setAttributes(path("file"), 0));
    EXPECT_EQ(xattr(path("file"), "user.quillet.attrib"), "<none>")
        << "no stored flags leaves no attribute behind";
}

TEST_F(FileSystemAttributesTest, ReadOnlyFollowsTheOwnerWritePermission)
{
    writeBytes(path("file"), "x");
    ASSERT_EQ(::chmod(enc(path("file")).constData(), 0444), 0);
    EXPECT_EQ(fs.attributes(path("file")), Attributes(platform::ReadOnly));
    ASSERT_TRUE(fs.setAttributes(path("file"), platform::Archive));
    EXPECT_EQ(lstatOf(path("file")).st_mode & 0777, 0644u) << "clearing R adds owner write only";
    ASSERT_EQ(::chmod(enc(path("file")).constData(), 0666), 0);
    ASSERT_TRUE(fs.setAttributes(path("file"), platform::ReadOnly | platform::Archive));
    EXPECT_EQ(lstatOf(path("file")).st_mode & 0777, 0444u);
}

TEST_F(FileSystemAttributesTest, DotNamesAreHiddenAndFoldersAreDirectories)
{
    writeBytes(path(".profile"), "x");
    EXPECT_EQ(fs.attributes(path(".profile")), Attributes(platform::Hidden));
    ASSERT_TRUE(fs.setAttributes(path(".profile"), 0));
    EXPECT_EQ(fs.attributes(path(".profile")), Attributes(platform::Hidden)) << "the name hides it";

    ASSERT_TRUE(QDir().mkdir(path("dir")));
    ASSERT_TRUE(fs.setAttributes(path("dir/"), platform::Directory | platform::System));
    EXPECT_EQ(fs.attributes(path("dir/")), Attributes(platform::Directory | platform::System));
    EXPECT_EQ(fs.attributes(path("dir")), Attributes(platform::Directory | platform::System));

    bool ok = true;
    EXPECT_EQ(fs.attributes(path("missing"), &ok), 0u);
    EXPECT_FALSE(ok);
    EXPECT_EQ(fs.setAttributes(path("missing"), platform::Archive).error, ENOENT);
}

TEST_F(FileSystemAttributesTest, WithoutExtendedAttributesOnlyReadOnlyCanBeSetAndNothingElseChanges)
{
    ScratchMount ramfs("ramfs", "");
    if (!ramfs.mounted())
        GTEST_SKIP() << "cannot mount a file system without user extended attributes";
    const QString file = ramfs.path() + QStringLiteral("/file");
    writeBytes(file, "x");
    ASSERT_FALSE(setXattr(file, "user.probe", "1")) << "ramfs was expected to refuse them";

    EXPECT_EQ(fs.unstorableAttributes(file, platform::ReadOnly | platform::Archive),
              Attributes(platform::Archive));
    EXPECT_EQ(fs.setAttributes(file, platform::ReadOnly | platform::Archive).error, ENOTSUP);
    EXPECT_EQ(fs.attributes(file), 0u) << "all or nothing: R is not applied alone";
    EXPECT_TRUE(fs.setAttributes(file, platform::ReadOnly));
    EXPECT_EQ(fs.attributes(file), Attributes(platform::ReadOnly));
    EXPECT_TRUE(fs.setAttributes(file, 0));
    EXPECT_EQ(fs.attributes(file), 0u);
}

// ---------------------------------------------------------------------------------------
// Copying

class FileSystemCopyTest : public FileSystemTestBase
{
};

TEST_F(FileSystemCopyTest, KeepsDataTimesPermissionsAndExtendedAttributes)
{
    const QByteArray data = patternBytes(1024 * 1024 + 13, 7);
    writeBytes(path("source"), data);
    ASSERT_TRUE(setXattr(path("source"), "user.origin", "scanner"));
    ASSERT_TRUE(fs.setAttributes(path("source"), platform::Archive));
    ASSERT_EQ(::chmod(enc(path("source")).constData(), 0640), 0);
    setTimes(path("source"), someTime + 100, 0, someTime + 1, 123456789);

    ASSERT_TRUE(fs.copyFile(path("source"), path("copy"), false));
    const struct stat st = lstatOf(path("copy")); // before reading it moves the access time
    EXPECT_EQ(readBytes(path("copy")), data);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, someTime + 1);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
    EXPECT_EQ(st.st_atim.tv_sec, someTime + 100);
    EXPECT_EQ(xattr(path("copy"), "user.origin"), "scanner");
    EXPECT_EQ(fs.attributes(path("copy")), Attributes(platform::Archive));
    EXPECT_EQ(readBytes(path("source")), data);
}

TEST_F(FileSystemCopyTest, WithoutOverwriteAnExistingTargetIsLeftAlone)
{
    writeBytes(path("source"), "new");
    writeBytes(path("target"), "old");
    EXPECT_EQ(fs.copyFile(path("source"), path("target"), false).error, EEXIST);
    EXPECT_EQ(readBytes(path("target")), "old");
    EXPECT_EQ(fs.copyFile(path("source"), path("source"), false).error, EEXIST);
    EXPECT_EQ(readBytes(path("source")), "new");
}

TEST_F(FileSystemCopyTest, OverwriteReplacesTheTargetAndLeavesNoTemporaryFile)
{
    writeBytes(path("source"), "new content");
    ASSERT_EQ(::chmod(enc(path("source")).constData(), 0600), 0);
    writeBytes(path("target"), "old");
    ASSERT_TRUE(setXattr(path("target"), "user.stale", "1"));
    ASSERT_TRUE(fs.copyFile(path("source"), path("target"), true));
    EXPECT_EQ(readBytes(path("target")), "new content");
    EXPECT_EQ(lstatOf(path("target")).st_mode & 07777, 0600u);
    EXPECT_EQ(xattr(path("target"), "user.stale"), "<none>");
    EXPECT_EQ(namesIn(folder()), (QStringList{"source", "target"}));

    // Copying a file over itself must not truncate it.
    ASSERT_TRUE(fs.copyFile(path("source"), path("source"), true));
    EXPECT_EQ(readBytes(path("source")), "new content");
    EXPECT_TRUE(fs.copyFile(path("source"), path("fresh"), true));
    EXPECT_EQ(readBytes(path("fresh")), "new content");
}

TEST_F(FileSystemCopyTest, FailedOverwriteKeepsTheOldTargetWhole)
{
    writeBytes(path("target"), "old target");
    ASSERT_TRUE(QDir().mkdir(path("folder")));
    EXPECT_EQ(fs.copyFile(path("vanished"), path("target"), true).error, ENOENT);
    EXPECT_EQ(fs.copyFile(path("folder"), path("target"), true).error, EISDIR);
    EXPECT_EQ(fs.copyFile(path("folder"), path("other"), false).error, EISDIR);
    EXPECT_EQ(readBytes(path("target")), "old target");
    EXPECT_EQ(namesIn(folder()), (QStringList{"folder", "target"}));
}

TEST_F(FileSystemCopyTest, ReadOnlyTargetIsNotOverwritten)
{
    writeBytes(path("source"), "new");
    writeBytes(path("target"), "old");
    ASSERT_TRUE(fs.setAttributes(path("target"), platform::ReadOnly));
    EXPECT_EQ(fs.copyFile(path("source"), path("target"), true).error, EACCES);
    EXPECT_EQ(readBytes(path("target")), "old");
}

TEST_F(FileSystemCopyTest, CopyThatRunsOutOfSpaceLeavesNothingHalfWritten)
{
    ScratchMount small("tmpfs", "size=64k");
    if (!small.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs";
    const QString target = small.path() + QStringLiteral("/target");
    writeBytes(target, "old target");
    writeBytes(path("big"), patternBytes(512 * 1024, 1));

    EXPECT_EQ(fs.copyFile(path("big"), target, true).error, ENOSPC);
    EXPECT_EQ(readBytes(target), "old target");
    EXPECT_EQ(namesIn(small.path()), QStringList{"target"});

    EXPECT_EQ(fs.copyFile(path("big"), small.path() + QStringLiteral("/new"), false).error, ENOSPC);
    EXPECT_EQ(namesIn(small.path()), QStringList{"target"});
}

TEST_F(FileSystemCopyTest, TargetWithoutExtendedAttributesStillGetsTheData)
{
    ScratchMount ramfs("ramfs", "");
    if (!ramfs.mounted())
        GTEST_SKIP() << "cannot mount a file system without user extended attributes";
    writeBytes(path("source"), "data");
    ASSERT_TRUE(setXattr(path("source"), "user.origin", "x"));
    const QString target = ramfs.path() + QStringLiteral("/copy");
    ASSERT_TRUE(fs.copyFile(path("source"), target, false));
    EXPECT_EQ(readBytes(target), "data");
}

// ---------------------------------------------------------------------------------------
// Moving

class FileSystemMoveTest : public FileSystemTestBase
{
};

TEST_F(FileSystemMoveTest, RenamesFilesAndFoldersOnOneFileSystem)
{
    writeBytes(path("file"), "data");
    ASSERT_TRUE(fs.move(path("file"), path("renamed")));
    EXPECT_FALSE(fs.exists(path("file")));
    EXPECT_EQ(readBytes(path("renamed")), "data");

    makeTree(path("tree"), someTime);
    ASSERT_TRUE(fs.move(platform::withTrailingSlash(path("tree")), path("moved/")));
    EXPECT_FALSE(fs.exists(path("tree")));
    expectTreeCopied(path("moved"), someTime);
}

TEST_F(FileSystemMoveTest, NeverReplacesAnExistingTarget)
{
    writeBytes(path("a"), "a");
    writeBytes(path("b"), "b");
    ASSERT_TRUE(QDir().mkdir(path("dir1")));
    ASSERT_TRUE(QDir().mkdir(path("dir2")));
    writeBytes(path("dir1/x"), "x");

    CrossDeviceFileSystem crossDevice;
    NoRenameFlagsFileSystem noFlags;
    for (const FileSystem* mover :
         {&fs, static_cast<FileSystem*>(&crossDevice), static_cast<FileSystem*>(&noFlags)}) {
        EXPECT_EQ(mover->move(path("a"), path("b")).error, EEXIST);
        EXPECT_EQ(mover->move(path("dir1"), path("dir2")).error, EEXIST);
        EXPECT_EQ(mover->move(path("a"), path("dir2")).error, EEXIST);
        EXPECT_EQ(mover->move(path("dir1"), path("b")).error, EEXIST);
        EXPECT_EQ(readBytes(path("a")), "a");
        EXPECT_EQ(readBytes(path("b")), "b");
        EXPECT_EQ(readBytes(path("dir1/x")), "x");
        EXPECT_TRUE(namesIn(path("dir2")).isEmpty());
    }
}

TEST_F(FileSystemMoveTest, WithoutRenameFlagsFilesAndFoldersStillMove)
{
    NoRenameFlagsFileSystem noFlags;
    writeBytes(path("file"), "data");
    ASSERT_TRUE(noFlags.move(path("file"), path("moved")));
    EXPECT_FALSE(fs.exists(path("file")));
    EXPECT_EQ(readBytes(path("moved")), "data");
    makeTree(path("tree"), someTime);
    ASSERT_TRUE(noFlags.move(path("tree"), path("tree2")));
    EXPECT_FALSE(fs.exists(path("tree")));
    expectTreeCopied(path("tree2"), someTime);
}

TEST_F(FileSystemMoveTest, MissingSourceIsAnError)
{
    CrossDeviceFileSystem crossDevice;
    EXPECT_EQ(fs.move(path("missing"), path("to")).error, ENOENT);
    EXPECT_EQ(crossDevice.move(path("missing"), path("to")).error, ENOENT);
    EXPECT_FALSE(fs.exists(path("to")));
}

TEST_F(FileSystemMoveTest, FileAcrossDevicesKeepsDataTimesPermissionsAndAttributes)
{
    const QByteArray data = patternBytes(700 * 1024 + 1, 9);
    writeBytes(path("file"), data);
    ASSERT_EQ(::chmod(enc(path("file")).constData(), 0604), 0);
    ASSERT_TRUE(setXattr(path("file"), "user.origin", "camera"));
    setTimes(path("file"), someTime, 0, someTime + 7, 42);
    ASSERT_TRUE(QDir().mkdir(path("other")));

    CrossDeviceFileSystem crossDevice;
    ASSERT_TRUE(crossDevice.move(path("file"), path("other/file")));
    EXPECT_FALSE(fs.exists(path("file")));
    EXPECT_EQ(readBytes(path("other/file")), data);
    const struct stat st = lstatOf(path("other/file"));
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    EXPECT_EQ(st.st_mtim.tv_sec, someTime + 7);
    EXPECT_EQ(st.st_mtim.tv_nsec, 42);
    EXPECT_EQ(xattr(path("other/file"), "user.origin"), "camera");
}

TEST_F(FileSystemMoveTest, LinkAcrossDevicesStaysALink)
{
    writeBytes(path("file"), "data");
    ASSERT_EQ(::symlink("file", enc(path("link")).constData()), 0);
    CrossDeviceFileSystem crossDevice;
    ASSERT_TRUE(crossDevice.move(path("link"), path("link2")));
    EXPECT_FALSE(fs.exists(path("link")));
    EXPECT_TRUE(S_ISLNK(lstatOf(path("link2")).st_mode));
    EXPECT_EQ(readBytes(path("file")), "data");
}

TEST_F(FileSystemMoveTest, FolderTreeAcrossDevicesIsCopiedThenRemoved)
{
    makeTree(path("tree"), someTime);
    CrossDeviceFileSystem crossDevice;
    ASSERT_TRUE(crossDevice.move(path("tree/"), path("moved/")));
    EXPECT_FALSE(fs.exists(path("tree")));
    expectTreeCopied(path("moved"), someTime);
    EXPECT_TRUE(fs.isDirectory(path("moved/empty")));
}

TEST_F(FileSystemMoveTest, FailedCrossDeviceMoveLeavesTheSourceAndNoTarget)
{
    makeTree(path("tree"), someTime);
    writeBytes(path("file"), "data");
    writeBytes(path("notafolder"), "plain");
    CrossDeviceFileSystem crossDevice;

    EXPECT_EQ(crossDevice.move(path("tree"), path("notafolder/tree")).error, ENOTDIR);
    EXPECT_EQ(crossDevice.move(path("file"), path("notafolder/file")).error, ENOTDIR);
    EXPECT_EQ(crossDevice.move(path("file"), path("missing/file")).error, ENOENT);
    EXPECT_EQ(crossDevice.move(path("tree"), path("tree/sub/inside")).error, EINVAL);
    EXPECT_EQ(namesIn(folder()), (QStringList{"file", "notafolder", "tree"}));
    EXPECT_EQ(readBytes(path("notafolder")), "plain");
    EXPECT_EQ(readBytes(path("file")), "data");
    expectTreeCopied(path("tree"), someTime);
}

TEST_F(FileSystemMoveTest, MoveToAFullFileSystemLeavesTheSourceAndNoTarget)
{
    ScratchMount small("tmpfs", "size=64k");
    if (!small.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs";
    makeTree(path("tree"), someTime); // holds 300 KiB
    writeBytes(path("big"), patternBytes(256 * 1024, 5));

    // A real move between two file systems, failing part way through the copy.
    EXPECT_EQ(fs.move(path("tree"), small.path() + QStringLiteral("/tree")).error, ENOSPC);
    EXPECT_EQ(fs.move(path("big"), small.path() + QStringLiteral("/big")).error, ENOSPC);
    EXPECT_TRUE(namesIn(small.path()).isEmpty());
    expectTreeCopied(path("tree"), someTime);
    EXPECT_EQ(readBytes(path("big")), patternBytes(256 * 1024, 5));
}

TEST_F(FileSystemMoveTest, RealMoveBetweenFileSystems)
{
    QTemporaryDir shm(QStringLiteral("/dev/shm/quillet-test-XXXXXX"));
    struct stat here, there;
    if (!shm.isValid() || ::stat(enc(shm.path()).constData(), &there) != 0 ||
        ::stat(enc(folder()).constData(), &here) != 0 || here.st_dev == there.st_dev)
        GTEST_SKIP() << "no second file system at /dev/shm";

    writeBytes(path("file"), "data");
    setTimes(path("file"), someTime, 0, someTime, 0);
    makeTree(path("tree"), someTime);
    ASSERT_TRUE(fs.move(path("file"), shm.path() + QStringLiteral("/file")));
    ASSERT_TRUE(fs.move(path("tree"), shm.path() + QStringLiteral("/tree")));
    EXPECT_TRUE(namesIn(folder()).isEmpty());
    EXPECT_EQ(readBytes(shm.path() + QStringLiteral("/file")), "data");
    EXPECT_EQ(lstatOf(shm.path() + QStringLiteral("/file")).st_mtim.tv_sec, someTime);
    expectTreeCopied(shm.path() + QStringLiteral("/tree"), someTime);

    // And back, refusing to replace on the way.
    writeBytes(path("file"), "other");
    EXPECT_EQ(fs.move(shm.path() + QStringLiteral("/file"), path("file")).error, EEXIST);
    EXPECT_EQ(readBytes(path("file")), "other");
    EXPECT_EQ(readBytes(shm.path() + QStringLiteral("/file")), "data");
}
