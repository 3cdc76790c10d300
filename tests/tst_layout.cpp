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
#include <QFontMetricsF>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
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
    QCOMPARE(form->windowIcon().availableSizes().value(0), QSize(80, 80));
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
    const QStringList captions{"1. General", "2. Ammunations", "3. Others",
                               "4. Classes / Pickups", "5. Vehicles"};
    for (int page = 0; page < 5; ++page)
        QTest::addRow("%s", qPrintable(captions[page])) << page;
}

void LayoutTest::everyControlWithEachPageInFront()
{
    QFETCH(int, page);
    bringToFront(page);
    const QStringList captions{"1. General", "2. Ammunations", "3. Others",
                               "4. Classes / Pickups", "5. Vehicles"};
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
                                 .arg(control.name).arg(actual.x()).arg(actual.y())
                                 .arg(actual.width()).arg(actual.height()).arg(expected.x())
                                 .arg(expected.y()).arg(expected.width()).arg(expected.height())));
        QWidget *container = widget->parentWidget();
        while (container->objectName().isEmpty()) // a page of the tab control
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
        const QRect expected(QPoint(qRound(column * tabWidth), qRound(row * rowHeight)),
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
        QVERIFY(strip->fontMetrics().horizontalAdvance(strip->tabText(tab)) < strip->tabRect(tab).width());
}

void LayoutTest::previewFontIsMonospaced()
{
    const QFont font = form->findChild<QWidget *>("RichTextBox1")->font();
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
        QCOMPARE(line->parentWidget(), form.get());
        QVERIFY(tabs->geometry().contains(line->geometry()));
        QVERIFY(tabs->autoFillBackground());
        // Painted before the tab control, which covers them.
        QVERIFY(form->children().indexOf(line) < form->children().indexOf(tabs));
    }
}

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
