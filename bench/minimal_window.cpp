// The baseline for Fennick's start-up figures: a Qt Widgets program that shows
// one empty window and nothing else, probed the same way as Fennick.
#include "bench/exitwhenshown.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.show();
    fennick::exitWhenShownIfAsked(window);
    return QApplication::exec();
}
