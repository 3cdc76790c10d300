// Every character the user puts into the preview comes back out of it and
// into the saved file: only line breaks change (to CR LF), and on this UTF-8
// system the file holds each character's UTF-8 bytes, a lone surrogate
// becoming U+FFFD. Save, Clear and closing ask the user nothing.
#include "document/banner.h"
#include "document/configfile.h"
#include "linebreakcases.h"
#include "windowdriver.h"
#include "windowstate.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QStringDecoder>
#include <QTest>
#include <QTimer>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace fennick;

namespace {

enum class Entry { Replace, Paste };

// Puts the text into the preview in place of all it holds.
void enter(PreviewEdit *preview, Entry entry, const QString &text)
{
    if (entry == Entry::Replace) {
        preview->replaceDocument(text);
        return;
    }
    preview->setFocus();
    preview->selectAll();
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(preview, Qt::Key_V, Qt::ControlModifier);
}

// Types each character as one key press that carries it, the way a
// keyboard layout or an input method hands it over.
void type(QWidget *widget, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, length),
                            Qt::NoModifier);
        i += length - 1;
    }
}

// Every character outside the surrogate range, but for the line breaks, in
// lines of 64 (LF) so that the preview need not lay out one huge line.
QString everyOtherCharacter(QStringView lineBreak)
{
    QString text;
    qsizetype onLine = 0;
    for (char32_t c = 0; c <= 0x10ffff; ++c) {
        if (QChar::isSurrogate(c) || c == u'\n' || c == u'\r' || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            continue;
        text.append(QString::fromUcs4(&c, 1));
        if (++onLine == 64) {
            text.append(lineBreak);
            onLine = 0;
        }
    }
    return text;
}

// The rows spell out the UTF-8 file of a UTF-8 system. Under a Windows ANSI
// code page, whose bytes tst_windowssave checks one by one, the window must
// save what the encoding makes of its document.
[[nodiscard]] QByteArray inSystemEncoding(const QString &document, const QByteArray &utf8)
{
#ifdef Q_OS_WIN
    if (GetACP() != CP_UTF8)
        return configFileBytes(document);
#else
    Q_UNUSED(document);
#endif
    return utf8;
}

// Presses Ctrl+O in the window and Return in the file dialog it opens;
// gives the file the dialog had selected when it was shown.
QString openWithCtrlOAndReturn(QWidget *window)
{
    QString selected;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, window, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll.stop();
        selected = dialog->selectedFiles().value(0);
        QTest::keyClick(dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")),
                        Qt::Key_Return);
    });
    poll.start();
    QTest::keyClick(window, Qt::Key_O, Qt::ControlModifier);
    return selected;
}

} // namespace

class RoundTripTest : public QObject, private WindowFixture {
    Q_OBJECT
private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void savedBytes_data();
    void savedBytes();
    void previewGivesBackWhatWasPasted_data();
    void previewGivesBackWhatWasPasted();
    void previewGivesBackWhatWasTyped();
    void openThenSaveGivesTheSameBytes_data();
    void openThenSaveGivesTheSameBytes();

    void closingAsksNothing();
    void clearAsksNothing();
};

void RoundTripTest::savedBytes_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QByteArray>("expected");

    const QString all = QStringLiteral(u"caf\u00e9 \u00dcn\u00efc\u00f6d\u00e9\r\n"
                                       u"5 \u20ac\r\n\r\n"
                                       u"\u670d\u52a1\u5668 \U0001F600\U0001F3AE\r\n"
                                       u"a\tb\u00a0c\r\n")
                      + QChar(0xd800) + "x\r\n\r\n";
    const QByteArray allBytes
        = "caf\xc3\xa9 \xc3\x9cn\xc3\xaf"
          "c\xc3\xb6"
          "d\xc3\xa9\r\n"
          "5 \xe2\x82\xac\r\n\r\n"
          "\xe6\x9c\x8d\xe5\x8a\xa1\xe5\x99\xa8 \xf0\x9f\x98\x80\xf0\x9f\x8e\xae\r\n"
          "a\tb\xc2\xa0"
          "c\r\n"
          "\xef\xbf\xbdx\r\n\r\n\r\n";
    // Each kind of character once, then the cases that need a place of their own.
    const QList<std::tuple<const char *, QString, QByteArray>> rows{
        {"accents, euro, CJK, emoji, tab, nbsp, lone surrogate, empty lines", all, allBytes},
        {"lone low surrogate first", QString(QChar(0xdc00)) + "y", "\xef\xbf\xbdy\r\n"},
        {"high surrogate at the very end", "x" + QString(QChar(0xd83d)), "x\xef\xbf\xbd\r\n"},
        {"high surrogate before a line break", "x" + QString(QChar(0xd83d)) + "\r\ny",
         "x\xef\xbf\xbd\r\ny\r\n"},
        {"empty lines at both ends", "\r\n\r\na\r\n\r\n\r\nb\r\n",
         "\r\n\r\na\r\n\r\n\r\nb\r\n\r\n"},
    };
    for (const auto &[name, document, expected] : rows) {
        QTest::addRow("%s, replaced", name) << Entry::Replace << document << expected;
        QTest::addRow("%s, pasted", name) << Entry::Paste << document << expected;
    }
}

