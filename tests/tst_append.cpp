// Appending a piece touches only the end of the preview, yet must leave
// exactly the text that reading the whole text, adding the piece and writing
// it all back would leave. Two previews walk the same way side by side, one
// appending at the end, one rewriting its whole text; after every step both
// must hold the same document as a plain string kept alongside. Save, too,
// takes a shortcut (the file's bytes straight from the widget's text) that
// must give the bytes of the document, byte for byte.
#include "document/banner.h"
#include "document/configfile.h"
#include "document/encodingcheck.h"
#include "document/linebreaks.h"
#include "document/strings.h"
#include "ui/previewedit.h"
#include "wizard/fieldcatalogue.h"
#include "wizard/stepmachine.h"

#include <QScrollBar>
#include <QStringDecoder>
#include <QTest>

#include <algorithm>

using namespace fennick;

namespace {

constexpr std::array allPieces{
    Piece::ServerBlock,      Piece::AccessBlock,   Piece::ModerationBlock, Piece::WorldBlock,
    Piece::AmmunationRecord, Piece::GameBlock,     Piece::ClassRecord,     Piece::PickupRecord,
    Piece::PickupStepEnd,    Piece::VehicleRecord,
};

// Awkward: each field ends in one of the texts below; EndInCr: each field
// ends in a lone CR, so that every piece ending in a field ends in half a
// line break.
enum class FieldTexts { Defaults, Empty, Awkward, EndInCr };

// One thing that happens to the preview: a step's piece, or the user's hand.
struct Action {
    enum Kind { Append, TypeAtEnd, TypeLineAtEnd, TypeLineAtStart, EmptyPreview, Clear } kind;
    Piece piece = Piece::ServerBlock;
    FieldTexts fields = FieldTexts::Defaults;
};
using Walk = QList<Action>;

// A raw text in the pieces given.
class Pieces final : public TextSource {
public:
    explicit Pieces(QList<QStringView> pieces)
        : m_pieces(std::move(pieces))
    {
    }
    bool forEachPiece(const std::function<bool(QStringView)> &visit) const override
    {
        return std::all_of(m_pieces.begin(), m_pieces.end(), visit);
    }

private:
    QList<QStringView> m_pieces;
};

// What Save writes of those pieces; twice, as a Save that turns from a copy
// to the file itself does.
[[nodiscard]] QByteArray writtenInPieces(QList<QStringView> pieces)
{
    const Pieces text(std::move(pieces));
    ConfigFileWriter writer(text);
    QByteArray passes[2];
    for (QByteArray &bytes : passes)
        if (!writer.writeTo([&bytes](QByteArrayView chunk) {
                bytes.append(chunk);
                return true;
            }))
            return "not written";
    return passes[0] == passes[1] ? passes[0] : "written otherwise the second time";
}

// What Save's box says of those pieces: how many characters the file holds
// otherwise, the line of the first and what it holds there.
[[nodiscard]] QString replacedInPieces(QList<QStringView> pieces)
{
    const Pieces text(std::move(pieces));
    const EncodingCheck encoding;
    ConfigFileWriter writer(text, &encoding);
    (void)writer.writeTo([](QByteArrayView) { return true; });
    const Replacements &found = writer.replacements();
    return QStringLiteral("%1 from line %2: %3")
        .arg(found.count)
        .arg(found.firstLine)
        .arg(found.firstWritten);
}

// Texts a user might put in a field that stress the line-break conversion:
// every kind of line break, and characters that must pass untouched.
const QStringList awkwardTexts{
    "a\rb",
    "\r",
    "\n",
    "c\r\nd",
    QStringLiteral("e\u2028f"),
    QStringLiteral("\u2029"),
    QStringLiteral("g\u00a0h\tI"),
    QStringLiteral("\U0001F600"),
    QStringLiteral("\ufdd0"),
    " ",
    "",
};

QString fieldText(FieldTexts texts, Control id)
{
    const QString defaultText = toQString(field(id).defaultText);
    switch (texts) {
    case FieldTexts::Defaults:
        return defaultText;
    case FieldTexts::Empty:
        return {};
    case FieldTexts::EndInCr:
        return defaultText + u'\r';
    case FieldTexts::Awkward:
        break;
    }
    return defaultText + awkwardTexts.at(indexOf(id) % awkwardTexts.size());
}

QString pieceText(const Action &action)
{
    return buildPiece(action.piece, [&action](Control id) { return fieldText(action.fields, id); });
}

// What any text looks like once it has been through the widget: each line
// break, of whatever kind, comes back as CR LF.
QString throughWidget(const QString &text)
{
    return documentFromEditorText(editorTextFromDocument(text));
}

void typeAtEnd(PreviewEdit *edit, const QString &words, bool endLine)
{
    edit->moveCursor(QTextCursor::End);
    QTest::keyClicks(edit, words);
    if (endLine)
        QTest::keyClick(edit, Qt::Key_Return);
}

void emptyPreview(PreviewEdit *edit)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
}

