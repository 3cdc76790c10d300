// A probe for the start-up benchmark: with FENNICK_EXIT_WHEN_SHOWN set, a
// program built with it writes "shown" on standard output and ends as soon
// as its window is on screen. Only the benchmark's builds contain it; the
// fennick program users run reads no environment variable.
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
