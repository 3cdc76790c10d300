// Collecting repeated measurements and printing them as one table, each
// figure beside the baseline it is compared with.
#pragma once

#include <QList>
#include <QString>

namespace bench {

[[nodiscard]] double median(QList<double> samples);

[[nodiscard]] QString milliseconds(double ms);
[[nodiscard]] QString megabytes(double bytes);

// A goal is met when ratio <= limit ("at most"), or ratio >= limit when
// atLeast is set.
struct Goal {
    QString compared; // e.g. "literal / fast"
    double ratio = 0;
    double limit = 0;
    bool atLeast = false;
    QString unit = QStringLiteral("x"); // "x", or " MB" for a difference
};

struct Figure {
    QString what;
    QString value;
    QString baseline; // the value and what it measures
    QString runs;
    QList<Goal> goals;
};

// Prints the figures aligned in columns, goals last; returns how many goals
// were missed.
int printTable(const QString &title, const QList<Figure> &figures);

} // namespace bench