Walk everyPiece(FieldTexts fields, std::optional<Action::Kind> before = {})
{
    Walk walk;
    for (Piece piece : allPieces) {
        if (before)
            walk.append(Action{*before});
        walk.append(Action{Action::Append, piece, fields});
    }
    return walk;
}

} // namespace

Q_DECLARE_METATYPE(Action)

class AppendTest : public QObject {
    Q_OBJECT
private slots:
    void sameTextAsRewritingTheWhole_data();
    void sameTextAsRewritingTheWhole();
    void fileBytesFromTheWidgetsText_data();
    void fileBytesFromTheWidgetsText();
    void appendIsOneUndoableStep();
    void appendShowsTheAddedLines();
};

void AppendTest::sameTextAsRewritingTheWhole_data()
{
    QTest::addColumn<Walk>("walk");
    using enum Action::Kind;
    using enum FieldTexts;
    QTest::newRow("every piece, twice, defaults") << everyPiece(Defaults) + everyPiece(Defaults);
    QTest::newRow("every piece, empty fields") << everyPiece(Empty);
    QTest::newRow("every piece, awkward fields") << everyPiece(Awkward) + everyPiece(Awkward);
    QTest::newRow("every piece, fields ending in CR") << everyPiece(EndInCr) + everyPiece(EndInCr);
    QTest::newRow("typed text without line break") << everyPiece(Defaults, TypeAtEnd);
    QTest::newRow("typed line ending in a line break") << everyPiece(Defaults, TypeLineAtEnd);
    QTest::newRow("emptied preview") << everyPiece(Defaults, EmptyPreview);
    QTest::newRow("emptied preview, awkward fields") << everyPiece(Awkward, EmptyPreview);
    QTest::newRow("after Clear") << everyPiece(Defaults, Clear);
    QTest::newRow("after Clear, awkward fields") << everyPiece(Awkward, Clear);
    QTest::newRow("typed text, fields ending in CR") << everyPiece(EndInCr, TypeAtEnd);
    // Typed text stands before older text, though it comes later in the
    // document's own buffer.
    QTest::newRow("typed line at the start") << everyPiece(Awkward, TypeLineAtStart);
    QTest::newRow("mixed") << Walk{{Append, Piece::ServerBlock},
                                   {TypeAtEnd},
                                   {Append, Piece::VehicleRecord},
                                   {EmptyPreview},
                                   {Append, Piece::ClassRecord},
                                   {Append, Piece::ClassRecord, Awkward},
                                   {TypeLineAtEnd},
                                   {Append, Piece::PickupStepEnd},
                                   {Clear},
                                   {TypeAtEnd},
                                   {Append, Piece::ClassRecord},
                                   {EmptyPreview},
                                   {TypeLineAtEnd},
                                   {Append, Piece::WorldBlock, Empty},
                                   {Append, Piece::GameBlock, Awkward},
                                   {Clear},
                                   {Clear},
                                   {Append, Piece::AmmunationRecord}};
}

