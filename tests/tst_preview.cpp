// The preview as a view of the file's lines: one paragraph per line of the
// saved file, a number on the first screen line of each, and colours by what
// each line is, legible in light and dark palettes.
#include "darkpalette.h"
#include "document/encodingcheck.h"
#include "ui/contrast.h"
#include "windowdriver.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QInputMethodEvent>
#include <QTextBlock>
#include <QToolTip>

using namespace fennick;

namespace {

// Brings the paragraph whose text starts with the given text into view.
QTextBlock showLine(PreviewEdit *preview, const QString &start)
{
    for (QTextBlock block = preview->document()->firstBlock(); block.isValid();
         block = block.next()) {
        if (!block.text().startsWith(start))
            continue;
        QTextCursor cursor(block);
        preview->setTextCursor(cursor);
        preview->ensureCursorVisible();
        preview->viewport()->repaint();
        QApplication::processEvents();
        return block;
    }
    qFatal("no line starts with %s", qPrintable(start));
}

} // namespace

class PreviewTest : public QObject {
    Q_OBJECT
private slots:
    void init() { driver = std::make_unique<WindowDriver>(); }
    void cleanup() { driver.reset(); }

    void everyParagraphIsAFileLine_data();
    void everyParagraphIsAFileLine();
    void linesAreColouredByWhatTheyAre_data();
    void linesAreColouredByWhatTheyAre();
    void wrappedLineIsNumberedOnce();
    void bannerStandsOnOneScreenLineEach();
    void toolTipsSayWhatIsWrong_data();
    void toolTipsSayWhatIsWrong();
    void coloursStayLegible_data();
    void coloursStayLegible();

private:
    std::unique_ptr<WindowDriver> driver;
};

void PreviewTest::everyParagraphIsAFileLine_data()
{
    QTest::addColumn<QString>("how"); // typed, pasted, or composed by an input method
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key"); // typed after the text, with Shift
    QTest::addColumn<QString>("documentEnd");
    QTest::newRow("Shift+Enter typed") << "type"
                                       << "a" << int(Qt::Key_Return) << "a\r\n";
    QTest::newRow("Shift+Enter on the keypad") << "type"
                                               << "a" << int(Qt::Key_Enter) << "a\r\n";
    QTest::newRow("line separator typed") << "type" << QStringLiteral("a\u2028b") << 0 << "a\r\nb";
    QTest::newRow("paragraph separator typed")
        << "type" << QStringLiteral("a\u2029b") << 0 << "a\r\nb";
    QTest::newRow("line separator composed")
        << "compose" << QStringLiteral("a\u2028b") << 0 << "a\r\nb";
    QTest::newRow("line separator pasted")
        << "paste" << QStringLiteral("a\u2028b") << 0 << "a\r\nb";
    QTest::newRow("every kind of line break pasted")
        << "paste" << QStringLiteral("a\rb\nc\r\nd\u2029e") << 0 << "a\r\nb\r\nc\r\nd\r\ne";
}

void PreviewTest::everyParagraphIsAFileLine()
{
    QFETCH(QString, how);
    QFETCH(QString, text);
    QFETCH(int, key);
    QFETCH(QString, documentEnd);
    PreviewEdit *preview = driver->window->preview();
    preview->setFocus();
    preview->moveCursor(QTextCursor::End);
    QTest::keyClick(preview, Qt::Key_Return);
    if (how == u"paste") {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(preview, Qt::Key_V, Qt::ControlModifier);
    } else if (how == u"compose") {
        QInputMethodEvent composed;
        composed.setCommitString(text);
        QApplication::sendEvent(preview, &composed);
    } else {
        for (QChar c : text) // keyClicks() would send only Latin-1
            QTest::sendKeyEvent(QTest::Click, preview, Qt::Key_unknown, QString(c), {});
        if (key != 0)
            QTest::keyClick(preview, Qt::Key(key), Qt::ShiftModifier);
    }
    const QString document = driver->document();
    QVERIFY2(document.endsWith(documentEnd), qPrintable(document.right(20)));
    // The file holds the document and one more CR LF: as many lines as the
    // preview has paragraphs, so the numbers beside them are the file's.
    QCOMPARE(preview->blockCount(), document.count(QStringLiteral("\r\n")) + 1);
}

