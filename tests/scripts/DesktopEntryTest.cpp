// The scripts that install the program for a user and remove it again: the desktop entry
// starts the program of the library folder from every menu whatever characters its path
// holds, the desktop's files validate, a relative library folder is the caller's, and an
// uninstall never touches the library's categories, notes or documents.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtCore/qtestsupport_core.h>

#include <gtest/gtest.h>

namespace {

// A library folder's files, made and looked at by their paths below its root.
struct TempLibraryFiles
{
    QString root;
    explicit TempLibraryFiles(const QString& folder) : root(folder) {}
    void make(const QString& relative) const
    {
        const QString path = root + u'/' + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    }
    bool exists(const QString& relative) const { return QFileInfo::exists(root + u'/' + relative); }
};

const QString kScripts = QStringLiteral(QUILLET_SOURCE_DIR "/scripts/");

class DesktopEntry : public ::testing::Test
{
protected:
    QTemporaryDir scratch;
    QString dataHome = scratch.filePath(QStringLiteral("data"));

    // Runs a script from `folder` with a clean environment: no display, the scratch data
    // home, and `stubs` (a folder of stand-in commands) first on the path.
    int run(const QString& script, const QStringList& arguments, const QString& folder,
            const QString& stubs = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        if (!stubs.isEmpty())
            env.insert(QStringLiteral("PATH"), stubs + u':' + env.value(QStringLiteral("PATH")));
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(folder);
        process.start(QStringLiteral("bash"), QStringList{kScripts + script} + arguments);
        EXPECT_TRUE(process.waitForFinished(60000)) << script.toStdString();
        m_output =
            QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
        return process.exitCode();
    }
    QString output() const { return m_output; }
    QString entryPath() const
    {
        return dataHome + QStringLiteral("/applications/io.github.quillet.Quillet.desktop");
    }
    QString entry() const
    {
        QFile file(entryPath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    QString key(const QString& name) const
    {
        for (const QString& line : entry().split(u'\n')) {
            if (line.startsWith(name + u'='))
                return line.mid(name.size() + 1);
        }
        return QStringLiteral("<none>");
    }
    // Runs a tool of the desktop when it is installed; false (the test skips) when not.
    bool tool(const QString& name, const QStringList& arguments, QString* output = nullptr)
    {
        const QString program = QStandardPaths::findExecutable(name);
        if (program.isEmpty())
            return false;
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(30000)) << name.toStdString();
        const QString text = QString::fromUtf8(process.readAll());
        if (output)
            *output = text;
        EXPECT_EQ(process.exitCode(), 0) << name.toStdString() << ": " << text.toStdString();
        return true;
    }
    void makeStub(const QString& folder, const QString& name, const QByteArray& body)
    {
        QFile file(folder + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/usr/bin/env bash\n" + body);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private:
    QString m_output;
};

} // namespace

TEST_F(DesktopEntry, StartsTheLibrarysProgramFromEveryMenuWhateverItsPathHolds)
{
    // A % would start a field code, the others end or escape the quoted argument.
    const QString library = scratch.filePath(QStringLiteral("lib %20 $HOME \"q\" 'x' `x` \\ 库"));
    ASSERT_TRUE(QDir().mkpath(library));
    // The library's program writes down the files it was started with.
    const QString record = scratch.filePath(QStringLiteral("started"));
    makeStub(library, QStringLiteral("quillet"),
             "printf '%s\\n' \"$@\" > '" + QFile::encodeName(record) + "'\n");
    ASSERT_EQ(run(QStringLiteral("install-desktop-entry.sh"), {library}, scratch.path()), 0)
        << output().toStdString();

    const QString launcher = dataHome + QStringLiteral("/quillet/quillet");
    EXPECT_EQ(key(QStringLiteral("Exec")), u'"' + launcher + QStringLiteral("\" %F"));
    EXPECT_EQ(key(QStringLiteral("Path")), QString(library).replace(u'\\', QStringLiteral("\\\\")));
    EXPECT_EQ(key(QStringLiteral("Icon")), QStringLiteral("io.github.quillet.Quillet"));
    const QString file = scratch.filePath(QStringLiteral("a file.txt"));
    QProcess direct;
    direct.start(launcher, {file});
    ASSERT_TRUE(direct.waitForFinished(10000));
    QFile started(record);
    ASSERT_TRUE(started.open(QIODevice::ReadOnly)) << "the launcher starts the library's program";
    EXPECT_EQ(QString::fromUtf8(started.readAll()), file + u'\n');
    started.close();
    started.remove();

    if (!tool(QStringLiteral("desktop-file-validate"), {entryPath()}))
        GTEST_SKIP() << "desktop-file-validate is not installed; the entry was not validated";
    // Menus built on GLib read the entry as gio does.
    if (!tool(QStringLiteral("gio"), {QStringLiteral("launch"), entryPath(), file}))
        GTEST_SKIP() << "gio is not installed; the entry was not launched";
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.exists(); }, 5000));
    ASSERT_TRUE(started.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(started.readAll()), file + u'\n');
}

