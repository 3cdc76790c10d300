// The whole program clicked through its real window: the files it saves,
// byte for byte, and the edge cases of appending, clearing and saving.
#include "document/configfile.h"
#include "windowdriver.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace fennick;

namespace {

const QStringList bannerLines{
    ";------Fennick: server configuration------",
    ";------Visit fennick.example.org to see updates------",
    ";------Lines that begin with ; are comments------",
};

const QStringList generalLines{
    "",
    "MaxPlayers = 50",
    "ListenPort = 5555",
    "ServerName = \"Ombrix 0.3z server [fennick.example.org]\"",
    "Map = 1",
    "",
    "NeedPassword = False",
    "Password = \"PutYourOwnWordsIn-Quotes\"",
    "AdminPassword = \"PutYourOwnWordsIn-Quotes\"",
    "RconPort = 6666",
    "RconMaxUsers = 5",
    "",
    "LogServer = True",
    "KickMessage = \"~t~You Have Been ~b~ Kicked From the Server\"",
    "BanMessage = \"~t~You Have Been Banned.\"",
    "Ping = 1000",
    "",
    "WeatherDefault = 4",
    "HourDefault = 4",
    "MinuteDefault = 20",
    "TimeRate = 4",
};

const QString ammunationLine =
    "Ammunation = 0 -66.0178 -1481.7504 10.4940 -60.593 -1486.241 12.433 -60.508 -1484.245 12.428  ";
const QString weaponLine =
    "A_Weapon = 0 -60.793 -1488.141 12.24274 278 1500 150 2000 220 2000 230 3000";
const QString classLine = "Class = -1 001 41.538 1084.514 14.234 180.8481 1  1 21 20 1 1";
const QString pickupLine = "Pickup = 368 -855.5118 -631.2861 11.3756";
const QString vehicleLine = "Vehicle = 191 338.6310 -237.6571 29.1708 98.9897 0 0";

const QStringList gameLines{
    "",
    "[GAME]",
    "",
    "GameMode = \"Deathmatch\"",
    "GameModeVersion = 0.1",
    "ShowOnRadar = 0",
    "",
    "PlayerPos = 14.117 1186.535 19.535",
    "CamPos = 9.071 1191.392 19.578",
    "CamLook = 14.117  1186.535 19.535",
    "",
    "WorldBounds = 5000.0  -5000.0 5000.0 -5000.0",
    "ClassDescription = Class",
    "",
};

const QStringList generalSteps{"Command2", "Command3", "Command4", "Command5"};

QString joined(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void workedExampleIsSavedByteForByte();
    void startsWithDefaultsAndBanner();
    void typedAndChosenComboText();
    void comboTextIsWrittenAsTyped_data();
    void comboTextIsWrittenAsTyped();
    void fieldsHaveNoLengthLimit();
    void userTextAtTheEnd_data();
    void userTextAtTheEnd();
    void emptiedPreviewHoldsJustTheNextPiece();
    void classRecordRightAfterClear();
    void repeatedAddPresses_data();
    void repeatedAddPresses();
    void stepsEndedWithoutRecords();
    void clearAlwaysLeavesTheBanner();
    void clearCanBeUndone();
    void emptyDocumentSavesTwoBytes();
    void savingTwiceReplacesTheFile();
    void realMessageBoxIsShownAndClosed();

private:

    TemporaryHome home;
    std::unique_ptr<WindowDriver> driver;
};

void WindowTest::initTestCase()
{
    QVERIFY(home.isValid());
}

void WindowTest::init()
{
    QFile::remove(home.configPath());
    driver = std::make_unique<WindowDriver>();
}

void WindowTest::cleanup()
{
    driver.reset();
}

void WindowTest::workedExampleIsSavedByteForByte()
{
    driver->clickAll({"Command1", "Command2", "Command3", "Command4", "Command5", "Command6",
                      "Command13", "Command7", "Command8", "Command10", "Command9", "Command11",
                      "Command12", "Command14"});
    const QStringList lines = bannerLines + generalLines
                            + QStringList{"", ammunationLine, weaponLine} + gameLines
                            + QStringList{classLine, "", pickupLine, "", vehicleLine};
    QCOMPARE(lines.size(), 3 + 24 - 3 + 22);
    QCOMPARE(WindowDriver::savedBytes(home.configPath()), (joined(lines) + "\r\n").toUtf8());

    QCOMPARE(driver->messages.size(), 1);
    QCOMPARE(driver->messages.first().kind, UserMessage::Kind::Information);
    QCOMPARE(driver->messages.first().text, "File saved in " + QDir::toNativeSeparators(home.configPath()));
}

void WindowTest::startsWithDefaultsAndBanner()
{
    // The preview starts as Clear would leave it: no line break after the banner.
    QCOMPARE(driver->document(), joined(bannerLines));
    QCOMPARE(driver->get<QLineEdit>("Text24")->text(), "12.428 ");
    QCOMPARE(driver->get<QLineEdit>("Text36")->text(), "\"Deathmatch\"");
    QCOMPARE(driver->get<QLineEdit>("Text4")->echoMode(), QLineEdit::Normal);
    auto *combo = driver->get<QComboBox>("Combo4");
    QCOMPARE(combo->currentText(), "0");
    QCOMPARE(combo->count(), 3);
    QVERIFY(combo->isEditable());
}

void WindowTest::typedAndChosenComboText()
{
    auto *map = driver->get<QComboBox>("Combo1");
    driver->bringToFront(map);
    map->lineEdit()->selectAll();
    QTest::keyClicks(map->lineEdit(), "3");
    QTest::keyClick(map->lineEdit(), Qt::Key_Return); // must not add "3" to the list
    QCOMPARE(map->count(), 2);
    driver->click("Command2");
    QVERIFY(driver->document().endsWith("\r\nMap = 3"));

    auto *needPassword = driver->get<QComboBox>("Combo2");
    needPassword->setCurrentIndex(1);
    driver->click("Command3");
    QVERIFY(driver->document().contains("\r\nNeedPassword = True\r\n"));
}

// No completion and no case folding: "true" is not the list's "True".
void WindowTest::comboTextIsWrittenAsTyped_data()
{
    QTest::addColumn<QString>("combo");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("expectedLine");
    QTest::newRow("prefix of an item") << "Combo2" << "t" << QStringList{"Command2", "Command3"}
                                       << "NeedPassword = t";
    QTest::newRow("item in other case") << "Combo2" << "true" << QStringList{"Command2", "Command3"}
                                        << "NeedPassword = true";
    QTest::newRow("capitals") << "Combo3" << "FALSE"
                              << QStringList{"Command2", "Command3", "Command4"} << "LogServer = FALSE";
    QTest::newRow("empty") << "Combo1" << "" << QStringList{"Command2"} << "Map = ";
}

void WindowTest::comboTextIsWrittenAsTyped()
{
    QFETCH(QString, combo);
    QFETCH(QString, typed);
    QFETCH(QStringList, steps);
    QFETCH(QString, expectedLine);
    auto *box = driver->get<QComboBox>(combo);
    driver->clickAll(steps.mid(0, steps.size() - 1));
    driver->bringToFront(box);
    box->lineEdit()->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClick(box->lineEdit(), Qt::Key_Backspace);
    QTest::keyClicks(box->lineEdit(), typed);
    QCOMPARE(box->currentText(), typed);
    driver->click(steps.last()); // takes the focus from the box
    QCOMPARE(box->currentText(), typed);
    QVERIFY2(driver->document().split("\r\n").contains(expectedLine), qPrintable(driver->document()));
}

void WindowTest::fieldsHaveNoLengthLimit()
{
    const QString longValue(100000, u'x');
    auto *name = driver->get<QLineEdit>("Text3");
    name->setText(longValue);
    auto *map = driver->get<QComboBox>("Combo1");
    map->setEditText(longValue);
    driver->click("Command2");
    QVERIFY(driver->document().contains("ServerName = " + longValue + "\r\nMap = " + longValue));
}

void WindowTest::userTextAtTheEnd_data()
{
    QTest::addColumn<bool>("endWithLineBreak");
    QTest::addColumn<QString>("expectedTail");
    QTest::newRow("without a line break") << false << "\r\nmy note\r\n\r\nMaxPlayers = 50";
    QTest::newRow("with a line break") << true << "\r\nmy note\r\n\r\n\r\nMaxPlayers = 50";
}

void WindowTest::userTextAtTheEnd()
{
    QFETCH(bool, endWithLineBreak);
    QFETCH(QString, expectedTail);
    PreviewEdit *preview = driver->window->preview();
    preview->moveCursor(QTextCursor::End);
    QTest::keyClick(preview, Qt::Key_Return);
    QTest::keyClicks(preview, "my note");
    if (endWithLineBreak)
        QTest::keyClick(preview, Qt::Key_Return);
    driver->click("Command2");
    const QString document = driver->document();
    QVERIFY2(document.startsWith(joined(bannerLines) + expectedTail), qPrintable(document));
}

void WindowTest::emptiedPreviewHoldsJustTheNextPiece()
{
    PreviewEdit *preview = driver->window->preview();
    preview->selectAll();
    QTest::keyClick(preview, Qt::Key_Delete);
    QCOMPARE(driver->document(), QString());
    driver->click("Command2");
    QCOMPARE(driver->document(), joined(generalLines.mid(0, 5)).prepend("\r\n"));
}

void WindowTest::classRecordRightAfterClear()
{
    driver->clickAll(generalSteps + QStringList{"Command13", "Command7", "Command1", "Command8"});
    // No leading line break: the record continues the banner's last line.
    QCOMPARE(driver->document(), joined(bannerLines) + classLine + "\r\n");
}

void WindowTest::repeatedAddPresses_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("add");
    QTest::addColumn<QString>("expectedTail");
    QTest::newRow("Ammunation") << generalSteps << "Command6"
                                << "\r\n\r\n" + joined({ammunationLine, weaponLine, ammunationLine,
                                                        weaponLine, ammunationLine, weaponLine});
    QTest::newRow("Class") << generalSteps + QStringList{"Command13", "Command7"} << "Command8"
                           << "\r\n\r\n" + joined({classLine, classLine, classLine, ""});
    QTest::newRow("Pickup") << generalSteps + QStringList{"Command13", "Command7", "Command8", "Command10"}
                            << "Command9"
                            << classLine + "\r\n\r\n" + joined({pickupLine, pickupLine, pickupLine});
    QTest::newRow("Car") << generalSteps + QStringList{"Command13", "Command7", "Command8", "Command10", "Command11"}
                         << "Command12"
                         << classLine + "\r\n\r\n\r\n" + joined({vehicleLine, vehicleLine, vehicleLine});
}

