// The text of every piece a step appends, the banner and the line-break
// conversion between the preview widget and the document.
#include "document/banner.h"
#include "document/linebreaks.h"
#include "document/maker.h"
#include "document/pieces.h"
#include "document/strings.h"
#include "wizard/fieldcatalogue.h"

#include <QHash>
#include <QTest>

using namespace fennick;

namespace {

// Field texts: the catalogue's defaults, with some fields overridden.
FieldTextReader fieldsWith(const QHash<QString, QString> &overrides = {})
{
    return [overrides](std::string_view name) {
        const QString key = toQString(name);
        if (overrides.contains(key))
            return overrides.value(key);
        return toQString(findField(name)->defaultText);
    };
}

FieldTextReader allEmpty()
{
    return [](std::string_view) { return QString(); };
}

const QString serverName = QStringLiteral("\"Ombrix 0.3z server [fennick.example.org]\"");

} // namespace

class PiecesTest : public QObject {
    Q_OBJECT
private slots:
    void defaults_data();
    void defaults();
    void emptyFields_data();
    void emptyFields();
    void valuesAreCopiedAsTyped_data();
    void valuesAreCopiedAsTyped();
    void everyPlaceholderIsACatalogueField();
    void banner();
    void documentFromEditorText_data();
    void documentFromEditorText();
    void editorTextFromDocument_data();
    void editorTextFromDocument();
};

void PiecesTest::defaults_data()
{
    QTest::addColumn<Piece>("piece");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Server") << Piece::ServerBlock
                            << "\r\n\r\nMaxPlayers = 50\r\nListenPort = 5555\r\nServerName = "
                                   + serverName + "\r\nMap = 1";
    QTest::newRow("Access") << Piece::AccessBlock
                            << QStringLiteral("\r\n\r\nNeedPassword = False\r\n"
                                              "Password = \"PutYourOwnWordsIn-Quotes\"\r\n"
                                              "AdminPassword = \"PutYourOwnWordsIn-Quotes\"\r\n"
                                              "RconPort = 6666\r\nRconMaxUsers = 5");
    QTest::newRow("Moderation")
        << Piece::ModerationBlock
        << QStringLiteral("\r\n\r\nLogServer = True\r\n"
                          "KickMessage = \"~t~You Have Been ~b~ Kicked From the Server\"\r\n"
                          "BanMessage = \"~t~You Have Been Banned.\"\r\nPing = 1000");
    QTest::newRow("World") << Piece::WorldBlock
                           << QStringLiteral("\r\n\r\nWeatherDefault = 4\r\nHourDefault = 4\r\n"
                                             "MinuteDefault = 20\r\nTimeRate = 4\r\n");
    QTest::newRow("Ammunation")
        << Piece::AmmunationRecord
        << QStringLiteral("\r\nAmmunation = 0 -66.0178 -1481.7504 10.4940 -60.593 -1486.241 "
                          "12.433 -60.508 -1484.245 12.428  \r\n"
                          "A_Weapon = 0 -60.793 -1488.141 12.24274 278 1500 150 2000 220 2000 230 3000");
    QTest::newRow("Game") << Piece::GameBlock
                          << QStringLiteral("\r\n\r\n[GAME]\r\n\r\nGameMode = \"Deathmatch\"\r\n"
                                            "GameModeVersion = 0.1\r\nShowOnRadar = 0\r\n\r\n"
                                            "PlayerPos = 14.117 1186.535 19.535\r\n"
                                            "CamPos = 9.071 1191.392 19.578\r\n"
                                            "CamLook = 14.117  1186.535 19.535\r\n\r\n"
                                            "WorldBounds = 5000.0  -5000.0 5000.0 -5000.0\r\n"
                                            "ClassDescription = Class\r\n\r\n");
    QTest::newRow("Class") << Piece::ClassRecord
                           << QStringLiteral("Class = -1 001 41.538 1084.514 14.234 180.8481 1  1 "
                                             "21 20 1 1\r\n");
    QTest::newRow("Pickup") << Piece::PickupRecord
                            << QStringLiteral("\r\nPickup = 368 -855.5118 -631.2861 11.3756");
    QTest::newRow("Pickup step end") << Piece::PickupStepEnd << QStringLiteral("\r\n");
    QTest::newRow("Vehicle") << Piece::VehicleRecord
                             << QStringLiteral("\r\nVehicle = 191 338.6310 -237.6571 29.1708 "
                                               "98.9897 0 0");
}

void PiecesTest::defaults()
{
    QFETCH(Piece, piece);
    QFETCH(QString, expected);
    QCOMPARE(buildPiece(piece, fieldsWith()), expected);
}

