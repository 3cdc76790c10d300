// The preview as a view of the file's lines: one paragraph per line of the
// saved file, a number on the first screen line of each, and colours by what
// each line is, legible in light and dark palettes.
#include "darkpalette.h"
#include "ui/contrast.h"
#include "windowdriver.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QTextBlock>

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
    void coloursStayLegible_data();
    void coloursStayLegible();

private:
    std::unique_ptr<WindowDriver> driver;
};

void PreviewTest::everyParagraphIsAFileLine_data()
{
    QTest::addColumn<bool>("paste");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key"); // typed after the text, with Shift
    QTest::addColumn<QString>("documentEnd");
    QTest::newRow("Shift+Enter typed") << false << "a" << int(Qt::Key_Return) << "a\r\n";
    QTest::newRow("Shift+Enter on the keypad") << false << "a" << int(Qt::Key_Enter) << "a\r\n";
    QTest::newRow("line separator pasted") << true << QStringLiteral("a\u2028b") << 0 << "a\r\nb";
    QTest::newRow("every kind of line break pasted")
        << true << QStringLiteral("a\rb\nc\r\nd\u2029e") << 0 << "a\r\nb\r\nc\r\nd\r\ne";
}

void PreviewTest::everyParagraphIsAFileLine()
{
    QFETCH(bool, paste);
    QFETCH(QString, text);
    QFETCH(int, key);
    QFETCH(QString, documentEnd);
    PreviewEdit *preview = driver->window->preview();
    preview->setFocus();
    preview->moveCursor(QTextCursor::End);
    QTest::keyClick(preview, Qt::Key_Return);
    if (paste) {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(preview, Qt::Key_V, Qt::ControlModifier);
    } else {
        QTest::keyClicks(preview, text);
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
                                             << "Ammunation = " << 93 << "blank";
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
// screen line, and the gutter beside the continuation stays empty.
void PreviewTest::wrappedLineIsNumberedOnce()
{
    driver->walkTo(WizardState::Ammunation);
    driver->click(Control::Command6);
    PreviewEdit *preview = driver->window->preview();
    const QTextBlock ammunation = showLine(preview, QStringLiteral("Ammunation = "));
    QVERIFY(ammunation.layout()->lineCount() >= 2);
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
    const auto inkIn = [&](int top) {
        int ink = 0;
        for (int y = top; y < top + lineHeight; ++y)
            for (int x = 0; x < gutter->width(); ++x)
                ink += image.pixelColor(int(x * scale), int(y * scale)) != background;
        return ink;
    };
    const int top = qRound(rect.top()) + preview->viewport()->y() - gutter->y();
    QVERIFY(inkIn(top) > 0);
    QCOMPARE(inkIn(top + lineHeight), 0);
}

void PreviewTest::coloursStayLegible_data()
{
    QTest::addColumn<QPalette>("palette");
    QTest::newRow("light") << QApplication::palette();
    QTest::newRow("dark") << darkPalette();
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
}

QTEST_MAIN(PreviewTest)
#include "tst_preview.moc"
