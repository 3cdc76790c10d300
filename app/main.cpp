#include "app/exitwhenshown.h"
#include "document/maker.h"
#include "document/strings.h"
#include "ui/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(fennick::toQString(fennick::applicationName));
    QApplication::setDesktopFileName(fennick::toQString(fennick::applicationId));

    fennick::MainWindow window;
    window.show();
    fennick::exitWhenShownIfAsked(window);
    return QApplication::exec();
}
