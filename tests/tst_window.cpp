// The whole program clicked through its real window: the files it saves,
// byte for byte, and the edge cases of appending, clearing and saving.
#include "document/banner.h"
#include "document/configfile.h"
#include "referencefile.h"
#include "windowdriver.h"
#include "windowstate.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

using namespace fennick;
using enum Control;

namespace {

// One thing the user does: press a button, type into a field, type at the
// end of the preview (a line feed is the Return key), or empty the preview.
struct Action {
    enum Kind { Press, TypeIntoField, TypeInPreview, EmptyPreview } kind;
    Control control = Command1;
    QString text;
};
using Walk = QList<Action>;

Action pressed(Control button)
{
    return {Action::Press, button, {}};
}

Walk presses(std::initializer_list<Control> buttons)
{
    Walk walk;
    for (Control button : buttons)
        walk.append(pressed(button));
    return walk;
}

Action typed(Control field, const QString &text)
{
    return {Action::TypeIntoField, field, text};
}

Action typedInPreview(const QString &text)
{
    return {Action::TypeInPreview, Command1, text};
}

void typeAtEnd(PreviewEdit *preview, const QString &text)
{
    preview->setFocus();
    preview->moveCursor(QTextCursor::End);
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(preview, Qt::Key_Return);
        QTest::keyClicks(preview, lines[i]);
    }
}

} // namespace

Q_DECLARE_METATYPE(Action)

class WindowTest : public QObject, private WindowFixture {
    Q_OBJECT
private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void savedFile_data();
    void savedFile();
    void startsWithDefaultsAndBanner();
    void typedComboTextStaysOutOfTheList();
    void comboTextIsWrittenAsTyped_data();
    void comboTextIsWrittenAsTyped();
    void fieldsHaveNoLengthLimit();
    void clearCanBeUndone();
    void emptyDocumentSavesTwoBytes();
    void savingTwiceReplacesTheFile();
    void realMessageBox_data();
    void realMessageBox();
};

// Walks that end in Save, and the file each must leave, byte for byte.
void WindowTest::savedFile_data()
{
    QTest::addColumn<Walk>("walk");
    QTest::addColumn<QString>("reference");
    QTest::newRow("worked example")
        << presses({Command1, Command2, Command3, Command4, Command5, Command6, Command13, Command7,
                    Command8, Command10, Command9, Command11, Command12, Command14})
        << "worked-example.ini";
    // Cleared after the World step, so the file starts with the first shop.
    QTest::newRow("each Add pressed three times") << presses(
        {Command2,  Command3,  Command4,  Command5,  Command1,  Command6,  Command6, Command6,
         Command13, Command7,  Command8,  Command8,  Command8,  Command10, Command9, Command9,
         Command9,  Command11, Command12, Command12, Command12, Command14})
                                                  << "every-add-three-times.ini";
    QTest::newRow("steps ended without records, then a car")
        << presses({Command2, Command3, Command4, Command5, Command13, Command7, Command8,
                    Command10, Command11, Command12, Command14})
        << "no-optional-records.ini";
    // The record continues the banner's last line: it starts without a break.
    QTest::newRow("a class right after Clear")
        << presses({Command2, Command3, Command4, Command5, Command13, Command7, Command1, Command8,
                    Command10, Command14})
        << "class-after-clear.ini";
    QTest::newRow("Clear twice in the Vehicle step")
        << presses({Command2, Command3, Command4, Command5, Command13, Command7, Command8,
                    Command10, Command11, Command12, Command1, Command1, Command12, Command14})
        << "clear-in-vehicle-step.ini";
    // An emptied preview holds just the next piece, its leading break included.
    QTest::newRow("emptied preview") << presses({Command2, Command3, Command4, Command5, Command13,
                                                 Command7, Command8, Command10})
                                            + Walk{{Action::EmptyPreview, Command1, {}}}
                                            + presses({Command9, Command11, Command14})
                                     << "emptied-preview.ini";
    // Fields are read at each press, as typed; the user's own lines stay
    // where they were typed, with or without a line break after them.
    QTest::newRow("edited fields and notes")
        << Walk{typed(Text1, "64"),          typed(Combo1, "3"),
                typedInPreview("\nmy note"), pressed(Command2),
                typed(Combo2, "true"),       typed(Text4, "secret"),
                pressed(Command3),           pressed(Command4),
                typed(Text12, " 7 "),        pressed(Command5),
                typed(Text15, "1"),          pressed(Command6),
                typed(Text15, "2"),          typed(Text35, ""),
                pressed(Command6),           pressed(Command13),
                typed(Text36, "Deathmatch"), typed(Text51, "{Text1} %1"),
                pressed(Command7),           typedInPreview("; classes\n"),
                pressed(Command8),           typed(Text53, "002"),
                pressed(Command8),           pressed(Command10),
                typed(Text64, ""),           pressed(Command9),
                pressed(Command11),          typed(Text74, "7"),
                pressed(Command12),          pressed(Command14)}
        << "edited-walk.ini";
}

