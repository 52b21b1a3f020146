// The scripts that install the program for a user: the desktop entry they write starts the
// program of the library folder whatever characters its path holds, and a relative library
// folder is the caller's.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

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
    QString entry() const
    {
        QFile file(dataHome + QStringLiteral("/applications/quillet.desktop"));
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

TEST_F(DesktopEntry, StartsTheLibrarysProgramWhateverItsPathHolds)
{
    // A % would start a field code, the others end or escape the quoted argument.
    const QString library = scratch.filePath(QStringLiteral("lib %20 $HOME \"q\" `x` \\ 库"));
    ASSERT_TRUE(QDir().mkpath(library));
    ASSERT_EQ(run(QStringLiteral("install-desktop-entry.sh"), {library}, scratch.path()), 0)
        << output().toStdString();

    QString exec = library + QStringLiteral("/quillet");
    exec.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    exec.replace(u'`', QStringLiteral("\\`")).replace(u'$', QStringLiteral("\\$"));
    exec.replace(u'%', QStringLiteral("%%"));
    exec = u'"' + exec + u'"';
    exec.replace(u'\\', QStringLiteral("\\\\"));
    EXPECT_EQ(key(QStringLiteral("Exec")), exec);
    EXPECT_EQ(key(QStringLiteral("Path")), QString(library).replace(u'\\', QStringLiteral("\\\\")));
    EXPECT_EQ(key(QStringLiteral("Version")), QStringLiteral("1.4"));

    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed; the entry was not validated";
    QProcess validate;
    validate.start(validator, {dataHome + QStringLiteral("/applications/quillet.desktop")});
    ASSERT_TRUE(validate.waitForFinished(30000));
    EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().toStdString();
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
