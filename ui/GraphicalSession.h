#pragma once
// The desktop's window system, chosen before the application object exists, and what it
// allows. Where X is there (an X session, or XWayland beside a Wayland one) the program runs
// on X, which keeps the drop window on top where it was put; where only Wayland is, it runs on
// Wayland, which lets a program do neither.

#include <QString>

#include <optional>

namespace ui::session {

// Chooses the window system unless the user did (QT_QPA_PLATFORM, -platform). False, with the
// program's message in `why`, when no graphical session is there to show windows in.
bool prepare(QString* why);

// Held while the application object is made: a window system that cannot start ends the
// program with its own message and exit code 1, not with Qt's abort.
class StartGuard
{
public:
    StartGuard();
    ~StartGuard();
    StartGuard(const StartGuard&) = delete;
    StartGuard& operator=(const StartGuard&) = delete;
};

// The message a window system that cannot start leaves (Qt has told its reasons before).
QString cannotStartMessage();

// True when windows can be kept on top and placed by the program (not on Wayland).
bool placesWindows();
// Tests stand in for a window system that cannot (false) or can (true); none asks Qt again.
void setPlacesWindows(std::optional<bool> places);

} // namespace ui::session