void AppendTest::sameTextAsRewritingTheWhole()
{
    QFETCH(Walk, walk);
    PreviewEdit fast;
    PreviewEdit literal;
    for (PreviewEdit *edit : {&fast, &literal})
        edit->replaceDocument(bannerText());
    QString expected = bannerText();

    int stepNumber = 0;
    for (const Action &action : walk) {
        ++stepNumber;
        switch (action.kind) {
        case Action::Append: {
            const QString piece = pieceText(action);
            fast.appendToDocument(piece);
            literal.replaceDocument(literal.documentText() + piece);
            expected = throughWidget(expected + piece);
            break;
        }
        case Action::TypeAtEnd:
        case Action::TypeLineAtEnd: {
            const bool endLine = action.kind == Action::TypeLineAtEnd;
            for (PreviewEdit *edit : {&fast, &literal})
                typeAtEnd(edit, QStringLiteral("my own words"), endLine);
            expected += QStringLiteral("my own words");
            if (endLine)
                expected += QStringLiteral("\r\n");
            break;
        }
        case Action::TypeLineAtStart:
            for (PreviewEdit *edit : {&fast, &literal}) {
                edit->moveCursor(QTextCursor::Start);
                QTest::keyClicks(edit, QStringLiteral("my own words"));
                QTest::keyClick(edit, Qt::Key_Return);
            }
            expected.prepend(QStringLiteral("my own words\r\n"));
            break;
        case Action::EmptyPreview:
            for (PreviewEdit *edit : {&fast, &literal})
                emptyPreview(edit);
            expected.clear();
            break;
        case Action::Clear:
            for (PreviewEdit *edit : {&fast, &literal})
                edit->replaceDocument(bannerText());
            expected = bannerText();
            break;
        }
        const QByteArray where = "after step " + QByteArray::number(stepNumber);
        QVERIFY2(literal.documentText() == expected, where);
        QVERIFY2(fast.documentText() == expected, where);
        QVERIFY2(fast.fileBytes() == configFileBytes(expected), where);
    }
}

void AppendTest::fileBytesFromTheWidgetsText_data()
{
    QTest::addColumn<QString>("editorText");
    const QChar high(0xd83d);
    const QChar low(0xde00);
    QTest::newRow("empty") << QString();
    QTest::newRow("one line") << "MaxPlayers = 50";
    QTest::newRow("paragraphs, last one empty") << QStringLiteral("a\u2029b\u2029");
    QTest::newRow("only breaks") << QStringLiteral("\u2029\u2029\u2029");
    QTest::newRow("every kind of break")
        << QStringLiteral("a\nb\rc\r\nd\u2028e\u2029f\r\r\ng\n\rh");
    QTest::newRow("break at start and end") << QStringLiteral("\r\nx\r");
    QTest::newRow("nbsp, tab, euro, emoji") << QStringLiteral("a\u00a0b\tc\u20ac\U0001F600\u2029d");
    const QString paragraph = QStringLiteral("\u2029");
    QTest::newRow("pairs on both sides of a break") << QString(high) + low + paragraph + high + low;
    QTest::newRow("high surrogate before a break") << "x" + QString(high) + paragraph + "y";
    QTest::newRow("low surrogate after a break") << QStringLiteral("x\u2029") + low + "y";
    QTest::newRow("high surrogate at the very end") << "x\n" + QString(high);
    QTest::newRow("replacement and noncharacters")
        << QStringLiteral("\ufffd\ufdd0\uffff\u2029\u2027\u202a");
    QTest::newRow("many lines") << QStringLiteral("Vehicle = 191 338.6310\u2029").repeated(2000);
    // Many times the write buffer, with stretches beyond ASCII longer than
    // the encoder takes at once: pairs fall across each boundary.
    QTest::newRow("lines past the buffer")
        << QStringLiteral("ab\u00e9\U0001F600\r").repeated(30000) + QString(20000, u'x');
    QTest::newRow("stretch past the encoder's")
        << QStringLiteral("\u00e9") + QStringLiteral("\U0001F600").repeated(9000);
    // ASCII is copied eight or four units at a time: each unit that must
    // stop the copy (or, at 0x0E and 0x7F, must not), at each place of a run.
    QString stops;
    for (char16_t unit : {0x00, 0x09, 0x0d, 0x0e, 0x7f, 0x80, 0x2029, 0x7fff, 0x8000, 0xffff})
        for (qsizetype at = 0; at <= 17; ++at)
            stops += QString(at, u'a') + QChar(unit) + QString(17 - at, u'b') + QChar(0x2029);
    QTest::newRow("units that stop the ASCII copy") << stops;
}

