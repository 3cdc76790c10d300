// Each measurement with its baseline, taken side by side in the same run.
#pragma once

#include <QList>
#include <QString>

namespace bench {

class BenchWindow;

struct Programs {
    QString fennick;
    QString minimalWindow;
    QString floorWindow;
    QString floorLayout; // the list floor_window builds from (floorlayout.h)
    QString self;        // this benchmark, started again to hold a document
};

// Medians over runs, the three programs started by turns.
struct StartFigures {
    double fennickMs = 0;
    double minimalMs = 0;
    double floorMs = 0;
    double fennickPeakBytes = 0;
    double minimalPeakBytes = 0;
    double floorPeakBytes = 0;
};
[[nodiscard]] StartFigures measureStart(const Programs &programs, int runs);

// A separate process that opens the window, pastes a document into the
// preview, presses "Add Car" and Save.
struct DocumentMemory {
    double atStartBytes = 0;  // its own peak once the window is shown
    double peakBytes = 0;     // its peak over the whole session
    double residentBytes = 0; // what it holds at the end of the session
};
[[nodiscard]] DocumentMemory measureDocumentMemory(const Programs &programs,
                                                   qsizetype documentBytes, int runs);
// What that process does; returns its exit status.
int holdDocument(qsizetype documentBytes);

struct PressTimes {
    double pressMs = 0;
    double literalMs = 0;
};
[[nodiscard]] PressTimes measureAddCar(BenchWindow &window, int pressRuns, int literalRuns);

struct SaveTimes {
    double saveMs = 0;
    double plainWriteMs = 0;
    double syncedWriteMs = 0; // plain write, fdatasync() of the file, fsync() of its folder
    // The same from the editor's text: toPlainText(), toLocal8Bit(), then as above.
    double syncedTextSaveMs = 0;
};
// Saves into the folder that HOME names.
[[nodiscard]] SaveTimes measureSave(BenchWindow &window, int runs);

// A document of lines with accents, a euro sign, CJK, an emoji, a tab and a
// non-breaking space put into the preview, read back and saved; the run
// stops if a single character or byte comes back changed.
struct RoundTripTimes {
    double intoPreviewMs = 0;
    double readBackMs = 0;
    double saveMs = 0;
};
[[nodiscard]] RoundTripTimes measureRoundTrip(BenchWindow &window, qsizetype documentBytes);

} // namespace bench
