// The fennick program as users start it, plus the probe that tells the
// benchmark when its window is shown.
#include "bench/exitwhenshown.h"
#include "ui/application.h"
#include "ui/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    fennick::setUpApplication();
    fennick::MainWindow window;
    window.show();
    fennick::exitWhenShownIfAsked(window);
    return QApplication::exec();
}