void PreviewTest::linesAreColouredByWhatTheyAre_data()
{
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("typed"); // at the end, before the last button
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("expected");
    const QStringList general{"Command2", "Command3", "Command4", "Command5"};
    QTest::newRow("banner") << QStringList() << ""
                            << ";------Visit" << 5 << "comment";
    QTest::newRow("key") << QStringList{"Command2"} << ""
                         << "MaxPlayers = 50" << 0 << "key";
    QTest::newRow("separator after the key") << QStringList{"Command2"} << ""
                                             << "MaxPlayers = 50" << 11 << "plain";
    QTest::newRow("value") << QStringList{"Command2"} << ""
                           << "MaxPlayers = 50" << 13 << "plain";
    QTest::newRow("section header") << general + QStringList{"Command13", "Command7"} << ""
                                    << "[GAME]" << 1 << "header";
    QTest::newRow("Ammunation's last blank") << general + QStringList{"Command6"} << ""
                                             << "Ammunation = " << 93 << "plain"; // the format's
    QTest::newRow("Ammunation's last value") << general + QStringList{"Command6"} << ""
                                             << "Ammunation = " << 91 << "plain";
    QTest::newRow("Class record after a typed comment")
        << general + QStringList{"Command13", "Command7", "Command8"} << ";my note"
        << ";my noteClass = " << 10 << "comment";
}

void PreviewTest::linesAreColouredByWhatTheyAre()
{
    QFETCH(QStringList, buttons);
    QFETCH(QString, typed);
    QFETCH(QString, line);
    QFETCH(int, position);
    QFETCH(QString, expected);
    PreviewEdit *preview = driver->window->preview();
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        if (i == buttons.size() - 1 && !typed.isEmpty()) {
            preview->setFocus();
            preview->moveCursor(QTextCursor::End);
            QTest::keyClicks(preview, typed);
        }
        driver->click(*controlNamed(buttons[i].toStdString()));
    }
    const QTextBlock block = showLine(preview, line);
    QVERIFY(position < block.length() - 1);
    QString found = QStringLiteral("plain");
    for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
        if (position < range.start || position >= range.start + range.length)
            continue;
        const PreviewColours &colours = preview->colours();
        const QColor foreground = range.format.foreground().color();
        if (range.format.background() == colours.trailingBlanks)
            found = QStringLiteral("blank");
        else if (foreground == colours.comment)
            found = QStringLiteral("comment");
        else if (foreground == colours.key)
            found = QStringLiteral("key");
        else if (foreground == colours.sectionHeader)
            found = QStringLiteral("header");
        QVERIFY(!range.format.hasProperty(QTextFormat::FontWeight)); // the font stays as it is
    }
    QCOMPARE(found, expected);
}

// The Ammunation line wraps in the preview: its number stands on its first
// screen line, and beside the continuation a return arrow, narrower than the
// number, stands in the place of the last digit.
void PreviewTest::wrappedLineIsNumberedOnce()
{
    driver->walkTo(WizardState::Ammunation);
    driver->click(Control::Command6);
    PreviewEdit *preview = driver->window->preview();
    const QTextBlock ammunation = showLine(preview, QStringLiteral("Ammunation = "));
    QVERIFY(ammunation.layout()->lineCount() >= 2);
    QVERIFY(ammunation.blockNumber() + 1 >= 10); // a number of two digits
    QRectF rect;
    preview->forEachVisibleLine([&](const QTextBlock &block, const QRectF &r) {
        if (block == ammunation)
            rect = r;
    });
    QVERIFY(!rect.isNull());
    LineNumberGutter *gutter = preview->gutter();
    QVERIFY(gutter->isVisible());
    const QImage image = gutter->grab().toImage();
    const qreal scale = image.devicePixelRatio();
    const QColor background = preview->colours().gutter;
    const int lineHeight = qRound(ammunation.layout()->lineAt(0).height());
    const auto leftmostInk = [&](int top) {
        for (int x = 0; x < gutter->width(); ++x)
            for (int y = top; y < top + lineHeight; ++y)
                if (image.pixelColor(int(x * scale), int(y * scale)) != background)
                    return x;
        return -1;
    };
    const int top = qRound(rect.top()) + preview->viewport()->y() - gutter->y();
    const int number = leftmostInk(top);
    const int arrow = leftmostInk(top + lineHeight);
    QVERIFY(number >= 0 && arrow >= 0);
    QVERIFY2(arrow > number + gutter->width() / 4, qPrintable(QString::number(arrow - number)));
}

