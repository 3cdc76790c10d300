// What a screen reader finds in the window: the tab strip as a page tab
// list, the tab of the open step described as such, every field named by its
// label, frames and buttons by their captions; and a focus mark one can see.
#include "darkpalette.h"
#include "document/strings.h"
#include "ui/contrast.h"
#include "ui/focusring.h"
#include "ui/mainwindow.h"
#include "ui/tabcontrol.h"
#include "ui/tabstrip.h"
#include "wizard/fieldcatalogue.h"
#include "wizard/stepmachine.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>

using namespace fennick;

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void tabStripIsAPageTabList();
    void pageTabsCanBePressed();
    void fieldsAreNamedByTheirLabels();
    void framesAndButtonsAreNamedByTheirCaptions();
    void wholeWizardIsReachableFromTheWindow();
    void openStepTabIsDescribed_data();
    void openStepTabIsDescribed();
    void focusIsClearlyMarked_data();
    void focusIsClearlyMarked();
    void disabledTextIsLegible_data();
    void disabledTextIsLegible();

private:
    std::unique_ptr<MainWindow> window;
};

void AccessibilityTest::initTestCase()
{
    window = std::make_unique<MainWindow>(
        [](QWidget *, const UserMessage &) { return MessageChoice::Ok; });
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void AccessibilityTest::tabStripIsAPageTabList()
{
    TabStrip *strip = window->tabControl()->tabStrip();
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(strip);
    QVERIFY(list);
    QCOMPARE(list->role(), QAccessible::PageTabList);
    QCOMPARE(list->text(QAccessible::Name), "Wizard pages");
    QCOMPARE(list->childCount(), 5);
    const QStringList captions{"1. General", "2. Ammunations", "3. Others", "4. Classes / Pickups",
                               "5. Vehicles"};
    for (int i = 0; i < 5; ++i) {
        QAccessibleInterface *tab = list->child(i);
        QVERIFY(tab);
        QCOMPARE(tab->role(), QAccessible::PageTab);
        QCOMPARE(tab->text(QAccessible::Name), captions[i]);
        QCOMPARE(tab->parent(), list);
        QCOMPARE(list->indexOfChild(tab), i);
        QCOMPARE(tab->state().selected, i == window->tabControl()->currentIndex());
        const QRect local = strip->tabRect(i);
        QCOMPARE(tab->rect(), QRect(strip->mapToGlobal(local.topLeft()), local.size()));
        QCOMPARE(list->childAt(tab->rect().center().x(), tab->rect().center().y()), tab);
    }
}

void AccessibilityTest::pageTabsCanBePressed()
{
    QAccessibleInterface *list
        = QAccessible::queryAccessibleInterface(window->tabControl()->tabStrip());
    QAccessibleActionInterface *action = list->child(2)->actionInterface();
    QVERIFY(action);
    action->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(window->tabControl()->currentIndex(), 2);
    QVERIFY(list->child(2)->state().selected);
    QVERIFY(!list->child(4)->state().selected);
}

void AccessibilityTest::fieldsAreNamedByTheirLabels()
{
    // What the codes of a combo box mean, read with it.
    const QHash<QString, QString> notes{{"Combo1", "1 = VC; 2 = LC"},
                                        {"Combo4", "0 = False; 1 = True; 2 = Team"}};
    for (const FieldDefinition &field : fieldCatalogue) {
        const QString caption = toQString(field.caption);
        auto *widget = window->findChild<QWidget *>(controlName(field.id));
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        const bool combo = isComboBox(field.id);
        QCOMPARE(accessible->role(), combo ? QAccessible::ComboBox : QAccessible::EditableText);
        // Every field is labelled by its label (and by its frame), which
        // screen readers read out.
        QStringList labels;
        for (const auto &[label, relation] : accessible->relations(QAccessible::Label))
            labels << label->text(QAccessible::Name);
        QVERIFY2(labels.contains(caption), qPrintable(labels.join(u'|')));
        QCOMPARE(accessible->text(QAccessible::Name), caption);
        if (!combo)
            continue; // their descriptions carry the field's marks
        QCOMPARE(accessible->text(QAccessible::Value), toQString(field.defaultText));
        QCOMPARE(accessible->text(QAccessible::Description), notes.value(controlName(field.id)));
    }
}

void AccessibilityTest::framesAndButtonsAreNamedByTheirCaptions()
{
    for (const QGroupBox *frame : window->findChildren<QGroupBox *>()) {
        QAccessibleInterface *accessible
            = QAccessible::queryAccessibleInterface(const_cast<QGroupBox *>(frame));
        QCOMPARE(accessible->role(), QAccessible::Grouping);
        QCOMPARE(accessible->text(QAccessible::Name), frame->title());
    }
    for (const ButtonDefinition &button : buttonTable) {
        auto *widget = window->findChild<QWidget *>(controlName(button.id));
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        QCOMPARE(accessible->role(), QAccessible::Button);
        QCOMPARE(accessible->text(QAccessible::Name), toQString(button.caption));
    }
    // What a step's button closes and opens, for each kind of button.
    const std::pair<const char *, const char *> described[]{
        {"Command2", "Ends Step 1; Step 2 comes next"},
        {"Command5", "Ends Step 4; Step 5 comes next, on the tab 2. Ammunations"},
        {"Command6", "Adds one more; Step 5 stays open"},
        {"Command10", "Ends Step 7; Step 8 comes next"},
        {"Command12", "Adds one more; Step 9 stays open"},
        {"Command14", ""},
    };
    for (const auto &[name, description] : described) {
        QAccessibleInterface *accessible
            = QAccessible::queryAccessibleInterface(window->findChild<QWidget *>(name));
        QCOMPARE(accessible->text(QAccessible::Description), QString::fromUtf8(description));
    }
}

// A screen reader walks the tree from the window down: every field and
// button of every step must be found that way, whatever the page in front,
// in the order they stand on the screen; lines are unnamed separators.
void AccessibilityTest::wholeWizardIsReachableFromTheWindow()
{
    QSet<QObject *> reached;
    QStringList shownInOrder; // the window's parts, as read
    QList<QAccessibleInterface *> pending{QAccessible::queryAccessibleInterface(window.get())};
    while (!pending.isEmpty()) {
        QAccessibleInterface *node = pending.takeFirst();
        QObject *object = node->object();
        if (object)
            reached.insert(object);
        const QString name = object ? object->objectName() : QString();
        if (!node->state().invisible
            && QStringList{"SSTab1", "RichTextBox1", "Command1", "Command14", "Picture1", "Label81"}
                   .contains(name))
            shownInOrder << name;
        if (node->role() == QAccessible::Border || node->role() == QAccessible::Separator)
            QVERIFY2(node->text(QAccessible::Name).isEmpty(), qPrintable(name));
        QList<QAccessibleInterface *> children;
        for (int i = 0; i < node->childCount(); ++i)
            if (QAccessibleInterface *child = node->child(i))
                children.append(child);
        pending = children + pending; // depth first, in the tree's order
    }
    for (int i = 0; i < controlCount; ++i) {
        const QString name = controlName(Control(i));
        QVERIFY2(reached.contains(window->findChild<QWidget *>(name)), qPrintable(name));
    }
    QCOMPARE(shownInOrder, (QStringList{"SSTab1", "RichTextBox1", "Command1", "Command14",
                                        "Picture1", "Label81"}));
    for (const char *line : {"Line1", "Line5"}) {
        QAccessibleInterface *accessible
            = QAccessible::queryAccessibleInterface(window->findChild<QWidget *>(line));
        QCOMPARE(accessible->role(), QAccessible::Separator);
        QVERIFY(reached.contains(accessible->object()));
    }
    // The tabs before the page they lead to.
    QAccessibleInterface *tabs = QAccessible::queryAccessibleInterface(window->tabControl());
    QCOMPARE(tabs->child(0)->object(), window->tabControl()->tabStrip());
}

// The tab that holds the open step is marked, for screen readers in its
// description, while the tab in front stays the user's choice.
void AccessibilityTest::openStepTabIsDescribed_data()
{
    QTest::addColumn<QStringList>("pressed");
    QTest::addColumn<int>("openStepTab");
    QTest::newRow("start") << QStringList() << 0;
    QTest::newRow("Access step") << QStringList{"Command2"} << 0;
    QTest::newRow("Ammunation step")
        << QStringList{"Command2", "Command3", "Command4", "Command5"} << 1;
    QTest::newRow("Game step") << QStringList{"Command2", "Command3", "Command4", "Command5",
                                              "Command13"}
                               << 2;
    QTest::newRow("Vehicle step") << QStringList{"Command2", "Command3",  "Command4",
                                                 "Command5", "Command13", "Command7",
                                                 "Command8", "Command10", "Command11"}
                                  << 4;
}

void AccessibilityTest::openStepTabIsDescribed()
{
    QFETCH(QStringList, pressed);
    QFETCH(int, openStepTab);
    MainWindow fresh([](QWidget *, const UserMessage &) { return MessageChoice::Ok; });
    fresh.show();
    for (const QString &button : pressed)
        fresh.findChild<QPushButton *>(button)->click();
    QCOMPARE(fresh.tabControl()->currentIndex(), 4); // "5. Vehicles", as at start
    QAccessibleInterface *list
        = QAccessible::queryAccessibleInterface(fresh.tabControl()->tabStrip());
    for (int i = 0; i < 5; ++i)
        QCOMPARE(list->child(i)->text(QAccessible::Description),
                 i == openStepTab ? QStringLiteral("Holds the open step") : QString());
}

void AccessibilityTest::focusIsClearlyMarked_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("tab strip") << "SSTab1";
    QTest::newRow("field") << "Text1";
    QTest::newRow("combo box") << "Combo1";
    QTest::newRow("button") << "Command2";
    QTest::newRow("preview") << "RichTextBox1";
}

