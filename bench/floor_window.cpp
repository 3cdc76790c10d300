// The floor for Fennick's start-up figure: the same stock widgets at the same
// places (the same count of labels, fields, combo boxes, buttons, frames, a
// plain text box and a picture, in the same font, on five plain pages of
// which one is shown), built by a plain loop from the list that the benchmark
// writes (bench/floorlayout.h): no tables, no widgets of Fennick's own, no
// wiring. Probed the same way as Fennick.
//
//   floor_window LAYOUT_FILE
#include "bench/exitwhenshown.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

#include <vector>

namespace {

[[nodiscard]] QString decoded(const QByteArray &field)
{
    return field == "-" ? QString() : QUrl::fromPercentEncoding(field);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QFile file(QApplication::arguments().value(1));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("usage: floor_window LAYOUT_FILE");
    QWidget window;
    std::vector<QWidget *> pages;
    while (!file.atEnd()) {
        const QList<QByteArray> f = file.readLine().trimmed().split(' ');
        const QByteArray &kind = f.at(0);
        if (kind == "window") {
            window.setFixedSize(f.at(1).toInt(), f.at(2).toInt());
            QFont font;
            font.fromString(decoded(f.at(3)));
            window.setFont(font);
            continue;
        }
        const QRect place(f.at(2).toInt(), f.at(3).toInt(), f.at(4).toInt(), f.at(5).toInt());
        if (kind == "page") {
            auto *page = new QWidget(&window);
            page->setGeometry(place);
            page->setVisible(f.at(6) == "1");
            pages.push_back(page);
            continue;
        }
        const int pageIndex = f.at(1).toInt();
        QWidget *parent = pageIndex < 0 ? &window : pages.at(std::size_t(pageIndex));
        const QString text = decoded(f.at(6));
        QWidget *widget = nullptr;
        if (kind == "label") {
            widget = new QLabel(text, parent);
        } else if (kind == "picture") {
            auto *picture = new QLabel(parent);
            picture->setPixmap(QPixmap(text));
            widget = picture;
        } else if (kind == "field") {
            widget = new QLineEdit(text, parent);
        } else if (kind == "combo" || kind == "editcombo") {
            auto *combo = new QComboBox(parent);
            combo->setEditable(kind == "editcombo");
            combo->addItems(text.split(u'\n'));
            widget = combo;
        } else if (kind == "button") {
            widget = new QPushButton(text, parent);
        } else if (kind == "frame") {
            widget = new QGroupBox(text, parent);
        } else if (kind == "textbox") {
            widget = new QPlainTextEdit(text, parent);
        } else {
            qFatal("unknown kind %s", kind.constData());
        }
        widget->setGeometry(place);
        if (f.at(7) != "-") {
            QFont font;
            font.fromString(decoded(f.at(7)));
            widget->setFont(font);
        }
    }
    window.show();
    fennick::exitWhenShownIfAsked(window);
    return QApplication::exec();
}
