// The step machine, clicked through the real window: after every press each
// of the 92 flags must match the wizard state the press leads to.
#include "windowdriver.h"
#include "wizard/stepmachine.h"

#include <QLineEdit>
#include <QTest>

using namespace fennick;

namespace {

// The ten states: the controls enabled besides "Clear", which is always on.
const QHash<QString, QString> states{
    {"Server", "Text1 Text2 Text3 Combo1 Command2"},
    {"Access", "Combo2 Text4-Text7 Command3"},
    {"Moderation", "Combo3 Text8-Text10 Command4"},
    {"World", "Text11-Text14 Command5"},
    {"Ammunation", "Text15-Text35 Command6 Command13"},
    {"Game", "Text36-Text51 Combo4 Command7"},
    {"Class before a class", "Text52-Text63 Command8"},
    {"Class after a class", "Text52-Text63 Command8 Command10"},
    {"Pickup", "Text64-Text67 Command9 Command11 Command14"},
    {"Vehicle", "Text68-Text74 Command12 Command14"},
};

// The test's own reading of "Text4-Text7", kept apart from the program's so
// that a fault there cannot hide itself.
QStringList enabledIn(const QString &state)
{
    QStringList names{QStringLiteral("Command1")};
    for (const QString &item : states.value(state).split(u' ')) {
        const QStringList ends = item.split(u'-');
        if (ends.size() == 1) {
            names << item;
            continue;
        }
        for (int n = ends[0].mid(4).toInt(); n <= ends[1].mid(4).toInt(); ++n)
            names << QStringLiteral("Text%1").arg(n); // only text boxes come in ranges
    }
    return names;
}

} // namespace

class WizardTest : public QObject {
    Q_OBJECT
private slots:
    void init() { driver = std::make_unique<WindowDriver>(); }
    void cleanup() { driver.reset(); }

    void expandControlList_data();
    void expandControlList();
    void flagsAfterEveryPress();
    void otherControlsKeepTheirFlags();
    void fieldsKeepTheirTextWhenTheirStepEnds();

private:
    void verifyState(const QString &state) const;
    std::unique_ptr<WindowDriver> driver;
};

void WizardTest::expandControlList_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("controls");
    QTest::newRow("empty") << "" << QStringList();
    QTest::newRow("names") << "Command2 Text1 Combo1" << QStringList{"Command2", "Text1", "Combo1"};
    QTest::newRow("range") << "Command6 Text15-Text17 Combo4"
                           << QStringList{"Command6", "Text15", "Text16", "Text17", "Combo4"};
}

void WizardTest::expandControlList()
{
    QFETCH(QString, list);
    QFETCH(QStringList, controls);
    const QByteArray latin1 = list.toLatin1();
    QCOMPARE(fennick::expandControlList({latin1.constData(), std::size_t(latin1.size())}), controls);
}

void WizardTest::verifyState(const QString &state) const
{
    const QStringList enabled = enabledIn(state);
    const QStringList all = steppedControls();
    QCOMPARE(all.size(), 92);
    for (const QString &name : all) {
        const bool expected = enabled.contains(name);
        if (driver->get(name)->isEnabled() != expected)
            QFAIL(qPrintable(QStringLiteral("in state %1, %2 should be %3")
                                 .arg(state, name, expected ? "enabled" : "disabled")));
    }
}

void WizardTest::flagsAfterEveryPress()
{
    // Button pressed, and the state it must leave. Clear and Save are pressed
    // in several states and must change nothing.
    const QList<QPair<QString, QString>> walk{
        {"Command1", "Server"},      {"Command2", "Access"},
        {"Command1", "Access"},      {"Command3", "Moderation"},
        {"Command4", "World"},       {"Command5", "Ammunation"},
        {"Command6", "Ammunation"},  {"Command6", "Ammunation"},
        {"Command13", "Game"},       {"Command1", "Game"},
        {"Command7", "Class before a class"},
        {"Command8", "Class after a class"},
        {"Command8", "Class after a class"},
        {"Command10", "Pickup"},     {"Command14", "Pickup"},
        {"Command9", "Pickup"},      {"Command1", "Pickup"},
        {"Command11", "Vehicle"},    {"Command12", "Vehicle"},
        {"Command12", "Vehicle"},    {"Command14", "Vehicle"},
        {"Command1", "Vehicle"},     {"Command14", "Vehicle"},
    };
    verifyState("Server");
    for (const auto &[button, state] : walk) {
        driver->click(button);
        verifyState(state);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable("after pressing " + button));
    }
    QCOMPARE(driver->messages.size(), 3); // one per Save
}

void WizardTest::otherControlsKeepTheirFlags()
{
    driver->clickAll({"Command2", "Command3", "Command4", "Command5", "Command13", "Command7",
                      "Command8", "Command10", "Command11", "Command1"});
    for (const char *name : {"SSTab1", "Frame1", "Frame5", "Frame11", "Label1", "Label18",
                             "RichTextBox1", "Picture1", "Line1"})
        QVERIFY2(driver->get(QString::fromLatin1(name))->isEnabled(), name);
    QVERIFY(!driver->get("Label81")->isEnabled());
}

void WizardTest::fieldsKeepTheirTextWhenTheirStepEnds()
{
    auto *maxPlayers = driver->get<QLineEdit>("Text1");
    driver->bringToFront(maxPlayers);
    maxPlayers->selectAll();
    QTest::keyClicks(maxPlayers, "64");
    driver->click("Command2");
    QVERIFY(!maxPlayers->isEnabled());
    QCOMPARE(maxPlayers->text(), "64");
    driver->click("Command1");
    QCOMPARE(maxPlayers->text(), "64");
}

QTEST_MAIN(WizardTest)
#include "tst_wizard.moc"
