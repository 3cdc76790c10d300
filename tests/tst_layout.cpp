// The window's controls where the design tables put them, checked in window
// coordinates with each page in front, from a copy of the tables kept apart
// from the program's own. Also run with QT_SCALE_FACTOR 1.25 and 1.5.
#include "document/maker.h"
#include "document/strings.h"
#include "tabledlayout.h"
#include "ui/mainwindow.h"
#include "ui/tabcontrol.h"
#include "ui/tabstrip.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

using namespace fennick;

namespace {

QRect pixels(const QRect &twips)
{
    return {twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15};
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void windowSizeAndFlags();
    void tabInFrontAtStartIsVehicles();
    void everyControlWithEachPageInFront_data();
    void everyControlWithEachPageInFront();
    void tabStripRows_data();
    void tabStripRows();
    void captionsAreNotClipped();
    void previewFontIsMonospaced();
    void hiddenLinesStayHidden();
    void windowFitsTheScreen_data();
    void windowFitsTheScreen();

private:
    // Where a tabled control must stand in window pixels, following its
    // chain of containers up to the window.
    QPoint windowPosition(const tabled::Control &control) const;
    void bringToFront(int page) const;

    std::unique_ptr<MainWindow> form;
    QList<tabled::Control> tabledControls;
    QHash<QString, tabled::Control> byName;
};

void LayoutTest::initTestCase()
{
    tabledControls = tabled::controls();
    QCOMPARE(tabledControls.size(), 186);
    for (const tabled::Control &control : tabledControls)
        byName.insert(control.name, control);
    form = std::make_unique<MainWindow>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

QPoint LayoutTest::windowPosition(const tabled::Control &control) const
{
    QPoint position = pixels(control.twips).topLeft();
    for (QString container = control.container; container != "Form1";) {
        const tabled::Control &parent = byName.value(container);
        position += pixels(parent.twips).topLeft();
        container = parent.container;
    }
    return position;
}

void LayoutTest::bringToFront(int page) const
{
    TabStrip *strip = form->tabControl()->tabStrip();
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(page).center());
    QCOMPARE(form->tabControl()->currentIndex(), page);
}

void LayoutTest::windowSizeAndFlags()
{
    QCOMPARE(form->objectName(), "Form1");
    QCOMPARE(form->size(), QSize(12150 / 15, 10005 / 15));
    QCOMPARE(form->minimumSize(), form->size());
    QCOMPARE(form->maximumSize(), form->size());
    const Qt::WindowFlags flags = form->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(form->windowTitle().startsWith("Fennick"));
    QVERIFY(form->windowTitle().endsWith(toQString(makerAddress)));
    // The 80-pixel picture and every size that task bars and Alt+Tab ask for.
    const QList<QSize> iconSizes = form->windowIcon().availableSizes();
    for (int side : {16, 24, 32, 48, 64, 80, 128, 256})
        QVERIFY2(iconSizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
    auto *picture = form->findChild<QLabel *>("Picture1");
    QCOMPARE(picture->pixmap().deviceIndependentSize(), QSizeF(365, 116));
    // On a scaled screen the picture comes from its twice-as-large render.
    QCOMPARE(picture->pixmap().devicePixelRatio(), form->devicePixelRatio() > 1 ? 2.0 : 1.0);
    QCOMPARE(picture->frameShape(), QFrame::NoFrame);
}

void LayoutTest::tabInFrontAtStartIsVehicles()
{
    MainWindow fresh;
    const TabControl *tabs = fresh.tabControl();
    QCOMPARE(tabs->tabStrip()->tabText(tabs->currentIndex()), "5. Vehicles");
}

void LayoutTest::everyControlWithEachPageInFront_data()
{
    QTest::addColumn<int>("page");
    const QStringList captions{"1. General", "2. Ammunations", "3. Others", "4. Classes / Pickups",
                               "5. Vehicles"};
    for (int page = 0; page < 5; ++page)
        QTest::addRow("%s", qPrintable(captions[page])) << page;
}

void LayoutTest::everyControlWithEachPageInFront()
{
    QFETCH(int, page);
    bringToFront(page);
    const QStringList captions{"1. General", "2. Ammunations", "3. Others", "4. Classes / Pickups",
                               "5. Vehicles"};
    QCOMPARE(form->tabControl()->tabStrip()->tabText(page), captions[page]);
    for (const tabled::Control &control : tabledControls) {
        auto *widget = form->findChild<QWidget *>(control.name);
        QVERIFY2(widget, qPrintable(control.name));
        const bool shown = control.page < 0 || control.page == page;
        QVERIFY2(widget->isVisible() == shown, qPrintable(control.name));
        if (!shown)
            continue;
        const QRect expected(windowPosition(control), pixels(control.twips).size());
        const QRect actual(widget->mapTo(form.get(), QPoint(0, 0)), widget->size());
        if (actual != expected)
            QFAIL(qPrintable(QStringLiteral("%1 at %2,%3 %4x%5, tabled %6,%7 %8x%9")
                                 .arg(control.name)
                                 .arg(actual.x())
                                 .arg(actual.y())
                                 .arg(actual.width())
                                 .arg(actual.height())
                                 .arg(expected.x())
                                 .arg(expected.y())
                                 .arg(expected.width())
                                 .arg(expected.height())));
        QWidget *container = widget->parentWidget();
        // Past a page of the tab control, or the client area and its scroller.
        while (container->objectName().isEmpty() || container->objectName().startsWith("qt_"))
            container = container->parentWidget();
        QCOMPARE(container->objectName(), control.container);
    }
}

// Three tabs a row, 295 twips a row; the row of the tab in front stands next
// to the page. Edges are rounded one by one, so neighbours always touch.
void LayoutTest::tabStripRows_data()
{
    everyControlWithEachPageInFront_data();
}

void LayoutTest::tabStripRows()
{
    QFETCH(int, page);
    bringToFront(page);
    TabStrip *strip = form->tabControl()->tabStrip();
    QCOMPARE(strip->mapTo(form.get(), QPoint(0, 0)), QPoint(0, 0));
    const double tabWidth = 5925.0 / 15 / 3;
    const double rowHeight = 295.0 / 15;
    const int frontRow = page / 3;
    for (int tab = 0; tab < 5; ++tab) {
        const int row = tab / 3 == frontRow ? 1 : 0;
        const int column = tab % 3;
        const QRect expected(
            QPoint(qRound(column * tabWidth), qRound(row * rowHeight)),
            QPoint(qRound((column + 1) * tabWidth) - 1, qRound((row + 1) * rowHeight) - 1));
        QCOMPARE(strip->tabRect(tab), expected);
    }
}

// The font is chosen so that every caption fits its tabled box; check it
// with the widgets' own metrics, which follow QT_SCALE_FACTOR.
void LayoutTest::captionsAreNotClipped()
{
    for (const QLabel *label : form->findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        const QFontMetrics metrics = label->fontMetrics();
        QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->contentsRect().width(),
                 qPrintable(label->objectName()));
        QVERIFY2(metrics.height() <= label->height(), qPrintable(label->objectName()));
    }
    for (const QAbstractButton *button : form->findChildren<QAbstractButton *>()) {
        const QSize needed = button->sizeHint();
        QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) < button->width(),
                 qPrintable(button->objectName()));
        QVERIFY2(needed.height() <= button->height() + 8, qPrintable(button->objectName()));
    }
    const TabStrip *strip = form->tabControl()->tabStrip();
    for (int tab = 0; tab < strip->count(); ++tab)
        QVERIFY(strip->fontMetrics().horizontalAdvance(strip->tabText(tab))
                < strip->tabRect(tab).width());
}

