// Keyboard use of the window: the Tab key's order through the controls,
// moving between pages with Ctrl+Tab and the arrows from anywhere, Return
// and Enter on buttons, Ctrl+S, and the whole wizard walked by keys alone.
#include "ui/focusring.h"
#include "ui/mainwindow.h"
#include "ui/previewedit.h"
#include "ui/tabcontrol.h"
#include "ui/tabstrip.h"
#include "windowdriver.h"
#include "windowstate.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QTimer>

using namespace fennick;

namespace {

// The tabled name of the control that holds the focus: the focus may sit in
// a part of it, such as a combo box's edit or the tab control's strip.
QString focusedControl(const QWidget &window)
{
    for (QWidget *widget = QApplication::focusWidget(); widget && widget != &window;
         widget = widget->parentWidget()) {
        if (!widget->objectName().isEmpty() && !widget->objectName().startsWith("qt_"))
            return widget->objectName();
    }
    return QStringLiteral("<none>");
}

// "Text4".."Text7" and the like: the names of a run of text boxes.
QStringList textBoxes(int first, int last)
{
    QStringList names;
    for (int n = first; n <= last; ++n)
        names << QStringLiteral("Text%1").arg(n);
    return names;
}

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { window.reset(); }

    void tabOrder_data();
    void tabOrder();
    void ctrlTabCyclesPages_data();
    void ctrlTabCyclesPages();
    void arrowsOnTheStripWalkAllTabs();
    void focusAfterAStepEnds_data();
    void focusAfterAStepEnds();
    void enterInAFieldPressesNothing_data();
    void enterInAFieldPressesNothing();
    void ctrlSPressesSaveWhileEnabled_data();
    void ctrlSPressesSaveWhileEnabled();
    void undoFromAnywhere_data();
    void undoFromAnywhere();
    void wholeWizardByKeysAlone();
    void shiftF10OpensThePreviewsMenu();
    void escapeClosesEveryMessageBox_data();
    void escapeClosesEveryMessageBox();
    void typedFieldsAreMarked_data();
    void typedFieldsAreMarked();
    void f8WalksTheMarks_data();
    void f8WalksTheMarks();

private:
    void tabTo(const QString &control);
    std::unique_ptr<MainWindow> window;
    int messages = 0;
};

void KeyboardTest::init()
{
    messages = 0;
    window = std::make_unique<MainWindow>([this](QWidget *, const UserMessage &) {
        ++messages;
        return MessageChoice::Ok;
    });
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QApplication::setActiveWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void KeyboardTest::tabOrder_data()
{
    QTest::addColumn<WizardState>("state");
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("expected"); // from the preview round to it
    // Inside each step: its fields in reading order, then its buttons.
    const QStringList before{"RichTextBox1", "SSTab1"};
    const QStringList after{"Picture1", "Command1"};
    const QStringList afterWithSave = after + QStringList{"Command14"};
    QTest::newRow("start, Vehicles in front") << WizardState::Server << 4 << before + after;
    QTest::newRow("Server step") << WizardState::Server << 0
                                 << before + textBoxes(1, 3) + QStringList{"Combo1", "Command2"}
                                        + after;
    QTest::newRow("Access step") << WizardState::Access << 0
                                 << before + QStringList{"Combo2"} + textBoxes(4, 7)
                                        + QStringList{"Command3"} + after;
    QTest::newRow("Moderation step")
        << WizardState::Moderation << 0
        << before + QStringList{"Combo3"} + textBoxes(8, 10) + QStringList{"Command4"} + after;
    QTest::newRow("World step") << WizardState::World << 0
                                << before + textBoxes(11, 14) + QStringList{"Command5"} + after;
    QTest::newRow("Ammunation step, both frames")
        << WizardState::Ammunation << 1
        << before + textBoxes(15, 35) + QStringList{"Command6", "Command13"} + after;
    QTest::newRow("Game step") << WizardState::Game << 2
                               << before + QStringList{"Text36", "Text37", "Combo4"}
                                      + textBoxes(38, 51) + QStringList{"Command7"} + after;
    // Two fields a row at the bottom: left, then right.
    QTest::newRow("Class step") << WizardState::ClassAfterAClass << 3
                                << before + textBoxes(52, 63) + QStringList{"Command8", "Command10"}
                                       + after;
    QTest::newRow("Pickup step, Save usable")
        << WizardState::Pickup << 3
        << before + textBoxes(64, 67) + QStringList{"Command9", "Command11"} + afterWithSave;
    QTest::newRow("Vehicle step") << WizardState::Vehicle << 4
                                  << before + textBoxes(68, 74) + QStringList{"Command12"}
                                         + afterWithSave;
}

void KeyboardTest::tabOrder()
{
    QFETCH(WizardState, state);
    QFETCH(int, page);
    QFETCH(QStringList, expected);
    walkStraightTo(*window, state);
    window->tabControl()->setCurrentIndex(page);
    window->findChild<QWidget *>("RichTextBox1")->setFocus();
    QStringList visited{focusedControl(*window)};
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << focusedControl(*window);
    }
    QCOMPARE(visited, expected + QStringList{expected.first()});
}

