// Fennick's speed and memory at any document size, each figure beside a
// baseline measured in the same run. Prints a table; never fails on a goal.
//
//   fennick_bench            the full run (about 30 seconds)
//   fennick_bench --save     Save and its floors alone (about 5 seconds)
//   fennick_bench --start    start to the shown window alone
//   fennick_bench --smoke    tiny sizes, one or three runs: checks it works
#include "benchwindow.h"
#include "figures.h"
#include "floorlayout.h"
#include "measurements.h"

#include "document/configfile.h"
#include "ui/previewedit.h"

#include <QFile>

#include <QApplication>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>

using namespace bench;

namespace {

struct Settings {
    QList<qsizetype> documentSizes; // the last one is also saved and held
    int pressRuns;
    int literalRuns;
    int startRuns;
    int saveRuns;
    int memoryRuns;
    qsizetype roundTripBytes;
    int pasteRuns;
    QList<qsizetype> openSizes;
    int openRuns;
};

// What a run measures: everything, or only Save or only the start.
struct Parts {
    bool save = true;
    bool start = true;
    bool rest = true;
};

constexpr qsizetype kilobyte = 1000;
constexpr qsizetype megabyte = 1000 * kilobyte;

const Settings fullRun{{10 * kilobyte, megabyte, 10 * megabyte},
                       31,
                       11,
                       21,
                       15,
                       3,
                       50 * megabyte,
                       3,
                       {100 * kilobyte, megabyte},
                       7};
const Settings smokeRun{
    {kilobyte, 2 * kilobyte, 4 * kilobyte}, 3, 3, 1, 1, 1, 4 * kilobyte, 1, {kilobyte}, 1};

// The preview as users get it and as a plain text box (no line numbers, no
// colours), side by side: each paste and each press of Add Car is done in
// one window, then in the other, so that both see the same load.
struct PreviewTimes {
    double pasteMs = 0;
    double plainPasteMs = 0;
    double pressMs = 0;
    double plainPressMs = 0;
    double typeMs = 0;
    double plainTypeMs = 0;
    double markedPageMs = 0;
    double plainMarkedPageMs = 0;
};

// Lines of every trouble the preview marks, one after another: a screen
// full of them, each line to check and to mark as it comes into view.
QString markedLines(int count)
{
    const QStringList troubles{
        QStringLiteral("MaxPlayers = fifty"),     QStringLiteral("ListenPort = 99999"),
        QStringLiteral("ServerName = My server"), QStringLiteral("RconPort\u00A0= 7000"),
        QStringLiteral("Vehicle = 1 2 3 4 5 6"),  QStringLiteral("NeedPassword = Ture  "),
        QStringLiteral("Colour = red\u200B"),
    };
    QString text;
    for (int i = 0; i < count; ++i)
        text += u'\n' + troubles[i % troubles.size()];
    return text;
}

PreviewTimes measurePreviews(const Settings &settings)
{
    BenchWindow shown;
    BenchWindow plain;
    plain.preview()->setPlainView(true);
    QList<double> paste, plainPaste, press, plainPress;
    for (int run = 0; run < settings.pasteRuns; ++run) {
        paste.append(shown.fillPreview(settings.documentSizes.last()));
        plainPaste.append(plain.fillPreview(settings.documentSizes.last()));
    }
    const QString addCar = QStringLiteral("Command12");
    (void)shown.clickMs(addCar); // lays out the lines now in view
    (void)plain.clickMs(addCar);
    for (int run = 0; run < settings.pressRuns; ++run) {
        press.append(shown.clickMs(addCar));
        plainPress.append(plain.clickMs(addCar));
    }
    // A setting typed on a new last line: the preview checks whether a line
    // above set it already, walking up through the whole document once.
    QList<double> type, plainType;
    for (BenchWindow *window : {&shown, &plain}) {
        window->preview()->moveCursor(QTextCursor::End);
        window->preview()->insertPlainText(QStringLiteral("\nPing = 1"));
    }
    for (int run = 0; run < settings.pressRuns; ++run) {
        type.append(shown.typeAtEndMs(Qt::Key_0));
        plainType.append(plain.typeAtEndMs(Qt::Key_0));
    }
    // Page Up from the end through marked lines: each page is new to the view.
    QList<double> page, plainPage;
    for (BenchWindow *window : {&shown, &plain}) {
        window->preview()->moveCursor(QTextCursor::End);
        window->preview()->insertPlainText(markedLines(60 * settings.pressRuns));
    }
    for (int run = 0; run < settings.pressRuns; ++run) {
        page.append(shown.pressKeyMs(Qt::Key_PageUp));
        plainPage.append(plain.pressKeyMs(Qt::Key_PageUp));
    }
    return {median(paste), median(plainPaste), median(press), median(plainPress),
            median(type),  median(plainType),  median(page),  median(plainPage)};
}

QString sizeLabel(qsizetype bytes);

// Open beside a paste of the same text, in turns so that both see the same
// load, then Save of what was opened: its bytes against the file's.
struct OpenTimes {
    double openMs, openLowMs, openHighMs;
    double pasteMs, pasteLowMs, pasteHighMs;
    double saveMs;
    bool sameBytes;
};

OpenTimes measureOpen(qsizetype documentBytes, int runs, const QString &home)
{
    BenchWindow window;
    QString document = window.preview()->documentText();
    const QString record = window.vehicleRecord();
    while (document.size() < documentBytes)
        document += record;
    const QString file = home + QStringLiteral("/Config.ini");
    const QByteArray bytes = fennick::configFileBytes(document);
    const auto writeFile = [&] {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file));
    };
    writeFile();
    QList<double> open, paste;
    for (int run = 0; run < runs; ++run) {
        paste.append(window.pasteMs(document));
        open.append(window.dropFileMs(file));
    }
    QFile::remove(file);
    const double saveMs = window.clickMs(QStringLiteral("Command14"));
    QFile saved(file);
    const bool same = saved.open(QIODevice::ReadOnly) && saved.readAll() == bytes;
    return {median(open),
            *std::ranges::min_element(open),
            *std::ranges::max_element(open),
            median(paste),
            *std::ranges::min_element(paste),
            *std::ranges::max_element(paste),
            saveMs,
            same};
}