void WindowTest::savedFile()
{
    QFETCH(Walk, walk);
    QFETCH(QString, reference);
    for (const Action &action : walk) {
        switch (action.kind) {
        case Action::Press:
            driver->click(action.control);
            break;
        case Action::TypeIntoField:
            driver->typeInto(action.control, action.text);
            break;
        case Action::TypeInPreview:
            typeAtEnd(driver->window->preview(), action.text);
            break;
        case Action::EmptyPreview:
            driver->window->preview()->selectAll();
            QTest::keyClick(driver->window->preview(), Qt::Key_Delete);
            QCOMPARE(driver->document(), QString());
            break;
        }
    }
    COMPARE_WITH_REFERENCE(WindowDriver::savedBytes(home.configPath()), reference);
    QCOMPARE(driver->messages.size(), 1);
    QCOMPARE(driver->messages.first().kind, UserMessage::Kind::Information);
    QCOMPARE(driver->messages.first().text,
             "File saved in " + QDir::toNativeSeparators(home.configPath()));
}

void WindowTest::startsWithDefaultsAndBanner()
{
    // The preview starts as Clear would leave it: no line break after the banner.
    QCOMPARE(driver->document(), bannerText());
    QCOMPARE(driver->get<QLineEdit>(Text24)->text(), "12.428 ");
    QCOMPARE(driver->get<QLineEdit>(Text36)->text(), "\"Deathmatch\"");
    QCOMPARE(driver->get<QLineEdit>(Text4)->echoMode(), QLineEdit::Normal);
    auto *combo = driver->get<QComboBox>(Combo4);
    QCOMPARE(combo->currentText(), "0");
    QCOMPARE(combo->count(), 3);
    QVERIFY(combo->isEditable());
}

// Return in a combo box's edit must not add the typed text to the list; a
// chosen item replaces the whole edit text.
void WindowTest::typedComboTextStaysOutOfTheList()
{
    auto *map = driver->get<QComboBox>(Combo1);
    driver->typeInto(Combo1, "3");
    QTest::keyClick(map->lineEdit(), Qt::Key_Return);
    QCOMPARE(map->count(), 2);
    driver->click(Command2);
    QVERIFY(driver->document().endsWith("\r\nMap = 3"));

    driver->get<QComboBox>(Combo2)->setCurrentIndex(1);
    driver->click(Command3);
    QVERIFY(driver->document().contains("\r\nNeedPassword = True\r\n"));
}

// No completion and no case folding: "t" is not the list's "True".
void WindowTest::comboTextIsWrittenAsTyped_data()
{
    QTest::addColumn<Control>("combo");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<WizardState>("state");
    QTest::addColumn<QString>("expectedLine");
    QTest::newRow("prefix of an item")
        << Combo2 << "t" << WizardState::Access << "NeedPassword = t";
    QTest::newRow("capitals") << Combo3 << "FALSE" << WizardState::Moderation
                              << "LogServer = FALSE";
    QTest::newRow("empty") << Combo1 << "" << WizardState::Server << "Map = ";
}

void WindowTest::comboTextIsWrittenAsTyped()
{
    QFETCH(Control, combo);
    QFETCH(QString, typed);
    QFETCH(WizardState, state);
    QFETCH(QString, expectedLine);
    driver->walkTo(state);
    driver->typeInto(combo, typed);
    auto *box = driver->get<QComboBox>(combo);
    QCOMPARE(box->currentText(), typed);
    driver->click(pressesToNextState[std::size_t(state)]); // takes the focus from the box
    QCOMPARE(box->currentText(), typed);
    QVERIFY2(driver->document().split("\r\n").contains(expectedLine),
             qPrintable(driver->document()));
}

