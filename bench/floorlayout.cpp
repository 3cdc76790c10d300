#include "floorlayout.h"

#include "ui/mainwindow.h"
#include "ui/tabcontrol.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextStream>
#include <QUrl>

namespace bench {
namespace {

[[nodiscard]] QString encoded(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

// The stock widget a control is, and the text it shows; nothing for the
// window's own machinery (tab strip, focus ring, scroll area) and for the
// parts inside a stock widget.
[[nodiscard]] std::pair<QString, QString> stockKind(const QWidget *widget, const QString &picture)
{
    for (const QWidget *up = widget->parentWidget(); up; up = up->parentWidget())
        if (qobject_cast<const QComboBox *>(up) || qobject_cast<const QPlainTextEdit *>(up)
            || qobject_cast<const QLineEdit *>(up) || qobject_cast<const QPushButton *>(up))
            return {};
    if (const auto *combo = qobject_cast<const QComboBox *>(widget)) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items.append(combo->itemText(i));
        // An editable box has a line edit of its own, as Fennick's have.
        return {combo->isEditable() ? QStringLiteral("editcombo") : QStringLiteral("combo"),
                items.join(u'\n')};
    }
    if (const auto *field = qobject_cast<const QLineEdit *>(widget))
        return {QStringLiteral("field"), field->text()};
    if (const auto *button = qobject_cast<const QPushButton *>(widget))
        return {QStringLiteral("button"), button->text()};
    if (const auto *frame = qobject_cast<const QGroupBox *>(widget))
        return {QStringLiteral("frame"), frame->title()};
    if (const auto *text = qobject_cast<const QPlainTextEdit *>(widget))
        return {QStringLiteral("textbox"), text->toPlainText()};
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        if (!label->pixmap().isNull())
            return {QStringLiteral("picture"), picture};
        return {QStringLiteral("label"), label->text()};
    }
    return {};
}

} // namespace

void writeFloorLayout(const QString &path, const QString &pictureFile)
{
    const fennick::MainWindow window(
        [](QWidget *, const fennick::UserMessage &) { return fennick::MessageChoice::Ok; });
    const fennick::TabControl *tabs = window.findChild<fennick::TabControl *>();
    QWidget *client = tabs->parentWidget();

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    QTextStream out(&file);
    const auto place = [](const QWidget *widget, const QWidget *within) {
        const QPoint at = widget->parentWidget()->mapTo(within, widget->pos());
        return QStringLiteral("%1 %2 %3 %4")
            .arg(at.x())
            .arg(at.y())
            .arg(widget->width())
            .arg(widget->height());
    };
    out << "window " << client->width() << ' ' << client->height() << ' '
        << encoded(window.font().toString()) << '\n';
    for (int i = 0; i < tabs->count(); ++i)
        out << "page " << i << ' ' << place(tabs->page(i), client) << ' '
            << (i == tabs->currentIndex() ? 1 : 0) << '\n';
    for (const QWidget *widget : window.findChildren<QWidget *>()) {
        const auto [kind, text] = stockKind(widget, pictureFile);
        if (kind.isEmpty())
            continue;
        int page = -1;
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->page(i)->isAncestorOf(widget))
                page = i;
        const QWidget *within = page < 0 ? client : tabs->page(page);
        const QString font
            = widget->font() == window.font() ? QString() : widget->font().toString();
        out << kind << ' ' << page << ' ' << place(widget, within) << ' '
            << (text.isEmpty() ? QStringLiteral("-") : encoded(text)) << ' '
            << (font.isEmpty() ? QStringLiteral("-") : encoded(font)) << '\n';
    }
}

} // namespace bench