void KeyboardTest::ctrlTabCyclesPages_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QList<int>>("pages");
    QTest::addColumn<QString>("focusAfter");
    const int ctrl = int(Qt::ControlModifier);
    const int ctrlShift = ctrl | int(Qt::ShiftModifier);
    // From a field on the page, the focus goes to the tabs, as in QTabWidget.
    QTest::newRow("Ctrl+Tab") << "Text1" << int(Qt::Key_Tab) << ctrl << QList<int>{1, 2, 3, 4, 0}
                              << "SSTab1";
    QTest::newRow("Ctrl+Shift+Tab")
        << "Text1" << int(Qt::Key_Backtab) << ctrlShift << QList<int>{4, 3, 2, 1, 0} << "SSTab1";
    QTest::newRow("Ctrl+Shift+Tab sent as Tab")
        << "Text1" << int(Qt::Key_Tab) << ctrlShift << QList<int>{4, 3, 2, 1, 0} << "SSTab1";
    QTest::newRow("Ctrl+PgDown") << "Text1" << int(Qt::Key_PageDown) << ctrl
                                 << QList<int>{1, 2, 3, 4, 0} << "SSTab1";
    QTest::newRow("Ctrl+PgUp") << "Text1" << int(Qt::Key_PageUp) << ctrl
                               << QList<int>{4, 3, 2, 1, 0} << "SSTab1";
    QTest::newRow("Ctrl+Tab from a button")
        << "Command2" << int(Qt::Key_Tab) << ctrl << QList<int>{1, 2, 3, 4, 0} << "SSTab1";
    // From outside the pages, where the focus starts, it stays where it is.
    QTest::newRow("Ctrl+Tab from the preview") << "RichTextBox1" << int(Qt::Key_Tab) << ctrl
                                               << QList<int>{1, 2, 3, 4, 0} << "RichTextBox1";
    QTest::newRow("Ctrl+Shift+Tab from the preview")
        << "RichTextBox1" << int(Qt::Key_Backtab) << ctrlShift << QList<int>{4, 3, 2, 1, 0}
        << "RichTextBox1";
    QTest::newRow("Ctrl+PgDown from the preview") << "RichTextBox1" << int(Qt::Key_PageDown) << ctrl
                                                  << QList<int>{1, 2, 3, 4, 0} << "RichTextBox1";
    QTest::newRow("Ctrl+PgUp from Clear")
        << "Command1" << int(Qt::Key_PageUp) << ctrl << QList<int>{4, 3, 2, 1, 0} << "Command1";
}

void KeyboardTest::ctrlTabCyclesPages()
{
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QList<int>, pages);
    QFETCH(QString, focusAfter);
    window->tabControl()->setCurrentIndex(0);
    window->findChild<QWidget *>(from)->setFocus();
    const QString document = window->preview()->documentText();
    QList<int> visited;
    for (int i = 0; i < pages.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key),
                        Qt::KeyboardModifiers(modifiers));
        visited << window->tabControl()->currentIndex();
        QCOMPARE(focusedControl(*window), focusAfter);
    }
    QCOMPARE(visited, pages);
    QCOMPARE(window->preview()->documentText(), document); // no tab typed into the preview
}