void WindowTest::repeatedAddPresses()
{
    QFETCH(QStringList, before);
    QFETCH(QString, add);
    QFETCH(QString, expectedTail);
    driver->clickAll(before);
    driver->clickAll({add, add, add});
    QVERIFY2(driver->document().endsWith(expectedTail), qPrintable(driver->document().right(300)));
}

void WindowTest::stepsEndedWithoutRecords()
{
    driver->clickAll(generalSteps + QStringList{"Command13", "Command7"});
    // World block's closing break plus the Game block's two: two empty lines.
    QVERIFY(driver->document().contains("TimeRate = 4\r\n\r\n\r\n[GAME]\r\n"));
    driver->clickAll({"Command8", "Command10", "Command11"});
    QVERIFY(driver->document().endsWith(classLine + "\r\n\r\n"));
    driver->click("Command12");
    QVERIFY(driver->document().endsWith(classLine + "\r\n\r\n\r\n" + vehicleLine));
}

void WindowTest::clearAlwaysLeavesTheBanner()
{
    driver->clickAll(generalSteps);
    driver->click("Command1");
    QCOMPARE(driver->document(), joined(bannerLines));
    driver->click("Command1");
    QCOMPARE(driver->document(), joined(bannerLines));
    driver->click("Command6");
    QCOMPARE(driver->document(), joined(bannerLines) + "\r\n" + joined({ammunationLine, weaponLine}));
}

