// The step machine, clicked through the real window: after every press each
// of the 92 flags must match the wizard state the press leads to.
#include "windowdriver.h"
#include "wizard/controls.h"

#include <QLineEdit>
#include <QTest>

#include <map>

using namespace fennick;
using enum Control;

namespace {

// The ten states: the controls enabled besides "Clear", which is always on.
const std::map<WizardState, ControlList> enabledIn{
    {WizardState::Server, {Text1, Text2, Text3, Combo1, Command2}},
    {WizardState::Access, {Combo2, range(Text4, Text7), Command3}},
    {WizardState::Moderation, {Combo3, range(Text8, Text10), Command4}},
    {WizardState::World, {range(Text11, Text14), Command5}},
    {WizardState::Ammunation, {range(Text15, Text35), Command6, Command13}},
    {WizardState::Game, {range(Text36, Text51), Combo4, Command7}},
    {WizardState::ClassBeforeAClass, {range(Text52, Text63), Command8}},
    {WizardState::ClassAfterAClass, {range(Text52, Text63), Command8, Command10}},
    {WizardState::Pickup, {range(Text64, Text67), Command9, Command11, Command14}},
    {WizardState::Vehicle, {range(Text68, Text74), Command12, Command14}},
};

} // namespace

class WizardTest : public QObject, private WindowFixture {
    Q_OBJECT
private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void flagsAfterEveryPress();
    void otherControlsKeepTheirFlags();
    void fieldsKeepTheirTextWhenTheirStepEnds();

private:
    void verifyState(WizardState state) const;
};

void WizardTest::verifyState(WizardState state) const
{
    const ControlList &enabled = enabledIn.at(state);
    for (int i = 0; i < controlCount; ++i) {
        const auto control = Control(i);
        const bool expected = control == Command1 || enabled.contains(control);
        if (driver->get(control)->isEnabled() != expected)
            QFAIL(qPrintable(QStringLiteral("in state %1, %2 should be %3")
                                 .arg(int(state))
                                 .arg(controlName(control), expected ? "enabled" : "disabled")));
    }
}

void WizardTest::flagsAfterEveryPress()
{
    using enum WizardState;
    // Button pressed, and the state it must leave. Clear and Save are pressed
    // in several states and must change nothing.
    const QList<QPair<Control, WizardState>> walk{
        {Command1, Server},
        {Command2, Access},
        {Command1, Access},
        {Command3, Moderation},
        {Command4, World},
        {Command5, Ammunation},
        {Command6, Ammunation},
        {Command6, Ammunation},
        {Command13, Game},
        {Command1, Game},
        {Command7, ClassBeforeAClass},
        {Command8, ClassAfterAClass},
        {Command8, ClassAfterAClass},
        {Command10, Pickup},
        {Command14, Pickup},
        {Command9, Pickup},
        {Command1, Pickup},
        {Command11, Vehicle},
        {Command12, Vehicle},
        {Command12, Vehicle},
        {Command14, Vehicle},
        {Command1, Vehicle},
        {Command14, Vehicle},
    };
    verifyState(Server);
    for (const auto &[button, state] : walk) {
        driver->click(button);
        verifyState(state);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable("after pressing " + controlName(button)));
    }
    QCOMPARE(driver->messages.size(), 3); // one per Save
}

void WizardTest::otherControlsKeepTheirFlags()
{
    driver->walkTo(WizardState::Vehicle);
    driver->click(Command1);
    for (const char *name : {"SSTab1", "Frame1", "Frame5", "Frame11", "Label1", "Label18",
                             "RichTextBox1", "Picture1", "Line1"})
        QVERIFY2(driver->get(QString::fromLatin1(name))->isEnabled(), name);
    QVERIFY(!driver->get("Label81")->isEnabled());
}

void WizardTest::fieldsKeepTheirTextWhenTheirStepEnds()
{
    driver->typeInto(Text1, "64");
    driver->click(Command2);
    auto *maxPlayers = driver->get<QLineEdit>(Text1);
    QVERIFY(!maxPlayers->isEnabled());
    QCOMPARE(maxPlayers->text(), "64");
    driver->click(Command1);
    QCOMPARE(maxPlayers->text(), "64");
}

QTEST_MAIN(WizardTest)
#include "tst_wizard.moc"
