// What the program sets up before its window: shared by the fennick program
// and the benchmark's start-up probe, so both start the same way.
#pragma once

namespace fennick {

// Names the running application for the desktop: its name, version and the
// desktop entry its window belongs to. Needs a QApplication.
void setUpApplication();

} // namespace fennick
