// Starting a program and watching it from outside: how long until it writes
// a given line, and how much memory it held at its peak.
#pragma once

#include <QStringList>

namespace bench {

struct ChildRun {
    bool ok = false;              // it wrote the line and ended with status 0
    double msToLine = 0;          // from just before the start to the line
    double peakResidentBytes = 0; // the kernel's count, taken when it ended
    QStringList lines;            // all it wrote on standard output
};

// Runs program with its environment changed by the "NAME=value" entries.
[[nodiscard]] ChildRun runChild(const QString &program, const QStringList &arguments,
                                const QStringList &environmentChanges, const QByteArray &line);

} // namespace bench
