#pragma once
// The application object: Chinese texts in Qt's own dialogs, and the top-level handler that
// shows an error a command did not expect in the error box and goes back to the loop.

#include <QApplication>

namespace ui {

class Application : public QApplication
{
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace ui
