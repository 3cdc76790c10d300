// Drives the real main window as a user would: brings a control's tab to the
// front, then clicks or types. Messages are recorded instead of shown.
#pragma once

#include "ui/mainwindow.h"
#include "ui/previewedit.h"
#include "ui/tabcontrol.h"

#include "ui/tabstrip.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <memory>

// The Server step to the end of the Class step, appending nothing optional:
// after these clicks Save is enabled.
inline const QStringList stepsToSave{"Command2", "Command3", "Command4", "Command5",
                                     "Command13", "Command7", "Command8", "Command10"};

// A fresh home folder for the test program, so that Save writes there.
class TemporaryHome {
public:
    TemporaryHome() { qputenv("HOME", QFile::encodeName(m_folder.path())); }
    [[nodiscard]] bool isValid() const { return m_folder.isValid(); }
    [[nodiscard]] QString path() const { return m_folder.path(); }
    [[nodiscard]] QString configPath() const { return m_folder.filePath(QStringLiteral("Config.ini")); }

private:
    QTemporaryDir m_folder;
};

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