void LayoutTest::previewFontIsMonospaced()
{
    const QFont font = form->findChild<QWidget *>("RichTextBox1")->font();
    // Under Wine the tests' fonts hold neither Lucida Console nor Courier New.
    const QFontMetricsF metrics(font);
    for (QChar c : QStringLiteral("M;-=0.\"~"))
        QCOMPARE(metrics.horizontalAdvance(c), metrics.horizontalAdvance(u'i'));
    QCOMPARE(font.pointSizeF(), 8.25);
    QVERIFY(!font.bold() && !font.italic() && !font.underline() && !font.strikeOut());
}

void LayoutTest::hiddenLinesStayHidden()
{
    QWidget *tabs = form->findChild<QWidget *>("SSTab1");
    for (const char *name : {"Line5", "Line7"}) {
        QWidget *line = form->findChild<QWidget *>(name);
        QWidget *client = tabs->parentWidget(); // the window's client area
        QCOMPARE(line->parentWidget(), client);
        QVERIFY(tabs->geometry().contains(line->geometry()));
        QVERIFY(tabs->autoFillBackground());
        // Painted before the tab control, which covers them.
        QVERIFY(client->children().indexOf(line) < client->children().indexOf(tabs));
    }
}

// Lower or narrower than the window, the available room is all the window
// takes, and its content scrolls; where the window fits, nothing changes.
void LayoutTest::windowFitsTheScreen_data()
{
    QTest::addColumn<QRect>("available"); // inside the window's frame
    QTest::addColumn<QString>("scrolls");
    QTest::newRow("full HD") << QRect(0, 0, 1920, 1040) << "";
    QTest::newRow("exactly the window") << QRect(0, 0, 810, 667) << "";
    // Room to spare across goes to the vertical scroll bar.
    QTest::newRow("1280x600") << QRect(0, 0, 1280, 600) << "vertically";
    QTest::newRow("1366x768 at 125 %, task bar") << QRect(0, 0, 1093, 574) << "vertically";
    QTest::newRow("no room for the scroll bar") << QRect(0, 0, 812, 600) << "both ways";
    QTest::newRow("narrow, on a second screen") << QRect(1920, 100, 700, 900) << "across";
}