// At the default font and size the three banner lines fit the preview's
// width, each on one screen line.
void PreviewTest::bannerStandsOnOneScreenLineEach()
{
    PreviewEdit *preview = driver->window->preview();
    preview->viewport()->repaint();
    QTextBlock block = preview->document()->firstBlock();
    for (int line = 1; line <= 3; ++line, block = block.next()) {
        QVERIFY(block.text().startsWith(u';'));
        QCOMPARE(block.layout()->lineCount(), 1);
        // Laid out at the view's whole width, not one Qt counted before the
        // scroll bar was hidden.
        const qreal margins = 2 * preview->document()->documentMargin();
        QCOMPARE(block.layout()->lineAt(0).width(), preview->viewport()->width() - margins);
    }
}

void PreviewTest::toolTipsSayWhatIsWrong_data()
{
    QTest::addColumn<QString>("typed"); // on a new last line, after the Server step
    QTest::addColumn<int>("position");  // of the character hovered
    QTest::addColumn<QString>("tip");
    QTest::addColumn<int>("deleted"); // a line deleted once the preview has shown the rest
    QTest::newRow("typo") << "MaxPlayer = 50" << 3
                          << "Not a setting Fennick knows: did you mean MaxPlayers?" << 0;
    QTest::newRow("two letters off")
        << "maxplayers = 50" << 3 << "Not a setting Fennick knows: did you mean MaxPlayers?" << 0;
    QTest::newRow("nothing near") << "Colour = red" << 1 << "Not a setting Fennick knows." << 0;
    QTest::newRow("repeated key") << "MaxPlayers = 60" << 3 << "MaxPlayers is already set on line 5"
                                  << 0;
    QTest::newRow("a record above the section header")
        << "Vehicle = 1 2 3 4 5 6 7" << 2
        << "Vehicle stands above [GAME], where the server does not look for it: move it below "
           "[GAME]"
        << 0;
    QTest::newRow("a setting set once") << "WeatherDefault = 10" << 3 << "" << 0;
    QTest::newRow("direction override") << QStringLiteral("Password = \"\u202Eterces\"") << 12
                                        << "U+202E RIGHT-TO-LEFT OVERRIDE" << 0;
    // The server reads the mark as part of the key.
    QTest::newRow("byte-order mark") << QStringLiteral("\uFEFFMap = 1") << 0
                                     << "Not a setting Fennick knows: did you mean Map?\n"
                                        "U+FEFF ZERO WIDTH NO-BREAK SPACE (BYTE ORDER MARK)"
                                     << 0;
    QTest::newRow("zero-width space")
        << QStringLiteral("Ping = 2\u200B00") << 8
        << "Ping takes a whole number, such as 1000\nU+200B ZERO WIDTH SPACE" << 0;
    QTest::newRow("NUL") << QStringLiteral("Ping = 2") + QChar(0) + "00" << 8
                         << "Ping takes a whole number, such as 1000\nU+0000 NULL" << 0;
    QTest::newRow("repeated key, the first one deleted") << "MaxPlayers = 60" << 3 << "" << 5;
}

