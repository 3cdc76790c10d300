// Keyboard use of the window: the Tab key's order through the controls,
// moving between pages with Ctrl+Tab and the arrows from anywhere, Return
// and Enter on buttons, Ctrl+S, and the whole wizard walked by keys alone.
#include "tabledlayout.h"
#include "ui/mainwindow.h"
#include "ui/previewedit.h"
#include "ui/tabcontrol.h"
#include "ui/tabstrip.h"
#include "windowdriver.h"
#include "windowstate.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>

#include <map>

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

// Tab indexes from the design tables; the controls that can take the focus.
std::map<int, QString> tabbedControls()
{
    std::map<int, QString> byIndex;
    for (const tabled::Control &control : tabled::controls())
        if (control.tabIndex > 0)
            byIndex.emplace(control.tabIndex, control.name);
    return byIndex;
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
    void wholeWizardByKeysAlone();

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
    QTest::newRow("start, Vehicles in front")
        << WizardState::Server << 4
        << QStringList{"RichTextBox1", "SSTab1", "Picture1", "Command1"};
    // The Server step's fields run from the bottom row up, its button last.
    QTest::newRow("start, General in front")
        << WizardState::Server << 0
        << QStringList{"RichTextBox1", "SSTab1",   "Combo1",   "Text3",   "Text2",
                       "Text1",        "Command2", "Picture1", "Command1"};
    // The Moderation step's button comes before its fields.
    QTest::newRow("Moderation step")
        << WizardState::Moderation << 0
        << QStringList{"RichTextBox1", "SSTab1", "Command4", "Text10",  "Text9",
                       "Text8",        "Combo3", "Picture1", "Command1"};
    QTest::newRow("Ammunation step")
        << WizardState::Ammunation << 1
        << QStringList{"RichTextBox1", "SSTab1",   "Text15",  "Text16", "Text17", "Text18",
                       "Text19",       "Text21",   "Text20",  "Text22", "Text23", "Text24",
                       "Text28",       "Text25",   "Text26",  "Text27", "Text29", "Text30",
                       "Text31",       "Text32",   "Text34",  "Text33", "Text35", "Command6",
                       "Command13",    "Picture1", "Command1"};
    QTest::newRow("Pickup step, Save usable")
        << WizardState::Pickup << 3
        << QStringList{"RichTextBox1", "SSTab1",    "Text64",   "Text65",   "Text66",   "Text67",
                       "Command9",     "Command11", "Picture1", "Command1", "Command14"};
}

void KeyboardTest::tabOrder()
{
    QFETCH(WizardState, state);
    QFETCH(int, page);
    QFETCH(QStringList, expected);
    walkStraightTo(*window, state);
    window->tabControl()->setCurrentIndex(page);

    // The same order, derived from the tabled indexes and the enabled flags.
    QStringList derived;
    for (const auto &[index, name] : tabbedControls()) {
        QWidget *widget = window->findChild<QWidget *>(name);
        if (widget->isEnabled() && widget->isVisible())
            derived << name;
    }
    QCOMPARE(derived, expected);

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
// the tabs when that step lies on another page.
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
        << WizardState::World << 0 << int(Qt::Key_Space) << "SSTab1";
    QTest::newRow("Class step") << WizardState::ClassAfterAClass << 3 << int(Qt::Key_Enter)
                                << "Text64";
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
    pressed->setFocus();
    QTest::keyClick(pressed, Qt::Key(key));
    QVERIFY(!pressed->isEnabled());
    QCOMPARE(focusedControl(*window), focused);
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
    QCOMPARE(after.fieldTexts, before.fieldTexts);
    QCOMPARE(after.enabledFlags, before.enabledFlags);
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

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
