#include "ui/application.h"
#include "ui/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    fennick::setUpApplication();
    fennick::MainWindow window;
    window.show();
    return QApplication::exec();
}
