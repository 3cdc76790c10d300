// Drives the real main window as a user would: brings a control's tab to the
// front, then clicks or types. Messages are recorded instead of shown.
#pragma once

#include "ui/mainwindow.h"
#include "ui/previewedit.h"
#include "ui/tabcontrol.h"

#include <QFile>
#include "ui/tabstrip.h"
#include <QTest>
#include <QWidget>

#include <memory>

class WindowDriver {
public:
    WindowDriver()
        : window(std::make_unique<fennick::MainWindow>(
            [this](QWidget *, const fennick::UserMessage &message) { messages.append(message); }))
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename T = QWidget>
    [[nodiscard]] T *get(const QString &name) const
    {
        auto *widget = window->findChild<T *>(name);
        if (!widget)
            qFatal("no control named %s", qPrintable(name));
        return widget;
    }

    // Clicks the tab that holds the widget, if it stands on a page.
    void bringToFront(QWidget *widget) const
    {
        fennick::TabControl *tabs = window->tabControl();
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->page(i)->isAncestorOf(widget)) {
                fennick::TabStrip *strip = tabs->tabStrip();
                QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(i).center());
                return;
            }
        }
    }

    void click(const QString &button) const
    {
        QWidget *widget = get(button);
        bringToFront(widget);
        QVERIFY2(widget->isVisible() && widget->isEnabled(), qPrintable(button));
        const int tabInFront = window->tabControl()->currentIndex();
        QTest::mouseClick(widget, Qt::LeftButton);
        // No button ever changes the tab in front.
        QCOMPARE(window->tabControl()->currentIndex(), tabInFront);
    }

    void clickAll(const QStringList &buttons) const
    {
        for (const QString &button : buttons)
            click(button);
    }

    [[nodiscard]] QString document() const { return window->preview()->documentText(); }

    [[nodiscard]] static QByteArray savedBytes(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return "<missing>";
        return file.readAll();
    }

    QList<fennick::UserMessage> messages;
    std::unique_ptr<fennick::MainWindow> window;
};