void WindowTest::fieldsHaveNoLengthLimit()
{
    const QString longValue(100000, u'x');
    driver->get<QLineEdit>(Text3)->setText(longValue);
    driver->get<QComboBox>(Combo1)->setEditText(longValue);
    driver->click(Command2);
    QVERIFY(driver->document().contains("ServerName = " + longValue + "\r\nMap = " + longValue));
}

// Clear asks nothing, so an accidental press must be recoverable.
void WindowTest::clearCanBeUndone()
{
    driver->walkTo(WizardState::Moderation);
    const QString before = driver->document();
    driver->click(Command1);
    QCOMPARE(driver->document(), bannerText());
    driver->window->preview()->undo();
    QCOMPARE(driver->document(), before);
}

void WindowTest::emptyDocumentSavesTwoBytes()
{
    driver->walkTo(WizardState::Pickup);
    driver->window->preview()->clear();
    driver->click(Command14);
    QCOMPARE(WindowDriver::savedBytes(home.configPath()), QByteArray("\r\n"));
}

void WindowTest::savingTwiceReplacesTheFile()
{
    driver->walkTo(WizardState::Pickup);
    driver->click(Command14);
    QVERIFY(WindowDriver::savedBytes(home.configPath()).endsWith("1 1\r\n\r\n"));
    driver->click(Command1);
    driver->click(Command14);
    QCOMPARE(WindowDriver::savedBytes(home.configPath()), configFileBytes(bannerText()));
    QCOMPARE(driver->messages.size(), 2);
}

void WindowTest::realMessageBox_data()
{
    const QByteArray longer = "an older configuration, longer than the new one will be\r\n";
    QTest::addColumn<QByteArray>("before"); // the file's bytes, or "<folder>" in its place
    QTest::addColumn<int>("icon");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("saved") << QByteArray() << int(QMessageBox::NoIcon) << QByteArray("short\r\n");
    QTest::newRow("saved over a longer file, without asking")
        << longer << int(QMessageBox::NoIcon) << QByteArray("short\r\n");
    QTest::newRow("not saved: a folder in the way")
        << QByteArray("<folder>") << int(QMessageBox::Warning) << QByteArray();
}

// The real box, one kind per row: its icon, the program's name as caption,
// one OK button and the file's place; no other box before it; once it is
// dismissed, the window stays as it was.
void WindowTest::realMessageBox()
{
    QFETCH(QByteArray, before);
    QFETCH(int, icon);
    QFETCH(QByteArray, after);
    driver.reset();
    const QString path = home.configPath();
    const auto removeFolder = qScopeGuard([&path] { QDir().rmdir(path); });
    if (before == "<folder>") {
        QVERIFY(QDir().mkpath(path));
    } else if (!before.isEmpty()) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(before);
    }
    MainWindow window; // shows real message boxes
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    walkStraightTo(window, WizardState::Pickup);
    window.preview()->replaceDocument("short");
    const WindowState unsaved = WindowState::of(window);

    ModalWatcher watcher;
    window.findChild<QPushButton *>(controlName(Command14))->click();
    QCOMPARE(watcher.shown.size(), 1);
    const ModalWatcher::Shown &box = watcher.shown.first();
    QCOMPARE(box.kind, "QMessageBox");
    QCOMPARE(box.icon, icon);
    QCOMPARE(box.caption, "Fennick");
    QCOMPARE(box.buttons, 1);
    QVERIFY2(box.text.contains(QDir::toNativeSeparators(path)), qPrintable(box.text));
    if (icon == QMessageBox::NoIcon)
        QCOMPARE(box.text, SaveMessages::saved(path));

    QCoreApplication::processEvents();
    QVERIFY(window.isVisible());
    const WindowState now = WindowState::of(window);
    QCOMPARE(now.document, unsaved.document);
    COMPARE_CONTROLS(now, unsaved);
    if (!after.isEmpty())
        QCOMPARE(WindowDriver::savedBytes(path), after);
}

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
