// Renders the main window with each of its five pages in front, as PNG files:
//   fennick_render_pages OUTPUT_FOLDER [--walk | BUTTON...]
// The buttons named (Command2 ...) are pressed first, so the pictures show
// the program in use; --walk presses every step's, with a few records added.
#include "ui/mainwindow.h"
#include "ui/tabcontrol.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTest>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2) {
        qWarning("usage: fennick_render_pages OUTPUT_FOLDER [--walk | BUTTON...]");
        return 2;
    }
    const QDir output(arguments.at(1));
    if (!output.mkpath(QStringLiteral(".")))
        return 1;

    fennick::MainWindow window([](QWidget *, const fennick::UserMessage &) {});
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    QStringList buttons = arguments.mid(2);
    if (buttons == QStringList{QStringLiteral("--walk")}) {
        buttons = QStringList{"Command2", "Command3", "Command4", "Command5", "Command6",
                              "Command13", "Command7", "Command8", "Command10", "Command9",
                              "Command11", "Command12", "Command12"};
    }
    for (const QString &name : std::as_const(buttons)) {
        auto *button = window.findChild<QPushButton *>(name);
        if (!button || !button->isEnabled()) {
            qWarning("no enabled button %s", qPrintable(name));
            return 2;
        }
        button->click();
    }
    for (int page = 0; page < window.tabControl()->count(); ++page) {
        window.tabControl()->setCurrentIndex(page);
        QApplication::processEvents();
        const QString file = output.filePath(QStringLiteral("page-%1.png").arg(page + 1));
        if (!window.grab().save(file))
            return 1;
        qInfo("%s", qPrintable(file));
    }
    return 0;
}
