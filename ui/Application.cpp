#include "ui/Application.h"

#include "core/Texts.h"
#include "platform/Errors.h"
#include "ui/ChineseQtTexts.h"
#include "ui/Conversions.h"
#include "ui/Icons.h"

#include <QMessageBox>

// The pictures are compiled into the ui library; a static library needs them named once.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace ui {

namespace {

void showUnexpected(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, core::texts::AppTitle, messageText(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    initResources();
    setApplicationName(QStringLiteral("quillet"));
    setApplicationVersion(core::texts::VersionNumber);
    // The desktop matches the windows to the menu entry scripts/run.sh installs.
    setDesktopFileName(QStringLiteral("io.github.quillet.Quillet"));
    // The interface is Chinese whatever the system language: Qt's own dialogs and buttons too.
    ChineseQtTexts::install(*this);
    icons::chooseIconTheme();
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const platform::UserError& error) {
        showUnexpected(error.message());
    } catch (const std::exception& error) {
        showUnexpected(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

} // namespace ui
