#pragma once
// The small commands that lead outside the library: the maker's home page, the feedback mail
// and the user's download program, all handed to the desktop's shell.

#include "core/Dialogs.h"
#include "core/Session.h"
#include "platform/Shell.h"

namespace core {

namespace outward {
inline const QString HomePage = QStringLiteral("https://quillet.example.org/");
inline const QString FeedbackAddress = QStringLiteral("feedback@quillet.example.org");
inline const QString FeedbackSubject = QStringLiteral("[Quillet]用户信息反馈报告");
inline const QString DownloadCaption = QStringLiteral("请注意！！！");
inline const QString NoDownloadProgram =
    QStringLiteral("你还没有指定使用哪个下载软件！请先在系统选项中设定。");
inline const QString BadDownloadProgram = QStringLiteral("你指定的下载软件无效，请重新设定。");
} // namespace outward

class OutwardCommands
{
public:
    OutwardCommands(const Session& session, platform::Shell& shell, Dialogs& dialogs);

    // The link in the about box and "更新主页": the home page in the web browser.
    void Label_WebUrlClick();
    void t602Click();
    // "信息反馈": a new mail to the maker in the desktop's mail program.
    void t603Click();
    // "启动下载软件" / "下载软件": starts the program [SystemConfig] DragPro names, in its own
    // folder; says so when none is set or the file is gone.
    void exedragproClick();

    // "Mailto:" + the address + "?subject=" + the subject.
    static QString feedbackUrl();

private:
    const Session& m_session;
    platform::Shell& m_shell;
    Dialogs& m_dialogs;
};

} // namespace core
