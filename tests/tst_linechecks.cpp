// The rules that read each line as the server will, one row a rule, and the
// wizard's own output, which earns no mark.
#include "document/banner.h"
#include "document/pieces.h"
#include "wizard/fieldcatalogue.h"
#include "wizard/linechecks.h"
#include "wizard/stepmachine.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace fennick;

namespace {

// "13+5 fault: ListenPort takes a port from 1 to 65535"
[[nodiscard]] QString described(const LineMark &mark)
{
    static constexpr std::array kinds{"fault", "note", "invisible", "blanks"};
    return QStringLiteral("%1+%2 %3: %4")
        .arg(mark.start)
        .arg(mark.length)
        .arg(QLatin1StringView(kinds[std::size_t(mark.kind)]), mark.message);
}

// Each line of the text with what the rules say of it, from the top.
[[nodiscard]] QStringList marksOf(const QString &text, const EncodingCheck &encoding)
{
    TopDownChecks checks(encoding);
    QStringList found;
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < lines.size(); ++i)
        for (const LineMark &mark : checks.next(lines[i]))
            found << QStringLiteral("line %1 ").arg(i + 1) + described(mark);
    return found;
}

[[nodiscard]] QString dataFile(const QString &name)
{
    QFile file(QStringLiteral(FENNICK_TEST_DATA "/") + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

// Western European, as Windows' code page 1252 holds it for these letters.
[[nodiscard]] EncodingCheck westernCodePage()
{
    return EncodingCheck(QStringConverter::Latin1, QStringLiteral("Code page 1252"));
}

} // namespace

class LineChecksTest : public QObject {
    Q_OBJECT
private slots:
    void rules_data();
    void rules();
    void wizardOutputEarnsNoMark_data();
    void wizardOutputEarnsNoMark();
    void fieldsAreCheckedAsTheirLines_data();
    void fieldsAreCheckedAsTheirLines();
};

void LineChecksTest::rules_data()
{
    QTest::addColumn<QString>("above"); // lines before the one checked, CR LF between
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("marks");
    const QString general = QStringLiteral("MaxPlayers = 50");
    const QString game = QStringLiteral("[GAME]");
    QTest::newRow("whole number") << ""
                                  << "MaxPlayers = fifty"
                                  << QStringList{"13+5 fault: MaxPlayers takes a whole number, "
                                                 "such as 50"};
    QTest::newRow("a letter O for a nought")
        << ""
        << "MaxPlayers = 5O"
        << QStringList{"13+2 fault: MaxPlayers takes a whole number, such as 50"};
    QTest::newRow("empty value: the key carries it")
        << ""
        << "Ping = " << QStringList{"0+4 fault: Ping takes a whole number, such as 1000"};
    QTest::newRow("port above its range")
        << ""
        << "ListenPort = 99999"
        << QStringList{"13+5 fault: ListenPort takes a port from 1 to 65535"};
    QTest::newRow("port nought") << ""
                                 << "RconPort = 0"
                                 << QStringList{
                                        "11+1 fault: RconPort takes a port from 1 to 65535"};
    QTest::newRow("highest port") << ""
                                  << "RconPort = 65535" << QStringList();
    QTest::newRow("decimal") << game << "PlayerPos = 14.117 1186,535 19.535"
                             << QStringList{"19+8 fault: PlayerPos's Player Pos. Y takes a "
                                            "number, such as 1186.535"};
    QTest::newRow("a whole number where a decimal goes")
        << game << "Vehicle = 191 338 -237.6571 29.1708 98.9897 0 0" << QStringList();
    QTest::newRow("two points") << game << "CamPos = 9.0.71 1191.392 19.578"
                                << QStringList{"9+6 fault: CamPos's Cam. Pos. X takes a number, "
                                               "such as 9.071"};
    QTest::newRow("in quotes") << ""
                               << "ServerName = My server"
                               << QStringList{"13+9 fault: ServerName is read between quotation "
                                              "marks: \"My server\""};
    QTest::newRow("a quote inside") << ""
                                    << "Password = \"a\"b\""
                                    << QStringList{"11+5 fault: Password is read between "
                                                   "quotation marks: \"ab\""};
    QTest::newRow("combo: a note") << ""
                                   << "NeedPassword = Ture"
                                   << QStringList{"15+4 note: NeedPassword: Fennick's list offers "
                                                  "False and True"};
    QTest::newRow("combo of three") << game << "ShowOnRadar = 3"
                                    << QStringList{"14+1 note: ShowOnRadar: Fennick's list offers "
                                                   "0, 1 and 2"};
    QTest::newRow("record one value short")
        << game << "Vehicle = 191 338.6310 -237.6571 29.1708 98.9897 0"
        << QStringList{"10+40 fault: Vehicle takes 7 values; this line has 6"};
    QTest::newRow("the format's double blanks")
        << game << "CamLook = 14.117  1186.535 19.535" << QStringList();
    QTest::newRow("Class with its double blank")
        << game << "Class = -1 001 41.538 1084.514 14.234 180.8481 1  1 21 20 1 1" << QStringList();
    QTest::newRow("the format's blanks after Ammunation")
        << ""
        << "Ammunation = 0 1.0 1.0 1.0 1.0 1.0 1.0 1.0 1.0 12.428  " << QStringList();
    QTest::newRow("a blank more after Ammunation")
        << ""
        << "Ammunation = 0 1.0 1.0 1.0 1.0 1.0 1.0 1.0 1.0 12.428   "
        << QStringList{"53+1 blanks: A blank ends this line: the server reads it, nobody sees "
                       "it. Delete it unless it is meant"};
    QTest::newRow("trailing blanks") << ""
                                     << "MaxPlayers = 50  "
                                     << QStringList{"15+2 blanks: 2 blanks end this line: the "
                                                    "server reads them, nobody sees them. Delete "
                                                    "them unless they are meant"};
    QTest::newRow("a game key above the header")
        << general << "Vehicle = 191 338.6310 -237.6571 29.1708 98.9897 0 0"
        << QStringList{"0+7 fault: Vehicle stands above [GAME], where the server does not look "
                       "for it: move it below [GAME]"};
    QTest::newRow("a general key below the header")
        << game << "TimeRate = 4"
        << QStringList{"0+8 fault: TimeRate stands below [GAME], where the server does not look "
                       "for it: move it above [GAME]"};
    QTest::newRow("record on a comment line")
        << ""
        << ";------Lines that begin with ; are comments------Class = -1 001"
        << QStringList{"49+14 fault: This Class record stands on a comment line, so the server "
                       "skips it"};
    QTest::newRow("setting commented out on purpose") << ""
                                                      << "; MaxPlayers = 50" << QStringList();
    QTest::newRow("no-break space before =")
        << "" << QStringLiteral("RconPort\u00A0= 7000")
        << QStringList{"8+1 fault: The U+00A0 NO-BREAK SPACE beside RconPort is no blank to the "
                       "server, so it does not find RconPort: type a blank in its place",
                       "8+1 invisible: U+00A0 NO-BREAK SPACE"};
    QTest::newRow("trailing no-break space")
        << "" << QStringLiteral("MaxPlayers = 50\u00A0")
        << QStringList{"15+1 blanks: A blank ends this line: the server reads it, nobody sees "
                       "it. Delete it unless it is meant",
                       "15+1 invisible: U+00A0 NO-BREAK SPACE"};
    QTest::newRow("unknown key") << ""
                                 << "MaxPlayer = 50"
                                 << QStringList{"0+9 fault: Not a setting Fennick knows: did you "
                                                "mean MaxPlayers?"};
    QTest::newRow("nothing near") << ""
                                  << "Colour = red"
                                  << QStringList{"0+6 fault: Not a setting Fennick knows."};
    QTest::newRow("repeated key") << "\r\n" + general << "MaxPlayers = 60"
                                  << QStringList{"0+10 fault: MaxPlayers is already set on line 2"};
    QTest::newRow("records repeat by design") << game + "\r\nPickup = 368 1.0 1.0 1.0"
                                              << "Pickup = 368 1.0 1.0 1.0" << QStringList();
    QTest::newRow("direction override")
        << "" << QStringLiteral("Password = \"\u202Eterces\"")
        << QStringList{"12+1 invisible: U+202E RIGHT-TO-LEFT OVERRIDE",
                       QStringLiteral("12+1 fault: Code page 1252 has no \u202E: Save writes ? in "
                                      "its place")};
    QTest::newRow("a letter the code page lacks")
        << "" << QStringLiteral("ServerName = \"\u670D\"")
        << QStringList{QStringLiteral("14+1 fault: Code page 1252 has no \u670D: Save writes ? in "
                                      "its place")};
    QTest::newRow("an emoji: two question marks")
        << "" << QStringLiteral("; \U0001F600")
        << QStringList{QStringLiteral("2+2 fault: Code page 1252 has no \U0001F600: Save writes "
                                      "?? in its place")};
    QTest::newRow("half a surrogate pair")
        << ""
        << "; x" + QString(QChar(0xD800))
        << QStringList{"3+1 fault: Code page 1252 has no U+D800: Save writes ? in its place"};
    QTest::newRow("a letter it holds")
        << "" << QStringLiteral("ServerName = \"K\u00F6ln\"") << QStringList();
}

void LineChecksTest::rules()
{
    QFETCH(QString, above);
    QFETCH(QString, line);
    QFETCH(QStringList, marks);
    const EncodingCheck encoding = westernCodePage();
    TopDownChecks checks(encoding);
    if (!above.isEmpty())
        for (const QString &before : above.split(QStringLiteral("\r\n")))
            (void)checks.next(before);
    QStringList found;
    for (const LineMark &mark : checks.next(line))
        found << described(mark);
    QCOMPARE(found, marks);

    // Read as a view reads it, one line in any order, the same marks.
    QStringList lines = above.isEmpty() ? QStringList() : above.split(QStringLiteral("\r\n"));
    lines << line;
    const ViewChecks view([&lines](int at, const std::function<bool(int, QStringView)> &visit) {
        for (int i = at; i < lines.size() && visit(i, lines[i]); ++i) {
        }
    });
    QStringList viewed;
    for (const LineMark &mark : view.marks(int(lines.size() - 1), line))
        if (!mark.message.contains(u": Save writes")) // the view checks the system's encoding
            viewed << described(mark);
    found.removeIf([](const QString &mark) { return mark.contains(u": Save writes"); });
    QCOMPARE(viewed, found);
}

void LineChecksTest::wizardOutputEarnsNoMark_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("marks");
    // Every button pressed once in the order of the walk, every field at its
    // default.
    QString walk = bannerText();
    for (const ButtonDefinition &button : buttonTable)
        if (button.piece)
            walk += buildPiece(*button.piece, [](Control control) {
                return QString::fromUtf8(field(control).defaultText.data(),
                                         qsizetype(field(control).defaultText.size()));
            });
    QTest::newRow("the walk") << walk << QStringList();
    // The reference files: those of the defaults earn none, the edited and
    // cleared ones what is true of them.
    const QMap<QString, QStringList> expected{
        {"class-after-clear.ini",
         {"line 3 49+61 fault: This Class record stands on a comment line, so the server skips "
          "it"}},
        {"clear-in-vehicle-step.ini",
         {"line 4 0+7 fault: Vehicle stands above [GAME], where the server does not look for "
          "it: move it below [GAME]"}},
        {"emptied-preview.ini",
         {"line 2 0+6 fault: Pickup stands above [GAME], where the server does not look for "
          "it: move it below [GAME]"}},
    };
    const QDir data(QStringLiteral(FENNICK_TEST_DATA));
    for (const QString &name : data.entryList({QStringLiteral("*.ini")}, QDir::Files))
        if (name != u"edited-walk.ini") // edited by hand to hold what the rules mark
            QTest::newRow(qPrintable(name)) << dataFile(name) << expected.value(name);
}

