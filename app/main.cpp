#include "document/maker.h"
#include "document/strings.h"
#include "ui/mainwindow.h"

#include <QApplication>

#ifdef FENNICK_STARTUP_PROBE // the benchmark's build of this program only
#include "bench/exitwhenshown.h"
#endif

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(fennick::toQString(fennick::applicationName));
    QApplication::setDesktopFileName(fennick::toQString(fennick::applicationId));

    fennick::MainWindow window;
    window.show();
#ifdef FENNICK_STARTUP_PROBE
    fennick::exitWhenShownIfAsked(window);
#endif
    return QApplication::exec();
}
