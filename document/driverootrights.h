// Why Save may not create a file at the top of a Windows drive, in the
// user's terms.
#pragma once

#include <QString>

namespace fennick {

// For a file at the top of a drive ("C:/Config.ini"): Windows lets only
// administrators create files there, and what to do about it. Empty for any
// other path.
[[nodiscard]] QString driveRootRightsAdvice(const QString &path);

} // namespace fennick
