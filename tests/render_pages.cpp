// Renders the main window with each of its five pages in front, as PNG files:
//   fennick_render_pages OUTPUT_FOLDER [--walk]
// With --walk the wizard is first clicked through to its last step, with a
// few records added, so the pictures show the program in use.
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
        qWarning("usage: fennick_render_pages OUTPUT_FOLDER [--walk]");
        return 2;
    }
    const QDir output(arguments.at(1));
    if (!output.mkpath(QStringLiteral(".")))
        return 1;

    fennick::MainWindow window([](QWidget *, const fennick::UserMessage &) {});
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    if (arguments.contains(QStringLiteral("--walk"))) {
        for (const char *name : {"Command2", "Command3", "Command4", "Command5", "Command6",
                                 "Command13", "Command7", "Command8", "Command10", "Command9",
                                 "Command11", "Command12", "Command12"})
            window.findChild<QPushButton *>(QString::fromLatin1(name))->click();
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
