// Starts the program: paths, configuration, splash screen, main window, message loop.
#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return 0;
}
