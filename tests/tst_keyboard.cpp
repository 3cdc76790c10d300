// Keyboard use of the window: the Tab key's order through the controls, and
// moving between pages with Ctrl+Tab and the arrows.
#include "tabledlayout.h"
#include "ui/mainwindow.h"
#include "ui/tabcontrol.h"
#include "ui/tabstrip.h"
#include "windowdriver.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
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

private:
    std::unique_ptr<MainWindow> window;
};

void KeyboardTest::init()
{
    window = std::make_unique<MainWindow>([](QWidget *, const UserMessage &) {});
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
        << WizardState::Server << 4 << QStringList{"RichTextBox1", "SSTab1", "Picture1", "Command1"};
    // The Server step's fields run from the bottom row up, its button last.
    QTest::newRow("start, General in front")
        << WizardState::Server << 0
        << QStringList{"RichTextBox1", "SSTab1", "Combo1", "Text3", "Text2", "Text1", "Command2",
                       "Picture1", "Command1"};
    // The Moderation step's button comes before its fields.
    QTest::newRow("Moderation step")
        << WizardState::Moderation << 0
        << QStringList{"RichTextBox1", "SSTab1", "Command4", "Text10", "Text9", "Text8", "Combo3",
                       "Picture1", "Command1"};
    QTest::newRow("Ammunation step")
        << WizardState::Ammunation << 1
        << QStringList{"RichTextBox1", "SSTab1", "Text15", "Text16", "Text17", "Text18", "Text19",
                       "Text21", "Text20", "Text22", "Text23", "Text24", "Text28", "Text25",
                       "Text26", "Text27", "Text29", "Text30", "Text31", "Text32", "Text34",
                       "Text33", "Text35", "Command6", "Command13", "Picture1", "Command1"};
    QTest::newRow("Pickup step, Save usable")
        << WizardState::Pickup << 3
        << QStringList{"RichTextBox1", "SSTab1", "Text64", "Text65", "Text66", "Text67", "Command9",
                       "Command11", "Picture1", "Command1", "Command14"};
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
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QList<int>>("pages");
    const int ctrl = int(Qt::ControlModifier);
    QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << ctrl << QList<int>{1, 2, 3, 4, 0};
    QTest::newRow("Ctrl+Shift+Tab") << int(Qt::Key_Backtab) << (ctrl | int(Qt::ShiftModifier))
                                    << QList<int>{4, 3, 2, 1, 0};
    QTest::newRow("Ctrl+Shift+Tab sent as Tab") << int(Qt::Key_Tab) << (ctrl | int(Qt::ShiftModifier))
                                                << QList<int>{4, 3, 2, 1, 0};
    QTest::newRow("Ctrl+PgDown") << int(Qt::Key_PageDown) << ctrl << QList<int>{1, 2, 3, 4, 0};
    QTest::newRow("Ctrl+PgUp") << int(Qt::Key_PageUp) << ctrl << QList<int>{4, 3, 2, 1, 0};
}

void KeyboardTest::ctrlTabCyclesPages()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QList<int>, pages);
    window->tabControl()->setCurrentIndex(0);
    auto *field = window->findChild<QLineEdit *>("Text1");
    field->setFocus();
    QList<int> visited;
    for (int i = 0; i < pages.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        visited << window->tabControl()->currentIndex();
        // As in QTabWidget, the focus stays inside the tab control.
        QCOMPARE(focusedControl(*window), "SSTab1");
    }
    QCOMPARE(visited, pages);
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
    QTest::addColumn<QString>("focused");
    QTest::newRow("Server step") << WizardState::Server << 0 << "Combo2";
    QTest::newRow("Moderation step") << WizardState::Moderation << 0 << "Text11";
    QTest::newRow("World step, next on another page") << WizardState::World << 0 << "SSTab1";
    QTest::newRow("Class step") << WizardState::ClassAfterAClass << 3 << "Text64";
}

void KeyboardTest::focusAfterAStepEnds()
{
    QFETCH(WizardState, state);
    QFETCH(int, page);
    QFETCH(QString, focused);
    walkStraightTo(*window, state);
    window->tabControl()->setCurrentIndex(page);
    auto *pressed = window->findChild<QPushButton *>(controlName(pressesToNextState[std::size_t(state)]));
    pressed->setFocus();
    QTest::keyClick(pressed, Qt::Key_Space);
    QVERIFY(!pressed->isEnabled());
    QCOMPARE(focusedControl(*window), focused);
}

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
