#include "ui/CommandLine.h"

#include "core/Texts.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace ui::commandline {

namespace {

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Keeps downloaded software and documents in categories with notes.\n"
                       "The library is the program's own folder. Files named are brought into "
                       "the category selected in the running copy, as if dropped on its drop "
                       "window."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Files or folders to bring into the selected "
                                                "category."),
                                 QStringLiteral("[FILE...]"));
}

void setNames()
{
    QCoreApplication::setApplicationName(QStringLiteral("quillet"));
    QCoreApplication::setApplicationVersion(core::texts::VersionNumber);
}

// The working folder as its bytes, ending in "/".
QByteArray workingFolder()
{
    QByteArray folder(4096, '\0');
    while (!::getcwd(folder.data(), size_t(folder.size()))) {
        if (errno != ERANGE)
            return "/";
        folder.resize(folder.size() * 2);
    }
    folder.truncate(qsizetype(std::strlen(folder.constData())));
    if (!folder.endsWith('/'))
        folder += '/';
    return folder;
}

} // namespace

std::optional<int> answerAlone(int argc, char** argv)
{
    bool asked = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--")
            break;
        asked = asked || argument == "-h" || argument == "--help" || argument == "-?" ||
                argument == "--help-all" || argument == "-v" || argument == "--version";
    }
    if (!asked)
        return std::nullopt;
    // A core application is enough to print them; it opens no window and touches no file.
    setNames();
    QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    describe(parser);
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("quillet %s\n", qPrintable(core::texts::VersionNumber));
        return 0;
    }
    std::fputs(qPrintable(parser.helpText()), stdout);
    return 0;
}

std::optional<QList<QByteArray>> files(int argc, char** argv)
{
    setNames();
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "quillet: %s\nTry 'quillet --help'.\n",
                     qPrintable(parser.errorText()));
        return std::nullopt;
    }
    // The names as their bytes: the application's own list has decoded them as text.
    QList<QByteArray> paths;
    const QByteArray here = workingFolder();
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        QByteArray argument(argv[i]);
        if (!optionsEnd && argument == "--") {
            optionsEnd = true;
            continue;
        }
        if (!optionsEnd && argument.startsWith('-') && argument.size() > 1)
            continue;
        if (argument.isEmpty())
            continue;
        if (argument.startsWith("file://")) {
            // Some launchers give addresses for %F; a local one names its file.
            const QUrl url = QUrl::fromEncoded(argument);
            if (url.isLocalFile() && (url.host().isEmpty() || url.host() == u"localhost"))
                argument = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        }
        paths.append(argument.startsWith('/') ? argument : here + argument);
    }
    return paths;
}

} // namespace ui::commandline