void KeyboardTest::arrowsOnTheStripWalkAllTabs()
{
    TabStrip *strip = window->tabControl()->tabStrip();
    strip->setFocus();
    QTest::keyClick(strip, Qt::Key_Home);
    QList<int> visited{strip->currentIndex()};
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(strip, Qt::Key_Right);
        visited << strip->currentIndex();
    }
    QCOMPARE(visited, (QList<int>{0, 1, 2, 3, 4, 4})); // across both rows, stopping at the end
    QTest::keyClick(strip, Qt::Key_Left);
    QCOMPARE(strip->currentIndex(), 3);
    QTest::keyClick(strip, Qt::Key_End);
    QCOMPARE(window->tabControl()->currentIndex(), 4);
}

// A Continue pressed from the keyboard disables itself; the focus must not
// fall onto the picture or Clear, but go on to the step just opened, or to
// the tab that holds it when that lies on another page ("2. Ammunations":
// the strip, on that tab), which Space brings to the front.
void KeyboardTest::focusAfterAStepEnds_data()
{
    QTest::addColumn<WizardState>("state"); // the step whose Continue is pressed
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("focused");
    QTest::newRow("Server step") << WizardState::Server << 0 << int(Qt::Key_Space) << "Combo2";
    // Return and Enter press the focused button as Space does.
    QTest::newRow("Server step, Return")
        << WizardState::Server << 0 << int(Qt::Key_Return) << "Combo2";
    QTest::newRow("Server step, Enter")
        << WizardState::Server << 0 << int(Qt::Key_Enter) << "Combo2";
    QTest::newRow("Moderation step")
        << WizardState::Moderation << 0 << int(Qt::Key_Return) << "Text11";
    QTest::newRow("World step, next on another page")
        << WizardState::World << 0 << int(Qt::Key_Space) << "2. Ammunations";
    QTest::newRow("Class step") << WizardState::ClassAfterAClass << 3 << int(Qt::Key_Enter)
                                << "Text64";
    // A mouse press (key 0) gives the button the focus as well.
    QTest::newRow("Server step, mouse") << WizardState::Server << 0 << 0 << "Combo2";
    QTest::newRow("World step, mouse") << WizardState::World << 0 << 0 << "2. Ammunations";
    QTest::newRow("Game step, mouse") << WizardState::Game << 2 << 0 << "4. Classes / Pickups";
    QTest::newRow("Pickup step, Return")
        << WizardState::Pickup << 3 << int(Qt::Key_Return) << "5. Vehicles";
}

void KeyboardTest::focusAfterAStepEnds()
{
    QFETCH(WizardState, state);
    QFETCH(int, page);
    QFETCH(int, key);
    QFETCH(QString, focused);
    walkStraightTo(*window, state);
    window->tabControl()->setCurrentIndex(page);
    auto *pressed
        = window->findChild<QPushButton *>(controlName(pressesToNextState[std::size_t(state)]));
    auto *scrollArea = window->findChild<QScrollArea *>();
    TabStrip *strip = window->tabControl()->tabStrip();
    const bool onATab = focused.front().isDigit();
    QWidget *next = onATab ? strip : window->findChild<QWidget *>(focused);
    // On a small screen the window scrolls: only to bring the next control
    // into view, never on the way to it.
    const QPoint nextAt = next->mapTo(scrollArea->viewport(), QPoint(0, 0));
    const bool nextInView = scrollArea->viewport()->rect().contains(QRect(nextAt, next->size()));
    const QPoint pressedAt = pressed->mapTo(window.get(), QPoint(0, 0));
    if (key == 0) {
        QTest::mouseClick(pressed, Qt::LeftButton);
    } else {
        pressed->setFocus();
        QTest::keyClick(pressed, Qt::Key(key));
    }
    QVERIFY(!pressed->isEnabled());
    if (nextInView)
        QCOMPARE(pressed->mapTo(window.get(), QPoint(0, 0)), pressedAt);
    if (!onATab) {
        QCOMPARE(focusedControl(*window), focused);
        return;
    }
    QCOMPARE(QApplication::focusWidget(), strip);
    QCOMPARE(strip->tabText(strip->focusTab()), focused);
    QCOMPARE(window->tabControl()->currentIndex(), page); // the tab in front stays
    const auto ringOnTheTab = [&] {
        auto *ring = window->findChild<FocusRing *>();
        const QRect marked(ring->mapTo(window.get(), QPoint(0, 0)), ring->size());
        const QRect tab = strip->tabRect(strip->focusTab());
        return QRect(strip->mapTo(window.get(), tab.topLeft()), tab.size()).contains(marked);
    };
    QVERIFY(ringOnTheTab());
    QTest::keyClick(strip, Qt::Key_Space);
    QCOMPARE(strip->tabText(window->tabControl()->currentIndex()), focused);
    QVERIFY(ringOnTheTab()); // also where its row moved to the front
}