void LineChecksTest::wizardOutputEarnsNoMark()
{
    QFETCH(QString, text);
    QFETCH(QStringList, marks);
    QCOMPARE(marksOf(text, westernCodePage()), marks);
}

void LineChecksTest::fieldsAreCheckedAsTheirLines_data()
{
    QTest::addColumn<Control>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("Max players") << Control::Text1 << "5O"
                                 << "MaxPlayers takes a whole number, such as 50";
    QTest::newRow("Listen port") << Control::Text2 << "99999"
                                 << "ListenPort takes a port from 1 to 65535";
    QTest::newRow("Server Name") << Control::Text3 << "My server"
                                 << "ServerName is read between quotation marks: \"My server\"";
    QTest::newRow("a record's value") << Control::Text68 << "19l"
                                      << "Vehicle's Model ID takes a whole number, such as 191";
    QTest::newRow("Camera Pos. Z's default, blank and all") << Control::Text24 << "12.428 "
                                                            << "";
    QTest::newRow("combo") << Control::Combo2 << "Ture"
                           << "NeedPassword: Fennick's list offers False and True";
    QTest::newRow("code page") << Control::Text51 << QStringLiteral("\u0142")
                               << QStringLiteral("Code page 1252 has no \u0142: Save writes ? in "
                                                 "its place");
    QTest::newRow("zero-width space")
        << Control::Text51 << QStringLiteral("Cl\u200Bass")
        << "The text holds U+200B ZERO WIDTH SPACE, which nobody sees";
}

void LineChecksTest::fieldsAreCheckedAsTheirLines()
{
    QFETCH(Control, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    const std::optional<LineMark> mark = checkFieldText(field, text, westernCodePage());
    QCOMPARE(mark ? mark->message : QString(), message);
}

QTEST_GUILESS_MAIN(LineChecksTest)
#include "tst_linechecks.moc"