// The bytes Save writes come straight from the widget's text, skipping the
// document string; they must be the document's bytes.
void AppendTest::fileBytesFromTheWidgetsText()
{
    QFETCH(QString, editorText);
    const QByteArray expected = configFileBytes(documentFromEditorText(editorText));
    QCOMPARE(configFileBytesFromEditorText(editorText), expected);
    // Cut anywhere, inside a CR LF or a surrogate pair too, or one unit a
    // piece: the same bytes.
    const QStringView text(editorText);
    const qsizetype step = text.size() > 100 ? 997 : 1;
    // The box tells of replaced characters exactly when the file differs.
    const QString replaced = replacedInPieces({text});
    QCOMPARE(!replaced.startsWith(u"0 "), QStringDecoder(QStringDecoder::System).decode(expected)
                                              != documentFromEditorText(editorText) + "\r\n");
    for (qsizetype cut = 0; cut <= text.size(); cut += step) {
        QCOMPARE(writtenInPieces({text.first(cut), text.sliced(cut)}), expected);
        QCOMPARE(replacedInPieces({text.first(cut), text.sliced(cut)}), replaced);
    }
    QList<QStringView> units;
    for (qsizetype i = 0; i < text.size(); ++i)
        units.append(text.sliced(i, 1));
    QCOMPARE(writtenInPieces(units), expected);
    QCOMPARE(replacedInPieces(units), replaced);
    // Read from the preview's own text document, where it keeps the text
    // as given: a line longer than the piece Save gathers the text in too.
    PreviewEdit edit;
    edit.replaceDocument(documentFromEditorText(editorText));
    if (edit.documentText() == documentFromEditorText(editorText))
        QCOMPARE(edit.fileBytes(), expected);
    // A refused chunk ends the pass: nothing more is handed on.
    const Pieces whole({text});
    ConfigFileWriter writer(whole);
    int chunks = 0;
    QVERIFY(!writer.writeTo([&chunks](QByteArrayView) { return ++chunks == 0; }));
    QCOMPARE(chunks, 1);
}

// One press is one step back with Undo: the piece goes, everything before
// it stays, and Redo brings the piece back.
void AppendTest::appendIsOneUndoableStep()
{
    PreviewEdit edit;
    edit.replaceDocument(bannerText());
    typeAtEnd(&edit, QStringLiteral("typed"), true);
    const QString before = edit.documentText();
    const QString piece = pieceText({Action::Append, Piece::GameBlock});

    edit.appendToDocument(piece);
    QCOMPARE(edit.documentText(), before + piece);
    edit.undo();
    QCOMPARE(edit.documentText(), before);
    edit.redo();
    QCOMPARE(edit.documentText(), before + piece);
}

// After a press the user sees the lines just added: the view has scrolled
// to the end, where the cursor now stands.
void AppendTest::appendShowsTheAddedLines()
{
    PreviewEdit edit;
    edit.resize(300, 200);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.replaceDocument(bannerText() + QString("\r\nline").repeated(500));
    edit.moveCursor(QTextCursor::Start);
    QCOMPARE(edit.verticalScrollBar()->value(), 0);

    edit.appendToDocument(pieceText({Action::Append, Piece::VehicleRecord}));
    QVERIFY(edit.textCursor().atEnd());
    QVERIFY(edit.verticalScrollBar()->value() > 0);
    QVERIFY(edit.viewport()->rect().contains(edit.cursorRect()));
}

QTEST_MAIN(AppendTest)
#include "tst_append.moc"
