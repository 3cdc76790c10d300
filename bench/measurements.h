// Each measurement with its baseline, taken side by side in the same run.
#pragma once

#include "figures.h"

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

// The three programs started by turns, and Fennick's time over each of the
// others' in the same turn.
struct StartFigures {
    Spread fennickMs;
    Spread minimalMs;
    Spread floorMs;
    Spread toMinimal;
    Spread toFloor;
    double fennickPeakBytes = 0; // medians

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

// Save beside its two floors, the three by turns, each writing its own file
// in the same folder with the same bytes: the plainest durable Save a Qt
// program could have (toPlainText(), each LF made CR LF, the closing CR LF,
// toLocal8Bit(), write, fdatasync() of the file, fsync() of its folder), and
// the durable write alone, of bytes made beforehand.
struct SaveTimes {
    Spread saveMs;
    Spread floorMs;
    Spread rawMs;
    Spread toFloor; // Save's time over the floor's, turn by turn
    Spread toRaw;
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
