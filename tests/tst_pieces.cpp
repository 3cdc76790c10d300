// Pieces with every field empty, the banner and the line-break conversion
// between the preview widget and the document. The pieces at their defaults
// and as typed are in the saved files of tst_window.
#include "document/banner.h"
#include "document/linebreaks.h"
#include "document/maker.h"
#include "document/pieces.h"
#include "document/strings.h"

#include <QTest>

using namespace fennick;

namespace {

FieldTextReader allEmpty()
{
    return [](Control) { return QString(); };
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
