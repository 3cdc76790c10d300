#include "measurements.h"

#include "benchwindow.h"
#include "childprocess.h"
#include "figures.h"

#include "document/configfile.h"
#include "document/filepath.h"
#include "document/linebreaks.h"
#include "ui/previewedit.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

#include <fcntl.h>
#include <unistd.h>

namespace bench {
namespace {

const QStringList probeEnvironment{QStringLiteral("FENNICK_EXIT_WHEN_SHOWN=1")};

[[nodiscard]] ChildRun mustRun(const QString &program, const QStringList &arguments,
                               const QStringList &environment, const QByteArray &line)
{
    ChildRun run = runChild(program, arguments, environment, line);
    if (!run.ok)
        qFatal("%s did not run to the line \"%s\"", qPrintable(program), line.constData());
    return run;
}

} // namespace

StartFigures measureStart(const Programs &programs, int runs)
{
    const QStringList floorArguments{programs.floorLayout};
    // One start of each first, so that all find the libraries in the cache.
    (void)mustRun(programs.fennick, {}, probeEnvironment, "shown");
    (void)mustRun(programs.minimalWindow, {}, probeEnvironment, "shown");
    (void)mustRun(programs.floorWindow, floorArguments, probeEnvironment, "shown");
    QList<double> fennickMs, minimalMs, floorMs, fennickPeak, minimalPeak, floorPeak;
    for (int run = 0; run < runs; ++run) {
        const ChildRun fennick = mustRun(programs.fennick, {}, probeEnvironment, "shown");
        const ChildRun minimal = mustRun(programs.minimalWindow, {}, probeEnvironment, "shown");
        const ChildRun floor
            = mustRun(programs.floorWindow, floorArguments, probeEnvironment, "shown");
        fennickMs.append(fennick.msToLine);
        minimalMs.append(minimal.msToLine);
        floorMs.append(floor.msToLine);
        fennickPeak.append(fennick.peakResidentBytes);
        minimalPeak.append(minimal.peakResidentBytes);
        floorPeak.append(floor.peakResidentBytes);
    }
    return {spread(fennickMs),
            spread(minimalMs),
            spread(floorMs),
            ratios(fennickMs, minimalMs),
            ratios(fennickMs, floorMs),
            median(fennickPeak),
            median(minimalPeak),
            median(floorPeak)};
}

DocumentMemory measureDocumentMemory(const Programs &programs, qsizetype documentBytes, int runs)
{
    QList<double> atStart, peak, resident;
    for (int run = 0; run < runs; ++run) {
        const QStringList arguments{"--hold-document", QString::number(documentBytes)};
        const ChildRun child = mustRun(programs.self, arguments, {}, "held");
        const auto reported = [&child](const QString &what) {
            return child.lines.filter(what + u' ').value(0).mid(what.size() + 1).toDouble();
        };
        atStart.append(reported(QStringLiteral("start")));
        resident.append(reported(QStringLiteral("resident")));
        peak.append(child.peakResidentBytes);
    }
    return {median(atStart), median(peak), median(resident)};
}

int holdDocument(qsizetype documentBytes)
{
    // Save writes into a folder of its own, never the user's home.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    BenchWindow window;
    QTextStream out(stdout);
    out << "start " << QString::number(peakResidentBytes(), 'f', 0) << Qt::endl;
    window.fillPreview(documentBytes);
    for (int press = 0; press < 10; ++press)
        (void)window.clickMs(QStringLiteral("Command12"));
    (void)window.clickMs(QStringLiteral("Command14"));
    out << "resident " << QString::number(residentBytes(), 'f', 0) << Qt::endl;
    out << "held" << Qt::endl;
    return 0;
}

PressTimes measureAddCar(BenchWindow &window, int pressRuns, int literalRuns)
{
    const QString addCar = QStringLiteral("Command12");
    // The first press after filling also lays out the lines now in view.
    (void)window.clickMs(addCar);
    const qsizetype charactersBefore = window.previewCharacters();
    QList<double> pressMs;
    for (int run = 0; run < pressRuns; ++run)
        pressMs.append(window.clickMs(addCar));
    // Every click must have added exactly one record.
    const qsizetype recordCharacters
        = fennick::editorTextFromDocument(window.vehicleRecord()).size();
    if (window.previewCharacters() - charactersBefore != pressRuns * recordCharacters)
        qFatal("not every click on Add Car added a record");

    QList<double> literalMs;
    for (int run = 0; run < literalRuns; ++run)
        literalMs.append(window.literalAddCarMs());
    return {median(pressMs), median(literalMs)};
}

namespace {

// Written, then made durable as Save makes its copy: the bytes, then the
// folder's entry.
void writeDurably(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()
        || ::fdatasync(file.handle()) != 0)
        qFatal("cannot write %s", qPrintable(path));
    file.close();
    const int folder = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::fsync(folder);
    ::close(folder);
}

[[nodiscard]] QByteArray plainestFileBytes(const fennick::PreviewEdit &preview)
{
    QString text = preview.toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    text.append(QStringLiteral("\r\n"));
    return text.toLocal8Bit();
}

} // namespace