// With every field empty the separators stay, so blanks pile up where the
// values would be.
void PiecesTest::emptyFields_data()
{
    QTest::addColumn<Piece>("piece");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Moderation") << Piece::ModerationBlock
                                << QStringLiteral("\r\n\r\nLogServer = \r\nKickMessage = \r\n"
                                                  "BanMessage = \r\nPing = ");
    QTest::newRow("Ammunation") << Piece::AmmunationRecord
                                << "\r\nAmmunation = " + QString(10, u' ') + "\r\nA_Weapon = "
                                       + QString(11, u' ');
    QTest::newRow("Game") << Piece::GameBlock
                          << QStringLiteral("\r\n\r\n[GAME]\r\n\r\nGameMode = \r\nGameModeVersion = "
                                            "\r\nShowOnRadar = \r\n\r\nPlayerPos =   \r\nCamPos =   "
                                            "\r\nCamLook =    \r\n\r\nWorldBounds =     \r\n"
                                            "ClassDescription = \r\n\r\n");
    QTest::newRow("Class") << Piece::ClassRecord << "Class = " + QString(12, u' ') + "\r\n";
    QTest::newRow("Pickup") << Piece::PickupRecord << QStringLiteral("\r\nPickup =    ");
    QTest::newRow("Vehicle") << Piece::VehicleRecord << QStringLiteral("\r\nVehicle =       ");
}

void PiecesTest::emptyFields()
{
    QFETCH(Piece, piece);
    QFETCH(QString, expected);
    QCOMPARE(buildPiece(piece, allEmpty()), expected);
}

void PiecesTest::valuesAreCopiedAsTyped_data()
{
    QTest::addColumn<Piece>("piece");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expectedLine");
    QTest::newRow("typed combo text") << Piece::ServerBlock << "Combo1" << "3" << "Map = 3";
    QTest::newRow("surrounding blanks") << Piece::WorldBlock << "Text12" << " 7 " << "HourDefault =  7 ";
    QTest::newRow("quotes removed") << Piece::GameBlock << "Text36" << "Deathmatch"
                                    << "GameMode = Deathmatch";
    QTest::newRow("braces and percent") << Piece::VehicleRecord << "Text74" << "{Text1} %1"
                                        << "Vehicle = 191 338.6310 -237.6571 29.1708 98.9897 0 {Text1} %1";
    QTest::newRow("empty ID") << Piece::PickupRecord << "Text64" << ""
                              << "Pickup =  -855.5118 -631.2861 11.3756";
    QTest::newRow("empty last weapon cost")
        << Piece::AmmunationRecord << "Text35" << ""
        << "A_Weapon = 0 -60.793 -1488.141 12.24274 278 1500 150 2000 220 2000 230 ";
}

void PiecesTest::valuesAreCopiedAsTyped()
{
    QFETCH(Piece, piece);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, expectedLine);
    const QStringList lines = buildPiece(piece, fieldsWith({{field, value}})).split(QStringLiteral("\r\n"));
    QVERIFY2(lines.contains(expectedLine), qPrintable(lines.join(u'|')));
}

void PiecesTest::everyPlaceholderIsACatalogueField()
{
    int fieldsRead = 0;
    for (int i = 0; i <= int(Piece::VehicleRecord); ++i) {
        for (std::string_view field : pieceFields(Piece(i))) {
            QVERIFY2(findField(field) != nullptr, field.data());
            ++fieldsRead;
        }
    }
    // Every field is read once, Text15 twice (it opens both Ammunation lines).
    QCOMPARE(fieldsRead, 79);
}

void PiecesTest::banner()
{
    const QStringList lines = bannerText().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(1), ";------Visit " + toQString(makerAddress) + " to see updates------");
    for (const QString &line : lines) {
        QVERIFY(line.startsWith(u';'));
        QVERIFY(!line.contains(u'\r') && !line.contains(u'\n'));
    }
    QVERIFY(!bannerText().endsWith(u'\n'));
}

void PiecesTest::documentFromEditorText_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("document");
    const QChar para = QChar::ParagraphSeparator;
    const QChar line = QChar::LineSeparator;
    QTest::newRow("empty") << "" << "";
    QTest::newRow("paragraphs") << QString("a" + QString(para) + "b") << "a\r\nb";
    QTest::newRow("soft line break") << QString("a" + QString(line) + "b") << "a\r\nb";
    QTest::newRow("LF") << "a\nb\n" << "a\r\nb\r\n";
    QTest::newRow("CR LF stays one break") << "a\r\nb" << "a\r\nb";
    QTest::newRow("lone CR") << "a\rb" << "a\r\nb";
    QTest::newRow("empty lines") << QString(QString(para) + para) << "\r\n\r\n";
    const QString tabAndNbsp = "a\tb" + QString(QChar::Nbsp);
    QTest::newRow("tab and nbsp kept") << tabAndNbsp << tabAndNbsp;
}

void PiecesTest::documentFromEditorText()
{
    QFETCH(QString, editor);
    QFETCH(QString, document);
    QCOMPARE(fennick::documentFromEditorText(editor), document);
}

void PiecesTest::editorTextFromDocument_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("editor");
    QTest::newRow("CR LF") << "a\r\nb\r\n" << "a\nb\n";
    QTest::newRow("lone CR") << "a\rb" << "a\nb";
    QTest::newRow("two breaks") << "\r\n\r\n" << "\n\n";
}

void PiecesTest::editorTextFromDocument()
{
    QFETCH(QString, document);
    QFETCH(QString, editor);
    QCOMPARE(fennick::editorTextFromDocument(document), editor);
}

QTEST_GUILESS_MAIN(PiecesTest)
#include "tst_pieces.moc"
