#include "document/maker.h"
#include "document/strings.h"
#include "ui/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(fennick::toQString(fennick::applicationName));

    fennick::MainWindow window;
    window.show();
    return QApplication::exec();
}