QString sizeLabel(qsizetype bytes)
{
    return bytes >= megabyte ? QStringLiteral("%1 MB").arg(bytes / megabyte)
                             : QStringLiteral("%1 KB").arg(bytes / kilobyte);
}

QString runs(int count)
{
    return QString::number(count);
}

QList<Figure> measureAll(const Settings &settings, const Parts &parts, const Programs &programs,
                         const QString &home)
{
    QList<Figure> figures;
    // Saves go into a folder of the benchmark's own, never the user's home.
    qputenv("HOME", home.toLocal8Bit());
    const qsizetype largest = settings.documentSizes.last();

    if (parts.start) {
        const StartFigures start = measureStart(programs, settings.startRuns);
        const QString turns = runs(settings.startRuns) + " by turns";
        figures.append({"Start to shown window",
                        milliseconds(start.fennickMs),
                        milliseconds(start.floorMs) + " floor: its stock widgets, plain loop",
                        turns,
                        {{"Fennick / floor", start.toFloor.median, 1.1, false, QStringLiteral("x"),
                          start.toFloor}}});
        figures.append({"Start to shown window",
                        milliseconds(start.fennickMs),
                        milliseconds(start.minimalMs) + " minimal Qt window",
                        turns,
                        {{"Fennick / minimal", start.toMinimal.median, 1.5, false,
                          QStringLiteral("x"), start.toMinimal}}});
        figures.append(
            {"Peak memory at start",
             megabytes(start.fennickPeakBytes),
             megabytes(start.minimalPeakBytes) + " minimal Qt window",
             runs(settings.startRuns),
             {{"Fennick - minimal", (start.fennickPeakBytes - start.minimalPeakBytes) / 1e6, 10,
               false, QStringLiteral(" MB")}}});
        figures.append({"Peak memory at start",
                        megabytes(start.fennickPeakBytes),
                        megabytes(start.floorPeakBytes) + " floor: its stock widgets, plain loop",
                        runs(settings.startRuns),
                        {}});
    }
    // Children first: a program started from this one once it holds large
    // documents would count this one's memory as its own peak.
    DocumentMemory memory;
    if (parts.rest)
        memory = measureDocumentMemory(programs, largest, settings.memoryRuns);

    if (parts.save) {
        for (qsizetype size : settings.documentSizes) {
            BenchWindow window;
            window.fillPreview(size);
            const SaveTimes save = measureSave(window, settings.saveRuns);
            const QString what = "Save, " + sizeLabel(size) + " document";
            const QString turns = runs(settings.saveRuns) + " by turns";
            figures.append({what,
                            milliseconds(save.saveMs),
                            milliseconds(save.floorMs)
                                + " floor: toPlainText, LF to CR LF, toLocal8Bit, write, "
                                  "fdatasync, folder fsync",
                            turns,
                            {{"Save / floor", save.toFloor.median, 0.8, false, QStringLiteral("x"),
                              save.toFloor}}});
            figures.append(
                {what,
                 milliseconds(save.saveMs),
                 milliseconds(save.rawMs) + " durable write of the same bytes made beforehand",
                 turns,
                 {{"Save / durable write", save.toRaw.median, 2, false, QStringLiteral("x"),
                   save.toRaw}}});
        }
    }

    if (!parts.rest)
        return figures;

    QList<PressTimes> presses;
    for (qsizetype size : settings.documentSizes) {
        BenchWindow window;
        window.fillPreview(size);
        presses.append(measureAddCar(window, settings.pressRuns, settings.literalRuns));
    }

    RoundTripTimes roundTrip;
    {
        BenchWindow window;
        roundTrip = measureRoundTrip(window, settings.roundTripBytes);
    }
    const PreviewTimes previews = measurePreviews(settings);
    QList<std::pair<qsizetype, OpenTimes>> opens;
    for (qsizetype bytes : settings.openSizes)
        opens.append({bytes, measureOpen(bytes, settings.openRuns, home)});

    for (qsizetype i = 0; i < presses.size(); ++i) {
        Figure figure{"Add Car press, preview " + sizeLabel(settings.documentSizes[i]),
                      milliseconds(presses[i].pressMs),
                      milliseconds(presses[i].literalMs) + " literal rewrite",
                      runs(settings.pressRuns) + " / " + runs(settings.literalRuns),
                      {}};
        if (i == presses.size() - 1) {
            figure.goals.append(
                {"literal / press", presses[i].literalMs / presses[i].pressMs, 50, true});
            figure.goals.append({"press / press at " + sizeLabel(settings.documentSizes[0]),
                                 presses[i].pressMs / presses[0].pressMs, 2});
        }
        figures.append(figure);
    }
    const QString size = sizeLabel(largest);
    const QString withoutLines = " without line numbers, colours and marks";
    figures.append({"Add Car press, preview " + size + ", line numbers, colours and marks",
                    milliseconds(previews.pressMs),
                    milliseconds(previews.plainPressMs) + withoutLines,
                    runs(settings.pressRuns),
                    {{"with / without", previews.pressMs / previews.plainPressMs, 2}}});
    figures.append({"Paste of " + size + " over the preview, line numbers, colours and marks",
                    milliseconds(previews.pasteMs),
                    milliseconds(previews.plainPasteMs) + withoutLines,
                    runs(settings.pasteRuns),
                    {{"with / without", previews.pasteMs / previews.plainPasteMs, 2}}});
    for (const auto &[bytes, open] : opens) {
        const auto spread = [](double low, double high) {
            return " (" + milliseconds(low) + " to " + milliseconds(high) + ")";
        };
        figures.append({"Open of a " + sizeLabel(bytes) + " file (dropped on the preview)",
                        milliseconds(open.openMs) + spread(open.openLowMs, open.openHighMs),
                        milliseconds(open.pasteMs) + spread(open.pasteLowMs, open.pasteHighMs)
                            + " paste of the same text",
                        runs(settings.openRuns),
                        {{"Open / paste", open.openMs / open.pasteMs, 1.1}}});
        figures.append({"Save of the " + sizeLabel(bytes) + " file opened",
                        milliseconds(open.saveMs),
                        open.sameBytes ? QStringLiteral("bytes as opened")
                                       : QStringLiteral("BYTES DIFFER from the file opened"),
                        runs(1),
                        {}});
    }
    figures.append({"Key typed on a setting line at the end, preview " + size,
                    milliseconds(previews.typeMs),
                    milliseconds(previews.plainTypeMs) + withoutLines,
                    runs(settings.pressRuns),
                    {{"with / without", previews.typeMs / previews.plainTypeMs, 2}}});
    figures.append({"Page Up over a screen full of marked lines, preview " + size,
                    milliseconds(previews.markedPageMs),
                    milliseconds(previews.plainMarkedPageMs) + withoutLines,
                    runs(settings.pressRuns),
                    {{"with / without", previews.markedPageMs / previews.plainMarkedPageMs, 2}}});
    const QString session = sizeLabel(largest) + " document (paste, Add Car, Save)";
    const QString beforePaste = megabytes(memory.atStartBytes) + " same process before the paste";
    const auto perByte = [largest](const QString &compared, double bytes) {
        return Goal{compared, bytes / double(largest), 8, false, QStringLiteral(" bytes")};
    };
    figures.append(
        {"Peak memory, " + session,
         megabytes(memory.peakBytes),
         beforePaste,
         runs(settings.memoryRuns),
         {perByte("peak / document bytes", memory.peakBytes),
          perByte("(peak - before) / document bytes", memory.peakBytes - memory.atStartBytes)}});
    figures.append({"Resident memory after " + session,
                    megabytes(memory.residentBytes),
                    beforePaste,
                    runs(settings.memoryRuns),
                    {perByte("resident / document bytes", memory.residentBytes),
                     perByte("(resident - before) / document bytes",
                             memory.residentBytes - memory.atStartBytes)}});
    figures.append({"Round trip, " + sizeLabel(settings.roundTripBytes) + " document",
                    milliseconds(roundTrip.saveMs) + " Save",
                    milliseconds(roundTrip.intoPreviewMs) + " into the preview, "
                        + milliseconds(roundTrip.readBackMs) + " read back; bytes unchanged",
                    runs(1),
                    {}});
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    // Every figure is taken headless and without a platform theme, the
    // children's as well, which inherit this environment; on a screen large
    // enough for the whole window, which the offscreen one is not.
    if (qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("offscreen")) == u"offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" FENNICK_LARGE_SCREEN);
    qputenv("QT_QPA_PLATFORMTHEME", "");
    QTemporaryDir runtimeDir; // Qt wants one, private to the user
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();

    const qsizetype hold = arguments.indexOf(QStringLiteral("--hold-document"));
    if (hold > 0)
        return holdDocument(arguments.value(hold + 1).toLongLong());

    const bool smoke = arguments.contains(QStringLiteral("--smoke"));
    const bool onlySave = arguments.contains(QStringLiteral("--save"));
    const bool onlyStart = arguments.contains(QStringLiteral("--start"));
    const Parts parts = onlySave || onlyStart ? Parts{onlySave, onlyStart, false} : Parts{};
    const QString loadAtStart = loadAverage();
    QTemporaryDir home;
    if (!home.isValid())
        qFatal("no temporary folder");
    const Programs programs{QStringLiteral(FENNICK_PROGRAM), QStringLiteral(MINIMAL_WINDOW_PROGRAM),
                            QStringLiteral(FLOOR_WINDOW_PROGRAM),
                            home.filePath(QStringLiteral("floor-layout.txt")),
                            QApplication::applicationFilePath()};
    writeFloorLayout(programs.floorLayout, QStringLiteral(FENNICK_BANNER_PICTURE));

    const QList<Figure> figures
        = measureAll(smoke ? smokeRun : fullRun, parts, programs, home.path());
    const QString title
        = QStringLiteral("Fennick benchmark%1: medians of repeated runs, least to greatest in "
                         "brackets where runs were taken by turns (Runs says how many);\n"
                         "platform %2, %3 cores, Qt %4; load (1, 5, 15 minutes) %5 at the start, "
                         "%6 at the end")
              .arg(smoke ? QStringLiteral(" (smoke, tiny sizes)") : QString(),
                   QApplication::platformName(), QString::number(QThread::idealThreadCount()),
                   QLibraryInfo::version().toString(), loadAtStart, loadAverage());
    // Goals are read from the figures; a missed one is reported, not failed.
    (void)printTable(title, figures);
    return 0;
}