// A ring around the focused control, at 3:1 at least against the window's
// face that it stands on.
void AccessibilityTest::focusIsClearlyMarked()
{
    QFETCH(QString, control);
    MainWindow fresh([](QWidget *, const UserMessage &) { return MessageChoice::Ok; });
    fresh.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fresh));
    QApplication::setActiveWindow(&fresh);
    QVERIFY(QTest::qWaitForWindowActive(&fresh));
    fresh.tabControl()->setCurrentIndex(0);
    QWidget *widget = fresh.findChild<QWidget *>(control);
    widget = widget == fresh.tabControl() ? fresh.tabControl()->tabStrip() : widget;
    widget->setFocus();
    QApplication::processEvents();
    auto *ring = fresh.findChild<FocusRing *>();
    QVERIFY(ring && ring->isVisible());
    const QRect marked(ring->mapTo(&fresh, QPoint(0, 0)), ring->size());
    const QRect focused(widget->mapTo(&fresh, QPoint(0, 0)), widget->size());
    QVERIFY(marked.intersects(focused));
    const QColor face = fresh.palette().color(QPalette::Window);
    QVERIFY2(contrastRatio(ring->colour(), face) >= 3.0, qPrintable(ring->colour().name()));
    // The ring as drawn: the middle of its left edge.
    const QImage image = fresh.grab().toImage();
    const qreal scale = image.devicePixelRatio();
    const QPoint edge(marked.left() + 1, marked.center().y());
    QCOMPARE(image.pixelColor(int(edge.x() * scale), int(edge.y() * scale)).rgb(),
             ring->colour().rgb());
}

QTEST_MAIN(AccessibilityTest)
void AccessibilityTest::disabledTextIsLegible_data()
{
    QTest::addColumn<bool>("dark");
    QTest::newRow("light palette") << false;
    QTest::newRow("dark palette") << true;
}

// Disabled fields, labels and buttons at the contrast text needs (4.5:1)
// against what each stands on.
void AccessibilityTest::disabledTextIsLegible()
{
    QFETCH(bool, dark);
    if (dark)
        QApplication::setPalette(darkPalette());
    MainWindow fresh([](QWidget *, const UserMessage &) { return MessageChoice::Ok; });
    QApplication::setPalette(QPalette());
    const QPalette palette = fresh.palette();
    for (const auto &[text, background] : {std::pair{QPalette::Text, QPalette::Base},
                                           {QPalette::WindowText, QPalette::Window},
                                           {QPalette::ButtonText, QPalette::Button}}) {
        const QColor greyed = palette.color(QPalette::Disabled, text);
        QVERIFY2(contrastRatio(greyed, palette.color(QPalette::Disabled, background)) >= 4.5,
                 qPrintable(greyed.name()));
        QVERIFY(greyed != palette.color(QPalette::Active, text)); // still greyed
    }
}

#include "tst_accessibility.moc"
