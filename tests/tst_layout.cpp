// Every control of the window exists with its name, in its container, on
// its page, at its place and size, captioned as tabled.
#include "document/strings.h"
#include "ui/layouttables.h"
#include "ui/mainwindow.h"
#include "ui/tabcontrol.h"
#include "wizard/fieldcatalogue.h"
#include "wizard/stepmachine.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTabBar>
#include <QTest>

using namespace fennick;
using namespace fennick::layout;

namespace {

QRect pixels(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

QRect pixels(const TwipRect &r)
{
    return pixels(r.left, r.top, r.width, r.height);
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void window();
    void pages();
    void frames();
    void fieldRows();
    void buttons();
    void otherControls();
    void everyControlHasAUniqueName();

private:
    template <typename T = QWidget>
    T *get(std::string_view name)
    {
        auto *widget = form->findChild<T *>(toQString(name));
        if (!widget)
            qFatal("missing %s", name.data());
        return widget;
    }
    void verifyPlaced(std::string_view name, std::string_view container, const QRect &geometry);
    std::unique_ptr<MainWindow> form;
};

void LayoutTest::initTestCase()
{
    form = std::make_unique<MainWindow>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void LayoutTest::verifyPlaced(std::string_view name, std::string_view container, const QRect &geometry)
{
    QWidget *widget = get(name);
    QCOMPARE(widget->parentWidget()->objectName(), toQString(container));
    if (widget->geometry() != geometry)
        QFAIL(qPrintable(QStringLiteral("%1 at %2,%3 %4x%5")
                             .arg(toQString(name)).arg(widget->x()).arg(widget->y())
                             .arg(widget->width()).arg(widget->height())));
}

void LayoutTest::window()
{
    QCOMPARE(form->objectName(), "Form1");
    QCOMPARE(form->size(), QSize(810, 667));
    QCOMPARE(form->minimumSize(), form->maximumSize());
    QVERIFY(form->windowTitle().startsWith("Fennick"));
    QVERIFY(form->windowTitle().endsWith("fennick.example.org"));
    QCOMPARE(get("SSTab1")->geometry(), pixels(0, 0, 5925, 9975));
}

void LayoutTest::pages()
{
    TabControl *tabs = form->tabControl();
    QCOMPARE(tabs->count(), 5);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(tabs->tabBar()->tabText(i), toQString(pageCaptions[std::size_t(i)]));
        // A page covers the whole control, so that its controls are placed
        // from the top of the tab strip.
        QCOMPARE(tabs->page(i)->geometry(), QRect(QPoint(0, 0), tabs->size()));
    }
    QCOMPARE(tabs->currentIndex(), 4);
}

void LayoutTest::frames()
{
    for (const FramePlacement &frame : layout::frames) {
        auto *box = get<QGroupBox>(frame.name);
        QCOMPARE(box->title(), toQString(frame.caption));
        QCOMPARE(box->geometry(), pixels(frame.rect));
        QWidget *expectedParent = frame.page == onWindow ? static_cast<QWidget *>(form.get())
                                                         : form->tabControl()->page(frame.page);
        QCOMPARE(box->parentWidget(), expectedParent);
    }
}

void LayoutTest::fieldRows()
{
    for (const FieldPlacement &row : fieldPlacements) {
        const FieldSpec &spec = *findField(row.field);
        const int height = spec.kind == FieldKind::ComboBox ? 315 : 285;
        verifyPlaced(row.field, row.frame, pixels(row.fieldLeft, row.top, row.fieldWidth, height));
        verifyPlaced(spec.labelName, row.frame,
                     pixels(row.labelLeft, row.top, row.labelWidth, row.labelHeight));
        auto *label = get<QLabel>(spec.labelName);
        QCOMPARE(label->text(), toQString(spec.caption));
        QCOMPARE(label->buddy(), get(row.field));
    }
}

void LayoutTest::buttons()
{
    for (const ControlPlacement &placement : buttonPlacements) {
        verifyPlaced(placement.name, placement.container, pixels(placement.rect));
        QCOMPARE(get<QAbstractButton>(placement.name)->text(),
                 toQString(findButton(placement.name)->caption));
    }
}

void LayoutTest::otherControls()
{
    verifyPlaced("RichTextBox1", "Frame5", pixels(120, 240, 5895, 6495));
    verifyPlaced("Picture1", "Form1", pixels(6360, 7560, 5475, 1740));
    verifyPlaced("Label18", "Frame1", pixels(2880, 1320, 1095, 255));
    verifyPlaced("Label43", "Frame8", pixels(2280, 960, 2175, 255));
    QCOMPARE(get<QLabel>("Label18")->text(), "1 = VC; 2 = LC");
    QCOMPARE(get<QLabel>("Label43")->text(), "0 = False; 1 = True; 2 = Team");
    QCOMPARE(get("Label81")->parentWidget(), form.get());
    for (const SeparatorLine &line : separatorLines) {
        QWidget *widget = get(line.name);
        QCOMPARE(widget->parentWidget()->objectName(), toQString(line.container));
        QCOMPARE(widget->pos(), QPoint(0, line.y / 15));
        QCOMPARE(widget->width(), 5520 / 15);
    }
    // Line5 and Line7 lie under the tab control, which hides them.
    QWidget *tabs = get("SSTab1");
    for (const char *name : {"Line5", "Line7"}) {
        QWidget *line = get(name);
        QVERIFY(tabs->geometry().contains(line->geometry()));
        QVERIFY(form->children().indexOf(line) < form->children().indexOf(tabs));
    }
}

void LayoutTest::everyControlHasAUniqueName()
{
    QStringList names;
    for (const FieldSpec &field : fieldCatalogue)
        names << toQString(field.name) << toQString(field.labelName);
    for (const ButtonSpec &button : buttonTable)
        names << toQString(button.name);
    for (const FramePlacement &frame : layout::frames)
        names << toQString(frame.name);
    for (const SeparatorLine &line : separatorLines)
        names << toQString(line.name);
    names << "SSTab1" << "RichTextBox1" << "Picture1" << "Label18" << "Label43" << "Label81";
    QCOMPARE(names.size(), 78 * 2 + 14 + 11 + 16 + 6);
    for (const QString &name : names)
        QCOMPARE(form->findChildren<QWidget *>(name).size(), 1);
}

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
