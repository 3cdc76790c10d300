#include "figures.h"

#include <QFile>
#include <QTextStream>

#include <algorithm>

namespace bench {

double median(QList<double> samples)
{
    if (samples.isEmpty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const qsizetype middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

Spread spread(const QList<double> &samples)
{
    if (samples.isEmpty())
        return {};
    const auto [least, greatest] = std::minmax_element(samples.begin(), samples.end());
    return {*least, median(samples), *greatest};
}

Spread ratios(const QList<double> &samples, const QList<double> &baselines)
{
    QList<double> quotients;
    for (qsizetype i = 0; i < std::min(samples.size(), baselines.size()); ++i)
        quotients.append(samples[i] / baselines[i]);
    return spread(quotients);
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    // readAll(): files in /proc claim to be empty.
    const QList<QByteArray> fields = file.readAll().split(' ');
    return QStringLiteral("%1 %2 %3")
        .arg(QString::fromLatin1(fields.value(0)), QString::fromLatin1(fields.value(1)),
             QString::fromLatin1(fields.value(2)));
}

QString milliseconds(double ms)
{
    return QString::number(ms, 'f', ms < 10 ? 3 : 1) + QStringLiteral(" ms");
}

QString milliseconds(const Spread &ms)
{
    const auto number
        = [](double value) { return QString::number(value, 'f', value < 10 ? 3 : 1); };
    return QStringLiteral("%1 ms (%2 to %3)")
        .arg(number(ms.median), number(ms.min), number(ms.max));
}

QString megabytes(double bytes)
{
    return QString::number(bytes / 1e6, 'f', 1) + QStringLiteral(" MB");
}

namespace {

[[nodiscard]] bool isMet(const Goal &goal)
{
    return goal.atLeast ? goal.ratio >= goal.limit : goal.ratio <= goal.limit;
}

[[nodiscard]] QString describe(const Goal &goal)
{
    const int decimals = goal.ratio < 10 ? 2 : 0;
    const QString samples = goal.samples
                              ? QStringLiteral(" (by turns: %1 to %2)")
                                    .arg(QString::number(goal.samples->min, 'f', decimals),
                                         QString::number(goal.samples->max, 'f', decimals))
                              : QString();
    return QStringLiteral("%1 = %2%3%7 (goal %4 %5%3): %6")
        .arg(goal.compared, QString::number(goal.ratio, 'f', decimals), goal.unit,
             goal.atLeast ? QStringLiteral(">=") : QStringLiteral("<="),
             QString::number(goal.limit),
             isMet(goal) ? QStringLiteral("met") : QStringLiteral("MISSED"), samples);
}

} // namespace

int printTable(const QString &title, const QList<Figure> &figures)
{
    const QStringList header{"Figure", "Fennick", "Baseline", "Runs"};
    QList<QStringList> rows;
    for (const Figure &figure : figures)
        rows.append({figure.what, figure.value, figure.baseline, figure.runs});

    QList<qsizetype> widths(header.size(), 0);
    for (const QStringList &row : QList<QStringList>{header} + rows)
        for (qsizetype column = 0; column < row.size(); ++column)
            widths[column] = std::max(widths[column], row[column].size());

    QTextStream out(stdout);
    const auto printRow = [&](const QStringList &row) {
        QStringList cells;
        for (qsizetype column = 0; column < row.size(); ++column)
            cells.append(row[column].leftJustified(widths[column]));
        out << "| " << cells.join(QStringLiteral(" | ")) << " |\n";
    };
    out << title << "\n\n";
    printRow(header);
    QStringList rule;
    for (qsizetype width : widths)
        rule.append(QString(width, u'-'));
    out << "|-" << rule.join(QStringLiteral("-|-")) << "-|\n";
    for (const QStringList &row : rows)
        printRow(row);

    int missed = 0;
    out << "\nGoals:\n";
    for (const Figure &figure : figures) {
        for (const Goal &goal : figure.goals) {
            out << "- " << figure.what << ": " << describe(goal) << "\n";
            missed += isMet(goal) ? 0 : 1;
        }
    }
    out.flush();
    return missed;
}

} // namespace bench
