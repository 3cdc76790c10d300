// Renders the main window with each of its five pages in front, as PNG files:
//   fennick_render_pages OUTPUT_FOLDER [--dark | --breeze-dark] [--preview [--marks]]
//                        [--walk | BUTTON...]
// The buttons named (Command2 ...) are pressed first, so the pictures show
// the program in use; --walk presses every step's, with a few records added
// and a comment typed before the classes. --preview renders only the frame
// "Your config" as preview.png, and with --marks lines that the preview
// marks (a typo, a repeated key, invisible characters) typed at the end;
// --checks renders the first page as checks.png, with values the fields and
// the preview mark typed into both; --dark uses a dark palette,
// --breeze-dark KDE's.
#include "darkpalette.h"
#include "ui/mainwindow.h"
#include "ui/previewedit.h"
#include "ui/tabcontrol.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2) {
        qWarning(
            "usage: fennick_render_pages OUTPUT_FOLDER [--dark] [--preview] [--walk | BUTTON...]");
        return 2;
    }
    if (arguments.removeAll(QStringLiteral("--dark")) > 0)
        QApplication::setPalette(darkPalette());
    if (arguments.removeAll(QStringLiteral("--breeze-dark")) > 0)
        QApplication::setPalette(breezeDarkPalette());
    const bool previewOnly = arguments.removeAll(QStringLiteral("--preview")) > 0;
    const bool marks = arguments.removeAll(QStringLiteral("--marks")) > 0;
    const bool checks = arguments.removeAll(QStringLiteral("--checks")) > 0;
    const QDir output(arguments.at(1));
    if (!output.mkpath(QStringLiteral(".")))
        return 1;

    fennick::MainWindow window(
        [](QWidget *, const fennick::UserMessage &) { return fennick::MessageChoice::Ok; });
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    QStringList buttons = arguments.mid(2);
    const bool walk = buttons == QStringList{QStringLiteral("--walk")};
    if (walk) {
        buttons = QStringList{"Command2",  "Command3",  "Command4", "Command5",  "Command6",
                              "Command13", "Command7",  "Command8", "Command10", "Command9",
                              "Command11", "Command12", "Command12"};
    }
    for (const QString &name : std::as_const(buttons)) {
        if (walk && name == QStringLiteral("Command8")) {
            fennick::PreviewEdit *preview = window.preview();
            preview->setFocus();
            preview->moveCursor(QTextCursor::End);
            QTest::keyClicks(preview, QStringLiteral("; Classes"));
            QTest::keyClick(preview, Qt::Key_Return);
        }
        auto *button = window.findChild<QPushButton *>(name);
        if (!button || !button->isEnabled()) {
            qWarning("no enabled button %s", qPrintable(name));
            return 2;
        }
        button->click();
    }
    if (marks) {
        QTextCursor cursor(window.preview()->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("\n\nMaxPlayer = 50\nMaxPlayers = 60\n"
                                         "\uFEFFPassword = \u202Eterces\nPing = 2\u200B00"));
        window.preview()->setTextCursor(cursor);
    }
    if (checks) {
        for (const auto &[field, typed] :
             {std::pair{"Text1", "5O"}, {"Text2", "99999"}, {"Text3", "My server"}}) {
            auto *edit = window.findChild<QLineEdit *>(QString::fromLatin1(field));
            edit->selectAll();
            QTest::keyClicks(edit, QString::fromLatin1(typed));
        }
        QTextCursor cursor(window.preview()->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("\nListenPort = 99999\nServerName = My server\n"
                                         "RconPort\u00A0= 7000\n[GAME]\nVehicle = 1 2 3 4 5 6\n"
                                         "NeedPassword = Ture"));
        window.preview()->setTextCursor(cursor);
        window.preview()->ensureCursorVisible();
        window.tabControl()->setCurrentIndex(0);
        QApplication::processEvents();
        const QString file = output.filePath(QStringLiteral("checks.png"));
        if (!window.grab().save(file))
            return 1;
        qInfo("%s", qPrintable(file));
        return 0;
    }
    if (previewOnly) {
        window.preview()->setFocus();
        QApplication::processEvents();
        const QString file = output.filePath(QStringLiteral("preview.png"));
        if (!window.findChild<QWidget *>(QStringLiteral("Frame5"))->grab().save(file))
            return 1;
        qInfo("%s", qPrintable(file));
        return 0;
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