void LayoutTest::windowFitsTheScreen()
{
    QFETCH(QRect, available);
    QFETCH(QString, scrolls);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    const QSize room = available.size();
    available.adjust(frame.left() - client.left(), frame.top() - client.top(),
                     frame.right() - client.right(), frame.bottom() - client.bottom());
    window.fitInto(available);
    QApplication::processEvents();
    const QSize tabled(810, 667);
    const int bar = window.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QSize size = tabled.boundedTo(room);
    if (scrolls == "vertically" || scrolls == "both ways")
        size.setWidth(std::min(room.width(), tabled.width() + bar));
    if (scrolls == "across" || scrolls == "both ways")
        size.setHeight(std::min(room.height(), tabled.height() + bar));
    QCOMPARE(window.size(), size);
    QCOMPARE(window.minimumSize(), window.maximumSize()); // still not resizable
    QVERIFY(available.contains(window.frameGeometry()));
    auto *scrollArea = window.findChild<QScrollArea *>();
    QCOMPARE(scrollArea->size(), size);
    QCOMPARE(scrollArea->widget()->size(), tabled); // every control as tabled
    const bool vertical = scrollArea->verticalScrollBar()->isVisible();
    const bool across = scrollArea->horizontalScrollBar()->isVisible();
    QCOMPARE(vertical, scrolls == "vertically" || scrolls == "both ways");
    QCOMPARE(across, scrolls == "across" || scrolls == "both ways");
    // Clear, at the bottom, scrolls into view when it takes the focus.
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QWidget *clear = window.findChild<QWidget *>("Command1");
    clear->setFocus();
    const QRect inView(clear->mapTo(scrollArea->viewport(), QPoint(0, 0)), clear->size());
    QVERIFY(scrollArea->viewport()->rect().contains(inView));
}

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
