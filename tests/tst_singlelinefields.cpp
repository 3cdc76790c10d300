// A field is one line: text pasted into a text box or a combo box's edit
// keeps what stands before its first line break, so no value can split a
// configuration line.
#include "linebreakcases.h"
#include "windowdriver.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace fennick;

namespace {

QLineEdit *editOf(QWidget *field)
{
    if (auto *combo = qobject_cast<QComboBox *>(field))
        return combo->lineEdit();
    return static_cast<QLineEdit *>(field);
}

} // namespace

class SingleLineFieldsTest : public QObject, private WindowFixture {
    Q_OBJECT
private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void pasteKeepsTheFirstLine_data();
    void pasteKeepsTheFirstLine();
    void pastedValuesGiveOneLineEach();
    void singleLinePasteCanBeUndone();

private:
    // Puts the text on the clipboard and presses Ctrl+V in the field, with
    // the given part of its text selected (or the cursor there, if empty).
    void paste(const QString &field, const QString &text, int selectionStart, int selectionLength);
};

void SingleLineFieldsTest::paste(const QString &field, const QString &text, int selectionStart,
                                 int selectionLength)
{
    QWidget *widget = driver->get(field);
    driver->bringToFront(widget);
    QLineEdit *edit = editOf(widget);
    QTest::mouseClick(edit, Qt::LeftButton);
    edit->setSelection(selectionStart, selectionLength);
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
}

void SingleLineFieldsTest::pasteKeepsTheFirstLine_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionLength");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("cursorAfter");

    QTest::newRow("LF, whole text replaced") << "Text1"
                                             << "50" << 0 << 2 << "64\nrest"
                                             << "64" << 2;
    // Into the middle of a field's text.
    for (const LineBreakCase &row : lineBreakCases)
        QTest::newRow(row.name) << "Text1"
                                << "XYZ" << 2 << 0 << row.in << "XY" + row.firstLine + "Z"
                                << 2 + int(row.firstLine.size());
    QTest::newRow("several lines, selection replaced") << "Text2"
                                                       << "5555" << 1 << 2 << "77\n88\r\n99"
                                                       << "5775" << 3;
    QTest::newRow("line break last") << "Text1"
                                     << "" << 0 << 0 << "ab\r\n"
                                     << "ab" << 2;
    QTest::newRow("one line stays whole") << "Text1"
                                          << "XYZ" << 3 << 0 << QStringLiteral("\ta\u00a0b\u20ac")
                                          << QStringLiteral("XYZ\ta\u00a0b\u20ac") << 8;
    QTest::newRow("combo box edit") << "Combo1"
                                    << "1" << 0 << 1 << "3\n4"
                                    << "3" << 1;
    QTest::newRow("combo box edit, into the middle") << "Combo4"
                                                     << "01" << 1 << 0 << "x\ry"
                                                     << "0x1" << 2;
}

void SingleLineFieldsTest::pasteKeepsTheFirstLine()
{
    QFETCH(QString, field);
    QFETCH(QString, before);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionLength);
    QFETCH(QString, pasted);
    QFETCH(QString, after);
    QFETCH(int, cursorAfter);
    QLineEdit *edit = editOf(driver->get(field));
    // Combo4 belongs to a later step; enabled here only to reach its edit.
    driver->get(field)->setEnabled(true);
    edit->setText(before);
    paste(field, pasted, selectionStart, selectionLength);
    QCOMPARE(edit->text(), after);
    QCOMPARE(edit->cursorPosition(), cursorAfter);
}

// The Server step's four values, each pasted with more lines after it: the
// step's button writes exactly its four lines.
void SingleLineFieldsTest::pastedValuesGiveOneLineEach()
{
    paste("Text1", "64\r\nListenPort = 1", 0, 2);
    paste("Text2", "7777\nServerName = \"x\"", 0, 4);
    QLineEdit *name = editOf(driver->get("Text3"));
    paste("Text3", "Mine\r\n\r\nAdminPassword = \"stolen\"", 1, name->text().size() - 2);
    paste("Combo1", QStringLiteral("2\u2029Map = 9"), 0, 1);
    driver->click(Control::Command2);
    const QString document = driver->document();
    QVERIFY2(document.endsWith("\r\n\r\nMaxPlayers = 64\r\nListenPort = 7777\r\n"
                               "ServerName = \"Mine\"\r\nMap = 2"),
             qPrintable(document.right(200)));
    QVERIFY(!document.contains("stolen"));
}

// A paste without a line break leaves the field's undo history alone.
void SingleLineFieldsTest::singleLinePasteCanBeUndone()
{
    QLineEdit *edit = editOf(driver->get("Text1"));
    paste("Text1", "123", 0, 2);
    QCOMPARE(edit->text(), "123");
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit->text(), "50");
}

QTEST_MAIN(SingleLineFieldsTest)
#include "tst_singlelinefields.moc"
