// Drives the real main window as a user would: brings a control's tab to the
// front, then clicks or types. Messages are recorded instead of shown.
#pragma once

#include "document/configfile.h"
#include "document/filepath.h"
#include "ui/mainwindow.h"
#include "ui/previewedit.h"
#include "ui/savemessages.h"
#include "ui/tabcontrol.h"
#include "ui/tabstrip.h"
#include "wizard/controls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>

Q_DECLARE_METATYPE(fennick::Control)

// The ten states the wizard can be in, in the order the user reaches them.
enum class WizardState {
    Server,
    Access,
    Moderation,
    World,
    Ammunation,
    Game,
    ClassBeforeAClass,
    ClassAfterAClass,
    Pickup,
    Vehicle,
};

Q_DECLARE_METATYPE(WizardState)

// The presses that lead from each state to the next, appending nothing
// optional but the one class the Class step needs; Save is usable from the
// Pickup step on.
inline constexpr std::array<fennick::Control, 9> pressesToNextState{
    fennick::Control::Command2, fennick::Control::Command3,  fennick::Control::Command4,
    fennick::Control::Command5, fennick::Control::Command13, fennick::Control::Command7,
    fennick::Control::Command8, fennick::Control::Command10, fennick::Control::Command11,
};

// From the start to the state in a window of the test's own, pressing each
// button directly, without bringing its page to the front.
inline void walkStraightTo(fennick::MainWindow &window, WizardState state)
{
    for (int i = 0; i < int(state); ++i)
        window
            .findChild<QAbstractButton *>(fennick::controlName(pressesToNextState[std::size_t(i)]))
            ->click();
}

// A fresh home folder for the test program, so that Save writes there.
class TemporaryHome {
public:
    TemporaryHome()
    {
        if (!m_folder.isValid())
            qFatal("no temporary folder for the home folder");
        qputenv("HOME", QFile::encodeName(m_folder.path()));
#ifdef Q_OS_WIN
        QFile::remove(configPath()); // as fresh as a new home folder
#endif
    }
    [[nodiscard]] bool isValid() const
    {
        return m_folder.isValid();
    }
    [[nodiscard]] QString path() const
    {
        return m_folder.path();
    }
    // Where Save writes: into the home folder, or C:\Config.ini on Windows.
    [[nodiscard]] QString configPath() const
    {
#ifdef Q_OS_WIN
        return fennick::configFilePath().path();
#else
        return m_folder.filePath(QStringLiteral("Config.ini"));
#endif
    }

private:
    QTemporaryDir m_folder;
};

class WindowDriver {
public:
    WindowDriver()
        : window(std::make_unique<fennick::MainWindow>(
            [this](QWidget *, const fennick::UserMessage &message) {
                messages.append(message);
                return choices.isEmpty() ? fennick::MessageChoice::Ok : choices.takeFirst();
            }))
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename T = QWidget>
    [[nodiscard]] T *get(fennick::Control control) const
    {
        return get<T>(fennick::controlName(control));
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

    void click(fennick::Control button) const
    {
        QWidget *widget = get(button);
        bringToFront(widget);
        QVERIFY2(widget->isVisible() && widget->isEnabled(), qPrintable(widget->objectName()));
        const int tabInFront = window->tabControl()->currentIndex();
        QTest::mouseClick(widget, Qt::LeftButton);
        // No button ever changes the tab in front.
        QCOMPARE(window->tabControl()->currentIndex(), tabInFront);
    }

    void clickAll(const QList<fennick::Control> &buttons) const
    {
        for (fennick::Control button : buttons)
            click(button);
    }

    // From the start to the state, by the presses above.
    void walkTo(WizardState state) const
    {
        for (int i = 0; i < int(state); ++i)
            click(pressesToNextState[std::size_t(i)]);
    }

    // Replaces a field's text by typing, as a user would.
    void typeInto(fennick::Control field, const QString &text) const
    {
        QWidget *widget = get(field);
        bringToFront(widget);
        auto *combo = qobject_cast<QComboBox *>(widget);
        QLineEdit *edit = combo ? combo->lineEdit() : static_cast<QLineEdit *>(widget);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
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
    QList<fennick::MessageChoice> choices; // the buttons pressed in the next boxes; OK after them
    std::unique_ptr<fennick::MainWindow> window;
};

// Records every modal window that opens while it lives, and closes it: a
// message box by its OK button, any other by rejecting it.
class ModalWatcher {
public:
    struct Shown {
        QString kind; // the class, "QMessageBox" for a message box
        int icon = QMessageBox::NoIcon;
        QString caption;
        qsizetype buttons = 0;
        QString text;
    };

    ModalWatcher()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            Shown seen;
            seen.kind = QString::fromLatin1(modal->metaObject()->className());
            seen.caption = modal->windowTitle();
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (box) {
                seen.icon = box->icon();
                seen.buttons = box->buttons().size();
                seen.text = box->text();
            }
            shown.append(seen);
            if (box && box->button(QMessageBox::Ok))
                QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            else if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->done(QDialog::Rejected);
            else
                modal->close();
        });
        m_timer.start();
    }

    QList<Shown> shown;

private:
    QTimer m_timer;
};

// What every window suite stands on: one home folder for the suite, and for
// each test function a fresh window with no file left by the one before.
// A suite derives from it and calls start() from init(), stop() from cleanup().
class WindowFixture {
protected:
    void start()
    {
        QFile::remove(home.configPath());
        driver = std::make_unique<WindowDriver>();
    }
    void stop() { driver.reset(); }

    TemporaryHome home;
    std::unique_ptr<WindowDriver> driver;
};