// No button is the window's default: Return in a field leaves everything.
void KeyboardTest::enterInAFieldPressesNothing_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("key");
    QTest::newRow("text box, Return") << "Text1" << int(Qt::Key_Return);
    QTest::newRow("text box, Enter") << "Text3" << int(Qt::Key_Enter);
    QTest::newRow("combo box, Return") << "Combo1" << int(Qt::Key_Return);
}

void KeyboardTest::enterInAFieldPressesNothing()
{
    QFETCH(QString, field);
    QFETCH(int, key);
    window->tabControl()->setCurrentIndex(0);
    window->findChild<QWidget *>(field)->setFocus();
    const WindowState before = WindowState::of(*window);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    const WindowState after = WindowState::of(*window);
    QCOMPARE(after.document, before.document);
    COMPARE_CONTROLS(after, before);
    QCOMPARE(focusedControl(*window), field);
}

void KeyboardTest::ctrlSPressesSaveWhileEnabled_data()
{
    QTest::addColumn<WizardState>("state");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("saved");
    QTest::newRow("at start") << WizardState::Server << 4 << "RichTextBox1" << false;
    QTest::newRow("Class step open") << WizardState::ClassBeforeAClass << 3 << "Text52" << false;
    QTest::newRow("from the preview") << WizardState::Pickup << 3 << "RichTextBox1" << true;
    QTest::newRow("from a field") << WizardState::Pickup << 3 << "Text64" << true;
    QTest::newRow("from the tabs") << WizardState::Vehicle << 4 << "SSTab1" << true;
}

void KeyboardTest::ctrlSPressesSaveWhileEnabled()
{
    QFETCH(WizardState, state);
    QFETCH(int, page);
    QFETCH(QString, from);
    QFETCH(bool, saved);
    TemporaryHome home;
    QVERIFY(home.isValid());
    walkStraightTo(*window, state);
    window->tabControl()->setCurrentIndex(page);
    QWidget *focus = window->findChild<QWidget *>(from);
    focus = focus == window->tabControl() ? window->tabControl()->tabStrip() : focus;
    focus->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(messages, saved ? 1 : 0);
    QCOMPARE(QFile::exists(home.configPath()), saved);
    if (saved)
        QCOMPARE(WindowDriver::savedBytes(home.configPath()),
                 window->preview()->fileBytes()); // Save's own bytes
    QCOMPARE(focusedControl(*window), from);
}

// Ctrl+Z undoes the preview's last change wherever the focus is, unless the
// focused control has an undo of its own; Ctrl+Shift+Z and Ctrl+Y redo.
void KeyboardTest::undoFromAnywhere_data()
{
    QTest::addColumn<QString>("focus"); // after a mouse click on Clear
    QTest::addColumn<QKeySequence>("redo");
    QTest::addColumn<bool>("undone");
    QTest::newRow("Clear keeps the focus") << "Command1" << QKeySequence("Ctrl+Shift+Z") << true;
    QTest::newRow("the tabs") << "SSTab1" << QKeySequence("Ctrl+Y") << true;
    QTest::newRow("the picture") << "Picture1" << QKeySequence("Ctrl+Shift+Z") << true;
    QTest::newRow("a field, its own undo") << "Text4" << QKeySequence() << false;
}