TEST_F(DesktopEntry, TheMetainfoAndTheManualPageValidateAndAreInstalled)
{
    const QString library = scratch.filePath(QStringLiteral("lib"));
    ASSERT_TRUE(QDir().mkpath(library));
    ASSERT_EQ(run(QStringLiteral("install-desktop-entry.sh"), {library}, scratch.path()), 0)
        << output().toStdString();
    const QString metainfo =
        dataHome + QStringLiteral("/metainfo/io.github.quillet.Quillet.metainfo.xml");
    const QString manual = dataHome + QStringLiteral("/man/man1/quillet.1");
    EXPECT_TRUE(QFileInfo(metainfo).isFile());
    EXPECT_TRUE(QFileInfo(manual).isFile());

    bool validated = tool(QStringLiteral("appstreamcli"),
                          {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfo});
    QString warnings;
    if (tool(QStringLiteral("groff"),
             {QStringLiteral("-man"), QStringLiteral("-ww"), QStringLiteral("-z"), manual},
             &warnings)) {
        EXPECT_EQ(warnings, QString()) << "the manual page reads without a warning";
        validated = true;
    }
    if (!validated)
        GTEST_SKIP() << "neither appstreamcli nor groff is installed";
}

TEST_F(DesktopEntry, UninstallRemovesTheProgramButNoCategoryNoteOrDocument)
{
    TempLibraryFiles files(scratch.filePath(QStringLiteral("lib")));
    for (const char* name :
         {"quillet", "quillet.html", "DropEnd.wav", "软件/a.zip", "软件/zzfdat.nod",
          "filecomm/a.zip.txt", "oprecy/old.zip", "tempdir/b.zip", "DropEnd.wav.d/kept"})
        files.make(QLatin1String(name));
    ASSERT_EQ(run(QStringLiteral("install-desktop-entry.sh"), {files.root}, scratch.path()), 0);
    // A start of another library's entry is not this library's to remove.
    const QString other = scratch.filePath(QStringLiteral("other"));
    ASSERT_TRUE(QDir().mkpath(other));
    ASSERT_EQ(run(QStringLiteral("uninstall.sh"), {other}, scratch.path()), 0);
    EXPECT_TRUE(QFileInfo::exists(entryPath())) << output().toStdString();

    ASSERT_EQ(run(QStringLiteral("uninstall.sh"), {files.root}, scratch.path()), 0)
        << output().toStdString();
    for (const char* gone : {"quillet", "quillet.html", "DropEnd.wav"})
        EXPECT_FALSE(files.exists(QLatin1String(gone))) << gone;
    for (const char* kept : {"软件/a.zip", "软件/zzfdat.nod", "filecomm/a.zip.txt",
                             "oprecy/old.zip", "tempdir/b.zip", "DropEnd.wav.d/kept"})
        EXPECT_TRUE(files.exists(QLatin1String(kept))) << kept;
    EXPECT_FALSE(QFileInfo::exists(entryPath()));
    EXPECT_FALSE(QFileInfo::exists(dataHome + QStringLiteral("/quillet/quillet")));
    EXPECT_FALSE(QFileInfo::exists(dataHome + QStringLiteral("/man/man1/quillet.1")));
    EXPECT_FALSE(QFileInfo::exists(
        dataHome + QStringLiteral("/metainfo/io.github.quillet.Quillet.metainfo.xml")));
    EXPECT_FALSE(QFileInfo::exists(
        dataHome + QStringLiteral("/icons/hicolor/scalable/apps/io.github.quillet.Quillet.svg")));
}

TEST_F(DesktopEntry, ARelativeLibraryFolderIsTheCallers)
{
    // Stand-ins for the package check and the build, so only the scripts' own steps run; the
    // build's install step records where it would install.
    const QString stubs = scratch.filePath(QStringLiteral("stubs"));
    const QString caller = scratch.filePath(QStringLiteral("caller"));
    ASSERT_TRUE(QDir().mkpath(stubs) && QDir().mkpath(caller));
    makeStub(stubs, QStringLiteral("dpkg-query"), "echo 'install ok installed'\n");
    makeStub(stubs, QStringLiteral("cmake"),
             "[ \"$1\" = --install ] && echo \"$4\" > \"" + QFile::encodeName(scratch.path()) +
                 "/prefix\"\nexit 0\n");
    const QString name = QStringLiteral("QuilletLib-%1").arg(QCoreApplication::applicationPid());

    const int code = run(QStringLiteral("run.sh"), {name}, caller, stubs);
    QDir(QStringLiteral(QUILLET_SOURCE_DIR "/") + name).removeRecursively(); // a wrong guess
    EXPECT_EQ(code, 1) << "no display to start on: " << output().toStdString();
    const QString library = caller + u'/' + name;
    EXPECT_TRUE(QFileInfo(library).isDir());
    QFile prefix(scratch.filePath(QStringLiteral("prefix")));
    ASSERT_TRUE(prefix.open(QIODevice::ReadOnly)) << output().toStdString();
    EXPECT_EQ(QString::fromUtf8(prefix.readAll()).trimmed(), library);
    EXPECT_EQ(key(QStringLiteral("Path")), library);
}
