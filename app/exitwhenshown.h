// A probe for the start-up benchmark (bench/): with FENNICK_EXIT_WHEN_SHOWN
// set, the program writes "shown" on standard output and ends as soon as its
// window is on screen. Without it, nothing happens.
#pragma once

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>

namespace fennick {

inline void exitWhenShownIfAsked(QWidget &window)
{
    if (!qEnvironmentVariableIsSet("FENNICK_EXIT_WHEN_SHOWN"))
        return;
    // A window is painted while its first expose event is handled, so once
    // it counts as exposed, the user would see it.
    auto *poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, &window, [&window] {
        if (!window.windowHandle() || !window.windowHandle()->isExposed())
            return;
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    poll->start(0);
}

} // namespace fennick
