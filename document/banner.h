// The three comment lines that open every configuration file.
#pragma once

#include <QString>

namespace fennick {

// The banner as Clear writes it: three lines joined by CR LF, with no line
// break after the third. The preview starts with the same text.
[[nodiscard]] QString bannerText();

} // namespace fennick