void RoundTripTest::savedBytes()
{
    QFETCH(Entry, entry);
    QFETCH(QString, document);
    QFETCH(QByteArray, expected);
    driver->walkTo(WizardState::Pickup);
    enter(driver->window->preview(), entry, document);
    QCOMPARE(driver->document(), document);
    driver->click(Control::Command14);
    const QByteArray saved = WindowDriver::savedBytes(home.configPath());
    QCOMPARE(saved, inSystemEncoding(document, expected));
    // The box says when the file holds other characters than the preview.
    const bool same = QStringDecoder(QStringDecoder::System).decode(saved) == document + "\r\n";
    const UserMessage &message = driver->messages.last();
    QCOMPARE(message.kind, same ? UserMessage::Kind::Information : UserMessage::Kind::Warning);
    QCOMPARE(message.text.contains(u"in its place") || message.text.contains(u"in their place"),
             !same);
    // And the preview marked it beforehand.
    bool marked = false;
    for (QTextBlock block = driver->window->preview()->document()->begin(); block.isValid();
         block = block.next())
        for (const LineMark &mark : driver->window->preview()->marksOf(block))
            marked = marked || mark.message.contains(u": Save writes");
    QCOMPARE(marked, !same);
}

void RoundTripTest::openThenSaveGivesTheSameBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QStringList references = QDir(QStringLiteral(FENNICK_TEST_DATA)).entryList({"*.ini"});
    for (const QString &name : references) {
        QFile file(QStringLiteral(FENNICK_TEST_DATA "/") + name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTest::newRow(qPrintable(name)) << file.readAll();
    }
    // In the system's encoding: UTF-8 here, the ANSI code page under Windows.
    QTest::newRow("hand-made: accents, a repeated Class record")
        << configFileBytes(QStringLiteral(u"; caf\u00e9 \u00e0 l'\u00e9t\u00e9\r\n[GAME]\r\n"
                                          u"ServerName = \"Caf\u00e9 M\u00fcller\"\r\n\r\n"
                                          u"Class = 1 2 3\r\nClass = 1 2 3\r\n"));
#ifdef Q_OS_WIN
    // Western Windows' own bytes for é (E9) and € (80), which are no UTF-8.
    if (GetACP() == 1252)
        QTest::newRow("code page 1252: E9 and 80")
            << QByteArray("; caf\xe9 \x80 5\r\n[GAME]\r\nServerName = \"Caf\xe9 \x80\"\r\n");
#endif
}