void KeyboardTest::undoFromAnywhere()
{
    QFETCH(QString, focus);
    QFETCH(QKeySequence, redo);
    QFETCH(bool, undone);
    walkStraightTo(*window, WizardState::Access);
    window->tabControl()->setCurrentIndex(0);
    const QString before = window->preview()->documentText();
    QTest::mouseClick(window->findChild<QWidget *>("Command1"), Qt::LeftButton);
    const QString cleared = window->preview()->documentText();
    QVERIFY(cleared != before);
    QWidget *focused = window->findChild<QWidget *>(focus);
    (focused == window->tabControl() ? window->tabControl()->tabStrip() : focused)->setFocus();
    QCOMPARE(focusedControl(*window), focus);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(window->preview()->documentText(), undone ? before : cleared);
    if (undone) {
        QTest::keySequence(QApplication::focusWidget(), redo);
        QCOMPARE(window->preview()->documentText(), cleared);
    }
}

void KeyboardTest::tabTo(const QString &control)
{
    for (int i = 0; i < 100 && focusedControl(*window) != control; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(focusedControl(*window), control);
}

// Every step by keys alone, from the preview where the focus starts, to a
// file byte for byte the same as the mouse's. Also run on a 1280x600
// screen, where the window scrolls: the focused control is always in view.
void KeyboardTest::wholeWizardByKeysAlone()
{
    TemporaryHome home;
    QVERIFY(home.isValid());
    const QRect screen = window->screen()->availableGeometry();
    QVERIFY(screen.contains(window->frameGeometry()));
    auto *scrollArea = window->findChild<QScrollArea *>();
    const QList<std::pair<int, Control>> steps{
        {0, Control::Command2}, {0, Control::Command3},  {0, Control::Command4},
        {0, Control::Command5}, {1, Control::Command6},  {1, Control::Command13},
        {2, Control::Command7}, {3, Control::Command8},  {3, Control::Command10},
        {3, Control::Command9}, {3, Control::Command11}, {4, Control::Command12},
        {4, Control::Command12}};
    for (const auto &[page, button] : steps) {
        while (window->tabControl()->currentIndex() != page)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
        tabTo(controlName(button));
        QWidget *focused = QApplication::focusWidget();
        const QRect inView(focused->mapTo(scrollArea->viewport(), QPoint(0, 0)), focused->size());
        QVERIFY2(scrollArea->viewport()->rect().contains(inView), qPrintable(controlName(button)));
        QTest::keyClick(focused, Qt::Key_Return);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(messages, 1);

    WindowDriver mouse;
    for (const auto &[page, button] : steps)
        mouse.click(button);
    QCOMPARE(WindowDriver::savedBytes(home.configPath()), mouse.window->preview()->fileBytes());
}

// Shift+F10 opens the preview's menu at the caret, as the Menu key does.
void KeyboardTest::shiftF10OpensThePreviewsMenu()
{
    PreviewEdit *preview = window->preview();
    preview->setFocus();
    preview->moveCursor(QTextCursor::End);
    const QPoint caret = preview->viewport()->mapToGlobal(preview->cursorRect().center());
    QPoint shownAt;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            shownAt = menu->pos();
            menu->close();
        }
    });
    poll.start();
    QTest::keyClick(preview, Qt::Key_F10, Qt::ShiftModifier);
    QCOMPARE(shownAt, caret);
}

void KeyboardTest::escapeClosesEveryMessageBox_data()
{
    QTest::addColumn<bool>("homeExists");
    QTest::addColumn<QStringList>("buttons");
    QTest::newRow("file saved") << true << QStringList{"OK"};
    // The usual shape of a server's account, such as nobody's /nonexistent.
    QTest::newRow("not saved: no home folder")
        << false << QStringList{"OK", QStringLiteral("Save As\u2026")};
}

