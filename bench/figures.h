// Collecting repeated measurements and printing them as one table, each
// figure beside the baseline it is compared with.
#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace bench {

[[nodiscard]] double median(QList<double> samples);

// The least, the middle and the greatest of repeated measurements: a ratio
// whose spread reaches past its goal is noise, not a result.
struct Spread {
    double min = 0;
    double median = 0;
    double max = 0;
};
[[nodiscard]] Spread spread(const QList<double> &samples);
// Of the ratios of samples taken by turns, one pair at a time.
[[nodiscard]] Spread ratios(const QList<double> &samples, const QList<double> &baselines);

// The machine's load: other programs at work make every figure slower.
[[nodiscard]] QString loadAverage();

[[nodiscard]] QString milliseconds(double ms);
[[nodiscard]] QString milliseconds(const Spread &ms); // the median, then the least to the greatest
[[nodiscard]] QString megabytes(double bytes);

// A goal is met when ratio <= limit ("at most"), or ratio >= limit when
// atLeast is set.
struct Goal {
    QString compared; // e.g. "literal / fast"
    double ratio = 0;
    double limit = 0;
    bool atLeast = false;
    QString unit = QStringLiteral("x"); // "x", or " MB" for a difference
    // Of the ratio's samples, when they were taken by turns.
    std::optional<Spread> samples = std::nullopt;
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