// Through the real window: the file replaces the preview's text in one
// step that Ctrl+Z undoes and Ctrl+Y redoes, leaves fields and steps as
// they were but for Save, and Save writes it back byte for byte.
void RoundTripTest::openThenSaveGivesTheSameBytes()
{
    QFETCH(QByteArray, bytes);
    const QString fixedFile = home.configPath();
    {
        QFile file(fixedFile);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    PreviewEdit *preview = driver->window->preview();
    const WindowState before = WindowState::of(*driver->window);
    QVERIFY(!driver->get(Control::Command14)->isEnabled());

    QCOMPARE(QDir::cleanPath(openWithCtrlOAndReturn(driver->window.get())), fixedFile);
    QVERIFY2(driver->messages.isEmpty(), qPrintable(driver->messages.value(0).text));
    QCOMPARE(preview->fileBytes(), bytes);
    WindowState after = WindowState::of(*driver->window);
    QCOMPARE(after.fieldTexts, before.fieldTexts);
    after.enabledFlags.replaceInStrings("Command14 on", "Command14 off");
    QCOMPARE(after.enabledFlags, before.enabledFlags);

    preview->setFocus();
    QTest::keyClick(preview, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(driver->document(), before.document);
    QTest::keyClick(preview, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(preview->fileBytes(), bytes);

    QVERIFY(QFile::remove(fixedFile));
    driver->click(Control::Command14);
    QCOMPARE(driver->messages.last().kind, UserMessage::Kind::Information);
    QCOMPARE(WindowDriver::savedBytes(fixedFile), bytes);
}

void RoundTripTest::previewGivesBackWhatWasPasted_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("document");
    QTest::newRow("tab and non-breaking space")
        << QStringLiteral(u"a\tb\u00a0c") << QStringLiteral(u"a\tb\u00a0c");
    for (const LineBreakCase &row : lineBreakCases)
        QTest::newRow(row.name) << row.in << row.document;
    // Qt's text document takes these two noncharacters for frame marks; they
    // must not become line breaks.
    QTest::newRow("U+FDD0 and U+FDD1")
        << QStringLiteral(u"a\ufdd0b\ufdd1c") << QStringLiteral(u"a\ufffdb\ufffdc");
    const QString every = everyOtherCharacter(u"\n");
    QString everyAsKept = everyOtherCharacter(u"\r\n");
    everyAsKept.replace(QChar(0xfdd0), QChar::ReplacementCharacter);
    everyAsKept.replace(QChar(0xfdd1), QChar::ReplacementCharacter);
    QTest::newRow("every other character") << every << everyAsKept;
}

// Pasted text, or the same text put in by the program.
void RoundTripTest::previewGivesBackWhatWasPasted()
{
    QFETCH(QString, pasted);
    QFETCH(QString, document);
    PreviewEdit *preview = driver->window->preview();
    enter(preview, Entry::Paste, pasted);
    QVERIFY2(driver->document() == document, qPrintable(driver->document().left(200)));
    // A step's piece goes in the same way.
    enter(preview, Entry::Replace, pasted);
    QVERIFY2(driver->document() == document, qPrintable(driver->document().left(200)));
    // Pasted into the middle, the text comes back there, and nothing else moves.
    enter(preview, Entry::Replace, "[]");
    preview->moveCursor(QTextCursor::Start);
    preview->moveCursor(QTextCursor::NextCharacter);
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(preview, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(driver->document() == "[" + document + "]");
}

void RoundTripTest::previewGivesBackWhatWasTyped()
{
    PreviewEdit *preview = driver->window->preview();
    preview->setFocus();
    preview->selectAll();
    QTest::keyClick(preview, Qt::Key_Delete);
    type(preview, QStringLiteral(u"caf\u00e9 5\u20ac \u670d\u00a0x\U0001F600"));
    QTest::keyClick(preview, Qt::Key_Return);
    QTest::keyClicks(preview, "a");
    QTest::keyClick(preview, Qt::Key_Return,
                    Qt::ShiftModifier); // a line break within the paragraph
    QTest::keyClick(preview, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClicks(preview, "b ");
    QCOMPARE(driver->document(),
             QStringLiteral(u"caf\u00e9 5\u20ac \u670d\u00a0x\U0001F600\r\na\r\n\r\nb "));
}

void RoundTripTest::closingAsksNothing()
{
    driver->walkTo(WizardState::Moderation); // unsaved work
    ModalWatcher watcher;
    QVERIFY(driver->window->close());
    QVERIFY(!driver->window->isVisible());
    QVERIFY(watcher.shown.isEmpty());
    QVERIFY(driver->messages.isEmpty());
    QVERIFY(!QFile::exists(home.configPath()));
}

void RoundTripTest::clearAsksNothing()
{
    driver->walkTo(WizardState::Moderation);
    const WindowState before = WindowState::of(*driver->window);
    ModalWatcher watcher;
    driver->click(Control::Command1);
    QVERIFY(watcher.shown.isEmpty());
    QVERIFY(driver->messages.isEmpty());
    QCOMPARE(driver->document(), bannerText());
    COMPARE_CONTROLS(WindowState::of(*driver->window), before);
}

QTEST_MAIN(RoundTripTest)
#include "tst_roundtrip.moc"