// Escape answers each message box as OK does, never with Save As.
void KeyboardTest::escapeClosesEveryMessageBox()
{
    QFETCH(bool, homeExists);
    QFETCH(QStringList, buttons);
#ifdef Q_OS_WIN
    if (!homeExists)
        QSKIP("Save writes C:\\Config.ini on Windows, never into the home folder");
#endif
    TemporaryHome home;
    QVERIFY(home.isValid());
    if (!homeExists)
        qputenv("HOME", QFile::encodeName(home.path() + "/nonexistent"));
    MainWindow boxes(showMessageBox);
    boxes.show();
    QApplication::setActiveWindow(&boxes);
    QVERIFY(QTest::qWaitForWindowActive(&boxes));
    walkStraightTo(boxes, WizardState::Pickup);
    const QString document = boxes.preview()->documentText();
    QStringList seen;
    int escapes = 0;
    int otherDialogs = 0;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (box && escapes++ == 0) {
            for (const QAbstractButton *button : box->buttons())
                seen << button->text();
        }
        if (box && escapes < 20)
            QTest::keyClick(box, Qt::Key_Escape);
        else if (box)
            box->button(QMessageBox::Ok)->click(); // Escape did nothing
        else if (modal && ++otherDialogs)
            modal->close(); // the file dialog of Save As
    });
    poll.start();
    boxes.preview()->setFocus();
    QTest::keyClick(boxes.preview(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(seen, buttons);
    QCOMPARE(escapes, 1);
    QCOMPARE(otherDialogs, 0);
    QCOMPARE(boxes.preview()->documentText(), document);
    QCOMPARE(QFile::exists(home.configPath()), homeExists);
}

void KeyboardTest::typedFieldsAreMarked_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("spoken"); // a part of the description; none for a good value
    QTest::newRow("a letter O in Max players") << "Text1"
                                               << "5O"
                                               << "a whole number";
    QTest::newRow("Max players mended") << "Text1"
                                        << "50"
                                        << "";
    QTest::newRow("Listen port") << "Text2"
                                 << "99999"
                                 << "from 1 to 65535";
    QTest::newRow("Server Name without quotes") << "Text3"
                                                << "My server"
                                                << "quotation marks";
}

// Through real keys: the field shows its mark and speaks it, and a good
// value takes both away.
void KeyboardTest::typedFieldsAreMarked()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, spoken);
    auto *edit = window->findChild<QLineEdit *>(field);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, "5O"); // a mark to take away first
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), typed); // nothing refused or changed
    const QString description = edit->accessibleDescription();
    QVERIFY2(spoken.isEmpty() ? description.isEmpty() : description.contains(spoken),
             qPrintable(description));
    bool shown = false;
    for (const QAction *action : edit->actions())
        shown = shown || action->isVisible();
    QCOMPARE(shown, !spoken.isEmpty());
}

void KeyboardTest::f8WalksTheMarks_data()
{
    QTest::addColumn<QString>("text");       // empty: the wizard's walk with its defaults
    QTest::addColumn<QStringList>("spoken"); // on each line F8 stops at, in turn
    QTest::newRow("four troubles")
        << "ListenPort = 99999\r\nServerName = My server\r\n[GAME]\r\nVehicle = 1 2 3 4 5 6"
        << QStringList{"1 to 65535", "quotation marks", "7 values; this line has 6"};
    QTest::newRow("the walk with default texts") << "" << QStringList();
}

// From anywhere in the window F8 takes the caret to the next mark, and the
// preview speaks it; Shift+F8 goes back; with no mark nothing moves.
void KeyboardTest::f8WalksTheMarks()
{
    QFETCH(QString, text);
    QFETCH(QStringList, spoken);
    PreviewEdit *preview = window->preview();
    if (text.isEmpty()) {
        for (const Control press : pressesToNextState)
            window->findChild<QAbstractButton *>(controlName(press))->click();
    } else {
        preview->setPlainText(text);
    }
    preview->moveCursor(QTextCursor::Start);
    // Where the focus stands at first: a field, or the tabs once the walk
    // has closed the Server step.
    auto *field = window->findChild<QWidget *>(text.isEmpty() ? "SSTab1" : "Text1");
    field->setFocus();
    const auto press = [&](Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8, modifiers);
        return std::pair{preview->textCursor().blockNumber(), preview->accessibleDescription()};
    };
    QList<int> lines;
    for (const QString &message : spoken) {
        const auto [line, description] = press(Qt::NoModifier);
        QCOMPARE(QApplication::focusWidget(), preview);
        QVERIFY2(description.contains(message), qPrintable(description));
        lines << line;
    }
    for (qsizetype i = lines.size() - 2; i >= 0; --i)
        QCOMPARE(press(Qt::ShiftModifier).first, lines[i]);
    if (spoken.isEmpty()) {
        const QWidget *focused = QApplication::focusWidget();
        QCOMPARE(press(Qt::NoModifier), std::pair(0, QString()));
        QCOMPARE(QApplication::focusWidget(), focused);
    }
}

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
