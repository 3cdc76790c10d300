#include "benchwindow.h"

#include "document/strings.h"
#include "ui/previewedit.h"
#include "ui/tabcontrol.h"
#include "wizard/stepmachine.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>

namespace bench {
namespace {

// From start to the Vehicle step, with one record of each repeatable kind.
const QStringList walkToVehicleStep{"Command2",  "Command3",  "Command4", "Command5",
                                    "Command6",  "Command13", "Command7", "Command8",
                                    "Command10", "Command9",  "Command11"};

[[nodiscard]] double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

BenchWindow::BenchWindow()
    : m_window([](QWidget *, const fennick::UserMessage &) { return fennick::MessageChoice::Ok; })
{
    m_window.show();
    if (!QTest::qWaitForWindowExposed(&m_window))
        qFatal("the window was never shown");
    for (const QString &name : walkToVehicleStep)
        m_window.findChild<QAbstractButton *>(name)->click();
    QApplication::processEvents();
}

fennick::PreviewEdit *BenchWindow::preview() const
{
    return m_window.preview();
}

QString BenchWindow::vehicleRecord() const
{
    return fennick::buildPiece(fennick::Piece::VehicleRecord, [this](fennick::Control field) {
        return m_window.findChild<QLineEdit *>(fennick::controlName(field))->text();
    });
}

double BenchWindow::fillPreview(qsizetype documentBytes)
{
    QString document = preview()->documentText();
    const QString record = vehicleRecord();
    document.reserve(documentBytes + record.size());
    while (document.size() < documentBytes)
        document += record;
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->setText(document);
    document.clear();
    QElapsedTimer timer;
    timer.start();
    preview()->selectAll();
    preview()->paste();
    QApplication::processEvents();
    const double pasteMs = elapsedMs(timer);
    // The text a user pastes lives in the clipboard of another program.
    clipboard->clear();
    preview()->moveCursor(QTextCursor::End);
    QApplication::processEvents();
    return pasteMs;
}

double BenchWindow::pasteMs(const QString &text)
{
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->setText(text);
    QElapsedTimer timer;
    timer.start();
    preview()->selectAll();
    preview()->paste();
    QApplication::processEvents();
    const double ms = elapsedMs(timer);
    clipboard->clear();
    return ms;
}

double BenchWindow::dropFileMs(const QString &path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QWidget *viewport = preview()->viewport();
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    const int revision = preview()->document()->revision();
    QElapsedTimer timer;
    timer.start();
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    // The file is read once the drop is over.
    while (preview()->document()->revision() == revision)
        QApplication::processEvents();
    QApplication::processEvents();
    return elapsedMs(timer);
}

qsizetype BenchWindow::previewCharacters() const
{
    return preview()->document()->characterCount();
}

double BenchWindow::clickMs(const QString &button)
{
    auto *widget = m_window.findChild<QAbstractButton *>(button);
    fennick::TabControl *tabs = m_window.tabControl();
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->page(i)->isAncestorOf(widget) && !widget->isVisible())
            tabs->setCurrentIndex(i);
    if (!widget->isVisible() || !widget->isEnabled())
        qFatal("%s cannot be clicked", qPrintable(button));

    QTest::mousePress(widget, Qt::LeftButton);
    QApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    QTest::mouseRelease(widget, Qt::LeftButton);
    QApplication::processEvents();
    return elapsedMs(timer);
}

double BenchWindow::typeAtEndMs(Qt::Key key)
{
    preview()->setFocus();
    preview()->moveCursor(QTextCursor::End);
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(preview(), key);
    QApplication::processEvents();
    return elapsedMs(timer);
}

double BenchWindow::pressKeyMs(Qt::Key key)
{
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(preview(), key);
    QApplication::processEvents();
    return elapsedMs(timer);
}

double BenchWindow::literalAddCarMs()
{
    QElapsedTimer timer;
    timer.start();
    fennick::PreviewEdit *edit = preview();
    const QString record = vehicleRecord();
    edit->replaceDocument(edit->documentText() + record);
    edit->moveCursor(QTextCursor::End);
    QApplication::processEvents();
    return elapsedMs(timer);
}

namespace {

[[nodiscard]] double statusBytes(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    // readAll(): files in /proc claim to be empty, so atEnd() is true at once.
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').value(0).toDouble() * 1024;
    return 0;
}

} // namespace

double peakResidentBytes()
{
    return statusBytes("VmHWM:");
}

double residentBytes()
{
    return statusBytes("VmRSS:");
}

} // namespace bench
