// The program as a user starts it: its command line, a session without a usable window
// system, and a second start for the same library.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QString kProgram = QStringLiteral(QUILLET_BINARY);

class ProgramStart : public ::testing::Test
{
protected:
    QTemporaryDir scratch;
    QString config = scratch.filePath(QStringLiteral("config"));
    QString runtime = scratch.filePath(QStringLiteral("run"));

    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(config));
        ASSERT_TRUE(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // The environment of a start: no display unless given, the scratch configuration and
    // runtime folders.
    QProcessEnvironment environment(const QStringList& set = {}) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        for (const QString& pair : set)
            env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        return env;
    }
    struct Run
    {
        int code = -1;
        QString out;
        QString err;
    };
    Run run(const QString& program, const QStringList& arguments,
            const QProcessEnvironment& env) const
    {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(20000)) << arguments.join(u' ').toStdString();
        Run result;
        result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        result.err = QString::fromLocal8Bit(process.readAllStandardError());
        return result;
    }
    static QStringList entries(const QString& folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                      QDir::NoDotAndDotDot);
    }
};

} // namespace

TEST_F(ProgramStart, HelpAndVersionPrintAndEndTouchingNothing)
{
    const QString programDir = QFileInfo(kProgram).absolutePath();
    const QStringList before = entries(programDir);
    const Run help = run(kProgram, {QStringLiteral("--help")}, environment());
    EXPECT_EQ(help.code, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.contains(QStringLiteral("[FILE...]"))) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QStringLiteral("--version")));
    const Run version = run(kProgram, {QStringLiteral("-v")}, environment());
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, QStringLiteral("quillet 2.96\n"));
    EXPECT_EQ(entries(programDir), before) << "no folder made beside the program";
    EXPECT_TRUE(entries(config).isEmpty()) << "no configuration file";
}

TEST_F(ProgramStart, WithoutAWindowSystemItEndsWithItsOwnMessage)
{
    const struct
    {
        QStringList set;
        QString says;
    } cases[] = {
        {{}, QStringLiteral("no graphical session")},
        // A Wayland session that cannot be reached, with or without the Wayland plugin.
        {{QStringLiteral("WAYLAND_DISPLAY=quillet-test-no-such-display")},
         QStringLiteral("cannot open a window")},
        {{QStringLiteral("QT_QPA_PLATFORM=no-such-platform")},
         QStringLiteral("cannot open a window")},
    };
    for (const auto& c : cases) {
        const Run started = run(kProgram, {}, environment(c.set));
        EXPECT_EQ(started.code, 1) << c.set.join(u' ').toStdString() << ": not Qt's abort";
        EXPECT_TRUE(started.err.contains(c.says)) << started.err.toStdString();
    }
    const Run unknown = run(kProgram, {QStringLiteral("--no-such-option")},
                            environment({QStringLiteral("QT_QPA_PLATFORM=offscreen")}));
    EXPECT_EQ(unknown.code, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("no-such-option")));
}

TEST_F(ProgramStart, ASecondStartForTheLibraryHandsOverAndEndsWhileAnotherLibraryRunsBeside)
{
    // The program in a library folder of its own (the library is the program's folder).
    const QString library = scratch.filePath(QStringLiteral("library"));
    ASSERT_TRUE(QDir().mkpath(library));
    const QString program = library + QStringLiteral("/quillet");
    if (::link(QFile::encodeName(kProgram).constData(), QFile::encodeName(program).constData())) {
        ASSERT_TRUE(QFile::copy(kProgram, program));
    }
    const QProcessEnvironment env = environment({QStringLiteral("QT_QPA_PLATFORM=offscreen")});

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program, {});
    ASSERT_TRUE(first.waitForStarted());
    QElapsedTimer clock;
    clock.start();
    const auto listening = [&] {
        const QStringList names = entries(runtime);
        return std::any_of(names.begin(), names.end(),
                           [](const QString& name) { return name.endsWith(u".socket"); });
    };
    while (!listening() && clock.elapsed() < 15000)
        QThread::msleep(20);
    ASSERT_TRUE(listening()) << first.readAllStandardError().toStdString();

    const QString file = scratch.filePath(QStringLiteral("a.txt"));
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
    clock.restart();
    const Run second = run(program, {file}, env);
    EXPECT_EQ(second.code, 0) << second.err.toStdString();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(first.state(), QProcess::Running);

    // Another configuration file is another copy: it keeps running.
    QProcessEnvironment otherEnv = env;
    otherEnv.insert(QStringLiteral("XDG_CONFIG_HOME"), scratch.filePath(QStringLiteral("other")));
    QProcess beside;
    beside.setProcessEnvironment(otherEnv);
    beside.start(program, {});
    EXPECT_FALSE(beside.waitForFinished(1500)) << "a second copy for another configuration";
    beside.kill();
    beside.waitForFinished();
    first.kill();
    first.waitForFinished();
}