SaveTimes measureSave(BenchWindow &window, int runs)
{
    const QString path = fennick::configFilePath().path();
    const QString floorPath = path + QStringLiteral(".floor");
    const QString rawPath = path + QStringLiteral(".raw");
    // Once first, untimed: each file exists from here on, and the floor is
    // checked to write the same bytes as Save.
    (void)window.clickMs(QStringLiteral("Command14"));
    QFile saved(path);
    if (!saved.open(QIODevice::ReadOnly))
        qFatal("Save wrote no %s", qPrintable(path));
    const QByteArray bytes = saved.readAll();
    saved.close();
    if (plainestFileBytes(*window.preview()) != bytes)
        qFatal("the plainest Save would write other bytes than Save");
    writeDurably(floorPath, bytes);
    writeDurably(rawPath, bytes);

    const auto timedMs = [](const auto &work) {
        QElapsedTimer timer;
        timer.start();
        work();
        return double(timer.nsecsElapsed()) / 1e6;
    };
    QList<double> saveMs, floorMs, rawMs;
    const std::function<void()> turns[] = {
        [&] { saveMs.append(window.clickMs(QStringLiteral("Command14"))); },
        [&] {
            floorMs.append(
                timedMs([&] { writeDurably(floorPath, plainestFileBytes(*window.preview())); }));
        },
        [&] { rawMs.append(timedMs([&] { writeDurably(rawPath, bytes); })); },
    };
    // Each goes first in a third of the runs.
    for (int run = 0; run < runs; ++run)
        for (int turn = 0; turn < 3; ++turn)
            turns[(run + turn) % 3]();
    if (!saved.open(QIODevice::ReadOnly) || saved.readAll() != bytes)
        qFatal("Save did not write the document's bytes to %s", qPrintable(path));
    return {spread(saveMs), spread(floorMs), spread(rawMs), ratios(saveMs, floorMs),
            ratios(saveMs, rawMs)};
}

RoundTripTimes measureRoundTrip(BenchWindow &window, qsizetype documentBytes)
{
    const QString line = QStringLiteral(u"Vehicle = 191 338.6310 -237.6571 29.1708 98.9897 0 0 ; "
                                        u"\u00e9\u20ac\u670d\U0001F600\t\u00a0\r\n");
    const QByteArray lineBytes = "Vehicle = 191 338.6310 -237.6571 29.1708 98.9897 0 0 ; "
                                 "\xc3\xa9\xe2\x82\xac\xe6\x9c\x8d\xf0\x9f\x98\x80\t\xc2\xa0\r\n";
    const qsizetype lines = documentBytes / lineBytes.size() + 1;
    const QString document = line.repeated(lines);
    QByteArray expected = lineBytes.repeated(lines);
    expected.append("\r\n");

    QElapsedTimer timer;
    timer.start();
    window.preview()->replaceDocument(document);
    const double intoPreviewMs = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    const bool readBack = window.preview()->documentText() == document;
    const double readBackMs = double(timer.nsecsElapsed()) / 1e6;
    if (!readBack)
        qFatal("the preview did not give back the document put into it");
    const double saveMs = window.clickMs(QStringLiteral("Command14"));
    QFile saved(fennick::configFilePath().path());
    if (!saved.open(QIODevice::ReadOnly) || saved.readAll() != expected)
        qFatal("Save did not write the document's bytes to %s", qPrintable(saved.fileName()));
    return {intoPreviewMs, readBackMs, saveMs};
}

} // namespace bench
