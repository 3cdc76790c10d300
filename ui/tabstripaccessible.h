// Lets screen readers see a TabStrip as they see a QTabBar: a page tab list
// whose children are page tabs named by their captions.
#pragma once

namespace fennick {

// Registers the accessibility factory for TabStrip; safe to call often.
void installTabStripAccessibility();

} // namespace fennick