// The tooltip that a resting mouse shows over a key or a character; the key
// is underlined exactly when something is wrong with it.
void PreviewTest::toolTipsSayWhatIsWrong()
{
    QFETCH(QString, typed);
    QFETCH(int, position);
    QFETCH(QString, tip);
    QFETCH(int, deleted);
    driver->click(Control::Command2);
    PreviewEdit *preview = driver->window->preview();
    QTextCursor cursor(preview->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("\n") + typed);
    preview->setTextCursor(cursor);
    preview->viewport()->repaint();
    if (deleted > 0) {
        QTextCursor line(preview->document()->findBlockByNumber(deleted - 1));
        line.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        line.removeSelectedText();
        preview->viewport()->repaint();
    }
    const QTextBlock block = preview->document()->lastBlock();
    QRectF rect;
    preview->forEachVisibleLine([&](const QTextBlock &b, const QRectF &r) {
        if (b == block)
            rect = r;
    });
    const QTextLine line = block.layout()->lineForTextPosition(position);
    const QPoint point
        = (rect.topLeft() + QPointF(line.cursorToX(position) + 1, line.y() + 2)).toPoint();
    QHelpEvent hover(QEvent::ToolTip, point, preview->viewport()->mapToGlobal(point));
    QApplication::sendEvent(preview->viewport(), &hover);
    QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), tip);
    QToolTip::hideText();
    // A character the system's encoding lacks is a fault as well: Windows'
    // code pages lack U+202E.
    bool lacking = false;
    EncodingCheck().forEachReplaced(block.text(),
                                    [&](qsizetype, qsizetype, const QString &) { lacking = true; });
    const bool problem = (!tip.isEmpty() && !tip.startsWith(u"U+")) || lacking;
    bool underlined = false;
    for (const QTextLayout::FormatRange &range : block.layout()->formats())
        underlined = underlined || range.format.underlineStyle() == QTextCharFormat::WaveUnderline;
    QCOMPARE(underlined, problem);
}

void PreviewTest::coloursStayLegible_data()
{
    QTest::addColumn<QPalette>("palette");
    QTest::newRow("light") << QApplication::palette();
    QTest::newRow("dark") << darkPalette();
    QTest::newRow("Breeze") << breezePalette();
    QTest::newRow("Breeze Dark") << breezeDarkPalette();
}

void PreviewTest::coloursStayLegible()
{
    QFETCH(QPalette, palette);
    const PreviewColours colours = PreviewColours::from(palette);
    const QColor base = palette.color(QPalette::Base);
    for (const QColor &text : {colours.comment, colours.key, colours.sectionHeader})
        QVERIFY2(contrastRatio(text, base) >= 4.5, qPrintable(text.name()));
    QVERIFY(contrastRatio(colours.lineNumber, colours.gutter) >= 4.5);
    QVERIFY(contrastRatio(colours.currentLineNumber, colours.gutter) >= 4.5);
    // Three kinds, three colours, none the text's own.
    const QColor text = palette.color(QPalette::Text);
    QVERIFY(colours.comment != colours.key && colours.key != colours.sectionHeader);
    QVERIFY(colours.comment != text && colours.key != text && colours.sectionHeader != text);
    // The header never fades to the comments' grey, nor to the keys' hue.
    const auto hueGap = [](const QColor &a, const QColor &b) {
        const int d = std::abs(a.hslHue() - b.hslHue()) % 360;
        return std::min(d, 360 - d);
    };
    QVERIFY2(colours.sectionHeader.hslSaturationF() >= 0.45,
             qPrintable(colours.sectionHeader.name()));
    QVERIFY(colours.comment.hslSaturationF() < 0.3
            || hueGap(colours.comment, colours.sectionHeader) >= 45);
    QVERIFY(hueGap(colours.key, colours.sectionHeader) >= 45);
    for (const QColor &mark :
         {colours.problem, colours.note, colours.invisible, colours.trailingBlanks.color()})
        QVERIFY2(contrastRatio(mark, base) >= 3, qPrintable(mark.name()));
}

QTEST_MAIN(PreviewTest)
#include "tst_preview.moc"
