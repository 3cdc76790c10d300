// Where a user clicks to press each named button, for driving a built
// program from outside (xdotool): one line per button,
//   NAME TAB_X TAB_Y BUTTON_X BUTTON_Y
// in pixels of the window's client area: first the tab that brings the
// button's page to the front (-1 -1 when it stands on no page), then the
// button, each where it is once the buttons before have been pressed. The layout is fixed in twips, so the figures hold wherever the
// window is shown at 96 dots per inch.
#include "ui/mainwindow.h"
#include "ui/tabcontrol.h"
#include "ui/tabstrip.h"

#include <QApplication>
#include <QPushButton>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    fennick::MainWindow window(
        [](QWidget *, const fennick::UserMessage &) { return fennick::MessageChoice::Ok; });
    window.show();
    QTextStream out(stdout);
    fennick::TabControl *tabs = window.tabControl();
    for (const QString &name : QApplication::arguments().mid(1)) {
        const auto *button = window.findChild<QPushButton *>(name);
        if (!button) {
            qWarning("no button %s", qPrintable(name));
            return 2;
        }
        QPoint tab(-1, -1);
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->page(i)->isAncestorOf(button)) {
                const fennick::TabStrip *strip = tabs->tabStrip();
                tab = strip->mapTo(&window, strip->tabRect(i).center());
                tabs->setCurrentIndex(i); // as the click will: the rows of tabs may move
            }
        }
        const QPoint centre = button->mapTo(&window, button->rect().center());
        out << name << ' ' << tab.x() << ' ' << tab.y() << ' ' << centre.x() << ' ' << centre.y()
            << '\n';
    }
    return 0;
}