// Clear asks nothing, so an accidental press must be recoverable.
void WindowTest::clearCanBeUndone()
{
    driver->clickAll({"Command2", "Command3"});
    const QString before = driver->document();
    driver->click("Command1");
    QCOMPARE(driver->document(), joined(bannerLines));
    driver->window->preview()->undo();
    QCOMPARE(driver->document(), before);
}

void WindowTest::emptyDocumentSavesTwoBytes()
{
    driver->clickAll(stepsToSave);
    driver->window->preview()->clear();
    driver->click("Command14");
    QCOMPARE(WindowDriver::savedBytes(home.configPath()), QByteArray("\r\n"));
}

void WindowTest::savingTwiceReplacesTheFile()
{
    driver->clickAll(stepsToSave);
    driver->click("Command14");
    const QByteArray first = WindowDriver::savedBytes(home.configPath());
    QVERIFY(first.endsWith(classLine.toUtf8() + "\r\n\r\n"));
    driver->click("Command1");
    driver->click("Command14");
    QCOMPARE(WindowDriver::savedBytes(home.configPath()), (joined(bannerLines) + "\r\n").toUtf8());
    QCOMPARE(driver->messages.size(), 2);
}

void WindowTest::realMessageBoxIsShownAndClosed()
{
    driver.reset();
    MainWindow window; // shows real message boxes
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QString shownText;
    QString shownTitle;
    QMessageBox::Icon shownIcon = QMessageBox::Critical;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        shownText = box->text();
        shownTitle = box->windowTitle();
        shownIcon = box->icon();
        QCOMPARE(box->buttons().size(), 1);
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    for (const char *name : {"Command2", "Command3", "Command4", "Command5", "Command13", "Command7",
                             "Command8", "Command10", "Command14"})
        window.findChild<QPushButton *>(name)->click();
    QCOMPARE(shownText, "File saved in " + QDir::toNativeSeparators(home.configPath()));
    QCOMPARE(shownTitle, "Fennick");
    QCOMPARE(shownIcon, QMessageBox::NoIcon);
    QVERIFY(QFile::exists(home.configPath()));
}

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
