#include "core/OutwardCommands.h"

namespace core {

OutwardCommands::OutwardCommands(const Session& session, platform::Shell& shell, Dialogs& dialogs)
    : m_session(session), m_shell(shell), m_dialogs(dialogs)
{
}

void OutwardCommands::Label_WebUrlClick()
{
    m_shell.openUrl(outward::HomePage);
}

void OutwardCommands::t602Click()
{
    m_shell.openUrl(outward::HomePage);
}

QString OutwardCommands::feedbackUrl()
{
    return QStringLiteral("Mailto:") + outward::FeedbackAddress + QStringLiteral("?subject=") +
           outward::FeedbackSubject;
}

void OutwardCommands::t603Click()
{
    m_shell.openUrl(feedbackUrl());
}

void OutwardCommands::exedragproClick()
{
    const QString program = m_session.options().DragPro;
    if (program.trimmed().isEmpty()) {
        m_dialogs.ask(outward::DownloadCaption, outward::NoDownloadProgram, MessageIcon::Warning,
                      Buttons::Ok, Answer::Ok);
        return;
    }
    const platform::FileSystem& fs = m_session.fs();
    if (!fs.isFile(program)) {
        m_dialogs.ask(outward::DownloadCaption, outward::BadDownloadProgram, MessageIcon::Error,
                      Buttons::Ok, Answer::Ok);
        return;
    }
    // A program starts in its own folder; any other file opens with the program the desktop
    // associates with it.
    platform::ShellExecute(m_shell, fs, program, program.left(program.lastIndexOf(u'/') + 1));
}

} // namespace core
