// Pieces with every field empty, the banner and the line-break conversion
// between the preview widget and the document. The pieces at their defaults
// and as typed are in the saved files of tst_window.
#include "document/banner.h"
#include "document/linebreaks.h"
#include "document/lineparts.h"
#include "document/maker.h"
#include "document/pieces.h"
#include "document/strings.h"
#include "linebreakcases.h"

#include <QTest>

using namespace fennick;

namespace {

FieldTextByName allEmpty()
{
    return [](std::string_view) { return QString(); };
}

} // namespace

class PiecesTest : public QObject {
    Q_OBJECT
private slots:
    void emptyFields_data();
    void emptyFields();
    void banner();
    void documentFromEditorText_data();
    void documentFromEditorText();
    void editorTextFromDocument_data();
    void editorTextFromDocument();
    void lineParts_data();
    void lineParts();
};

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
                                << "\r\nAmmunation = " + QString(10, u' ')
                                       + "\r\nA_Weapon = " + QString(11, u' ');
    QTest::newRow("Game") << Piece::GameBlock
                          << QStringLiteral(
                                 "\r\n\r\n[GAME]\r\n\r\nGameMode = \r\nGameModeVersion = "
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
    QCOMPARE(fillPiece(piece, allEmpty()), expected);
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
    for (const LineBreakCase &row : lineBreakCases)
        QTest::newRow(row.name) << row.in << row.document;
    QTest::newRow("empty") << ""
                           << "";
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
    QTest::newRow("CR LF") << "a\r\nb\r\n"
                           << "a\nb\n";
    QTest::newRow("lone CR") << "a\rb"
                             << "a\nb";
    QTest::newRow("two breaks") << "\r\n\r\n"
                                << "\n\n";
    // A paragraph of its own: the preview numbers paragraphs as file lines.
    QTest::newRow("line separator") << QStringLiteral("a\u2028b") << "a\nb";
}

void PiecesTest::editorTextFromDocument()
{
    QFETCH(QString, document);
    QFETCH(QString, editor);
    QCOMPARE(fennick::editorTextFromDocument(document), editor);
}

void PiecesTest::lineParts_data()
{
    using Kind = LineParts::Kind;
    QTest::addColumn<QString>("line");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("keyLength");
    QTest::addColumn<int>("trailingBlanksFrom");
    QTest::newRow("empty") << "" << Kind::Other << 0 << 0;
    QTest::newRow("banner") << ";------Visit x------" << Kind::Comment << 0 << 20;
    // A Class record appended to a comment line is part of the comment.
    QTest::newRow("record after a comment") << ";note Class = -1 001" << Kind::Comment << 0 << 20;
    QTest::newRow("indented semicolon is no comment") << " ;x = 1" << Kind::Setting << 3 << 7;
    QTest::newRow("section header") << "[GAME]" << Kind::SectionHeader << 0 << 6;
    QTest::newRow("header with blanks after it") << "[GAME] " << Kind::SectionHeader << 0 << 6;
    QTest::newRow("unclosed bracket") << "[GAME" << Kind::Other << 0 << 5;
    QTest::newRow("setting") << "MaxPlayers = 50" << Kind::Setting << 10 << 15;
    QTest::newRow("key before the first separator") << "A = b = c" << Kind::Setting << 1 << 9;
    QTest::newRow("empty value") << "Ping = " << Kind::Setting << 4 << 6;
    QTest::newRow("Ammunation line, two blanks at its end")
        << "Ammunation = 0 12.428  " << Kind::Setting << 10 << 21;
    QTest::newRow("no key before the separator") << " = 1" << Kind::Other << 0 << 4;
    QTest::newRow("equals without blanks") << "Map=1" << Kind::Other << 0 << 5;
    QTest::newRow("blanks and a tab only") << " \t " << Kind::Other << 0 << 0;
}

void PiecesTest::lineParts()
{
    QFETCH(QString, line);
    QFETCH(LineParts::Kind, kind);
    QFETCH(int, keyLength);
    QFETCH(int, trailingBlanksFrom);
    const LineParts parts = fennick::lineParts(line);
    QCOMPARE(parts.kind, kind);
    QCOMPARE(parts.keyLength, keyLength);
    QCOMPARE(parts.trailingBlanksFrom, trailingBlanksFrom);
}

QTEST_GUILESS_MAIN(PiecesTest)
#include "tst_pieces.moc"
